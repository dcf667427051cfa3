#pragma once
// The plots of the per-recruit viewer: yield per recruit against the fishing-mortality multiplier
// (mode 1) or the realized F (mode 2), optionally with the spawning-potential ratio on its own
// 0 to 1 scale and right-hand axis.
#include "viewers/sulbrin/production_plot.h"
#include "viewers/tovrask/yrofile.h"

#include <array>
#include <string>

namespace tovrask {

using sulbrin::Range;

struct PlotChoice {
    int plotmode = 1;
    // x axis, left turned, right turned.
    std::array<std::string, 3> axistitle;
    bool includeSpr = false; // the check box "Include SPR"
};

PlotChoice fmultChoice();     // Option1
PlotChoice realizedFChoice(); // Option2

// Frame, x ticks, left y ticks, x title and the left turned title, in font `fontName`.
void drawaxes(const Range& range, const PlotChoice& choice, const std::string& fontName);
// Frame, right y ticks on the SPR scale and the right turned title.
void drawsecondaxis(const Range& range, const PlotChoice& choice, const std::string& fontName);

// The mode's range must not be empty: see emptyRangeError.
void drawperrecruitcurves(const PerRecruitTable& table, const PlotChoice& choice);

// Reads the file afresh and, when the mode can be plotted, clears the plot window, draws and
// shows it; otherwise shows a message naming the file and what is wrong. Returns whether it drew.
bool loadandplot(const std::string& file, const PlotChoice& choice);

} // namespace tovrask
