#include "control_window/windows/editorsupport.h"

#include <cfloat>
#include <cmath>
#include <memory>

#include <QWidget>

#include "common/visibletext.h"
#include "control_window/files/definitionreader.h"
#include "control_window/files/tezfile.h"
#include "control_window/model/maincode.h"
#include "control_window/windows/dialogs.h"
#include "control_window/windows/graph.h"
#include "platform/numtext.h"
#include "platform/system.h"

namespace cw::editor {

std::optional<int16_t> boxInteger(std::string_view text) {
    const std::optional<double> v = plat::leadingNumber(text);
    if (!v) return std::nullopt;
    return plat::toInteger16(*v);
}

namespace {

// A number that a single holds: not too large, and not so small that it would become 0.
bool fitsSingle(double v) {
    return std::fabs(v) <= double(FLT_MAX) && (v == 0 || float(v) != 0);
}

// Whether a box's text reads, strictly, as the value whose box text is `shown`, the form the files
// keep it in: "0.50" reads as 0.5, but "0.123456789" does not read as the single that the files
// keep as .1234568.
bool readsAs(const std::string& text, const std::string& shown) {
    if (text == shown) return true;
    // An empty box is how a fresh window shows a value of 0.
    if (text.find_first_not_of(" \t") == std::string::npos) return plat::parseNumber(shown) == 0.0;
    const std::optional<double> typed = plat::parseNumber(text);
    const std::optional<double> stored = plat::parseNumber(shown);
    return typed && stored && std::isfinite(*typed) && *typed == *stored;
}

// A text whose leading number the box's variable cannot hold, so that its handler refused it.
bool refusedText(std::string_view text, BoxKind kind) {
    const std::optional<double> v = plat::leadingNumber(text);
    if (!v) return true;
    switch (kind) {
    case BoxKind::Whole:
        return !plat::toInteger16(*v);
    case BoxKind::Long: {
        const double w = std::nearbyint(*v);
        return !(w >= double(INT32_MIN) && w <= double(INT32_MAX));
    }
    case BoxKind::Single:
        return !fitsSingle(*v);
    case BoxKind::Double:
        return std::fabs(*v) > kLargestSavedDouble;
    }
    return false;
}

// The name that the user knows a box by: its label, or the name given for screen readers.
std::string boxName(const plat::TextBox& box) {
    return box.widget()->accessibleName().toStdString();
}

// Sets what a box shows without running its handler, so that nothing stored changes.
void showOnly(plat::TextBox& box, const std::string& text) {
    const std::function<void()> handler = std::move(box.onChange);
    box.setText(text);
    box.onChange = handler;
}

} // namespace

std::optional<float> boxSingle(std::string_view text) {
    const std::optional<double> v = plat::leadingNumber(text);
    if (!v || !fitsSingle(*v)) return std::nullopt;
    return float(*v);
}

std::optional<float> answerSingle(std::string_view text) {
    const std::optional<double> v = plat::parseNumber(text);
    if (!v || !std::isfinite(*v) || !fitsSingle(*v)) return std::nullopt;
    return float(*v);
}

void showsStored(plat::TextBox& box, BoxKind kind, std::function<std::string()> shown) {
    // A number refused is left as typed, and its handler does not run: the keys typed on the way
    // may have stored a part of it ("3.5e3" of "3.5e38"). When the user leaves the box, it goes
    // back to the value's text when the focus entered it.
    box.refuses = [kind](const std::string& text) { return refusedText(text, kind); };
    auto entered = std::make_shared<std::optional<std::string>>();
    box.onEnter = [entered, shown] {
        if (!*entered) *entered = shown();
    };
    box.onLeave = [&box, kind, shown = std::move(shown), entered] {
        const std::string typed = box.text();
        if (refusedText(typed, kind)) {
            const std::string back = entered->value_or(shown());
            plat::msgBox(vesk::visibleText(deffile::trimmed(typed)) + " is out of range for \"" +
                         boxName(box) + "\"; it keeps " + back + ".");
            // Through the handler, which stores the value again.
            box.setText(back);
        }
        const std::string text = shown();
        if (!readsAs(box.text(), text)) showOnly(box, text);
        // A box left at a save keeps the focus: what it holds now is what a later refusal in it
        // goes back to.
        if (box.hasFocus()) {
            *entered = text;
        } else {
            entered->reset();
        }
    };
}

std::optional<double> boxDouble(std::string_view text) {
    const std::optional<double> v = plat::leadingNumber(text);
    if (!v || std::fabs(*v) > kLargestSavedDouble) return std::nullopt;
    return *v;
}

std::optional<int16_t> strictInteger(std::string_view text) {
    const std::optional<double> v = plat::parseNumber(text);
    if (!v) return std::nullopt;
    return plat::toInteger16(*v);
}

std::string boxText(double v, bool single) {
    return single ? plat::strSingle(float(v)) : plat::strDouble(v);
}

std::string printFormInBox(const std::string& printed) {
    std::string s = printed;
    if (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

// A box whose number is refused (1e400, or 1e39 for a single) differs from any value. The user's
// typing never rewrites it: its handler does not run for it (showsStored).
void rewriteSingle(plat::TextBox& box, float value) {
    const std::optional<float> shown = boxSingle(box.text());
    if (!shown || *shown != value) box.setText(plat::strSingle(value));
}

void rewriteWhole(plat::TextBox& box, int32_t value) {
    const std::optional<double> shown = plat::leadingNumber(box.text());
    if (!shown || *shown != double(value)) box.setText(plat::strInteger(value));
}

void rewriteVariant(plat::TextBox& box, const Variant& value, const std::string& shown) {
    const std::string text = box.text();
    // An emptied box, whose handler stored 0, shows the number.
    const std::optional<double> number = plat::leadingNumber(text);
    if (value.isEmpty() || value.kind() == Variant::Kind::Text ||
        text.find_first_not_of(" \t") == std::string::npos || !number || *number != value.number())
        box.setText(shown);
}

void storeSingle(plat::TextBox& box, float& value) {
    if (const std::optional<float> v = boxSingle(box.text())) value = *v;
}

bool storeDouble(plat::TextBox& box, double& value) {
    const std::optional<double> v = boxDouble(box.text());
    if (v) value = *v;
    return v.has_value();
}

void showSelectivityType(const std::string& type, plat::Control& minvulLabel, plat::Control& minvul,
                         plat::Control& bins) {
    minvulLabel.setVisible(type == "A");
    minvul.setVisible(type == "A");
    bins.setVisible(type == "L");
}

void showSexButtons(int nsexes, bool sexesEqual, plat::CommandButton& first,
                    plat::CommandButton& second, plat::Control& sexesEqualBox,
                    plat::Control& matchOther) {
    if (nsexes == 1) {
        first.setCaption("UniSex");
        first.setEnabled(true);
        second.setEnabled(false);
        sexesEqualBox.setEnabled(false);
        matchOther.setEnabled(false);
    } else {
        first.setCaption("Male");
        first.setEnabled(true);
        second.setEnabled(true);
        sexesEqualBox.setEnabled(true);
        matchOther.setEnabled(true);
        if (sexesEqual) {
            first.setCaption("UniSex");
            second.setEnabled(false);
            matchOther.setEnabled(false);
        }
    }
}

void nameInFrame(const plat::Frame& frame,
                 std::initializer_list<std::pair<plat::Control*, const char*>> controls) {
    for (auto [control, caption] : controls)
        control->setAccessibleName(std::string(caption) + ", " + frame.caption());
}

void nameYearStepper(const plat::Frame& frame, plat::Control& year, plat::Control& scroll,
                     plat::Control& yearsEqual, plat::Control& prevYear, plat::Control& lastYear) {
    nameInFrame(frame, {{&year, "Year"},
                        {&scroll, "Year"},
                        {&yearsEqual, "Years equal"},
                        {&prevYear, "Prev Year"},
                        {&lastYear, "To last Year"}});
}

bool readyForFiles() {
    if (refusedWhileGraphOpen()) return false;
    plat::showStoredValues();
    return true;
}

std::optional<std::string> openStartfile(std::string_view extension, int number,
                                         const std::string& what) {
    const std::string& name = mc.startfile;
    if (name.size() < extension.size() ||
        name.compare(name.size() - extension.size(), extension.size(), extension) != 0) {
        return std::nullopt;
    }
    if (refusedWhileGraphOpen()) return std::nullopt;
    plat::SeqFile& f = plat::fileNumber(number);
    const StartfileLookup found = findStartfile(what);
    if (found.problem) {
        plat::msgBox(*found.problem);
        return std::nullopt;
    }
    const std::string& path = found.path;
    if (!f.openInput(path)) {
        plat::msgBox("The " + what + " " + name + " cannot be read: " + f.error());
        return std::nullopt;
    }
    return path;
}

bool loadOnOpening(std::string& current, std::string_view extension, int number,
                   const std::string& what, const std::function<bool()>& read) {
    std::optional<std::string> opened;
    if (current.empty()) {
        opened = openStartfile(extension, number, what);
    } else if (plat::SeqFile& f = plat::fileNumber(number); f.openInput(current)) {
        opened = current;
    } else {
        plat::msgBox("The " + what + " " + current + " cannot be read: " + f.error());
    }
    if (!opened) {
        current.clear();
        return false;
    }
    // The name as found on disk, so that a launch copies the file that was read.
    current = *opened;
    if (read()) return true;
    current.clear();
    return false;
}

bool loadChosenFile(std::string& name, const std::string& title, const std::string& filter,
                    int number, const std::function<bool()>& read) {
    if (refusedWhileGraphOpen()) return false;
    const std::string before = name;
    const std::string folder = plat::currentFolder();
    openinput(name, title, filter, number);
    if (!plat::fileNumber(number).isOpen()) return false;
    if (read()) return true;
    // A file that was refused changes nothing: neither the window's file nor the folder that a
    // later launch hands the definition over in.
    name = before;
    plat::setCurrentFolder(folder);
    return false;
}

SaveResult saveChosenFile(std::string& name, const std::string& title, const std::string& filter,
                          int number, const std::string& text) {
    const std::string before = name;
    const std::string folder = plat::currentFolder();
    openoutput(name, title, filter, number);
    plat::SeqFile& f = plat::fileNumber(number);
    // A cancelled dialog has emptied the name; a file that could not be opened has kept it.
    if (!f.isOpen()) return SaveResult::cancelled;
    f.print(text);
    if (f.close()) return SaveResult::written;
    name = before;
    plat::setCurrentFolder(folder);
    return SaveResult::failed;
}

std::optional<int16_t> typedYearCount(const std::string& text) {
    const std::optional<int16_t> v = boxInteger(text);
    if (!v || *v < 0) return std::nullopt;
    return std::min<int16_t>(*v, kMaxDefinitionYears);
}

void showYearIndex(plat::HScrollBar& bar, bool& moving, int16_t& nyr, int16_t& iyr) {
    moving = true;
    bar.setMax(nyr);
    bar.setMin(1);
    moving = false;
    if (iyr < 1) iyr = 1;
    if (nyr == 0) nyr = 1;
    if (iyr > nyr) iyr = nyr;
    if (iyr >= 1 && iyr <= nyr) {
        moving = true;
        bar.setValue(iyr);
        moving = false;
    }
}

void editYearSeries(int n, const std::string& title, float& mean) {
    mean = 0;
    const plat::MsgAnswer answer =
        plat::msgBox("Set to Mean", plat::MsgButtons::YesNoCancel, std::string());
    if (answer == plat::MsgAnswer::Cancel) return;
    if (answer == plat::MsgAnswer::Yes) {
        float sum = 0;
        for (int j = 1; j <= n; ++j)
            sum += mc.yplot(j);
        mean = sum / float(n);
        const std::optional<float> typed =
            answerSingle(plat::inputBox("Time series mean", title, boxText(mean, true)));
        if (!typed) return;
        mean = *typed;
        for (int j = 1; j <= n; ++j)
            mc.yplot(j) = mean;
    }
    float guess = 0;
    if (mean > 0) {
        guess = 2 * mean;
    } else {
        float top = 0;
        for (int j = 1; j <= n; ++j)
            top = std::max(top, mc.yplot(j));
        guess = 2 * top;
    }
    const std::optional<float> scale =
        answerSingle(plat::inputBox("Scale of Y for input", title, boxText(guess, true)));
    // A top of 0 or below leaves no room to drag in.
    if (!scale || *scale <= 0) {
        plat::msgBox("Upper value must be greater than lower");
        return;
    }
    mc.ymax = *scale;
    mc.ymin = 0;
    mc.xmin = mc.fyr;
    mc.xmax = mc.lyr;
    mc.xtitle = "Year";
    mc.npts = n;
    for (int j = 1; j <= n; ++j)
        mc.xplot(j) = float(mc.fyr + j - 1);
    graphedit();
}

void editSeasonFractions(int n, const std::function<float&(int season)>& fraction,
                         const char* ytitle) {
    mc.xmin = 0;
    mc.xmax = float(n + 1);
    mc.ymin = 0;
    mc.npts = n;
    if (n == 1) {
        fraction(1) = 1.0f;
        return;
    }
    const plat::MsgAnswer answer =
        plat::msgBox("Set to mean this year", plat::MsgButtons::YesNoCancel);
    if (answer == plat::MsgAnswer::Cancel) return;
    if (answer == plat::MsgAnswer::Yes) {
        for (int s = 1; s <= n; ++s)
            mc.yplot(s) = 1.0f / float(n);
    } else {
        const std::optional<float> scale = answerSingle(
            plat::inputBox("Scale of Y for input", "Fractions of annual F by season", "0.5"));
        if (!scale || *scale <= 0) return;
        mc.ymax = *scale;
        for (int s = 1; s <= n; ++s) {
            mc.xplot(s) = float(s);
            mc.yplot(s) = fraction(s);
        }
        mc.ytitle = ytitle;
        mc.xtitle = "Season";
        graphedit();
    }
    float sum = 0;
    for (int s = 1; s <= n; ++s)
        sum += mc.yplot(s);
    if (sum > 0) {
        for (int s = 1; s <= n; ++s)
            mc.yplot(s) /= sum;
    }
    for (int s = 1; s <= n; ++s)
        fraction(s) = mc.yplot(s);
}

} // namespace cw::editor
