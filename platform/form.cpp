#include "platform/form.h"

#include "platform/prompts.h"
#include "platform/surface.h"

#include <QAbstractEventDispatcher>
#include <QAccessible>
#include <QAccessibleObject>
#include <QAccessibleWidget>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

namespace plat {

namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}
std::string ss(const QString& s) {
    return s.toStdString();
}

struct Registry {
    std::vector<std::pair<std::type_index, std::unique_ptr<Form>>> loaded;
    std::vector<std::unique_ptr<Form>> unloaded;
    int handlerDepth = 0;
    bool destroyInWaits = true;
    bool endRequested = false;
    std::function<void(const std::string&)> errorReporter;
};

// Never destroyed: windows still loaded at exit must not outlive the application object in a
// static destructor.
Registry& reg() {
    static Registry* r = new Registry;
    return *r;
}

void reportHandlerError(const std::string& what) {
    if (reg().errorReporter)
        reg().errorReporter(what);
    else
        std::fprintf(stderr, "vesk: a window handler failed: %s\n", what.c_str());
}

struct DepthGuard {
    DepthGuard() { ++reg().handlerDepth; }
    ~DepthGuard() { --reg().handlerDepth; }
};

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

// Whole pixels that fit in the twips given: a window is never made larger than asked.
int twipsToPixels(int twips) {
    return std::max(1, twips / kTwipsPerPixel);
}

} // namespace

// The top-level window of a form: its close box unloads the form.
class FormWindow : public QMainWindow {
  public:
    explicit FormWindow(Form* form) : form_(form) {}

  protected:
    void closeEvent(QCloseEvent* event) override {
        event->ignore();
        Form* f = form_;
        if (f->isLoaded()) runHandler([f] { f->unload(); });
    }

  private:
    Form* form_;
};

