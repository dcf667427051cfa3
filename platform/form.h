#pragma once
// Windows and controls of the windowed programs.
//
// Every window is one program-wide instance of a class derived from Form, reached through
// instance<F>(): the first use creates it with its controls at their design values and runs its
// Form_Load; unload() takes it away again, and the next use loads a fresh one. Unloaded window
// objects are destroyed only when no handler of any window is running any more, so a handler that
// waited while its own window was unloaded resumes on a live object.
//
// Controls raise their handlers the way the editors rely on: a text box's onChange runs whenever
// its text changes, from the user or from code, and not when code writes the same text; option
// buttons and check boxes run onClick when their value is set from code too; a scroll bar's
// onChange runs whenever its value changes, also when a new minimum or maximum moves it.
//
// Every control carries its name as object name and accessible description, and its caption or
// label as accessible name.
//
// Sizes given in twips are the client area's (the drawing area of a drawing window), in whole
// pixels of 15 twips; the frame and the menu bar come on top. Inside a Form method the member
// isLoaded() hides the free template: write plat::isLoaded<F>() there.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <typeindex>
#include <vector>

class QWidget;
class QGridLayout;
class QBoxLayout;
class QMenu;
class QAction;
class QLabel;

namespace plat {

class Surface;
class Form;
class Frame;
class OptionButton;

// Something that holds controls: a window or a frame. Controls are laid out in a grid in the
// order they are made: each takes the next row of the current column group (a labelled control
// takes a label cell and a field cell); nextColumn() starts a new column group at row 0.
class Container {
  public:
    virtual ~Container();
    virtual QWidget* containerWidget() = 0;
    virtual Form& form() = 0;
    void nextColumn();
    // The same, for a column whose rows do not line up with those before it (a column of frames
    // beside a column of boxes): each column keeps its rows at their natural height.
    void nextColumnOfItsOwn();
    // Places a control widget (with an optional label widget) at the next free grid position.
    void place(QWidget* field, QWidget* label = nullptr);
    // The next control stands in the row of the one before, to the right of its field, as a box
    // that belongs with its neighbour (a first and a last year) does.
    void sameRow();

    // Option buttons made in this container; selecting one clears the others.
    std::vector<OptionButton*> optionButtons;

  private:
    QGridLayout* grid();
    QGridLayout* grid_ = nullptr;
    QGridLayout* ownRows_ = nullptr; // the grid of a column of its own, while one is being made
    int row_ = 0;
    int column_ = 0;
    bool sameRow_ = false;
    QWidget* lastField_ = nullptr;
    QBoxLayout* rowOfLast_ = nullptr; // the row that holds the last field and its neighbours
};

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
    std::string text() const;
    void setText(std::string_view text); // runs onChange when the text changes
    void setLabel(const std::string& label);
    void setLocked(bool on); // read-only for the user; code still writes it
    std::function<void()> onChange;

  private:
    QLabel* label_ = nullptr;
};

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

enum class MouseButton { Left = 1, Right = 2, Middle = 4 };

class Form : public Container {
  public:
    enum class Kind {
        Controls, // a window of controls laid out in a grid
        Drawing,  // a window whose whole client area is a drawing surface
    };

    Form(std::string name, const std::string& caption, Kind kind = Kind::Controls);
    ~Form() override;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const std::string& name() const { return name_; }

    void show(); // modeless; returns at once
    void hide();
    bool visible() const;
    void bringToFront();
    // Runs Form_Unload, hides the window and takes it off the list of loaded windows. The object
    // lives on until no handler is running; the next instance<F>() makes a new one.
    void unload();
    bool isLoaded() const { return loaded_; }

    std::string caption() const;
    void setCaption(const std::string& text);

    // Size of the window's client area in twips (15 twips a pixel).
    int width() const;
    int height() const;
    void setWidth(int twips);
    void setHeight(int twips);

    // The drawing surface: the whole client area of a Drawing window.
    Surface& surface();
    // The client area's widget (in a Drawing window, the drawing surface).
    QWidget* client() const { return client_; }

    QWidget* widget() const { return widget_; }
    QWidget* containerWidget() override;
    Form& form() override { return *this; }

    // Handlers; the platform calls them with coordinates in the surface's current scale.
    virtual void Form_Load() {}
    virtual void Form_Unload() {}
    virtual void Form_MouseDown(int /*button*/, int /*shift*/, float /*x*/, float /*y*/) {}
    virtual void Form_MouseMove(int /*button*/, int /*shift*/, float /*x*/, float /*y*/) {}
    virtual void Form_MouseUp(int /*button*/, int /*shift*/, float /*x*/, float /*y*/) {}
    virtual void Form_DblClick() {}

    // Delivers mouse events as a user would (tests); x and y in the current scale.
    void mouseDown(int button, float x, float y);
    void mouseMove(int button, float x, float y);
    void mouseUp(int button, float x, float y);
    void dblClick(float x, float y);
    // The close box: unloads the window.
    void closeBox();

    // Set by instance<F>() and the registry; not for callers.
    void markLoaded();

  private:
    std::string name_;
    Kind kind_;
    QWidget* widget_ = nullptr;
    QWidget* client_ = nullptr;
    std::unique_ptr<Surface> surface_;
    bool loaded_ = false;
    bool unloading_ = false;
    int widthTwips_ = 0; // 0: as the layout makes it
    int heightTwips_ = 0;
    void applySize();
    friend class MenuItem;
};

namespace detail {
Form* findLoaded(std::type_index type);
void registerLoaded(std::type_index type, std::unique_ptr<Form> form);
void runLoad(Form& form); // Form_Load, counted as a running handler
} // namespace detail

// The program-wide instance of window class F, created and loaded (Form_Load run) on first use.
template <class F> F& instance() {
    if (Form* f = detail::findLoaded(typeid(F))) return static_cast<F&>(*f);
    auto made = std::make_unique<F>();
    F& ref = *made;
    detail::registerLoaded(typeid(F), std::move(made));
    detail::runLoad(ref);
    return ref;
}

template <class F> bool isLoaded() {
    return detail::findLoaded(typeid(F)) != nullptr;
}

// Loaded windows, in load order.
std::vector<Form*> loadedForms();
// Unloads every loaded window, last loaded first.
void unloadAll();
// Number of windows that are shown (a loaded but hidden window does not count).
int shownCount();

// The wait primitive: runs every pending window event (handlers of any window, nested as they
// come) and returns the number of windows shown. When nothing was pending it lets the prompt
// service idle first, so a wait loop sleeps until the next event instead of spinning.
int doEvents();

// Runs a handler the way the platform runs one for an event: counts it as running (so unloaded
// windows stay alive until it returns) and keeps an exception from escaping into Qt.
void runHandler(const std::function<void()>& handler);
bool handlerRunning();
// Where an exception that a handler let out is reported (standard error by default; the test main
// turns it into a test failure).
void setHandlerErrorReporter(std::function<void(const std::string&)> reporter);

// Unloaded window objects are destroyed here, and only when no handler is running. The wait
// primitive calls it when it runs outside every handler (the programs' main loops); tests turn
// that off so that their references stay valid, and the test main collects after each test.
void destroyUnloaded();
void setDestroyInWaits(bool on);

// The end of the program asked for by a handler ("end at once"); main loops look at it.
void requestEnd();
bool endRequested();
void resetEndRequest();

} // namespace plat
