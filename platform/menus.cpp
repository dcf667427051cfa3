#include "platform/menus.h"

#include "platform/accessibility.h"
#include "platform/form.h"
#include "platform/qt_text.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include <utility>

namespace plat {

// ---- MenuItem --------------------------------------------------------------------------------

namespace {
void nameEntry(QAction* entry, const std::string& name) {
    entry->setObjectName(qs(name));
    markAccessible(entry, kMenuEntryProperty);
}
} // namespace

MenuItem::MenuItem(Form& form, std::string name, const std::string& caption)
    : name_(std::move(name)), form_(&form) {
    QMenuBar* bar = static_cast<QMainWindow*>(form.widget())->menuBar();
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
