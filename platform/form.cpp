#include "platform/form.h"

#include "platform/qt_text.h"
#include "platform/surface.h"

#include "common/visibletext.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <utility>

namespace plat {

namespace {

int mouseButtonCode(Qt::MouseButtons b) {
    int code = 0;
    if (b & Qt::LeftButton) code |= 1;
    if (b & Qt::RightButton) code |= 2;
    if (b & Qt::MiddleButton) code |= 4;
    return code;
}

int shiftCode(Qt::KeyboardModifiers m) {
    int code = 0;
    if (m & Qt::ShiftModifier) code |= 1;
    if (m & Qt::ControlModifier) code |= 2;
    if (m & Qt::AltModifier) code |= 4;
    return code;
}

// The old desktop's code of a key; 0 for a key that no window acts on.
int keyCode(int key) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return 'A' + (key - Qt::Key_A);
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return '0' + (key - Qt::Key_0);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12) return 112 + (key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return int(KeyCode::Tab);
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return int(KeyCode::Return);
    case Qt::Key_Escape:
        return int(KeyCode::Escape);
    case Qt::Key_Space:
        return int(KeyCode::Space);
    case Qt::Key_PageUp:
        return int(KeyCode::PageUp);
    case Qt::Key_PageDown:
        return int(KeyCode::PageDown);
    case Qt::Key_End:
        return int(KeyCode::End);
    case Qt::Key_Home:
        return int(KeyCode::Home);
    case Qt::Key_Left:
        return int(KeyCode::Left);
    case Qt::Key_Up:
        return int(KeyCode::Up);
    case Qt::Key_Right:
        return int(KeyCode::Right);
    case Qt::Key_Down:
        return int(KeyCode::Down);
    default:
        return 0;
    }
}

bool isAltF4(const QKeyEvent* e) {
    return e->key() == Qt::Key_F4 && (e->modifiers() & Qt::AltModifier);
}

// Whole pixels that fit in the twips given: a window is never made larger than asked.
int twipsToPixels(int twips) {
    return std::max(1, twips / kTwipsPerPixel);
}

} // namespace

// The top-level window of a form: its close box unloads the form. Alt+F4 is the close box, also
// where no window manager gives it that meaning.
class FormWindow : public QMainWindow {
  public:
    explicit FormWindow(Form* form) : form_(form) {}

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (isAltF4(event)) {
            event->accept();
            close();
            return;
        }
        QMainWindow::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent* event) override {
        event->ignore();
        Form* f = form_;
        if (f->isLoaded()) runHandler([f] { f->unload(); });
    }

  private:
    Form* form_;
};

