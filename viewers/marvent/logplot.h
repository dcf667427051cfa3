#pragma once
// The plots of the simulation log: one series against the year, relative to its maximum, with a
// right-hand axis for the overlays of mean age and mean weight.
#include <array>
#include <cstdint>
#include <string>

namespace marvent {

extern int16_t series;                       // 1 to 10, the series being drawn
extern std::array<std::string, 3> axistitle; // [1] x-axis title, [2] y-axis title
extern float xmin, xmax, ymin, ymax;
extern std::string plotfont;

// The log column that a series plots.
int seriesColumn(int series);

// Reads the file, shows the plot window and draws the current series on it. False (after a
// message naming the file and the problem) when the file cannot be plotted; nothing is drawn.
bool loadandplot(const std::string& file);
void drawseries();
void setscale();
void drawaxes(const std::string& xTitle);

// One option: ymax 1.2, the x title "Year", the plot window cleared, then one pass per series
// given (each with its y title), the later drawn over the earlier. A pass that fails ends it.
struct Pass {
    int series;
    const char* title;
};
void plotOption(std::initializer_list<Pass> passes);

} // namespace marvent
