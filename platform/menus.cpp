#include "platform/menus.h"

#include "platform/accessibility.h"
#include "platform/form.h"
#include "platform/qt_text.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QProxyStyle>
#include <QShortcut>

#include <utility>

namespace plat {

// ---- MenuItem --------------------------------------------------------------------------------

namespace {
void nameEntry(QAction* entry, const std::string& name) {
    entry->setObjectName(qs(name));
    markAccessible(entry, kMenuEntryProperty);
}

// The application's style, but with a menu bar that the keyboard moves along: once F10 has
// marked its first entry, the arrows move along it and Return, Enter or Space choose. The
// captions carry no mnemonic letter, so this is the keyboard's one way to a menu entry.
class KeyboardMenuStyle : public QProxyStyle {
  public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override {
        if (hint == SH_MenuBar_AltKeyNavigation) return 1;
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};

QStyle* keyboardMenuStyle() {
    static QPointer<QProxyStyle> style;
    if (!style) {
        style = new KeyboardMenuStyle;
        style->setParent(qApp);
    }
    return style;
}

void reachFromKeyboard(QMainWindow* window, QMenuBar* bar) {
    if (bar->style() == keyboardMenuStyle()) return;
    bar->setStyle(keyboardMenuStyle());
    auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), window);
    QObject::connect(f10, &QShortcut::activated, bar, [bar] {
        const QList<QAction*> entries = bar->actions();
        if (entries.isEmpty()) return;
        bar->setFocus(Qt::ShortcutFocusReason);
        bar->setActiveAction(entries.first());
    });
}
} // namespace

MenuItem::MenuItem(Form& form, std::string name, const std::string& caption)
    : name_(std::move(name)), form_(&form) {
    auto* window = static_cast<QMainWindow*>(form.widget());
    QMenuBar* bar = window->menuBar();
    reachFromKeyboard(window, bar);
    holder_ = bar;
    action_ = bar->addAction(qs(caption));
    nameEntry(action_, name_);
    // A window with a menu bar is at least as wide as the bar with every entry.
    form.widget()->setMinimumWidth(bar->sizeHint().width());
    QObject::connect(action_, &QAction::triggered, action_, [this] {
        auto handler = onClick;
        runHandler(handler);
    });
}

MenuItem::MenuItem(MenuItem& parent, std::string name, const std::string& caption)
    : name_(std::move(name)), form_(parent.form_) {
    if (!parent.menu_) {
        // The parent becomes a drop-down: its plain entry is replaced by a menu's entry in place.
        QAction* old = parent.action_;
        auto* menu = new QMenu(old->text(), parent.holder_);
        menu->setObjectName(qs(parent.name_));
        menu->setAccessibleName(old->text());
        menu->setAccessibleDescription(qs(parent.name_));
        QAction* entry = menu->menuAction();
        nameEntry(entry, parent.name_);
        parent.holder_->insertAction(old, entry);
        parent.holder_->removeAction(old);
        delete old;
        parent.action_ = entry;
        parent.menu_ = menu;
        MenuItem* p = &parent;
        QObject::connect(menu, &QMenu::aboutToShow, menu, [p] {
            auto handler = p->onClick;
            runHandler(handler);
        });
    }
    holder_ = parent.menu_;
    action_ = parent.menu_->addAction(qs(caption));
    nameEntry(action_, name_);
    QObject::connect(action_, &QAction::triggered, action_, [this] {
        auto handler = onClick;
        runHandler(handler);
    });
}

MenuItem::~MenuItem() = default;

std::string MenuItem::caption() const {
    return ss(action_->text());
}
void MenuItem::setCaption(const std::string& text) {
    action_->setText(qs(text));
    if (auto* bar = qobject_cast<QMenuBar*>(holder_))
        form_->widget()->setMinimumWidth(bar->sizeHint().width());
}
bool MenuItem::enabled() const {
    return action_->isEnabled();
}
void MenuItem::setEnabled(bool on) {
    action_->setEnabled(on);
}
bool MenuItem::visible() const {
    return action_->isVisible();
}
void MenuItem::setVisible(bool on) {
    action_->setVisible(on);
}

void MenuItem::click() {
    if (!action_->isEnabled()) return;
    if (menu_) {
        auto handler = onClick;
        runHandler(handler);
    } else {
        action_->trigger();
    }
}
} // namespace plat
