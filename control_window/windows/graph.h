#pragma once
// The graph routines of the control window: they draw the series of the graph exchange area
// (cw::mc.xplot, yplot, npts, the ranges and titles) on the graph window frmPlot, and run the
// graph protocol by which an editor lets the user drag its series.
#include <cstdint>
#include <functional>
#include <string>

namespace cw {

// Clears frmPlot, draws titles, box, ticks, points and the joining lines, and shows it modeless.
void drawplot();
// Sets frmPlot's user scale from xmin, xmax, ymin, ymax, leaving room for labels and titles.
void setscale();
// Draws the plot box with its ticks and tick labels.
void drawaxes();
// Draws ytitle on frmPlot turned by angle (0, 90 or 180) with its image at pixel (x, y).
void printrotated(int angle, int32_t x, int32_t y);
// Divides yplot(1..npts) by its largest value; leaves it alone when nothing is above 0.
void scaletomax();
// Fills xplot(1..n) with the left ends of n equal intervals of xmin..xmax; the step stays in
// xtick.
void fillxgrid(float n);

// True when a graph edit is already running: brings frmPlot to the front. Editors call this
// first, before they touch the exchange area, and return when it is true.
bool graphInUse();
// True when a graph edit is running, after a message that asks the user to close the graph first.
// What the graph shows is copied into its editor when it closes, so a file loaded, saved or
// handed over meanwhile would be mixed with it or miss it: every load, save, export and launch
// asks this first and stops when it is true.
bool refusedWhileGraphOpen();
inline constexpr const char* kCloseGraphFirst =
    "Close the graph window first: the series it shows goes into the editor when it closes. "
    "Nothing was loaded, saved or handed over.";
// With the exchange area filled: draws, waits (plat::doEvents) while frmPlot is shown, then
// returns; yplot then holds what the user left on the graph.
void graphedit();
// The same, for editors that draw something of their own (a reference line) on the graph
// before the user starts: afterDraw runs between drawing and waiting.
void graphedit(const std::function<void()>& afterDraw);

// Pieces of the drawing rules, exposed so that tests can check them one by one.

// The x span that the scale, the point circles and the point search use: xmax - xmin, or one x
// unit when the range is empty, so a graph of a single year still has a usable scale.
float plotXSpan();

// Tick spacing of an axis of the given span: lead digit (1..10), tick count and step. For the x
// axis the step is a whole number, except where that rounds to 0 (spans below about 4.05): then
// a step of 1 when the span is at least 1, so whole-number ticks match their whole-number
// labels, and the unrounded step for smaller spans. The step is 0 when the span gives no ticks.
struct TickStep {
    int lead = 0;
    int count = 0;
    float step = 0;
};
TickStep xTickStep(float span);
TickStep yTickStep(float span);

// Label picture of an x tick, and picture with its width (in hundredths of the x span) of a y
// tick.
std::string xTickFormat(float t);
struct YTickLabel {
    std::string format;
    int width = 0;
};
YTickLabel yTickLabel(float t);

// Pixel row at which the rotated y title starts, for a window of the given scale height and a
// title of the given width (both in pixels): centred a little above the middle.
int32_t yTitleRow(float scaleHeight, float titleWidth);

} // namespace cw
