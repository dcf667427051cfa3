#pragma once
// The plots of the production-table viewer: relative yield and biomass against relative F
// (mode 1), or relative yield and F against relative biomass (mode 2), on the plot window.
#include "viewers/sulbrin/pmofile.h"

#include <array>
#include <string>

namespace plat {
class Surface;
}

namespace sulbrin {

// The data range of a plot.
struct Range {
    float xmin = 0;
    float xmax = 1;
    float ymin = 0;
    float ymax = 1;
};

// What an option chose: the mode and the axis titles (x axis, right turned, left turned).
struct PlotChoice {
    int plotmode = 1;
    std::array<std::string, 3> axistitle;
    bool printPercentile = false; // the check box "Print %ile at TEZ"
};

PlotChoice fishingChoice(); // Option1
PlotChoice biomassChoice(); // Option2

// Plot window 10000 by 7000 twips, with margins around the range for ticks and titles; y grows
// upward. Also used by the per-recruit viewer.
void setscale(const Range& range);

// Frame, ticks and labels on the bottom, left and right, and the x title, in the plot window's
// current font name.
void drawaxes(plat::Surface& plot, const Range& range, const std::string& xTitle);

// Draws the curves, pointers, the percentile mark (mode 2), the axes and the titles of a table
// that readpmofile has read.
void drawproductioncurves(const ProductionTable& table, const PlotChoice& choice);

// Reads the file afresh and, when it can be plotted, clears the plot window, draws and shows it.
// Otherwise shows a message naming the file and what is wrong, and leaves the plot window as it
// was. Returns whether it drew.
bool loadandplot(const std::string& file, const PlotChoice& choice);

// The y labels: " 0.0" below 10, "00.0" from 10 up.
std::string yLabel(float y);

} // namespace sulbrin
