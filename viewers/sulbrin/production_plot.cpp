#include "viewers/sulbrin/production_plot.h"

#include "platform/form.h"
#include "platform/numtext.h"
#include "platform/surface.h"
#include "viewers/core/plot.h"

namespace sulbrin {

namespace {

const std::string kFont = "Helvetica";

// Each pointer is a short horizontal stroke from a point on a curve with a two-line head,
// pointing left (dir -1) or right (dir 1).
void pointer(plat::Surface& s, float x, float y, float dir) {
    const float tipX = x + dir * 0.05f;
    s.line(x, y, tipX, y);
    s.line(tipX, y, tipX - dir * 0.02f, y + 0.015f);
    s.line(tipX, y, tipX - dir * 0.02f, y - 0.015f);
}

// A black polyline from the current point through rows first..100.
template <class X, class Y>
void curve(plat::Surface& s, float startX, float startY, int first, const X& xs, const Y& ys) {
    s.setCurrentX(startX);
    s.setCurrentY(startY);
    for (int i = first; i <= kLastRow; ++i)
        s.lineTo(xs[i], ys[i], plat::kBlack);
}

} // namespace

PlotChoice fishingChoice() {
    return {1, {"FISHING  MORTALITY  (F / Fextinction)", "BIOMASS / Bmax", "YIELD / Ymax "}};
}

PlotChoice biomassChoice() {
    return {
        2,
        {"BIOMASS / Bmax             ", "FISHING  MORTALITY  (F / Fextinction)", "YIELD / Ymax "}};
}

std::string yLabel(float y) {
    return y >= 10.0f ? plat::formatPicture(y, "00.0") : " " + plat::formatPicture(y, "0.0");
}

void setscale(const Range& r) {
    const float xr = (r.xmax - r.xmin) * 1.2f;
    const float x1 = r.xmin - 0.08f * xr;
    const float x2 = x1 + xr;
    const float yr = (r.ymax - r.ymin) * 1.25f;
    const float y2 = r.ymin - 0.18f * yr;
    const float y1 = y2 + yr;
    viewers::scalePlotWindow(10000, 7000, x1, y1, x2, y2);
}

void drawaxes(plat::Surface& s, const Range& r, const std::string& xTitle) {
    const float xr = r.xmax - r.xmin;
    const float yr = r.ymax - r.ymin;
    s.box(r.xmin, r.ymin, r.xmax, r.ymax, plat::kBlack);
    s.setFontSize(10);

    viewers::XTickLabeller xLabel("#00000");
    for (float x : viewers::tickValues(r.xmin, r.xmax * 1.01f, xr / 5)) {
        const std::string text = xLabel.label(x);
        s.line(x, r.ymin, x, r.ymin - 0.02f * yr, plat::kBlack);
        s.setCurrentX(x - 0.0135f * xr);
        s.setCurrentY(r.ymin - 0.025f * yr);
        s.print(text);
    }
    for (float y : viewers::tickValues(r.ymin, r.ymax * 1.01f, yr / 5)) {
        const std::string text = yLabel(y);
        s.line(r.xmin, y, r.xmin - 0.01f * xr, y, plat::kBlack);
        s.setCurrentX(r.xmin - 0.045f * xr);
        s.setCurrentY(y + 0.02f * yr);
        s.print(text);
        s.line(r.xmax, y, r.xmax + 0.01f * xr, y, plat::kBlack);
        s.setCurrentX(r.xmax + 0.01f * xr);
        s.setCurrentY(y + 0.025f * yr);
        s.print(text);
    }

    s.setFontSize(14);
    const float h = s.textWidth(xTitle) / 1.5f;
    s.setCurrentX(s.scaleWidth() / 2 - h);
    s.setCurrentY(r.ymin - 0.1f * yr);
    s.print(xTitle);
}

void drawproductioncurves(const ProductionTable& t, const PlotChoice& choice) {
    plat::Surface& s = viewers::plotSurface();
    s.setForeColor(plat::kBlack);
    s.setFontName(kFont);
    s.setFontSize(10);
    const Range range; // 0 to 1 on both axes in both modes
    setscale(range);

    if (choice.plotmode == 1) {
        curve(s, t.f[0], t.yield[0], 1, t.f, t.yield);
        pointer(s, t.f[75], t.yield[75], -1);
        curve(s, 0, t.biomass[0], 0, t.f, t.biomass);
        pointer(s, t.f[50], t.biomass[50], 1);
    } else {
        curve(s, t.biomass[0], t.yield[0], 1, t.biomass, t.yield);
        pointer(s, t.biomass[70], t.yield[70], -1);
        if (choice.printPercentile) {
            viewers::moveTextTo(float(t.pct) * 0.01f - 0.01f, 0.975f);
            s.print(" " + plat::strInteger(t.pct));
        }
        curve(s, t.biomass[0], t.f[0], 0, t.biomass, t.f);
        pointer(s, t.biomass[40], t.f[40], 1);
    }

    s.setForeColor(plat::rgb(10, 10, 10));
    s.setFontName(kFont);
    drawaxes(s, range, choice.axistitle[0]);
    const std::string& right = choice.axistitle[1];
    viewers::printrotated(right, kFont, 14, 180,
                          viewers::rightTitleOffset(right, kFont, 14, 640, 690),
                          choice.plotmode == 1 ? -20.0f : -300.0f);
    viewers::printrotated(choice.axistitle[2], kFont, 14, 90, -20, 120);
    for (const std::string* y : {&choice.axistitle[2], &choice.axistitle[1]})
        viewers::describeSeries(*y, choice.axistitle[0], range.xmin, range.xmax, *y, range.ymin,
                                range.ymax);
}

bool loadandplot(const std::string& file, const PlotChoice& choice) {
    ProductionTable table;
    std::string error;
    if (!readpmofile(file, table, error)) {
        viewers::reportPlotProblem(file, error);
        return false;
    }
    viewers::clearPlotWindow();
    drawproductioncurves(table, choice);
    plat::instance<viewers::frmPlot>().show();
    return true;
}

} // namespace sulbrin
