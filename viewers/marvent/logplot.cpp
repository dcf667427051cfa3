// Plotter of the simulation log.
#include "viewers/marvent/logplot.h"

#include "platform/numtext.h"
#include "platform/surface.h"
#include "viewers/core/plot.h"
#include "viewers/marvent/logfile.h"

namespace marvent {

int16_t series = 1;
std::array<std::string, 3> axistitle;
float xmin = 0, xmax = 0, ymin = 0, ymax = 0;
std::string plotfont = "Arial";

namespace {

struct SeriesStyle {
    int column;
    const char* legend; // nullptr: none
    bool hollow;        // circles filled white
};

SeriesStyle styleOf(int s) {
    static const SeriesStyle styles[11] = {
        {0, nullptr, false},  {2, nullptr, false}, {3, nullptr, false}, {4, nullptr, false},
        {5, nullptr, false},  {6, nullptr, false}, {7, nullptr, false}, {8, nullptr, false},
        {8, "Length", false}, {10, "Age", true},   {9, "Weight", true}};
    return s >= 1 && s <= 10 ? styles[s] : styles[0];
}

// Which rows get a circle (and are visited by the polyline), and where the polyline starts. A
// missing value is never drawn; the line bridges over it.
bool drawsPoint(int s, double v) {
    switch (s) {
    case 7:
    case 10:
        return v >= 0;
    case 8:
        return v > 0;
    default:
        return true;
    }
}
bool startsLine(int s, double v) {
    switch (s) {
    case 7:
        return v > 0;
    case 8:
    case 10:
        return v >= 0;
    default:
        return true;
    }
}

struct TitlePlace {
    int angle;
    float x;
    float y;
};

TitlePlace titlePlace(int s, const std::string& title) {
    switch (s) {
    case 1:
    case 4:
        return {90, -35, 85};
    case 2:
    case 5:
    case 8:
        return {90, -35, 100};
    case 3:
        return {90, -35, 65};
    case 6:
        return {90, -35, 170};
    case 7:
        return {90, -35, 110};
    case 9:
        return {180, viewers::rightTitleOffset(title, plotfont, 24, 675, 810), -85};
    default:
        return {180, viewers::rightTitleOffset(title, plotfont, 24, 675, 810), -150};
    }
}

// The first row where the series' polyline may start, 0 when there is none.
int firstLineRow(int s, int column) {
    for (int row = 1; row <= logtable.nrows; ++row)
        if (!logtable.missing[column][row] && startsLine(s, logtable.value[column][row]))
            return row;
    return 0;
}

} // namespace

int seriesColumn(int s) {
    return styleOf(s).column;
}

bool loadandplot(const std::string& file) {
    if (auto problem = readlogfile(file)) {
        viewers::reportPlotProblem(file, *problem);
        return false;
    }
    const int column = seriesColumn(series);
    if (isDividedColumn(column) && !(logtable.maximum[column] > 0)) {
        viewers::reportPlotProblem(file, "the " + columnQuantity(column) +
                                             " has no value above 0, so it cannot be shown "
                                             "relative to its maximum.");
        return false;
    }
    if (firstLineRow(series, column) == 0) {
        viewers::reportPlotProblem(file,
                                   "it holds no " + columnQuantity(column) + " value to plot.");
        return false;
    }
    plat::instance<viewers::frmPlot>().show();
    drawseries();
    return true;
}

void drawseries() {
    const LogTable& t = logtable;
    const SeriesStyle style = styleOf(series);
    const int column = style.column;
    xmin = float(t.year[1]) - 1;
    ymin = 0;
    xmax = float(t.year[t.nrows]) + 1;
    setscale();

    plat::Surface& s = viewers::plotSurface();
    plotfont = "Arial";
    s.setFontName(plotfont);
    s.setBackColor(plat::kWhite);
    s.setForeColor(plat::kBlack);
    s.setFillColor(plat::kBlack);
    s.setFillStyle(0);
    s.setDrawWidth(1);
    const float r = (xmax - xmin) / 300.0f;

    auto x = [&](int row) { return float(t.year[row]); };
    auto y = [&](int row) { return float(t.value[column][row]); };
    auto usable = [&](int row) { return !t.missing[column][row]; };

    auto circles = [&] {
        s.setFillColor(style.hollow ? plat::kWhite : plat::kBlack);
        for (int row = 1; row <= t.nrows; ++row)
            if (usable(row) && drawsPoint(series, t.value[column][row]))
                s.circle(x(row), y(row), r, plat::kBlack);
    };
    auto polyline = [&] {
        const int first = firstLineRow(series, column);
        if (first == 0) return;
        s.setCurrentX(x(first));
        s.setCurrentY(y(first));
        for (int row = first + 1; row <= t.nrows; ++row)
            if (usable(row) && drawsPoint(series, t.value[column][row]))
                s.lineTo(x(row), y(row), plat::kBlack);
    };
    if (series == 9) {
        polyline();
        circles();
    } else {
        circles();
        polyline();
    }

    if (style.legend) {
        const float circleY = series == 8 ? 0.3f : 0.2f;
        s.setFillColor(style.hollow ? plat::kWhite : plat::kBlack);
        s.circle(xmin + 0.2f * (xmax - xmin), circleY, 1.33f * r, plat::kBlack);
        viewers::moveTextTo(xmin + 0.225f * (xmax - xmin), circleY + 0.025f);
        s.setFontSize(14);
        s.print(style.legend);
    }

    s.setDrawWidth(1);
    s.setFillColor(plat::kWhite);
    s.setFillStyle(1);
    drawaxes(axistitle[1]);

    const TitlePlace place = titlePlace(series, axistitle[2]);
    viewers::printrotated(axistitle[2], plotfont, 24, place.angle, place.x, place.y);
}

void setscale() {
    const float xr = (xmax - xmin) * (series <= 7 ? 1.17f : 1.25f);
    const float x1 = xmin - 0.1f * xr;
    const float x2 = x1 + xr;
    const float yr = (ymax - ymin) * 1.18f;
    const float y2 = ymin - 0.13f * yr;
    const float y1 = y2 + yr;
    viewers::scalePlotWindow(12000, 8000, x1, y1, x2, y2);
}

void drawaxes(const std::string& xTitle) {
    plat::Surface& s = viewers::plotSurface();
    const float xr = xmax - xmin;
    const float yr = ymax - ymin;
    s.box(xmin, ymin, xmax, ymax, plat::kBlack);
    s.setFontName(plotfont);
    s.setFontSize(12);

    viewers::XTickLabeller labels("#0000");
    for (float x : viewers::tickValues(xmin, xmax, 5.0f)) {
        const std::string text = labels.label(x);
        s.line(x, ymin, x, ymin - 0.02f * yr, plat::kBlack);
        s.setCurrentX(x - 0.03f * xr);
        s.setCurrentY(ymin - 0.025f * yr);
        s.print(text);
    }

    const bool right = series == 9 || series == 10;
    const float d = (series == 7 || series == 8) ? 5.0f : 6.0f;
    for (float y : viewers::tickValues(ymin, ymax * 1.01f, yr / d)) {
        if (right) {
            s.line(xmax, y, xmax + 0.01f * xr, y, plat::kBlack);
            s.setCurrentX(xmax + 0.015f * xr);
            s.setCurrentY(y + 0.02f * yr);
            s.print(plat::formatPicture(y, "0.0"));
        } else {
            s.line(xmin, y, xmin - 0.01f * xr, y, plat::kBlack);
            s.setCurrentX(xmin - 0.055f * xr);
            s.setCurrentY(y + 0.02f * yr);
            s.print(plat::formatPicture(y, " 0.0"));
        }
    }

    s.setFontSize(24);
    s.setCurrentX(xmin + xr / 2 - s.textWidth(xTitle) / 2);
    s.setCurrentY(ymin - 0.075f * yr);
    s.print(xTitle);
}

void plotOption(std::initializer_list<Pass> passes) {
    ymax = 1.2f;
    axistitle[1] = "Year";
    viewers::clearPlotWindow();
    for (const Pass& pass : passes) {
        series = int16_t(pass.series);
        axistitle[2] = pass.title;
        if (!loadandplot(viewers::plotfile)) {
            // Back to the start window: no half-drawn plot stays up.
            plat::instance<viewers::frmPlot>().hide();
            return;
        }
        viewers::describeSeries(pass.title, axistitle[1], xmin, xmax, pass.title, ymin, ymax);
    }
}

} // namespace marvent
