#pragma once
// The menu bar of a window and its drop-down entries.
#include <functional>
#include <string>

class QWidget;
class QMenu;
class QAction;

namespace plat {

class Form;

// A menu entry on the window's menu bar, or inside another entry (which then drops down). Like a
// control it carries its caption as accessible name and its name as accessible description. A
// window with a menu bar is never narrower than the bar with all its entries.
class MenuItem {
  public:
    MenuItem(Form& form, std::string name, const std::string& caption);
    MenuItem(MenuItem& parent, std::string name, const std::string& caption);
    ~MenuItem();
    const std::string& name() const { return name_; }
    std::string caption() const;
    void setCaption(const std::string& text);
    bool enabled() const;
    void setEnabled(bool on);
    bool visible() const;
    void setVisible(bool on);
    void click(); // as the user choosing it
    std::function<void()> onClick;
    QAction* action() const { return action_; }

  private:
    std::string name_;
    Form* form_;
    QWidget* holder_ = nullptr; // the menu bar or drop-down the entry stands on
    QAction* action_ = nullptr;
    QMenu* menu_ = nullptr;
    friend class Form;
};

} // namespace plat