// Shows a form's persistent image and turns mouse and key input into the form's events, in the
// surface's current scale.
class SurfaceWidget : public QWidget {
  public:
    explicit SurfaceWidget(Form* form) : form_(form) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setMouseTracking(true);
        setFocusPolicy(Qt::StrongFocus);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.drawImage(0, 0, form_->surface().image());
        if (form_->keyMark_) {
            // Dashed, so that it shows on black and on white alike.
            const int r = 7;
            const QRect mark(int(std::lround(form_->keyMarkX_)) - r,
                             int(std::lround(form_->keyMarkY_)) - r, 2 * r, 2 * r);
            p.setPen(QPen(Qt::white, 2));
            p.drawRect(mark);
            p.setPen(QPen(Qt::blue, 2, Qt::DashLine));
            p.drawRect(mark);
        }
    }
    // Tab and Shift+Tab come to the window as keys: the drawing area is the window's only stop.
    bool event(QEvent* e) override {
        if (e->type() == QEvent::KeyPress) {
            auto* k = static_cast<QKeyEvent*>(e);
            if (k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab) {
                keyPressEvent(k);
                return true;
            }
        }
        return QWidget::event(e);
    }
    void keyPressEvent(QKeyEvent* e) override {
        const int code = keyCode(e->key());
        if (isAltF4(e) || code == 0) {
            e->ignore(); // to the window: Alt+F4 is its close box
            return;
        }
        Form* f = form_;
        if (!f->isLoaded()) return;
        int shift = shiftCode(e->modifiers());
        if (e->key() == Qt::Key_Backtab) shift |= kShiftMask;
        runHandler([=] { f->Form_KeyDown(code, shift); });
    }
    void mousePressEvent(QMouseEvent* e) override {
        // The press that completes a double-click is raised as the double-click alone, as the
        // old desktop did: down, up, double-click, up.
        if (e->flags() & Qt::MouseEventCreatedDoubleClick) return;
        deliver(
            e, [](Form* f, int b, int s, float x, float y) { f->Form_MouseDown(b, s, x, y); },
            mouseButtonCode(e->button()));
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        deliver(
            e, [](Form* f, int b, int s, float x, float y) { f->Form_MouseMove(b, s, x, y); },
            mouseButtonCode(e->buttons()));
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        deliver(
            e, [](Form* f, int b, int s, float x, float y) { f->Form_MouseUp(b, s, x, y); },
            mouseButtonCode(e->button()));
    }
    // The second press of a double-click raises the double-click in place of a button press.
    void mouseDoubleClickEvent(QMouseEvent*) override {
        Form* f = form_;
        if (f->isLoaded()) runHandler([f] { f->Form_DblClick(); });
    }

  private:
    template <class Fn> void deliver(QMouseEvent* e, Fn fn, int button) {
        Form* f = form_;
        if (!f->isLoaded()) return;
        const Surface& s = f->surface();
        const float x = s.fromPixelX(float(e->position().x()));
        const float y = s.fromPixelY(float(e->position().y()));
        const int shift = shiftCode(e->modifiers());
        runHandler([=] { fn(f, button, shift, x, y); });
    }

    Form* form_;
};
// ---- Form ------------------------------------------------------------------------------------

Form::Form(std::string name, const std::string& caption, Kind kind)
    : name_(std::move(name)), kind_(kind), surface_(std::make_unique<Surface>()) {
    auto* window = new FormWindow(this);
    widget_ = window;
    window->setObjectName(qs(name_));
    window->setAccessibleDescription(qs(name_));
    window->setAccessibleName(qs(caption));
    window->setWindowTitle(qs(caption));
    if (kind_ == Kind::Drawing) {
        auto* sw = new SurfaceWidget(this);
        client_ = sw;
        surface_->attach(sw);
        // A new drawing window has the size of a new window of the old desktop: 4800 x 3600 twips.
        widthTwips_ = 4800;
        heightTwips_ = 3600;
        surface_->resize(twipsToPixels(widthTwips_), twipsToPixels(heightTwips_));
        sw->setFixedSize(surface_->pixelWidth(), surface_->pixelHeight());
    } else {
        client_ = new QWidget;
    }
    client_->setObjectName(qs(name_ + ".client"));
    window->setCentralWidget(client_);
}

Form::~Form() {
    delete widget_;
    widget_ = nullptr;
}

void Form::show() {
    if (!loaded_) return;
    widget_->show();
    // A window that comes up takes the keyboard, so that it can be used without the mouse. The
    // headless platform cannot stack windows and says so each time.
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
        widget_->raise();
        widget_->activateWindow();
    }
}

namespace {
// When the window that has the keyboard goes away, the shown window loaded last takes it, so
// that the user goes on without the mouse also where no window manager hands it on.
void hideKeepingKeyboard(Form& form) {
    QWidget* w = form.widget();
    // Also when no shown window has it (a box just closed and handed it back to this one).
    const QWidget* active = QApplication::activeWindow();
    const bool hadKeyboard = !active || active == w || !active->isVisible();
    w->hide();
    if (!hadKeyboard || QGuiApplication::platformName() == QLatin1String("offscreen")) return;
    const std::vector<Form*> forms = loadedForms();
    for (auto it = forms.rbegin(); it != forms.rend(); ++it) {
        if (*it != &form && (*it)->visible()) {
            (*it)->widget()->activateWindow();
            return;
        }
    }
}
} // namespace