// Shows a form's persistent image and turns mouse input into the form's events, in the
// surface's current scale.
class SurfaceWidget : public QWidget {
  public:
    explicit SurfaceWidget(Form* form) : form_(form) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setMouseTracking(true);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.drawImage(0, 0, form_->surface().image());
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

// ---- Container -------------------------------------------------------------------------------

Container::~Container() = default;

QGridLayout* Container::grid() {
    if (!grid_) grid_ = new QGridLayout(containerWidget());
    return ownRows_ ? ownRows_ : grid_;
}

void Container::nextColumn() {
    grid();
    ++column_;
    row_ = 0;
    ownRows_ = nullptr;
}

void Container::nextColumnOfItsOwn() {
    QGridLayout* g = grid();
    if (!ownRows_) {
        // Below the rows made so far a row takes up what the new column needs beyond them, so that
        // those rows keep their natural height.
        g = grid_;
        g->setRowStretch(g->rowCount(), 1);
    }
    ++column_;
    row_ = 0;
    ownRows_ = new QGridLayout;
    ownRows_->setContentsMargins(0, 0, 0, 0);
    grid_->addLayout(ownRows_, 0, column_ * 2, -1, 2, Qt::AlignTop);
}

void Container::sameRow() {
    sameRow_ = true;
}

void Container::place(QWidget* field, QWidget* label) {
    QGridLayout* g = grid();
    const int column = ownRows_ ? 0 : column_;
    if (std::exchange(sameRow_, false) && lastField_) {
        if (!rowOfLast_) {
            // The field cell of the control before becomes a row that holds both.
            auto* row = new QWidget;
            rowOfLast_ = new QHBoxLayout(row);
            rowOfLast_->setContentsMargins(0, 0, 0, 0);
            delete g->replaceWidget(lastField_, row);
            rowOfLast_->addWidget(lastField_);
        }
        if (label) rowOfLast_->addWidget(label);
        rowOfLast_->addWidget(field);
        lastField_ = field;
        return;
    }
    lastField_ = field;
    rowOfLast_ = nullptr;
    if (label) {
        g->addWidget(label, row_, column * 2);
        g->addWidget(field, row_, column * 2 + 1);
    } else {
        g->addWidget(field, row_, column * 2, 1, 2);
    }
    ++row_;
}

// ---- Control ---------------------------------------------------------------------------------

Control::Control(Container& parent, std::string name, QWidget* widget, const std::string& caption)
    : name_(std::move(name)), widget_(widget), form_(&parent.form()) {
    widget_->setObjectName(qs(name_));
    widget_->setAccessibleDescription(qs(name_));
    setAccessibleCaption(caption.empty() ? name_ : caption);
}

// The widgets belong to the window's widget tree, which the window deletes.
Control::~Control() = default;

void Control::setAccessibleCaption(const std::string& caption) {
    // A caption's "&" only marks its mnemonic key ("&&" stands for one "&"): it is not read out.
    const QString text = qs(caption);
    QString name;
    for (qsizetype k = 0; k < text.size(); ++k) {
        if (text[k] == QLatin1Char('&') && k + 1 < text.size()) ++k;
        name += text[k];
    }
    widget_->setAccessibleName(name);
}

void Control::setAccessibleName(const std::string& text) {
    widget_->setAccessibleName(qs(text));
}

bool Control::enabled() const {
    return !widget_->testAttribute(Qt::WA_ForceDisabled);
}
void Control::setEnabled(bool on) {
    widget_->setEnabled(on);
}
bool Control::visible() const {
    return !widget_->isHidden();
}
void Control::setVisible(bool on) {
    widget_->setVisible(on);
    if (companion_) companion_->setVisible(on);
}

// ---- Label -----------------------------------------------------------------------------------

namespace {
// A carriage return alone breaks a label's line, as it did on the old desktop; Qt breaks only
// at a line feed.
QString shownLabelText(const std::string& caption) {
    std::string shown;
    for (size_t k = 0; k < caption.size(); ++k) {
        const bool loneReturn =
            caption[k] == '\r' && (k + 1 == caption.size() || caption[k + 1] != '\n');
        shown += loneReturn ? '\n' : caption[k];
    }
    return qs(shown);
}
const char* const kCaptionProperty = "veskCaption";
} // namespace

Label::Label(Container& parent, std::string name, const std::string& caption)
    : Control(parent, std::move(name), new QLabel(shownLabelText(caption)), caption) {
    static_cast<QLabel*>(widget())->setTextFormat(Qt::PlainText);
    widget()->setProperty(kCaptionProperty, qs(caption));
    parent.place(widget());
}

std::string Label::caption() const {
    return ss(widget()->property(kCaptionProperty).toString());
}

void Label::setCaption(const std::string& text) {
    static_cast<QLabel*>(widget())->setText(shownLabelText(text));
    widget()->setProperty(kCaptionProperty, qs(text));
    setAccessibleCaption(text);
}

// ---- TextBox ---------------------------------------------------------------------------------

TextBox::TextBox(Container& parent, std::string name, const std::string& label,
                 const std::string& designText)
    : Control(parent, std::move(name), new QLineEdit, label) {
    auto* edit = static_cast<QLineEdit*>(widget());
    edit->setMaxLength(1 << 20);
    edit->setText(qs(designText));
    if (!label.empty()) {
        label_ = new QLabel(qs(label));
        label_->setTextFormat(Qt::PlainText);
        label_->setBuddy(edit);
        setCompanionLabel(label_);
    }
    parent.place(edit, label_);
    // textChanged comes from the user's typing and from code alike, and only on a real change.
    QObject::connect(edit, &QLineEdit::textChanged, edit, [this] {
        auto handler = onChange;
        runHandler(handler);
    });
}

std::string TextBox::text() const {
    return ss(static_cast<QLineEdit*>(widget())->text());
}

void TextBox::setText(std::string_view text) {
    auto* edit = static_cast<QLineEdit*>(widget());
    const QString t = QString::fromUtf8(text.data(), qsizetype(text.size()));
    // Writing the same text would still reset the cursor and undo history of the user's box.
    if (edit->text() == t) return;
    edit->setText(t);
}

void TextBox::setLocked(bool on) {
    static_cast<QLineEdit*>(widget())->setReadOnly(on);
}

void TextBox::setLabel(const std::string& label) {
    if (label_) label_->setText(qs(label));
    setAccessibleCaption(label);
}

// ---- CommandButton ---------------------------------------------------------------------------

CommandButton::CommandButton(Container& parent, std::string name, const std::string& caption)
    : Control(parent, std::move(name), new QPushButton(qs(caption)), caption) {
    auto* b = static_cast<QPushButton*>(widget());
    b->setAutoDefault(false);
    parent.place(b);
    QObject::connect(b, &QPushButton::clicked, b, [this] {
        auto handler = onClick;
        runHandler(handler);
    });
}

std::string CommandButton::caption() const {
    return ss(static_cast<QPushButton*>(widget())->text());
}

void CommandButton::setCaption(const std::string& text) {
    static_cast<QPushButton*>(widget())->setText(qs(text));
    setAccessibleCaption(text);
}

void CommandButton::click() {
    static_cast<QPushButton*>(widget())->click();
}

// ---- Accessibility ---------------------------------------------------------------------------

namespace {

// A click always selects the button (a selected option is not cleared by clicking it again);
// exclusivity is kept by the container, so code can clear a button as well.
class OptionWidget : public QRadioButton {
  public:
    using QRadioButton::QRadioButton;

