#pragma once
// Windows of the windowed programs; the one include their code needs, since it brings the
// controls, the menus and the list of loaded windows with it.
//
// Sizes given in twips are the client area's (the drawing area of a drawing window), in whole
// pixels of 15 twips; the frame and the menu bar come on top. Inside a Form method the member
// isLoaded() hides the free template: write plat::isLoaded<F>() there.
#include <memory>
#include <string>

#include "platform/controls.h"
#include "platform/layout.h"
#include "platform/menus.h"
#include "platform/window_registry.h"

class QWidget;

namespace plat {

class Surface;
class MenuItem;

enum class MouseButton { Left = 1, Right = 2, Middle = 4 };

// Codes of the keys that Form_KeyDown receives (the old desktop's key codes); a letter key comes
// as its upper-case letter, a digit key as its digit.
enum class KeyCode {
    Tab = 9,
    Return = 13,
    Escape = 27,
    Space = 32,
    PageUp = 33,
    PageDown = 34,
    End = 35,
    Home = 36,
    Left = 37,
    Up = 38,
    Right = 39,
    Down = 40,
    F4 = 115,
};
// The shift states of the mouse and key handlers: 1 Shift, 2 Ctrl, 4 Alt, added together.
constexpr int kShiftMask = 1, kCtrlMask = 2, kAltMask = 4;

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
    // A key pressed while the drawing area has the keyboard focus. Alt+F4 never arrives here: it
    // is the close box in every window.
    virtual void Form_KeyDown(int /*keyCode*/, int /*shift*/) {}

    // A mark around one spot of a drawing window, shown on the screen over the drawing but never
    // part of it (nor of a saved picture), so that a keyboard user sees what the keys act on. At
    // (x, y) in the current scale; hiding the window takes it away.
    void setKeyMark(float x, float y);
    void clearKeyMark();
    bool hasKeyMark() const { return keyMark_; }

    // Delivers mouse events as a user would (tests); x and y in the current scale.
    void mouseDown(int button, float x, float y);
    void mouseMove(int button, float x, float y);
    void mouseUp(int button, float x, float y);
    void dblClick(float x, float y);
    // Delivers a key press as a user would (tests).
    void keyDown(int keyCode, int shift = 0);
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
    bool keyMark_ = false;
    float keyMarkX_ = 0, keyMarkY_ = 0; // pixels
    void applySize();
    friend class MenuItem;
    friend class SurfaceWidget;
};

} // namespace plat