void Form::hide() {
    clearKeyMark();
    hideKeepingKeyboard(*this);
}
bool Form::visible() const {
    return loaded_ && widget_->isVisible();
}

void Form::bringToFront() {
    widget_->raise();
    widget_->activateWindow();
}

void Form::unload() {
    if (!loaded_ || unloading_) return;
    unloading_ = true;
    runHandler([this] { Form_Unload(); });
    hideKeepingKeyboard(*this);
    loaded_ = false;
    unloading_ = false;
    detail::takeOffLoaded(*this);
}

std::string Form::caption() const {
    return ss(widget_->windowTitle());
}

void Form::setCaption(const std::string& text) {
    // A caption may be a file's name, which must not turn the title around or hide in it.
    const std::string shown = vesk::visibleName(text);
    widget_->setWindowTitle(qs(shown));
    widget_->setAccessibleName(qs(shown));
}

namespace {
// The client area's size as the layout makes it, also before the window was first shown.
QSize clientSize(QWidget* client) {
    return client->isVisible() ? client->size()
                               : client->sizeHint().expandedTo(client->minimumSize());
}

int menuHeight(QWidget* window) {
    auto* w = static_cast<QMainWindow*>(window);
    QWidget* bar = w->menuWidget();
    return bar ? bar->sizeHint().height() : 0;
}
} // namespace

int Form::width() const {
    return widthTwips_ > 0 ? widthTwips_ : clientSize(client_).width() * kTwipsPerPixel;
}

int Form::height() const {
    return heightTwips_ > 0 ? heightTwips_ : clientSize(client_).height() * kTwipsPerPixel;
}

// The size given is the client area's (the drawing area of a drawing window); the window's
// frame and menu bar come on top of it.
void Form::setWidth(int twips) {
    widthTwips_ = std::max(twips, kTwipsPerPixel);
    applySize();
}

void Form::setHeight(int twips) {
    heightTwips_ = std::max(twips, kTwipsPerPixel);
    applySize();
}

void Form::applySize() {
    const QSize now = clientSize(client_);
    const int w = widthTwips_ > 0 ? twipsToPixels(widthTwips_) : now.width();
    const int h = heightTwips_ > 0 ? twipsToPixels(heightTwips_) : now.height();
    if (kind_ == Kind::Drawing) {
        surface_->resize(w, h);
        client_->setFixedSize(w, h);
        widget_->adjustSize();
    } else {
        widget_->resize(w, h + menuHeight(widget_));
    }
}

Surface& Form::surface() {
    return *surface_;
}

QWidget* Form::containerWidget() {
    return client_;
}

void Form::mouseDown(int button, float x, float y) {
    if (loaded_) runHandler([=, this] { Form_MouseDown(button, 0, x, y); });
}

void Form::mouseMove(int button, float x, float y) {
    if (loaded_) runHandler([=, this] { Form_MouseMove(button, 0, x, y); });
}

void Form::mouseUp(int button, float x, float y) {
    if (loaded_) runHandler([=, this] { Form_MouseUp(button, 0, x, y); });
}

// A double-click is press, release, double-click, release; each step only while still loaded.
void Form::dblClick(float x, float y) {
    mouseDown(1, x, y);
    mouseUp(1, x, y);
    if (loaded_) runHandler([this] { Form_DblClick(); });
    mouseUp(1, x, y);
}

void Form::keyDown(int keyCode, int shift) {
    if (loaded_) runHandler([=, this] { Form_KeyDown(keyCode, shift); });
}

void Form::setKeyMark(float x, float y) {
    keyMark_ = true;
    keyMarkX_ = surface_->toPixelX(x);
    keyMarkY_ = surface_->toPixelY(y);
    client_->update();
}

void Form::clearKeyMark() {
    if (!keyMark_) return;
    keyMark_ = false;
    client_->update();
}

void Form::closeBox() {
    if (loaded_) runHandler([this] { unload(); });
}

void Form::markLoaded() {
    loaded_ = true;
}

} // namespace plat
