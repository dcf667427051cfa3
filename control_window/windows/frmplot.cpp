#include "control_window/windows/frmplot.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "control_window/model/maincode.h"
#include "control_window/windows/graph.h"
#include "platform/plotsave.h"
#include "platform/prompts.h"
#include "platform/surface.h"

namespace cw {

frmPlot::frmPlot() : plat::Form("frmPlot", "Plot", plat::Form::Kind::Drawing) {
    // The curve is erased by painting it white, so the window is white underneath.
    surface().setBackColor(plat::kWhite);
    surface().setFontName("Arial");
    setWidth(10000);
    setHeight(7000);
    surface().cls();
}

void frmPlot::Form_MouseDown(int /*button*/, int /*shift*/, float x, float y) {
    dragging_ = true;
    movepoint(x, y);
}

void frmPlot::Form_MouseMove(int /*button*/, int /*shift*/, float x, float y) {
    if (dragging_) movepoint(x, y);
}

void frmPlot::Form_MouseUp(int button, int /*shift*/, float /*x*/, float /*y*/) {
    dragging_ = false;
    if (button > 1) close();
}

void frmPlot::close() {
    surface().cls();
    hide();
    unload();
}

void frmPlot::Form_KeyDown(int keyCode, int shift) {
    using plat::KeyCode;
    const int n = std::clamp<int>(mc.npts, 0, kMaxPoints);
    if (!hasKeyMark()) chosen_ = 0;
    switch (KeyCode(keyCode)) {
    case KeyCode::Escape:
    case KeyCode::Return:
        close();
        return;
    case KeyCode::Home:
        choosePoint(1);
        return;
    case KeyCode::End:
        choosePoint(n);
        return;
    case KeyCode::Tab:
        if (shift & plat::kShiftMask)
            choosePoint(chosen_ == 0 ? n : chosen_ - 1);
        else
            choosePoint(chosen_ + 1);
        return;
    case KeyCode::Right:
        choosePoint(chosen_ + 1);
        return;
    case KeyCode::Left:
        choosePoint(chosen_ == 0 ? n : chosen_ - 1);
        return;
    case KeyCode::Up:
        stepChosenPoint(1);
        return;
    case KeyCode::Down:
        stepChosenPoint(-1);
        return;
    case KeyCode::PageUp:
        stepChosenPoint(10);
        return;
    case KeyCode::PageDown:
        stepChosenPoint(-10);
        return;
    default:
        break;
    }
    if (keyCode == 'S' && (shift & plat::kCtrlMask)) saveplot();
}

// The first choice is the first point (or, going left, the last); the choice stops at either end.
void frmPlot::choosePoint(int k) {
    const int n = std::clamp<int>(mc.npts, 0, kMaxPoints);
    if (n < 1) return;
    chosen_ = std::clamp(k, 1, n);
    setKeyMark(mc.xplot[chosen_], mc.yplot[chosen_]);
}

// Moves the chosen point as a drag to its own x would, to the next multiple of the step up or
// down: a power of ten that crosses the y axis in 50 to 500 steps, so that typed-looking values
// such as 0.25 are reached exactly. With no point chosen yet, the first is chosen and stays.
void frmPlot::stepChosenPoint(int steps) {
    if (chosen_ == 0) {
        choosePoint(1);
        return;
    }
    const double span = double(mc.ymax) - double(mc.ymin);
    if (!(span > 0)) return;
    const double step = std::pow(10.0, std::floor(std::log10(span / 50)));
    const double at = double(mc.yplot[chosen_]) / step;
    // A value already on the grid (up to its single precision) moves by whole steps.
    const double from = steps > 0 ? std::floor(at + 1e-4) : std::ceil(at - 1e-4);
    movepoint(mc.xplot[chosen_], float((from + steps) * step));
}

void frmPlot::Form_DblClick() {
    const bool inside =
        lastx_ >= mc.xmin && lastx_ <= mc.xmax && lasty_ >= mc.ymin && lasty_ <= mc.ymax;
    if (!inside) saveplot();
}

void frmPlot::drawCurve(uint32_t color) {
    plat::Surface& s = surface();
    const int n = std::clamp<int>(mc.npts, 0, kMaxPoints);
    const float r = float(0.003 * double(plotXSpan()));
    for (mc.i = 1; mc.i <= n; ++mc.i) {
        s.setForeColor(color);
        s.circle(mc.xplot[mc.i], mc.yplot[mc.i], r);
        if (mc.i > 1)
            s.line(mc.xplot[mc.i - 1], mc.yplot[mc.i - 1], mc.xplot[mc.i], mc.yplot[mc.i]);
    }
}

void frmPlot::movepoint(float x, float y) {
    lastx_ = x;
    lasty_ = y;
    if (y < mc.ymin) y = mc.ymin;
    if (y > mc.ymax) y = mc.ymax;

    const int n = std::clamp<int>(mc.npts, 0, kMaxPoints);
    int k = 0;
    if (n >= 1 && x >= mc.xmin) {
        const float tol = 0.5f / float(n);
        // The catch zone is measured against the points' own x span; one point, or points that
        // all share one x, have none, and then the plot's x span stands in for it.
        float spread = mc.xplot[n] - mc.xplot[1];
        if (spread == 0) spread = plotXSpan();
        for (mc.i = 1; mc.i <= n; ++mc.i) {
            if (std::fabs((x - mc.xplot[mc.i]) / spread) < tol) k = mc.i;
        }
    }
    if (k >= 1) {
        drawCurve(plat::kWhite);
        mc.yplot[k] = y;
        surface().setForeColor(plat::kBlack);
        drawCurve(plat::kBlack);
        if (hasKeyMark()) setKeyMark(mc.xplot[chosen_], mc.yplot[chosen_]);
    }
    surface().line(mc.xmin, 0, mc.xmax, 0, plat::kBlack);
}

void frmPlot::saveplot() {
    const std::string path = plat::askPlotBitmapName();
    if (path.empty()) {
        hide();
        return;
    }
    // The window stays up for more dragging; a file that could not be written is said so, not
    // passed over in silence.
    std::string reason;
    if (!surface().savePicture(path, &reason))
        plat::msgBox("Cannot write the plot to " + path + ": " + reason);
}

} // namespace cw
