#include "control_window/windows/graph.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <string>

#include "control_window/model/maincode.h"
#include "control_window/windows/dialogs.h"
#include "control_window/windows/frmplot.h"
#include "control_window/windows/scratch.h"
#include "platform/form.h"
#include "platform/numtext.h"
#include "platform/plotdescription.h"
#include "platform/prompts.h"
#include "platform/rotated_text.h"
#include "platform/surface.h"

namespace cw {

namespace {

// The graph window is this big in twips, whatever a caller did to it before.
constexpr int kPlotWidthTwips = 10000;
constexpr int kPlotHeightTwips = 7000;

// The exchange area holds at most kMaxPoints points; a larger count left behind by a range check
// must not walk off the arrays.
int pointCount() {
    return std::clamp<int>(mc.npts, 0, kMaxPoints);
}

float pointRadius() {
    return float(0.003 * double(plotXSpan()));
}

// Lead digit, tick count and power of ten of a span, read from its one-decimal exponent form.
struct SpanDigits {
    int lead = 0;
    int count = 0;
    float power = 0;
};

bool spanDigits(float span, SpanDigits& out) {
    if (!std::isfinite(span) || span == 0) return false;
    const std::string s = plat::formatPicture(double(span), "0.0e+0");
    const auto e = s.find_first_of("eE");
    if (e == std::string::npos || e + 1 >= s.size()) return false;
    int lead;
    if (s[0] == '-') {
        // A range given upside down: the loops below then draw no tick or only one.
        lead = 1;
    } else {
        if (s.size() < 3 || s[0] < '0' || s[0] > '9') return false;
        lead = s[0] - '0';
        if (s[2] != '0') ++lead;
    }
    const int exponent = std::stoi(s.substr(e + 1));
    static constexpr int kCounts[11] = {5, 5, 5, 6, 8, 5, 6, 7, 8, 9, 10};
    out.lead = lead;
    out.count = kCounts[std::clamp(lead, 0, 10)];
    out.power = float(std::pow(10.0, exponent));
    return true;
}

// Runs body for t = from, from + step, ... while t <= 1.01 * to. Stops as well when adding the
// step no longer moves t (a tiny step on a large value), so the loop always ends.
template <class Body> void tickLoop(float& t, float from, float to, float step, Body body) {
    if (!(step > 0) || !std::isfinite(step)) return;
    const double bound = 1.01 * double(to);
    for (t = from; double(t) <= bound;) {
        body(t);
        const float next = t + step;
        if (!(next > t)) break;
        t = next;
    }
}

// The bottom and top of the y scale: the box stands 18 % above the bottom and 2 % below the top.
// False when a scale of that size does not fit the single values that the drawing takes (a top
// of 3.4e38 leaves no room for the margins).
bool yExtent(float ymin, float ymax, float& bottom, float& top) {
    const float h = float(1.25 * double(ymax - ymin));
    bottom = float(double(ymin) - 0.18 * double(h));
    top = bottom + h;
    return std::isfinite(h) && std::isfinite(bottom) && std::isfinite(top) &&
           std::isfinite(bottom - top);
}

// The largest top of the y axis, cut to two significant digits, that a graph over the lower
// value ymin can be drawn with.
float largestDrawableTop() {
    float largest = mc.ymax;
    const double room = double(FLT_MAX) / 1.25 + double(mc.ymin);
    if (!(room > 1)) return 1;
    const double power = std::pow(10.0, std::floor(std::log10(room)) - 1);
    float bottom = 0, top = 0;
    double digits = std::floor(room / power);
    for (; digits > 1; --digits) {
        largest = float(digits * power);
        if (yExtent(mc.ymin, largest, bottom, top)) break;
    }
    return largest;
}

} // namespace

float plotXSpan() {
    const float span = mc.xmax - mc.xmin;
    return span == 0 ? 1.0f : span;
}

TickStep xTickStep(float span) {
    SpanDigits d;
    if (!spanDigits(span, d)) return {};
    const float raw = float(d.lead) * d.power / float(d.count);
    float step = float(std::nearbyint(double(raw)));
    if (step <= 0) step = span >= 1 ? 1.0f : raw;
    return {d.lead, d.count, step};
}

TickStep yTickStep(float span) {
    SpanDigits d;
    if (!spanDigits(span, d)) return {};
    return {d.lead, d.count, float(d.lead) * d.power / float(d.count)};
}

std::string xTickFormat(float t) {
    if (t == 0) return "#0";
    if (t < 1) return "0.0";
    if (t < 10) return "#0";
    if (t < 100) return "#00";
    if (t < 1000) return "#000";
    if (t < 10000) return "#0000";
    return "#00000";
}

YTickLabel yTickLabel(float t) {
    if (t == 0) return {"0", 3};
    if (t >= 0.001f && t < 0.01f) return {"0.000", 7};
    if (t >= 0.01f && t < 1) return {"0.00", 6};
    if (t >= 1 && t < 10) return {"0.0", 5};
    if (t >= 10 && t < 100) return {"00", 4};
    if (t >= 100 && t < 1000) return {"000", 5};
    return {"0.0e+0", 8};
}

int32_t yTitleRow(float scaleHeight, float titleWidth) {
    return int32_t(std::nearbyint(double(scaleHeight / 2 - titleWidth / 2 - 35)));
}

void drawplot() {
    auto& form = plat::instance<frmPlot>();
    plat::Surface& s = form.surface();
    s.cls();
    form.setWidth(kPlotWidthTwips);
    form.setHeight(kPlotHeightTwips);

    mc.plotfont = "arial";
    s.setFontName(mc.plotfont);
    s.setFontSize(12);
    s.setScaleMode(plat::ScaleMode::Pixels);
    s.setFontBold(false);

    // The x title stands centred under the tick labels.
    s.setCurrentX(s.scaleWidth() / 2 - s.textWidth(mc.xtitle) / 2);
    s.setCurrentY(440);
    s.print(mc.xtitle);

    mc.plotfontsz = 12;
    mc.rotangle = 90;
    mc.rotx = 0;
    mc.roty = yTitleRow(s.scaleHeight(), s.textWidth(mc.ytitle));
    printrotated(mc.rotangle, mc.rotx, mc.roty);
    mc.plotfontsz = 12;

    setscale();
    drawaxes();

    const int n = pointCount();
    const float r = pointRadius();
    for (mc.i = 1; mc.i <= n; ++mc.i)
        s.circle(mc.xplot[mc.i], mc.yplot[mc.i], r, plat::kBlack);
    for (mc.i = 2; mc.i <= n; ++mc.i) {
        s.line(mc.xplot[mc.i - 1], mc.yplot[mc.i - 1], mc.xplot[mc.i], mc.yplot[mc.i],
               plat::kBlack);
    }
    plat::describeDrawing(form, plat::seriesDescription(mc.ytitle, mc.xtitle, mc.xmin, mc.xmax,
                                                        mc.ytitle, mc.ymin, mc.ymax) +
                                    " " + std::to_string(n) + " points.");
    form.show();
}

void setscale() {
    // The box takes 12 % .. 95.3 % of the width and 18 % above the bottom up to 2 % below the
    // top; the margins hold the tick labels and titles.
    const float w = float(1.2 * double(plotXSpan()));
    const float left = float(double(mc.xmin) - 0.12 * double(w));
    const float right = left + w;
    if (mc.ymax - mc.ymin <= 0) {
        plat::msgBox("Upper value must be greater than lower");
        return;
    }
    float bottom = 0, top = 0;
    yExtent(mc.ymin, mc.ymax, bottom, top);
    auto& form = plat::instance<frmPlot>();
    form.setWidth(kPlotWidthTwips);
    form.setHeight(kPlotHeightTwips);
    plat::Surface& s = form.surface();
    s.setScaleMode(plat::ScaleMode::Twips);
    s.setScale(left, top, right, bottom);
}

void drawaxes() {
    plat::Surface& s = plat::instance<frmPlot>().surface();
    mc.plotfontsz = 10;
    s.box(mc.xmin, mc.ymin, mc.xmax, mc.ymax);

    mc.xspan = mc.xmax - mc.xmin;
    mc.yspan = mc.ymax - mc.ymin;
    if (mc.xspan == 0 || mc.yspan == 0) return;

    s.setFontName(mc.plotfont);
    s.setFontSize(mc.plotfontsz);
    s.setFontBold(false);

    const TickStep xs = xTickStep(mc.xspan);
    mc.i = int16_t(xs.lead);
    tickLoop(mc.xtick, mc.xmin, mc.xmax, xs.step, [&](float t) {
        mc.tickfmt = xTickFormat(t);
        s.line(t, mc.ymin, t, mc.ymin - 0.02f * mc.yspan);
        // The white pixel only carries the print position to the label's corner.
        s.pset(t - 0.0135f * mc.xspan, mc.ymin - 0.025f * mc.yspan, plat::kWhite);
        s.print(plat::formatPicture(double(t), mc.tickfmt));
    });

    const TickStep ys = yTickStep(mc.yspan);
    mc.i = int16_t(ys.lead);
    tickLoop(mc.ytick, mc.ymin, mc.ymax, ys.step, [&](float t) {
        const YTickLabel label = yTickLabel(t);
        mc.tickfmt = label.format;
        s.line(mc.xmin, t, mc.xmin - 0.01f * mc.xspan, t);
        s.pset(mc.xmin - float(label.width) * 0.01f * mc.xspan, t + 0.025f * mc.yspan,
               plat::kWhite);
        s.print(plat::formatPicture(double(t), mc.tickfmt));
    });
}

void printrotated(int angle, int32_t x, int32_t y) {
    plat::Surface& target = plat::instance<frmPlot>().surface();
    target.setDrawWidth(1);
    plat::printRotated(target, plat::instance<scratch>().surface(), mc.ytitle, mc.plotfont,
                       float(mc.plotfontsz), angle, float(x), float(y));
}

void scaletomax() {
    const int n = pointCount();
    float m = 0;
    for (mc.i = 1; mc.i <= n; ++mc.i) {
        if (m < mc.yplot[mc.i]) m = mc.yplot[mc.i];
    }
    // Nothing above 0 has no maximum to scale to: the values stay as they are.
    if (!(m > 0)) return;
    for (mc.i = 1; mc.i <= n; ++mc.i)
        mc.yplot[mc.i] = mc.yplot[mc.i] / m;
}

void fillxgrid(float n) {
    const double count = std::nearbyint(double(n));
    // No interval, or more points than the exchange area holds, fills nothing beyond its end.
    if (!(count >= 1)) return;
    mc.xtick = (mc.xmax - mc.xmin) / n;
    const int last = int(std::min<double>(count, kMaxPoints));
    for (mc.i = 1; mc.i <= last; ++mc.i)
        mc.xplot[mc.i] = float(mc.i - 1) * mc.xtick + mc.xmin;
}

bool graphInUse() {
    if (!plat::isLoaded<frmPlot>()) return false;
    frmPlot& form = plat::instance<frmPlot>();
    if (!form.visible()) return false;
    form.bringToFront();
    return true;
}

bool refusedWhileGraphOpen() {
    if (!graphInUse()) return false;
    plat::msgBox(kCloseGraphFirst);
    return true;
}

void graphedit() {
    graphedit({});
}

void graphedit(const std::function<void()>& afterDraw) {
    // A scale too large to draw would show an empty graph to drag on: nothing is drawn, and the
    // series stays as it is.
    float bottom = 0, top = 0;
    if (mc.ymax - mc.ymin > 0 && !yExtent(mc.ymin, mc.ymax, bottom, top)) {
        plat::msgBox("The scale of Y is too large to draw the graph with: use at most " +
                     plat::strSingle(largestDrawableTop()) + ".");
        return;
    }
    drawplot();
    if (afterDraw) afterDraw();
    waitWhileShown<frmPlot>();
}

} // namespace cw
