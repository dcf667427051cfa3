#pragma once
// The controls that windows and frames are made of.
//
// Controls raise their handlers the way the editors rely on: a text box's onChange runs whenever
// its text changes, from the user or from code, and not when code writes the same text; option
// buttons and check boxes run onClick when their value is set from code too; a scroll bar's
// onChange runs whenever its value changes, also when a new minimum or maximum moves it.
//
// Every control carries its name as object name and accessible description, and its caption or
// label as accessible name.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/layout.h"

class QWidget;
class QLabel;

namespace plat {

class Form;

class Control {
  public:
    virtual ~Control();
    const std::string& name() const { return name_; }
    bool enabled() const;
    void setEnabled(bool on);
    bool visible() const;
    void setVisible(bool on); // a label that stands beside the control shows and hides with it
    QWidget* widget() const { return widget_; }
    Form& form() const { return *form_; }
    // The name that assistive technology reads out for a control whose caption or label does not
    // say what it is (a box under a frame's caption, a scroll bar beside a box).
    void setAccessibleName(const std::string& text);
    // Marks a control that only decorates the window (a rule line): it is not read out.
    void setDecorative();

  protected:
    Control(Container& parent, std::string name, QWidget* widget, const std::string& caption);
    void setAccessibleCaption(const std::string& caption);
    void setCompanionLabel(QWidget* label) { companion_ = label; }

  private:
    std::string name_;
    QWidget* widget_;
    Form* form_;
    QWidget* companion_ = nullptr;
};

class Label : public Control {
  public:
    Label(Container& parent, std::string name, const std::string& caption);
    std::string caption() const;
    void setCaption(const std::string& text);
};

class TextBox : public Control {
  public:
    // label: the caption of the label that stands beside the box (none when empty).
    TextBox(Container& parent, std::string name, const std::string& label,
            const std::string& designText = {});
    ~TextBox() override;
    std::string text() const;
    void setText(std::string_view text); // runs onChange when the text changes
    std::function<void()> onChange;
    // A text for which this is true does not run onChange: it stays as typed, and changes nothing
    // stored, until onLeave deals with it.
    std::function<bool(const std::string& text)> refuses;
    // Runs when the user leaves the box for another control (not while another window or a
    // drop-down holds the focus for a while), and at showStoredValues().
    std::function<void()> onLeave;
    // Runs whenever the box gets the focus, also when it comes back from another window.
    std::function<void()> onEnter;
    bool hasFocus() const;

  private:
    QLabel* label_ = nullptr;
};

// Runs onLeave of every text box of every loaded window, so that each box shows the value it
// stores. Every save, export and launch calls it first: the user may not have left the box.
void showStoredValues();

class CommandButton : public Control {
  public:
    CommandButton(Container& parent, std::string name, const std::string& caption);
    std::string caption() const;
    void setCaption(const std::string& text);
    void click(); // as the user's click
    std::function<void()> onClick;
};

// Option buttons in one container are exclusive: selecting one clears the others (without
// raising their handlers). Setting the value to true from code raises onClick, also when the
// button was already selected; setting it to false clears it silently. Assistive technology sees
// a radio button whose press and toggle actions are the user's click.
class OptionButton : public Control {
  public:
    OptionButton(Container& parent, std::string name, const std::string& caption);
    bool value() const;
    void setValue(bool on);
    std::string caption() const;
    void setCaption(const std::string& text);
    // As the user's click: selects the button and raises onClick. A click on a button that is
    // already selected does nothing.
    void click();
    std::function<void()> onClick;

  private:
    void select(); // selects this one, clears the others silently, raises onClick
    Container* group_;
    bool wasSelected_ = false;
};

// Value 0 unchecked, 1 checked. onClick runs whenever the value changes, from code too.
class CheckBox : public Control {
  public:
    CheckBox(Container& parent, std::string name, const std::string& caption);
    int value() const;
    void setValue(int v);
    std::string caption() const;
    void click(); // as the user's click: toggles
    std::function<void()> onClick;
};

class Frame : public Control, public Container {
  public:
    Frame(Container& parent, std::string name, const std::string& caption);
    std::string caption() const;
    void setCaption(const std::string& text);
    QWidget* containerWidget() override;
    Form& form() override { return Control::form(); }
};

// Horizontal scroll bar. onChange runs whenever the value changes: from the user, from code, or
// because a new minimum or maximum moved it.
class HScrollBar : public Control {
  public:
    HScrollBar(Container& parent, std::string name, const std::string& label = {});
    int min() const;
    int max() const;
    int value() const;
    void setMin(int v);
    void setMax(int v);
    void setValue(int v);
    void setSmallChange(int v);
    void setLargeChange(int v);
    std::function<void()> onChange;
};

class ProgressBar : public Control {
  public:
    ProgressBar(Container& parent, std::string name);
    int min() const;
    int max() const;
    int value() const;
    void setMin(int v);
    void setMax(int v);
    void setValue(int v);
};
} // namespace plat
