#include "viewers/tovrask/perrecruit_plot.h"

#include "platform/form.h"
#include "platform/numtext.h"
#include "platform/surface.h"
#include "viewers/core/plot.h"

namespace tovrask {

PlotChoice fmultChoice() {
    return {1, {"FISHING  MORTALITY  (FMULT)", "YIELD PER RECRUIT", "SPR"}};
}

PlotChoice realizedFChoice() {
    return {2, {"FISHING  MORTALITY (YIELD/BIOMASS)", "YIELD PER RECRUIT", "SPR"}};
}

void drawaxes(const Range& r, const PlotChoice& choice, const std::string& fontName) {
    plat::Surface& s = viewers::plotSurface();
    const float xr = r.xmax - r.xmin;
    const float yr = r.ymax - r.ymin;
    s.box(r.xmin, r.ymin, r.xmax, r.ymax, plat::kBlack);
    s.setFontSize(10);

    viewers::XTickLabeller xLabel("#00000");
    for (float x : viewers::tickValues(r.xmin, r.xmax * 1.01f, xr / 5)) {
        const std::string text = xLabel.label(x);
        s.line(x, r.ymin, x, r.ymin - 0.02f * yr, plat::kBlack);
        viewers::moveTextTo(x - 0.0135f * xr, r.ymin - 0.025f * yr);
        s.print(text);
    }
    for (float y : viewers::tickValues(r.ymin, r.ymax * 1.01f, yr / 5)) {
        s.line(r.xmin, y, r.xmin - 0.01f * xr, y, plat::kBlack);
        s.setCurrentX(r.xmin - 0.06f * xr);
        s.setCurrentY(y + 0.02f * yr);
        s.print(sulbrin::yLabel(y));
    }

    s.setFontSize(14);
    const float h = s.textWidth(choice.axistitle[0]) / 1.5f;
    s.setCurrentX(s.scaleWidth() / 2 - h);
    s.setCurrentY(r.ymin - 0.1f * yr);
    s.print(choice.axistitle[0]);
    viewers::printrotated(choice.axistitle[1], fontName, 14, 90, -25, 100);
}

void drawsecondaxis(const Range& r, const PlotChoice& choice, const std::string& fontName) {
    plat::Surface& s = viewers::plotSurface();
    const float xr = r.xmax - r.xmin;
    const float yr = r.ymax - r.ymin;
    s.box(r.xmin, r.ymin, r.xmax, r.ymax, plat::kBlack);
    s.setFontName(fontName);
    s.setFontSize(10);
    for (float y : viewers::tickValues(r.ymin, r.ymax * 1.01f, yr / 5)) {
        s.line(r.xmax, y, r.xmax + 0.01f * xr, y, plat::kBlack);
        s.setCurrentX(r.xmax + 0.01f * xr);
        s.setCurrentY(y + 0.02f * yr);
        s.print(" " + plat::formatPicture(y, "0.0"));
    }
    const std::string& title = choice.axistitle[2];
    viewers::printrotated(title, fontName, 14, 180,
                          viewers::rightTitleOffset(title, fontName, 14, 640, 690), 160);
}

void drawperrecruitcurves(const PerRecruitTable& t, const PlotChoice& choice) {
    plat::Surface& s = viewers::plotSurface();
    s.setForeColor(plat::kBlack);
    s.setFontName("Helvetica");
    const std::string font = s.fontName();
    s.setFontSize(10);
    Range r;
    sulbrin::setscale(r);
    const bool byFmult = choice.plotmode != 2;
    const auto& xs = byFmult ? t.fmult : t.realizedF;
    r.xmax = byFmult ? t.maxFmult : t.maxRealizedF;
    r.ymax = t.maxYpr;
    sulbrin::setscale(r);

    s.setCurrentX(xs[0]);
    s.setCurrentY(t.ypr[0]);
    for (int i = 1; i <= kLastRow; ++i)
        s.lineTo(xs[i], t.ypr[i], plat::kBlack);

    drawaxes(r, choice, font);
    viewers::describeSeries(choice.axistitle[1], choice.axistitle[0], r.xmin, r.xmax,
                            choice.axistitle[1], r.ymin, r.ymax);
    if (!choice.includeSpr) return;

    // The SPR curve and its axis on their own 0 to 1 scale over the same x range.
    r.ymax = 1;
    sulbrin::setscale(r);
    s.setCurrentX(byFmult ? 0.0f : t.realizedF[0]);
    s.setCurrentY(t.spr[0]);
    for (int i = 0; i <= kLastRow; ++i)
        s.lineTo(xs[i], t.spr[i]);
    drawsecondaxis(r, choice, font);
    viewers::describeSeries(choice.axistitle[2], choice.axistitle[0], r.xmin, r.xmax,
                            choice.axistitle[2], r.ymin, r.ymax);
}

bool loadandplot(const std::string& file, const PlotChoice& choice) {
    PerRecruitTable table;
    std::string error;
    if (readyrofile(file, table, error)) error = emptyRangeError(table, choice.plotmode);
    if (!error.empty()) {
        viewers::reportPlotProblem(file, error);
        return false;
    }
    viewers::clearPlotWindow();
    drawperrecruitcurves(table, choice);
    plat::instance<viewers::frmPlot>().show();
    return true;
}

} // namespace tovrask
