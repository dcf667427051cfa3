// The index editor's series edits on the graph window (catchability by year, season fractions,
// selectivity by age or length) and its copy and set handlers.
#include <algorithm>
#include <cfloat>
#include <cmath>

#include "control_window/files/indexfile.h"
#include "control_window/windows/editors/defineindex.h"
#include "control_window/windows/editorsupport.h"
#include "control_window/windows/frmplot.h"
#include "control_window/windows/graph.h"
#include "platform/numtext.h"
#include "platform/prompts.h"
#include "platform/surface.h"

namespace cw {

namespace {

const char* const kOutOfRange = "Years are out of range";
const char* const kAllEqual = "All values set equal";
const char* const kSure = "Are you sure";

// Years of the shared range, counted wide so that no pair of 16-bit years overflows.
int yearCount() {
    return int(mc.lyr) - int(mc.fyr) + 1;
}

// The years that the by-year arrays hold: 1..250. A last year before the first leaves none.
bool yearsUsable(int years) {
    return years >= 1 && years <= kMaxYears;
}

bool askedYes(const char* question) {
    return plat::msgBox(question, plat::MsgButtons::YesNoCancel) == plat::MsgAnswer::Yes;
}

// The ages or length bins of a selectivity curve of index k: first and last element, or an
// empty span (first > last) for a type without a curve.
struct Span {
    int first = 1, last = 0;
};
Span selSpan(int k) {
    if (mc.i_seltyp(k) == "A") return {0, std::clamp<int>(mc.nages, -1, kMaxAge)};
    if (mc.i_seltyp(k) == "L") {
        const int bins = indexBins(mc.i_nlngs(k));
        if (bins >= 1 && bins <= kMaxLengthBins) return {1, bins};
    }
    return {};
}

void copySel(int k, int fromSex, int fromYear, int toSex, int toYear) {
    const Span b = selSpan(k);
    for (int e = b.first; e <= b.last; ++e)
        mc.i_sel(k, e, toSex, toYear) = mc.i_sel(k, e, fromSex, fromYear);
}

void copySeasons(int k, int fromYear, int toYear) {
    editor::copySeasons(mc.i_sznfract, k, fromYear, toYear);
}

} // namespace

std::optional<int> Defineindex::currentYearIndex() const {
    const int j = int(mc.yr) - int(mc.fyr) + 1;
    if (j < 1 || j > std::min(yearCount(), kMaxYears)) return std::nullopt;
    return j;
}

// ---- Catchability by year -------------------------------------------------------------------

void Defineindex::I_Q_Click() {
    if (graphInUse()) return;
    const int years = yearCount();
    mc.npts = years;
    // Beyond 250 the arrays end; with no year at all there is nothing to set or drag.
    if (!yearsUsable(years)) {
        plat::msgBox(kOutOfRange);
        return;
    }
    const int k = cur();
    for (int j = 1; j <= years; ++j)
        mc.yplot(j) = mc.i_q(k, j);
    mc.ytitle = "Catchability (Q)";
    prompttitle = "Catchability by year";
    loadq();
    // A mean accepted before a cancelled scale stays in force.
    for (int j = 1; j <= years; ++j)
        mc.i_q(k, j) = mc.yplot(j);
    get_meanq();
    if (isLoaded()) updateindex();
}

void Defineindex::loadq() {
    testrange();
    if (!rangeok) {
        plat::msgBox(kOutOfRange);
        return;
    }
    const int n = mc.npts;
    if (n < 1) return;
    editor::editYearSeries(n, prompttitle, qmean);
}

void Defineindex::get_meanq() {
    const int years = yearCount();
    mc.npts = years;
    const int n = std::min(years, kMaxYears);
    const int indices = std::clamp<int>(nindices, 0, kMaxIndices);
    for (int k = 1; k <= indices; ++k) {
        float sum = 0;
        int count = 0;
        for (int j = 1; j <= n; ++j) {
            if (mc.i_q(k, j) > 0) {
                sum += mc.i_q(k, j);
                ++count;
            }
        }
        if (count >= 1) mc.i_meanq(k) = sum / float(count);
    }
}

// ---- Season fractions -----------------------------------------------------------------------

void Defineindex::II_szn_Click() {
    if (graphInUse()) return;
    const int years = yearCount();
    if (sznyrflag) {
        if (!yearsUsable(years)) {
            plat::msgBox(kOutOfRange);
            return;
        }
        yearidx = 1;
        loadseason();
        mc.nyrs = int16_t(years);
        const int k = cur();
        for (int j = 2; j <= years; ++j)
            copySeasons(k, 1, j);
        yearidx = int16_t(years + 1);
        return;
    }
    const std::optional<int> j = currentYearIndex();
    if (!j) {
        plat::msgBox(kOutOfRange);
        return;
    }
    yearidx = int16_t(*j);
    loadseason();
}

void Defineindex::loadseason() {
    const int n = mc.nszns;
    if (n < 1 || n > kMaxSeasons || yearidx < 1 || yearidx > kMaxYears) return;
    const int k = cur();
    const int y = yearidx;
    editor::editSeasonFractions(
        n, [k, y](int s) -> float& { return mc.i_sznfract(k, s, y); }, "Fraction of Annual Q ");
}

// ---- Selectivity ----------------------------------------------------------------------------

void Defineindex::L_sex1_Click() {
    editSelectivity(1);
}
void Defineindex::L_sex2_Click() {
    editSelectivity(2);
}

void Defineindex::editSelectivity(int sex) {
    if (graphInUse()) return;
    cursex = int16_t(sex);
    mc.isex = int16_t(sex);
    const int years = yearCount();
    // The window stays usable while the graph is shown: what decides where the curve goes is
    // taken now.
    const bool everyYear = yrseqflag;
    const bool bothSexes = sex == 1 && sexeqflag;
    if (everyYear) {
        if (!yearsUsable(years)) {
            plat::msgBox(kOutOfRange);
            return;
        }
        yearidx = 1;
    } else {
        const std::optional<int> j = currentYearIndex();
        if (!j) {
            plat::msgBox(kOutOfRange);
            return;
        }
        yearidx = int16_t(*j);
    }
    const int k = cur();
    const int edited = yearidx;
    const int first = mc.i_seltyp(k) == "A" ? 0 : 1;
    std::vector<float> curve;
    // Without an edited curve there is nothing to spread over sexes or years.
    if (!loadsel(curve)) return;
    const auto store = [&](int toSex, int toYear) {
        for (size_t p = 1; p < curve.size(); ++p)
            mc.i_sel(k, first + int(p) - 1, toSex, toYear) = curve[p];
    };
    if (bothSexes && mc.nsexes == 2) store(2, edited);
    if (everyYear) {
        for (int j = 1; j <= years; ++j) {
            store(sex, j);
            if (bothSexes) store(std::clamp<int>(mc.nsexes, 1, kMaxSexes), j);
        }
        yearidx = int16_t(years + 1);
    }
}

bool Defineindex::loadsel(std::vector<float>& curve) {
    const int k = cur();
    const int sex = std::clamp<int>(mc.isex, 1, kMaxSexes);
    const int y = yearidx;
    if (y < 1 || y > kMaxYears) return false;
    mc.ytitle = "Selectivity";
    int first = 0;
    if (mc.i_seltyp(k) == "A") {
        // Ages 0..nages need an age beyond 0 to give an axis to drag on.
        if (mc.nages < 1 || mc.nages > kMaxAge) return false;
        mc.xtitle = "Age";
        mc.ymax = 1.2f;
        mc.ymin = 0;
        mc.xmin = 0;
        mc.xmax = mc.nages;
        mc.npts = mc.nages + 1;
        for (int p = 1; p <= mc.npts; ++p) {
            mc.yplot(p) = mc.i_sel(k, p - 1, sex, y);
            mc.xplot(p) = float(p - 1);
        }
    } else if (mc.i_seltyp(k) == "L") {
        mc.xtitle = "Length";
        if (!(mc.i_minlng(k) < mc.i_mxlng(k))) {
            plat::msgBox("Length interval out of range");
            return false;
        }
        const int bins = indexBins(mc.i_nlngs(k));
        if (bins < 1 || bins > kMaxLengthBins) return false;
        first = 1;
        mc.xmin = mc.i_minlng(k);
        mc.xmax = mc.i_mxlng(k);
        fillxgrid(mc.i_nlngs(k));
        for (int p = 1; p <= bins; ++p)
            mc.yplot(p) = mc.i_sel(k, p, sex, y);
        mc.ymax = 1.2f;
        // The last graph's bottom may be anything; a selectivity starts at 0.
        mc.ymin = 0;
        mc.npts = bins;
    } else {
        return false;
    }
    const int n = mc.npts;
    graphedit([] {
        // The reference line of full selectivity.
        frmPlot& plot = plat::instance<frmPlot>();
        plot.surface().line(mc.xmin, 1.0f, mc.xmax, 1.0f, plat::rgb(255, 0, 0));
    });
    mc.npts = n;
    scaletomax();
    curve.assign(size_t(n) + 1, 0.0f);
    for (int p = 1; p <= n; ++p) {
        curve[size_t(p)] = mc.yplot(p);
        mc.i_sel(k, first + p - 1, sex, y) = mc.yplot(p);
    }
    return true;
}

// ---- Copy and set handlers ------------------------------------------------------------------

void Defineindex::cpyforward_Click() {
    if (cursex == 0) return;
    if (!askedYes(kSure)) return;
    const std::optional<int> j = currentYearIndex();
    if (!j) {
        plat::msgBox(kOutOfRange);
        cpyforward.setValue(false);
        return;
    }
    yearidx = int16_t(*j);
    const int k = cur();
    const int last = std::min(yearCount(), kMaxYears);
    for (int to = *j; to <= last; ++to)
        copySel(k, cursex, *j, cursex, to);
    plat::msgBox(kAllEqual, plat::MsgButtons::OKCancel);
    cpyforward.setValue(false);
}

void Defineindex::cpyprv_Click() {
    if (cursex == 0) return;
    if (!askedYes(kSure)) return;
    const int j = int(mc.yr) - int(mc.fyr) + 1;
    if (j < 2) {
        plat::msgBox("Can't copy before start");
    } else if (j > std::min(yearCount(), kMaxYears)) {
        plat::msgBox(kOutOfRange);
    } else {
        yearidx = int16_t(j);
        copySel(cur(), cursex, j - 1, cursex, j);
        plat::msgBox(kAllEqual, plat::MsgButtons::OKCancel);
    }
    cpyprv.setValue(false);
}

void Defineindex::Matchother_Click() {
    if (cursex == 0) return;
    if (plat::msgBox("Copy other sex's selectivity this year", plat::MsgButtons::OKCancel) ==
        plat::MsgAnswer::Cancel)
        return;
    mc.isex = cursex == 1 ? 2 : 1;
    // After an edit for every year, or a set of every year, the year of the last edit lies
    // beyond the range: the copy then works on the year shown.
    std::optional<int> y;
    if (yearidx >= 1 && yearidx <= std::min(yearCount(), kMaxYears)) y = int(yearidx);
    if (!y) y = currentYearIndex();
    if (!y) {
        plat::msgBox(kOutOfRange);
        Matchother.setValue(false);
        return;
    }
    copySel(cur(), cursex, *y, mc.isex, *y);
    plat::msgBox("values set equal", plat::MsgButtons::OKCancel);
    Matchother.setValue(false);
}

void Defineindex::Option1_Click() {
    if (!askedYes(kSure)) {
        Option1.setValue(false);
        return;
    }
    const int years = yearCount();
    if (years > kMaxYears) {
        plat::msgBox(kOutOfRange);
        Option1.setValue(false);
        return;
    }
    const int k = cur();
    const Span b = selSpan(k);
    const int sexes = std::clamp<int>(mc.nsexes, 1, kMaxSexes);
    for (int j = 1; j <= years; ++j)
        for (int e = b.first; e <= b.last; ++e)
            for (int s = 1; s <= sexes; ++s)
                mc.i_sel(k, e, s, j) = 1.0f;
    yearidx = int16_t(std::max(years, 0) + 1);
    plat::msgBox(kAllEqual, plat::MsgButtons::OKCancel);
    Option1.setValue(false);
}

void Defineindex::Option2_Click() {
    if (!askedYes(kSure)) {
        Option2.setValue(false);
        return;
    }
    const int years = yearCount();
    const int n = mc.nszns;
    if (n < 1 || n > kMaxSeasons) {
        Option2.setValue(false);
        return;
    }
    if (years > kMaxYears) {
        plat::msgBox(kOutOfRange);
        Option2.setValue(false);
        return;
    }
    const int k = cur();
    for (int j = 1; j <= years; ++j)
        for (int s = 1; s <= n; ++s)
            mc.i_sznfract(k, s, j) = float(1.0 / n);
    yearidx = int16_t(std::max(years, 0) + 1);
    plat::msgBox(kAllEqual, plat::MsgButtons::OKCancel);
    Option2.setValue(false);
}

void Defineindex::cpyszntlyr_Click() {
    if (const std::optional<int> j = currentYearIndex()) {
        yearidx = int16_t(*j);
        const int last = std::min(yearCount(), kMaxYears);
        for (int to = *j; to <= last; ++to)
            copySeasons(cur(), *j, to);
    }
    cpyszntlyr.setValue(false);
}

void Defineindex::cpysznpyr_Click() {
    if (const std::optional<int> j = currentYearIndex()) {
        yearidx = int16_t(*j);
        if (*j > 1) copySeasons(cur(), *j - 1, *j);
    }
    cpysznpyr.setValue(false);
}

} // namespace cw
