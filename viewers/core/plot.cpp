// The plot window, the text canvas, rotated titles and the drawing helpers of the viewers.
#include "viewers/core/plot.h"

#include "platform/numtext.h"
#include "platform/plotdescription.h"
#include "platform/plotsave.h"
#include "platform/prompts.h"
#include "platform/rotated_text.h"
#include "platform/system.h"

#include "common/visibletext.h"

#include <cmath>

namespace viewers {

int16_t screenclass = 1;
std::string plotfile;

void setscreenclass() {
    const float pixels = float(plat::screenWidthTwips()) / 15.0f;
    screenclass = pixels > 1050.0f ? 2 : 1;
}

frmPlot::frmPlot() : plat::Form("frmPlot", "Plot", plat::Form::Kind::Drawing) {}

void frmPlot::Form_MouseDown(int button, int /*shift*/, float /*x*/, float /*y*/) {
    if (button == int(plat::MouseButton::Left)) {
        hide();
        return;
    }
    bitmapname.clear();
    const std::string chosen = plat::askPlotBitmapName();
    if (!chosen.empty()) bitmapname = chosen;
    std::string reason;
    if (!bitmapname.empty() && !surface().savePicture(bitmapname, &reason)) {
        plat::msgBox("The plot could not be saved as " + vesk::visibleName(bitmapname) + ": " +
                     reason + ".");
    }
    hide();
}

void frmPlot::Form_KeyDown(int keyCode, int shift) {
    using plat::KeyCode;
    const KeyCode key = KeyCode(keyCode);
    if (key == KeyCode::Escape || key == KeyCode::Return || key == KeyCode::Space)
        Form_MouseDown(int(plat::MouseButton::Left), shift, 0, 0);
    else if (keyCode == 'S' && (shift & plat::kCtrlMask))
        Form_MouseDown(int(plat::MouseButton::Right), shift, 0, 0);
}

scratch::scratch() : plat::Form("scratch", "scratch", plat::Form::Kind::Drawing) {
    // Room for the longest axis title at the largest size the plotters use.
    setWidth(1600 * plat::kTwipsPerPixel);
    setHeight(200 * plat::kTwipsPerPixel);
}

plat::Surface& plotSurface() {
    return plat::instance<frmPlot>().surface();
}

namespace {
std::string plotDescription;
}

void clearPlotWindow() {
    plat::Surface& s = plotSurface();
    s.setBackColor(plat::kWhite);
    s.cls();
    plotDescription.clear();
    plat::describeDrawing(plat::instance<frmPlot>(), plotDescription);
}

void describeSeries(const std::string& series, const std::string& xTitle, float xmin, float xmax,
                    const std::string& yTitle, float ymin, float ymax) {
    if (!plotDescription.empty()) plotDescription += " ";
    plotDescription += plat::seriesDescription(series, xTitle, xmin, xmax, yTitle, ymin, ymax);
    plat::describeDrawing(plat::instance<frmPlot>(), plotDescription);
}

void printrotated(const std::string& text, const std::string& fontName, float fontSize, int angle,
                  float xOffset, float yOffset) {
    plat::printRotated(plotSurface(), plat::instance<scratch>().surface(), text, fontName, fontSize,
                       angle, xOffset, yOffset);
}

float rightTitleOffset(const std::string& text, const std::string& fontName, float fontSize,
                       float class1Offset, float class2Offset) {
    if (screenclass != 2) return class1Offset;
    plat::Surface& canvas = plat::instance<scratch>().surface();
    canvas.setFontName(fontName);
    canvas.setFontSize(fontSize);
    canvas.setScaleMode(plat::ScaleMode::Pixels);
    // At 180 degrees the title covers the columns from the offset to the offset plus its height.
    const float h = std::round(canvas.textHeight(text));
    if (class2Offset + h < float(plotSurface().pixelWidth())) return class2Offset;
    return class1Offset;
}

void scalePlotWindow(int widthTwips, int heightTwips, float x1, float y1, float x2, float y2) {
    frmPlot& plot = plat::instance<frmPlot>();
    plot.setWidth(widthTwips);
    plot.setHeight(heightTwips);
    plot.surface().setScaleMode(plat::ScaleMode::Twips);
    plot.surface().setScale(x1, y1, x2, y2);
}

void moveTextTo(float x, float y) {
    plotSurface().pset(x, y, plat::kWhite);
}

std::vector<float> tickValues(float from, float limit, float step) {
    std::vector<float> values;
    if (!(from <= limit)) return values;
    if (!(step > 0.0f) || !std::isfinite(step)) {
        values.push_back(from);
        return values;
    }
    for (float v = from; v <= limit && values.size() < 1000; v += step) {
        values.push_back(v);
        if (v + step == v) break; // the step is lost in the value's precision
    }
    return values;
}

XTickLabeller::XTickLabeller(std::string thousandsPicture)
    : thousands_(std::move(thousandsPicture)) {}

std::string XTickLabeller::label(float x) {
    if (x < 10.0f)
        picture_ = "0.0";
    else if (x < 100.0f)
        picture_ = "#00";
    else if (x < 1000.0f)
        picture_ = "#000.0";
    else if (x < 10000.0f)
        picture_ = thousands_;
    else if (x >= 100000.0f)
        picture_ = "#00000";
    // 10000 to 99999 keeps the picture of the tick before.
    if (picture_.empty()) return plat::strSingle(x);
    return plat::formatPicture(x, picture_);
}

void reportPlotProblem(const std::string& file, const std::string& what) {
    // The name is escaped whole: a line break or a tab in it would otherwise break the message.
    plat::msgBox("Cannot plot " + vesk::visibleName(file) + ": " + what);
}

std::string resolvePlotFile(const std::string& name) {
    return plat::resolveWithoutCase(name);
}

} // namespace viewers