  protected:
    void nextCheckState() override { setChecked(true); }
};

// Qt reports a button that is not auto-exclusive as a check box, and its toggle action would flip
// the value without the click that runs the handler. An option button is a radio button to
// assistive technology, and both its actions are the user's click.
class OptionAccessible : public QAccessibleWidget {
  public:
    explicit OptionAccessible(OptionWidget* w) : QAccessibleWidget(w, QAccessible::RadioButton) {}
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
            button()->click(); // does nothing while the button is disabled
        } else {
            QAccessibleWidget::doAction(action);
        }
    }

  private:
    QRadioButton* button() const { return static_cast<QRadioButton*>(widget()); }
};

const char* const kMenuEntryProperty = "veskMenuEntry";

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

const char* const kOptionProperty = "veskOptionButton";
const char* const kDecorationProperty = "veskDecoration";

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
        return new OptionAccessible(static_cast<OptionWidget*>(object));
    if (key == QLatin1String("QAction") && object->property(kMenuEntryProperty).toBool())
        return new MenuEntryAccessible(static_cast<QAction*>(object));
    return nullptr;
}

// Marks an object for the factory above. Qt may have made and kept an interface of its own while
// the object was being built; that one is dropped so that the next query makes ours.
void markAccessible(QObject* object, const char* property) {
    static const bool installed = (QAccessible::installFactory(accessibleFactory), true);
    (void)installed;
    object->setProperty(property, true);
    if (QAccessibleInterface* made = QAccessible::queryAccessibleInterface(object)) {
        if (!dynamic_cast<OptionAccessible*>(made) && !dynamic_cast<MenuEntryAccessible*>(made) &&
            !dynamic_cast<DecorationAccessible*>(made))
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
    }
}

} // namespace

void Control::setDecorative() {
    markAccessible(widget_, kDecorationProperty);
}

// ---- OptionButton ----------------------------------------------------------------------------

OptionButton::OptionButton(Container& parent, std::string name, const std::string& caption)
    : Control(parent, std::move(name), new OptionWidget(qs(caption)), caption), group_(&parent) {
    markAccessible(widget(), kOptionProperty);
    auto* b = static_cast<QRadioButton*>(widget());
    b->setAutoExclusive(false);
    parent.place(b);
    parent.optionButtons.push_back(this);
    QObject::connect(b, &QRadioButton::pressed, b, [this, b] { wasSelected_ = b->isChecked(); });
    // The user's click on a button that is already selected does nothing.
    QObject::connect(b, &QRadioButton::clicked, b, [this] {
        if (!wasSelected_) select();
    });
}

void OptionButton::select() {
    static_cast<QRadioButton*>(widget())->setChecked(true);
    for (OptionButton* other : group_->optionButtons)
        if (other != this) static_cast<QRadioButton*>(other->widget())->setChecked(false);
    auto handler = onClick;
    runHandler(handler);
}

bool OptionButton::value() const {
    return static_cast<QRadioButton*>(widget())->isChecked();
}

void OptionButton::setValue(bool on) {
    if (on)
        select();
    else
        static_cast<QRadioButton*>(widget())->setChecked(false);
}

