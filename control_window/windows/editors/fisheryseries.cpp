// The fishery editor's series edits on the graph window (by year, by season, selectivity by age
// or length), its copy and set handlers and the F scaler.
#include <algorithm>
#include <cfloat>
#include <cmath>

#include "control_window/files/fisheryfile.h"
#include "control_window/windows/editors/definefishery.h"
#include "control_window/windows/editorsupport.h"
#include "control_window/windows/frmplot.h"
#include "control_window/windows/graph.h"
#include "platform/numtext.h"
#include "platform/prompts.h"
#include "platform/surface.h"

namespace cw {

using plat::MsgAnswer;
using plat::MsgButtons;

namespace {

const char* const kOutOfRange = "Years are out of range";
const char* const kAllEqual = "All values set equal";

// The year count of the range, when the year-indexed arrays can hold it.
std::optional<int> yearCount() {
    const int n = int(mc.lyr) - int(mc.fyr) + 1;
    if (n > kMaxYears) return std::nullopt;
    return std::max(n, 0);
}

float& seriesValue(int which, int j, int k) {
    switch (which) {
    case 0:
        return mc.f_tac(j, k);
    case 1:
        return mc.f_annf(j, k);
    case 2:
        return mc.f_regs(3, k, j);
    case 3:
        return mc.f_regs(1, k, j);
    default:
        return mc.f_regs(2, k, j);
    }
}

} // namespace

std::optional<int> DefineFishery::currentYearIndex() {
    const std::optional<int> n = yearCount();
    const int j = int(mc.yr) - int(mc.fyr) + 1;
    if (!n || j < 1 || j > *n) {
        plat::msgBox(kOutOfRange);
        return std::nullopt;
    }
    return j;
}

bool DefineFishery::selRange(int fishery, int& first, int& last) const {
    const Char1 type = mc.f_seltyp(fishery);
    if (type == "A") {
        first = 0;
        last = std::clamp<int>(mc.nages, -1, kMaxAge);
        return true;
    }
    if (type == "L") {
        first = 1;
        last = std::clamp(binCount(mc.f_nlng(fishery)).value_or(0), 0, kMaxLengthBins);
        return true;
    }
    return false;
}

bool DefineFishery::selectivityTyped() const {
    int first = 0, last = -1;
    return selRange(mc.fishery_id, first, last);
}

// Series by year.

void DefineFishery::editSeries(Series which) {
    if (graphInUse()) return;
    mc.npts = int32_t(mc.lyr) - int32_t(mc.fyr) + 1;
    if (mc.npts > kMaxYears) {
        plat::msgBox(kOutOfRange);
        return;
    }
    static const char* const kTitles[][2] = {
        {"TAC", "Total Allowable Catches"},
        {"Fishing Mortality (F)", "Annual Maximum F"},
        {"Discard Mortality Fraction", "Mortality fraction for released fish"},
        {"Minimum Size", "Annual minimum sizes"},
        {"Maximum Size", "Annual maximum sizes"},
    };
    const int w = int(which);
    // The points go back to the fishery and years of the edit, whatever the user chooses in the
    // window while the graph is shown.
    const int k = mc.fishery_id;
    const int n = mc.npts;
    for (int j = 1; j <= n; ++j)
        mc.yplot(j) = seriesValue(w, j, k);
    mc.ytitle = kTitles[w][0];
    prompttitle = kTitles[w][1];
    loadseries();
    for (int j = 1; j <= n; ++j)
        seriesValue(w, j, k) = mc.yplot(j);
    update();
}

void DefineFishery::loadseries() {
    testrange();
    if (!rangeok) {
        plat::msgBox(kOutOfRange);
        return;
    }
    editor::editYearSeries(mc.npts, prompttitle, seriesmean);
}

void DefineFishery::CmdTAC_Click() {
    editSeries(Series::Tac);
}
void DefineFishery::F_F_Click() {
    editSeries(Series::AnnualF);
}
void DefineFishery::F_relmort_Click() {
    editSeries(Series::Discard);
}
void DefineFishery::L_minsize_Click() {
    editSeries(Series::MinSize);
}
void DefineFishery::L_maxsize_Click() {
    editSeries(Series::MaxSize);
}

// Season fractions.

void DefineFishery::F_sznfract_Click() {
    if (graphInUse()) return;
    const int k = mc.fishery_id;
    if (sznyrflag) {
        const std::optional<int> n = yearCount();
        if (!n) {
            plat::msgBox(kOutOfRange);
            return;
        }
        yearidx = 1;
        loadseason();
        mc.nyrs = int16_t(*n);
        if (*n >= 2) {
            for (int j = 2; j <= *n; ++j)
                editor::copySeasons(mc.f_sznfract, k, 1, j);
            yearidx = int16_t(*n + 1);
        } else {
            yearidx = 2;
        }
        return;
    }
    const std::optional<int> j = currentYearIndex();
    if (!j) return;
    yearidx = int16_t(*j);
    loadseason();
}

void DefineFishery::loadseason() {
    const int n = mc.nszns;
    if (n < 1 || n > kMaxSeasons) return;
    const int k = mc.fishery_id;
    const int y = yearidx;
    if (y < 1 || y > kMaxYears) return;
    editor::editSeasonFractions(
        n, [k, y](int s) -> float& { return mc.f_sznfract(k, s, y); }, "Fraction of Annual F ");
}

// Selectivity.

void DefineFishery::L_sex1_Click() {
    editSelectivity(1);
}
void DefineFishery::L_sex2_Click() {
    editSelectivity(2);
}

void DefineFishery::editSelectivity(int sex) {
    if (graphInUse()) return;
    cursex = int16_t(sex);
    mc.isex = int16_t(sex);
    const std::optional<int> n = yearCount();
    if (yrseqflag) {
        if (!n || *n < 1) {
            plat::msgBox(kOutOfRange);
            return;
        }
        yearidx = 1;
    } else {
        const std::optional<int> j = currentYearIndex();
        if (!j) return;
        yearidx = int16_t(*j);
    }
    const int k = mc.fishery_id;
    const int y = yearidx;
    int first = 0, last = -1;
    if (!selRange(k, first, last)) return;
    // An edit that drew no graph has no curve to spread over sexes or years.
    if (!loadsel()) return;
    const int points = last - first + 1;
    const bool bothSexes = sex == 1 && sexeqflag;
    if (bothSexes && mc.nsexes == 2) {
        for (int i = 1; i <= points; ++i)
            mc.f_sel(k, first + i - 1, 2, y) = mc.yplot(i);
    }
    if (yrseqflag) {
        const int other = std::clamp<int>(mc.nsexes, 1, kMaxSexes);
        for (int j = 1; j <= *n; ++j) {
            for (int i = 1; i <= points; ++i) {
                mc.f_sel(k, first + i - 1, sex, j) = mc.yplot(i);
                if (bothSexes) mc.f_sel(k, first + i - 1, other, j) = mc.yplot(i);
            }
        }
        yearidx = 1;
    }
}

bool DefineFishery::loadsel() {
    const int k = mc.fishery_id;
    const int sex = mc.isex;
    const int y = yearidx;
    if (sex < 1 || sex > kMaxSexes || y < 1 || y > kMaxYears) return false;
    int first = 0, last = -1;
    mc.ytitle = "Selectivity";
    if (!selRange(k, first, last)) return false;
    if (mc.f_seltyp(k) == "A") {
        // Without an age beyond 0 there is no axis to drag on.
        if (last < 1) return false;
        mc.xtitle = "Age";
        mc.ymax = 1.2f;
        mc.ymin = 0;
        mc.xmin = 0;
        mc.xmax = float(last);
        mc.npts = last + 1;
        for (int i = 1; i <= mc.npts; ++i) {
            mc.yplot(i) = mc.f_sel(k, i - 1, sex, y);
            mc.xplot(i) = float(i - 1);
        }
    } else {
        mc.xtitle = "Length";
        if (!(mc.f_minlng(k).number() < double(mc.f_mxlng(k)))) {
            plat::msgBox("Length interval out of range");
            return false;
        }
        if (last < 1) return false;
        mc.xmin = float(mc.f_minlng(k).number());
        mc.xmax = mc.f_mxlng(k);
        fillxgrid(float(last));
        for (int i = 1; i <= last; ++i)
            mc.yplot(i) = mc.f_sel(k, i, sex, y);
        mc.ymax = 1.2f;
        mc.ymin = 0;
        mc.npts = last;
    }
    const int points = mc.npts;
    graphedit([] {
        const uint32_t red = 255;
        plat::instance<frmPlot>().surface().line(mc.xmin, 1.0f, mc.xmax, 1.0f, red);
    });
    // A curve left at 0 everywhere has no largest value to scale to: it is stored as zeros.
    mc.npts = points;
    scaletomax();
    for (int i = 1; i <= points; ++i)
        mc.f_sel(k, first + i - 1, sex, y) = mc.yplot(i);
    return true;
}

// Copy, set and scale handlers.

void DefineFishery::cpyforward_Click() {
    // Without a sex chosen, or on a fishery without a selectivity type, there is nothing to copy:
    // the button is cleared and nothing is asked or said.
    if (cursex == 0 || !selectivityTyped()) {
        cpyforward.setValue(false);
        return;
    }
    if (plat::msgBox("Are you sure", MsgButtons::YesNoCancel) != MsgAnswer::Yes) return;
    const std::optional<int> j = currentYearIndex();
    if (j) {
        yearidx = int16_t(*j);
        const int k = mc.fishery_id;
        const int n = *yearCount();
        int first = 0, last = -1;
        if (selRange(k, first, last)) {
            for (int to = *j; to <= n; ++to) {
                for (int b = first; b <= last; ++b)
                    mc.f_sel(k, b, cursex, to) = mc.f_sel(k, b, cursex, *j);
            }
        }
        plat::msgBox(kAllEqual, MsgButtons::OKCancel);
    }
    cpyforward.setValue(false);
}

void DefineFishery::cpyprv_Click() {
    // Without a sex chosen, or on a fishery without a selectivity type, there is nothing to copy:
    // the button is cleared and nothing is asked or said.
    if (cursex == 0 || !selectivityTyped()) {
        cpyprv.setValue(false);
        return;
    }
    if (plat::msgBox("Are you sure", MsgButtons::YesNoCancel) != MsgAnswer::Yes) return;
    const int j = int(mc.yr) - int(mc.fyr) + 1;
    if (j < 2) {
        // The first year, or one before it, has no year before it to copy from.
        yearidx = int16_t(std::max(j, -32768));
        plat::msgBox("Can't copy before start");
    } else if (const std::optional<int> at = currentYearIndex()) {
        yearidx = int16_t(*at);
        const int k = mc.fishery_id;
        int first = 0, last = -1;
        if (selRange(k, first, last)) {
            for (int b = first; b <= last; ++b)
                mc.f_sel(k, b, cursex, *at) = mc.f_sel(k, b, cursex, *at - 1);
        }
        plat::msgBox(kAllEqual, MsgButtons::OKCancel);
    }
    cpyprv.setValue(false);
}

void DefineFishery::Matchother_Click() {
    // Without a sex chosen, or on a fishery without a selectivity type, there is nothing to copy:
    // the button is cleared and nothing is asked or said.
    if (cursex == 0 || !selectivityTyped()) {
        Matchother.setValue(false);
        return;
    }
    if (plat::msgBox("Copy selectivity to other sex this year", MsgButtons::OKCancel) ==
        MsgAnswer::Cancel) {
        return;
    }
    // The year of the last edit, or the current year once a fill or export has left the last
    // edit's year past the end of the range.
    const std::optional<int> n = yearCount();
    std::optional<int> y;
    if (n && yearidx >= 1 && yearidx <= *n) {
        y = yearidx;
    } else {
        y = currentYearIndex();
        if (y) yearidx = int16_t(*y);
    }
    if (y) {
        mc.isex = cursex == 1 ? 2 : 1;
        const int k = mc.fishery_id;
        int first = 0, last = -1;
        if (selRange(k, first, last)) {
            for (int b = first; b <= last; ++b)
                mc.f_sel(k, b, mc.isex, *y) = mc.f_sel(k, b, cursex, *y);
        }
        plat::msgBox("values set equal", MsgButtons::OKCancel);
    }
    Matchother.setValue(false);
}

void DefineFishery::Option1_Click() {
    // A fishery without a selectivity type has no selectivity to set.
    if (!selectivityTyped()) {
        Option1.setValue(false);
        return;
    }
    if (plat::msgBox("Are you sure", MsgButtons::YesNoCancel) == MsgAnswer::Yes) {
        if (const std::optional<int> n = yearCount()) {
            const int k = mc.fishery_id;
            int first = 0, last = -1;
            const bool typed = selRange(k, first, last);
            const int sexes = std::clamp<int>(mc.nsexes, 0, kMaxSexes);
            for (int j = 1; j <= *n && typed; ++j) {
                for (int b = first; b <= last; ++b) {
                    for (int s = 1; s <= sexes; ++s)
                        mc.f_sel(k, b, s, j) = 1.0f;
                }
            }
            yearidx = int16_t(*n + 1);
            plat::msgBox(kAllEqual, MsgButtons::OKCancel);
        } else {
            plat::msgBox(kOutOfRange);
        }
    }
    Option1.setValue(false);
}

void DefineFishery::Option2_Click() {
    if (plat::msgBox("Are you sure", MsgButtons::YesNoCancel) == MsgAnswer::Yes) {
        if (const std::optional<int> n = yearCount()) {
            const int k = mc.fishery_id;
            const int seasons = std::clamp<int>(mc.nszns, 0, kMaxSeasons);
            for (int j = 1; j <= *n && seasons > 0; ++j) {
                for (int s = 1; s <= seasons; ++s)
                    mc.f_sznfract(k, s, j) = float(1.0 / double(seasons));
            }
            yearidx = int16_t(*n + 1);
            plat::msgBox(kAllEqual, MsgButtons::OKCancel);
        } else {
            plat::msgBox(kOutOfRange);
        }
    }
    Option2.setValue(false);
}

void DefineFishery::cpyszntlyr_Click() {
    if (const std::optional<int> j = currentYearIndex()) {
        yearidx = int16_t(*j);
        const int k = mc.fishery_id;
        const int n = *yearCount();
        for (int to = *j; to <= n; ++to)
            editor::copySeasons(mc.f_sznfract, k, *j, to);
    }
    cpyszntlyr.setValue(false);
}

void DefineFishery::cpysznpyr_Click() {
    if (const std::optional<int> j = currentYearIndex()) {
        yearidx = int16_t(*j);
        if (*j > 1) editor::copySeasons(mc.f_sznfract, mc.fishery_id, *j - 1, *j);
    }
    cpysznpyr.setValue(false);
}

// "Execute" stays selected once it has run, so that a second click does not scale again; a new
// scaler clears it.
void DefineFishery::Option4_Click() {
    mc.npts = int32_t(mc.lyr) - int32_t(mc.fyr) + 1;
    const std::optional<int> n = yearCount();
    if (!n) {
        plat::msgBox(kOutOfRange);
        return;
    }
    // Until the scaler box is first changed the scaler is what the box shows.
    const double scaler =
        mc.f_fscaler.isEmpty() ? plat::val(F_Fscaler.text()) : mc.f_fscaler.number();
    const int k = mc.fishery_id;
    for (int j = 1; j <= *n; ++j) {
        if (std::fabs(double(mc.f_annf(j, k)) * scaler) > double(FLT_MAX)) {
            plat::msgBox("The F scaler makes an annual F too large; nothing was scaled.");
            return;
        }
    }
    for (int j = 1; j <= *n; ++j)
        mc.f_annf(j, k) = float(double(mc.f_annf(j, k)) * scaler);
    yearidx = int16_t(*n + 1);
}

} // namespace cw
