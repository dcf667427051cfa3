#include "platform/controls.h"

#include "platform/accessibility.h"
#include "platform/form.h"
#include "platform/qt_text.h"

#include <QCheckBox>
#include <QFocusEvent>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionFrame>

#include <algorithm>
#include <cmath>
#include <utility>

namespace plat {

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

void Control::setDecorative() {
    markAccessible(widget_, kDecorationProperty);
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

namespace {

std::vector<TextBox*>& textBoxes() {
    static auto* boxes = new std::vector<TextBox*>;
    return *boxes;
}

// Tells the box when it gets the focus and when the user leaves it. A window or a drop-down that
// takes the focus for a while gives it back to the box: the user has not left it.
class LeaveWatch : public QObject {
  public:
    LeaveWatch(QObject* parent, TextBox* box) : QObject(parent), box_(box) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusIn) {
            auto handler = box_->onEnter;
            if (handler) runHandler(handler);
        } else if (event->type() == QEvent::FocusOut) {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            // A window being unloaded or destroyed gives up its focus too; nothing is left then.
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
                box_->form().isLoaded()) {
                auto handler = box_->onLeave;
                if (handler) runHandler(handler);
            }
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    TextBox* box_;
};

// A box never narrower than its whole text, up to the width of a box with nothing beside it:
// where two boxes share a row, or the window is kept to its design size, the layout would
// otherwise squeeze them until a year shows as "018" (at a scale of 1.5, where the text is drawn
// wider than at 1).
class TextBoxEdit : public QLineEdit {
  public:
    QSize minimumSizeHint() const override {
        const QSize least = QLineEdit::minimumSizeHint();
        if (text().isEmpty()) return least;
        QStyleOptionFrame opt;
        initStyleOption(&opt);
        const QMargins margins = textMargins();
        // The text stands 2 pixels in from each side of the frame, and the cursor after it.
        const int inner = int(std::ceil(QFontMetricsF(font()).horizontalAdvance(text()))) + 2 * 2 +
                          1 + margins.left() + margins.right();
        const QSize whole = style()->sizeFromContents(QStyle::CT_LineEdit, &opt,
                                                      QSize(inner, least.height()), this);
        return {std::max(least.width(), std::min(whole.width(), sizeHint().width())),
                least.height()};
    }
};

} // namespace

void showStoredValues() {
    // A handler may load a window (whose boxes join the list): go by a copy.
    const std::vector<TextBox*> boxes = textBoxes();
    for (TextBox* box : boxes) {
        if (std::find(textBoxes().begin(), textBoxes().end(), box) == textBoxes().end()) continue;
        if (!box->form().isLoaded() || !box->onLeave) continue;
        auto handler = box->onLeave;
        runHandler(handler);
    }
}

TextBox::~TextBox() {
    auto& boxes = textBoxes();
    boxes.erase(std::remove(boxes.begin(), boxes.end(), this), boxes.end());
}

TextBox::TextBox(Container& parent, std::string name, const std::string& label,
                 const std::string& designText)
    : Control(parent, std::move(name), new TextBoxEdit, label) {
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
    textBoxes().push_back(this);
    edit->installEventFilter(new LeaveWatch(edit, this));
    // textChanged comes from the user's typing and from code alike, and only on a real change.
    QObject::connect(edit, &QLineEdit::textChanged, edit, [this, edit] {
        edit->updateGeometry(); // the room that the new text needs
        if (refuses && refuses(text())) return;
        auto handler = onChange;
        runHandler(handler);
    });
}

bool TextBox::hasFocus() const {
    return widget()->hasFocus();
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
    markAccessible(widget(), kCheckBoxProperty);
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
} // namespace plat