std::string OptionButton::caption() const {
    return ss(static_cast<QRadioButton*>(widget())->text());
}

void OptionButton::setCaption(const std::string& text) {
    static_cast<QRadioButton*>(widget())->setText(qs(text));
    setAccessibleCaption(text);
}

void OptionButton::click() {
    static_cast<QRadioButton*>(widget())->click();
}

// ---- CheckBox --------------------------------------------------------------------------------

CheckBox::CheckBox(Container& parent, std::string name, const std::string& caption)
    : Control(parent, std::move(name), new QCheckBox(qs(caption)), caption) {
    auto* b = static_cast<QCheckBox*>(widget());
    parent.place(b);
    // toggled comes from the user's click and from code, and only when the value changes.
    QObject::connect(b, &QCheckBox::toggled, b, [this] {
        auto handler = onClick;
        runHandler(handler);
    });
}

int CheckBox::value() const {
    return static_cast<QCheckBox*>(widget())->isChecked() ? 1 : 0;
}
void CheckBox::setValue(int v) {
    static_cast<QCheckBox*>(widget())->setChecked(v != 0);
}
std::string CheckBox::caption() const {
    return ss(static_cast<QCheckBox*>(widget())->text());
}
void CheckBox::click() {
    static_cast<QCheckBox*>(widget())->click();
}

// ---- Frame -----------------------------------------------------------------------------------

Frame::Frame(Container& parent, std::string name, const std::string& caption)
    : Control(parent, std::move(name), new QGroupBox(qs(caption)), caption) {
    parent.place(widget());
}

std::string Frame::caption() const {
    return ss(static_cast<QGroupBox*>(widget())->title());
}

void Frame::setCaption(const std::string& text) {
    static_cast<QGroupBox*>(widget())->setTitle(qs(text));
    setAccessibleCaption(text);
}

QWidget* Frame::containerWidget() {
    return widget();
}

// ---- HScrollBar ------------------------------------------------------------------------------

HScrollBar::HScrollBar(Container& parent, std::string name, const std::string& label)
    : Control(parent, std::move(name), new QScrollBar(Qt::Horizontal), label) {
    auto* bar = static_cast<QScrollBar*>(widget());
    bar->setRange(0, 32767);
    bar->setValue(0);
    bar->setSingleStep(1);
    bar->setPageStep(1);
    QLabel* l = nullptr;
    if (!label.empty()) {
        l = new QLabel(qs(label));
        l->setTextFormat(Qt::PlainText);
        setCompanionLabel(l);
    }
    parent.place(bar, l);
    // valueChanged also comes when a new minimum or maximum moves the value.
    QObject::connect(bar, &QScrollBar::valueChanged, bar, [this] {
        auto handler = onChange;
        runHandler(handler);
    });
}

int HScrollBar::min() const {
    return static_cast<QScrollBar*>(widget())->minimum();
}
int HScrollBar::max() const {
    return static_cast<QScrollBar*>(widget())->maximum();
}
int HScrollBar::value() const {
    return static_cast<QScrollBar*>(widget())->value();
}
void HScrollBar::setMin(int v) {
    static_cast<QScrollBar*>(widget())->setMinimum(v);
}
void HScrollBar::setMax(int v) {
    static_cast<QScrollBar*>(widget())->setMaximum(v);
}
void HScrollBar::setValue(int v) {
    static_cast<QScrollBar*>(widget())->setValue(v);
}
void HScrollBar::setSmallChange(int v) {
    static_cast<QScrollBar*>(widget())->setSingleStep(v);
}
void HScrollBar::setLargeChange(int v) {
    static_cast<QScrollBar*>(widget())->setPageStep(v);
}

// ---- ProgressBar -----------------------------------------------------------------------------

ProgressBar::ProgressBar(Container& parent, std::string name)
    : Control(parent, std::move(name), new QProgressBar, name) {
    auto* bar = static_cast<QProgressBar*>(widget());
    bar->setRange(0, 100);
    bar->setValue(0);
    parent.place(bar);
}

