#include "control_window/windows/editors/defineyoy.h"

#include <QWidget>

#include <cfloat>
#include <cmath>
#include <optional>
#include <string>

#include "control_window/files/yoyfile.h"
#include "control_window/model/maincode.h"
#include "control_window/windows/editorsupport.h"
#include "control_window/windows/graph.h"
#include "platform/numtext.h"
#include "platform/prompts.h"

namespace cw {

namespace {

constexpr int kFileNumber = 4;
const char* const kOutOfRange = "Years are out of range";

// An input-box answer: nothing when it is empty, not a number, or too large for a single-precision
// series (all treated like an empty answer).
std::optional<double> answerNumber(const std::string& text) {
    const std::optional<double> v = plat::parseNumber(text);
    if (!v || !std::isfinite(*v) || std::fabs(*v) > double(FLT_MAX)) return std::nullopt;
    return v;
}

// The text an input box proposes: the number's box text with its leading zero ("0.5").
std::string proposal(double v) {
    return editor::boxText(v, false);
}

} // namespace

struct DefineYOY::SeriesEdit {
    const char* question;
    const char* meanDefault; // nullptr: propose the current mean recruitment
    bool setsMean;
    const char* scaleTitle;
    Bounded<float, 1, kMaxYears> Maincode::*series;
};

DefineYOY::DefineYOY() : plat::Form("DefineYOY", "Set Recruitment") {
    // The two year boxes share one label; each is read out by what it holds. The check box's
    // caption is never shown: the label beside it says what it does.
    i_byr.setAccessibleName("First year");
    i_eyr.setAccessibleName("Last year");
    c_setgto1.setAccessibleName("Reset Growth to 1");
    i_byr.onChange = [this] { i_byr_Change(); };
    i_eyr.onChange = [this] { i_eyr_Change(); };
    i_myoy.onChange = [this] { i_myoy_Change(); };
    editor::showsStored(i_byr, editor::BoxKind::Whole, [this] { return plat::strInteger(byr); });
    editor::showsStored(i_eyr, editor::BoxKind::Whole, [this] { return plat::strInteger(eyr); });
    editor::showsStored(i_myoy, editor::BoxKind::Double, [] { return mc.myoy.text(); });
    c_vg.onClick = [this] { c_vg_Click(); };
    c_setgto1.onClick = [this] { c_setgto1_Click(); };
    I_yoy.onClick = [this] { I_yoy_Click(); };
    I_growth.onClick = [this] { I_growth_Click(); };
    saveyoy.onClick = [this] { saveyoy_Click(); };
    loadyoy.onClick = [this] { loadyoy_Click(); };
}

void DefineYOY::Form_Load() {
    // The years outlive the window as the series by year do (see Form_Unload).
    byr = mc.yoybyr;
    eyr = mc.yoyeyr;
    if (const auto opened = editor::openStartfile("yoy", kFileNumber, "recruitment data file");
        opened && readyoy())
        mc.yoyfile = *opened;
    refreshyoy();
}

void DefineYOY::Form_Unload() {
    mc.yoybyr = byr;
    mc.yoyeyr = eyr;
}

bool DefineYOY::testrange() {
    const int n = yearCount(byr, eyr);
    mc.npts = n;
    return yearRangeValid(n);
}

void DefineYOY::refreshyoy() {
    if (!mc.yoyfile.empty()) setCaption(mc.yoyfile);
    i_myoy.setText(mc.myoy.text());
    c_vg.setValue(mc.vgflag != 0 ? 1 : 0);
    i_byr.setText(plat::strInteger(byr));
    i_eyr.setText(plat::strInteger(eyr));
}

bool DefineYOY::readyoy() {
    YoyData copy = yoyDataFrom(mc, byr, eyr);
    if (!editor::readOpenFile(kFileNumber, copy, readYoyFile)) return false;
    byr = copy.byr;
    eyr = copy.eyr;
    storeYoyData(mc, copy);
    refreshyoy();
    return true;
}

// A year that does not fit a 16-bit number is refused: the box gets the year it had back.
void DefineYOY::yearBoxChanged(plat::TextBox& box, int16_t& year) {
    // A year beyond the 16-bit range is left as typed: the box puts back its year when the user
    // leaves it.
    if (const std::optional<int16_t> v = editor::boxInteger(box.text())) year = *v;
}

void DefineYOY::i_byr_Change() {
    yearBoxChanged(i_byr, byr);
}

void DefineYOY::i_eyr_Change() {
    yearBoxChanged(i_eyr, eyr);
}

void DefineYOY::i_myoy_Change() {
    // A number too large is left as typed: the box puts back its value when the user leaves it.
    if (const auto v = editor::boxDouble(i_myoy.text())) mc.myoy = *v;
}

void DefineYOY::c_vg_Click() {
    mc.vgflag = c_vg.value() != 0 ? 1 : 0;
}

void DefineYOY::c_setgto1_Click() {
    if (!testrange()) {
        plat::msgBox(kOutOfRange);
        return;
    }
    const int n = mc.npts;
    for (int k = 1; k <= n; ++k)
        mc.yoygro(k) = 1;
}

void DefineYOY::editSeries(const SeriesEdit& e) {
    if (graphInUse()) return;
    if (!testrange()) {
        plat::msgBox(kOutOfRange);
        return;
    }
    const int n = mc.npts;
    // A last year before the first leaves no year to set or drag.
    if (n < 1) {
        plat::msgBox(kOutOfRange);
        return;
    }
    auto& series = mc.*e.series;
    mc.xmin = byr;
    mc.xmax = eyr;
    mc.ymin = 0;
    mc.npts = n;

    const plat::MsgAnswer answer =
        plat::msgBox(e.question, plat::MsgButtons::YesNoCancel, std::string());
    if (answer == plat::MsgAnswer::Cancel) return;
    if (answer == plat::MsgAnswer::Yes) {
        const std::string proposed = e.meanDefault != nullptr ? std::string(e.meanDefault)
                                     : mc.myoy.isEmpty()      ? std::string()
                                                              : proposal(mc.myoy.number());
        const std::optional<double> mean =
            answerNumber(plat::inputBox("Mean rate", "Recruitment ", proposed));
        if (!mean) return;
        // The mean keeps the number as answered; the series hold it in single precision.
        if (e.setsMean) mc.myoy = *mean;
        for (int k = 1; k <= n; ++k)
            series(k) = float(*mean);
    } else {
        double guess = 2;
        if (e.setsMean) {
            const double m = mc.myoy.number();
            guess = m > 0 ? 2 * m : 0;
        }
        const std::optional<double> scale =
            answerNumber(plat::inputBox("Scale of Y for input", e.scaleTitle, proposal(guess)));
        // A top of 0 or below leaves no room to drag in.
        if (!scale || *scale <= 0) return;
        mc.ymax = float(*scale);
        mc.npts = n;
        for (int k = 1; k <= n; ++k) {
            mc.xplot(k) = float(byr + k - 1);
            mc.yplot(k) = series(k);
        }
        mc.ytitle = "Recruitment";
        mc.xtitle = "Year";
        graphedit();
        for (int k = 1; k <= n; ++k)
            series(k) = mc.yplot(k);
    }
    // The window may have been closed while the graph was up; its values are in the data model.
    if (isLoaded()) refreshyoy();
}

void DefineYOY::I_yoy_Click() {
    editSeries({"Set to Mean", nullptr, true, "Recruitment", &Maincode::yoyrec});
}

void DefineYOY::I_growth_Click() {
    editSeries({"Set to constant", "1", false, "Year-class growth multiplier", &Maincode::yoygro});
}

void DefineYOY::saveyoy_Click() {
    if (!editor::readyForFiles()) return;
    if (!testrange()) {
        plat::msgBox(kOutOfRange);
        return;
    }
    const YoyData data = yoyDataFrom(mc, byr, eyr);
    mc.dlgtitle = "Save Recruitment data";
    mc.dlgfilter = "Recruitment output file (*.yoy)|*.yoy";
    editor::saveChosenFile(mc.yoyfile, mc.dlgtitle, mc.dlgfilter, kFileNumber, yoyFileText(data));
}

void DefineYOY::loadyoy_Click() {
    mc.dlgtitle = "Load Recruitment data";
    mc.dlgfilter = "Recruitment input file (*.yoy)|*.yoy";
    editor::loadChosenFile(mc.yoyfile, mc.dlgtitle, mc.dlgfilter, kFileNumber,
                           [this] { return readyoy(); });
}

} // namespace cw
