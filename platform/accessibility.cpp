#include "platform/accessibility.h"

#include <QAccessible>
#include <QAccessibleObject>
#include <QAccessibleWidget>
#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QMenuBar>
#include <QWindow>

namespace plat {

namespace {

// Qt reports a button that is not auto-exclusive as a check box, and its toggle action would flip
// the value without the click that runs the handler. An option button is a radio button to
// assistive technology, a check box a check box, and both actions of either are the user's click.
// The click is queued, as a menu entry's is: its handler may show a message or wait for a window,
// and an assistive tool's action must return at once.
class ButtonAccessible : public QAccessibleWidget {
  public:
    ButtonAccessible(QAbstractButton* w, QAccessible::Role role) : QAccessibleWidget(w, role) {}
    QAccessible::State state() const override {
        QAccessible::State st = QAccessibleWidget::state();
        st.checkable = true;
        st.checked = button()->isChecked();
        return st;
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) return button()->text();
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override {
        return QStringList{pressAction(), toggleAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action == pressAction() || action == toggleAction()) {
            // Does nothing while the button is disabled.
            QMetaObject::invokeMethod(button(), &QAbstractButton::click, Qt::QueuedConnection);
        } else {
            QAccessibleWidget::doAction(action);
        }
    }

  private:
    QAbstractButton* button() const { return static_cast<QAbstractButton*>(widget()); }
};

// Qt's own menu entries carry only their text; these carry the entry's name as description too,
// as every control does.
class MenuEntryAccessible : public QAccessibleObject, public QAccessibleActionInterface {
  public:
    explicit MenuEntryAccessible(QAction* a) : QAccessibleObject(a) {}

    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(holder());
    }
    int childCount() const override { return action()->menu() ? 1 : 0; }
    QAccessibleInterface* child(int index) const override {
        if (index != 0 || !action()->menu()) return nullptr;
        return QAccessible::queryAccessibleInterface(action()->menu());
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child && action()->menu() && child->object() == action()->menu() ? 0 : -1;
    }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QWindow* window() const override {
        QWidget* h = holder();
        return h && h->window() ? h->window()->windowHandle() : nullptr;
    }
    QString text(QAccessible::Text t) const override {
        switch (t) {
        case QAccessible::Name:
            return QString(action()->text()).remove(QLatin1Char('&'));
        case QAccessible::Description:
            return action()->objectName();
        case QAccessible::Accelerator:
            return action()->shortcut().toString(QKeySequence::NativeText);
        default:
            return {};
        }
    }
    QRect rect() const override {
        QWidget* h = holder();
        QRect r;
        if (auto* bar = qobject_cast<QMenuBar*>(h))
            r = bar->actionGeometry(action());
        else if (auto* menu = qobject_cast<QMenu*>(h))
            r = menu->actionGeometry(action());
        if (!h || r.isNull()) return {};
        return QRect(h->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override {
        return action()->isSeparator() ? QAccessible::Separator : QAccessible::MenuItem;
    }
    QAccessible::State state() const override {
        QAccessible::State st;
        QWidget* h = holder();
        st.disabled = !action()->isEnabled();
        st.invisible = !action()->isVisible() || !h || !h->isVisible();
        st.focusable = true;
        st.hasPopup = action()->menu() != nullptr;
        st.checkable = action()->isCheckable();
        st.checked = action()->isChecked();
        return st;
    }
    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::ActionInterface)
            return static_cast<QAccessibleActionInterface*>(this);
        return QAccessibleObject::interface_cast(t);
    }
    QStringList actionNames() const override {
        return action()->isEnabled() ? QStringList{pressAction()} : QStringList{};
    }
    void doAction(const QString& name) override {
        if (name != pressAction() || !action()->isEnabled()) return;
        if (action()->menu()) {
            if (auto* bar = qobject_cast<QMenuBar*>(holder())) bar->setActiveAction(action());
        } else {
            // Queued: an entry's handler may wait for a window or show a modal box, and an
            // assistive tool's action must return at once.
            QMetaObject::invokeMethod(action(), &QAction::trigger, Qt::QueuedConnection);
        }
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

  private:
    QAction* action() const { return static_cast<QAction*>(object()); }
    // The bar or drop-down the entry stands on.
    QWidget* holder() const {
        for (QObject* o : action()->associatedObjects()) {
            if (o != action()->menu() && (qobject_cast<QMenuBar*>(o) || qobject_cast<QMenu*>(o)))
                return static_cast<QWidget*>(o);
        }
        return nullptr;
    }
};

// A control that only decorates the window (a rule line) is a separator with nothing to read.
class DecorationAccessible : public QAccessibleWidget {
  public:
    explicit DecorationAccessible(QWidget* w) : QAccessibleWidget(w, QAccessible::Separator) {}
    QString text(QAccessible::Text) const override { return {}; }
};

QAccessibleInterface* accessibleFactory(const QString& key, QObject* object) {
    if (object->isWidgetType() && object->property(kDecorationProperty).toBool())
        return new DecorationAccessible(static_cast<QWidget*>(object));
    if (key == QLatin1String("QRadioButton") && object->property(kOptionProperty).toBool())
        return new ButtonAccessible(static_cast<OptionWidget*>(object), QAccessible::RadioButton);
    if (key == QLatin1String("QCheckBox") && object->property(kCheckBoxProperty).toBool())
        return new ButtonAccessible(static_cast<QCheckBox*>(object), QAccessible::CheckBox);
    if (key == QLatin1String("QAction") && object->property(kMenuEntryProperty).toBool())
        return new MenuEntryAccessible(static_cast<QAction*>(object));
    return nullptr;
}
} // namespace

void markAccessible(QObject* object, const char* property) {
    static const bool installed = (QAccessible::installFactory(accessibleFactory), true);
    (void)installed;
    object->setProperty(property, true);
    if (QAccessibleInterface* made = QAccessible::queryAccessibleInterface(object)) {
        if (!dynamic_cast<ButtonAccessible*>(made) && !dynamic_cast<MenuEntryAccessible*>(made) &&
            !dynamic_cast<DecorationAccessible*>(made))
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
    }
}

} // namespace plat