int ProgressBar::min() const {
    return static_cast<QProgressBar*>(widget())->minimum();
}
int ProgressBar::max() const {
    return static_cast<QProgressBar*>(widget())->maximum();
}
int ProgressBar::value() const {
    return static_cast<QProgressBar*>(widget())->value();
}
void ProgressBar::setMin(int v) {
    static_cast<QProgressBar*>(widget())->setMinimum(v);
}
void ProgressBar::setMax(int v) {
    static_cast<QProgressBar*>(widget())->setMaximum(v);
}

void ProgressBar::setValue(int v) {
    auto* bar = static_cast<QProgressBar*>(widget());
    bar->setValue(std::clamp(v, bar->minimum(), bar->maximum()));
}

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
    // The headless platform cannot stack windows and says so each time.
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) widget_->raise();
}

void Form::hide() {
    widget_->hide();
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
    widget_->hide();
    loaded_ = false;
    unloading_ = false;
    auto& list = reg().loaded;
    for (auto it = list.begin(); it != list.end(); ++it) {
        if (it->second.get() == this) {
            reg().unloaded.push_back(std::move(it->second));
            list.erase(it);
            break;
        }
    }
}

std::string Form::caption() const {
    return ss(widget_->windowTitle());
}

void Form::setCaption(const std::string& text) {
    widget_->setWindowTitle(qs(text));
    widget_->setAccessibleName(qs(text));
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

void Form::closeBox() {
    if (loaded_) runHandler([this] { unload(); });
}

void Form::markLoaded() {
    loaded_ = true;
}

// ---- The list of loaded windows and the wait primitive ---------------------------------------

namespace detail {

Form* findLoaded(std::type_index type) {
    for (auto& [t, f] : reg().loaded)
        if (t == type) return f.get();
    return nullptr;
}

void registerLoaded(std::type_index type, std::unique_ptr<Form> form) {
    form->markLoaded();
    reg().loaded.emplace_back(type, std::move(form));
}

void runLoad(Form& form) {
    runHandler([&form] { form.Form_Load(); });
}

} // namespace detail

std::vector<Form*> loadedForms() {
    std::vector<Form*> out;
    for (auto& entry : reg().loaded)
        out.push_back(entry.second.get());
    return out;
}

// Index by index from the last down, looking at the list afresh each time, since unloading one
// window may unload others.
void unloadAll() {
    for (int i = int(reg().loaded.size()) - 1; i >= 0; --i) {
        if (i < int(reg().loaded.size())) reg().loaded[std::size_t(i)].second->unload();
    }
}

int shownCount() {
    int n = 0;
    for (auto& entry : reg().loaded)
        if (entry.second->visible()) ++n;
    return n;
}

int doEvents() {
    bool processed = false;
    if (QCoreApplication::instance()) {
        // Everything that is pending, in passes; the bound keeps a timer that is always due from
        // holding the caller forever.
        if (QAbstractEventDispatcher* d = QAbstractEventDispatcher::instance())
            for (int pass = 0; pass < 100 && d->processEvents(QEventLoop::AllEvents); ++pass)
                processed = true;
    }
    if (!processed) prompts().idle();
    if (reg().handlerDepth == 0 && reg().destroyInWaits) destroyUnloaded();
    return shownCount();
}

void runHandler(const std::function<void()>& handler) {
    if (!handler) return;
    DepthGuard guard;
    try {
        handler();
    } catch (const std::exception& e) {
        reportHandlerError(e.what());
    } catch (...) {
        reportHandlerError("unknown exception");
    }
}

bool handlerRunning() {
    return reg().handlerDepth > 0;
}

void setHandlerErrorReporter(std::function<void(const std::string&)> reporter) {
    reg().errorReporter = std::move(reporter);
}

void destroyUnloaded() {
    if (reg().handlerDepth > 0) return;
    auto dead = std::move(reg().unloaded);
    reg().unloaded.clear();
    dead.clear();
}

void setDestroyInWaits(bool on) {
    reg().destroyInWaits = on;
}

void requestEnd() {
    reg().endRequested = true;
}
bool endRequested() {
    return reg().endRequested;
}
void resetEndRequest() {
    reg().endRequested = false;
}

} // namespace plat
