// The graph drawing routines, checked on the pixels of the graph window's persistent image.
#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <string>
#include <vector>

#include "control_window/model/maincode.h"
#include "control_window/windows/editors/defineyoy.h"
#include "control_window/windows/frmplot.h"
#include "control_window/windows/graph.h"
#include "platform/form.h"
#include "platform/numtext.h"
#include "platform/surface.h"
#include "platform/testing/scripted_user.h"

using namespace cw;

namespace {

class GraphTest : public ::testing::Test {
  protected:
    void SetUp() override { resetMaincode(); }
    void TearDown() override { plat::unloadAll(); }

    // An even series y = value at x = first .. last, every step.
    static void fillSeries(float first, float last, float step, float value) {
        mc.npts = 0;
        for (float x = first; x <= last + step / 2; x += step) {
            ++mc.npts;
            mc.xplot[mc.npts] = x;
            mc.yplot[mc.npts] = value;
        }
    }

    static void setRanges(float xmin, float xmax, float ymin, float ymax) {
        mc.xmin = xmin;
        mc.xmax = xmax;
        mc.ymin = ymin;
        mc.ymax = ymax;
    }

    static plat::Surface& plot() { return plat::instance<frmPlot>().surface(); }

    static bool blackAt(float x, float y) { return plot().point(x, y) == plat::kBlack; }

    // Black pixels in the pixel window [dx0, dx1] x [dy0, dy1] around the point (x, y).
    static int inkAround(float x, float y, int dx0, int dx1, int dy0, int dy1) {
        const QImage& img = plot().image();
        const int cx = int(std::lround(plot().toPixelX(x)));
        const int cy = int(std::lround(plot().toPixelY(y)));
        int n = 0;
        for (int r = cy + dy0; r <= cy + dy1; ++r) {
            for (int c = cx + dx0; c <= cx + dx1; ++c) {
                if (img.valid(c, r) && (img.pixel(c, r) & 0xFFFFFF) == 0) ++n;
            }
        }
        return n;
    }
};

// Whether the label text stands on the graph with its upper-left corner at (x, y) in the
// graph's scale: the graph's pixels under the text's rectangle are black exactly where the same
// text printed alone at that point is black. Columns from clipX (in the graph's scale) on are
// left out, for wide labels that run into their tick mark.
::testing::AssertionResult labelAt(float x, float y, const std::string& text, float fontSize,
                                   float clipX = HUGE_VALF) {
    plat::Surface& graph = plat::instance<frmPlot>().surface();
    plat::Surface ref;
    ref.resize(graph.pixelWidth(), graph.pixelHeight());
    ref.setBackColor(plat::kWhite);
    ref.cls();
    ref.setFontName("arial");
    ref.setFontSize(fontSize);
    ref.setScale(graph.scaleLeft(), graph.scaleTop(), graph.scaleLeft() + graph.scaleWidth(),
                 graph.scaleTop() + graph.scaleHeight());
    ref.setCurrentX(x);
    ref.setCurrentY(y);
    ref.print(text);
    const int px = int(std::lround(graph.toPixelX(x)));
    const int py = int(std::lround(graph.toPixelY(y)));
    ref.setScaleMode(plat::ScaleMode::Pixels);
    const int w = int(std::ceil(ref.textWidth(text)));
    const int h = int(std::ceil(ref.textHeight(text)));
    const QImage& a = graph.image();
    const QImage& b = ref.image();
    const int clip = clipX == HUGE_VALF ? a.width() : int(std::floor(graph.toPixelX(clipX))) - 1;
    int inked = 0;
    for (int r = py - 1; r <= py + h; ++r) {
        for (int c = px - 1; c <= px + w; ++c) {
            if (c < 0 || r < 0 || c >= std::min(a.width(), clip) || r >= a.height()) continue;
            const bool ga = (a.pixel(c, r) & 0xFFFFFF) == 0;
            const bool gb = (b.pixel(c, r) & 0xFFFFFF) == 0;
            if (ga != gb) {
                return ::testing::AssertionFailure()
                       << "label \"" << text << "\" differs at pixel (" << c << ", " << r << ")";
            }
            inked += gb;
        }
    }
    if (inked == 0) return ::testing::AssertionFailure() << "label \"" << text << "\" is blank";
    return ::testing::AssertionSuccess();
}

struct StepCase {
    float span;
    bool xAxis;
    int lead;
    int count;
    float step;
};

TEST(TickStep, LeadCountAndStepBySpan) {
    const StepCase cases[] = {
        {20, true, 2, 5, 4},          // 1990 to 2010
        {25, true, 3, 6, 5},          // 0 to 25
        {1500, true, 2, 5, 400},      // 1.5e+3: lead 2
        {1.2f, false, 2, 5, 0.4f},    // 0 to 1.2
        {0.95f, false, 10, 10, 0.1f}, // 9.5e-1: lead 10
        {2000000, false, 2, 5, 400000},
        {24, false, 3, 6, 5},
        // Whole-number x steps that round to 0: a step of 1 where the span reaches 1, the
        // unrounded step below it.
        {2, true, 2, 5, 1},
        {3, true, 3, 6, 1},
        {4, true, 4, 8, 1},
        {4.05f, true, 5, 5, 1},
        {1, true, 1, 5, 1},
        {0.5f, true, 5, 5, 0.1f},
        {0.2f, true, 2, 5, 0.04f},
    };
    for (const StepCase& c : cases) {
        const TickStep t = c.xAxis ? xTickStep(c.span) : yTickStep(c.span);
        EXPECT_EQ(t.lead, c.lead) << c.span;
        EXPECT_EQ(t.count, c.count) << c.span;
        EXPECT_FLOAT_EQ(t.step, c.step) << c.span << (c.xAxis ? " x" : " y");
    }
    // A range given upside down takes lead 1 and still a positive step.
    EXPECT_EQ(xTickStep(-20).lead, 1);
    EXPECT_GT(xTickStep(-2).step, 0);
    EXPECT_EQ(xTickStep(0).step, 0);
}

TEST(TickLabels, FormatsByValue) {
    EXPECT_EQ(xTickFormat(0), "#0");
    EXPECT_EQ(xTickFormat(-3), "0.0");
    EXPECT_EQ(xTickFormat(0.5f), "0.0");
    EXPECT_EQ(xTickFormat(5), "#0");
    EXPECT_EQ(xTickFormat(25), "#00");
    EXPECT_EQ(xTickFormat(999), "#000");
    EXPECT_EQ(xTickFormat(1990), "#0000");
    EXPECT_EQ(xTickFormat(10000), "#00000");

    const std::pair<float, YTickLabel> ys[] = {
        {0, {"0", 3}},          {0.001f, {"0.000", 7}}, {0.0005f, {"0.0e+0", 8}},
        {0.01f, {"0.00", 6}},   {0.4f, {"0.00", 6}},    {1, {"0.0", 5}},
        {10, {"00", 4}},        {500, {"000", 5}},      {1000, {"0.0e+0", 8}},
        {-0.2f, {"0.0e+0", 8}},
    };
    for (const auto& [t, want] : ys) {
        const YTickLabel got = yTickLabel(t);
        EXPECT_EQ(got.format, want.format) << t;
        EXPECT_EQ(got.width, want.width) << t;
    }
}

TEST(TitleRow, CentredAboveTheMiddleHalvesToEven) {
    EXPECT_EQ(yTitleRow(400, 200), 65);
    EXPECT_EQ(yTitleRow(400, 201), 64); // 64.5
    EXPECT_EQ(yTitleRow(400, 203), 64); // 63.5
}

struct AxisCase {
    const char* name;
    float xmin, xmax, ymin, ymax;
    std::vector<std::pair<float, std::string>> xLabels; // tick and its label
    std::vector<std::pair<float, std::string>> yLabels;
    std::vector<float> noXTick; // values where no x tick may stand
};

TEST_F(GraphTest, TicksAndLabelsOnThePlot) {
    const AxisCase cases[] = {
        {"years",
         1990,
         2010,
         0,
         1,
         {{1990, "1990"},
          {1994, "1994"},
          {1998, "1998"},
          {2002, "2002"},
          {2006, "2006"},
          {2010, "2010"}},
         {{0, "0"}, {0.2f, "0.20"}, {1.0f, "1.0"}},
         {1992, 2008}},
        {"lengths",
         0,
         25,
         0,
         1.2f,
         {{0, "0"}, {5, "5"}, {10, "10"}, {25, "25"}},
         {{0, "0"}, {0.4f, "0.40"}, {0.8f, "0.80"}, {1.2f, "1.2"}},
         {2.5f}},
        {"fractions", 1, 10, 0, 0.95f, {{1, "1"}, {3, "3"}}, {{0.1f, "0.10"}, {0.9f, "0.90"}}, {}},
        {"recruits",
         1,
         10,
         0,
         2000000,
         {},
         {{0, "0"}, {400000, "4.0e+5"}, {2000000, "2.0e+6"}},
         {}},
        // Three seasons: the whole-number step rounds to 0 and becomes 1.
        {"seasons", 1, 3, 0, 1, {{1, "1"}, {2, "2"}, {3, "3"}}, {}, {1.5f}},
    };
    for (const AxisCase& c : cases) {
        SCOPED_TRACE(c.name);
        setRanges(c.xmin, c.xmax, c.ymin, c.ymax);
        fillSeries(c.xmin, c.xmax, (c.xmax - c.xmin) / 4, c.ymin);
        drawplot();
        const float xspan = c.xmax - c.xmin;
        const float yspan = c.ymax - c.ymin;
        for (const auto& [t, text] : c.xLabels) {
            EXPECT_TRUE(blackAt(t, c.ymin - 0.015f * yspan)) << "x tick " << t;
            EXPECT_TRUE(labelAt(t - 0.0135f * xspan, c.ymin - 0.025f * yspan, text, 10));
        }
        for (float t : c.noXTick)
            EXPECT_FALSE(blackAt(t, c.ymin - 0.015f * yspan)) << t;
        for (const auto& [t, text] : c.yLabels) {
            EXPECT_TRUE(blackAt(c.xmin - 0.007f * xspan, t)) << "y tick " << t;
            const float w = float(yTickLabel(t).width);
            EXPECT_TRUE(labelAt(c.xmin - w * 0.01f * xspan, t + 0.025f * yspan, text, 10,
                                c.xmin - 0.01f * xspan));
        }
        plat::unloadAll();
    }
}

TEST_F(GraphTest, YTicksOfZeroToPointNineFiveStepByATenth) {
    setRanges(0, 10, 0, 0.95f);
    fillSeries(0, 10, 1, 0.5f);
    drawplot();
    for (int k = 0; k <= 9; ++k)
        EXPECT_TRUE(blackAt(-0.07f, 0.1f * float(k))) << k;
    EXPECT_FALSE(blackAt(-0.07f, 0.05f));
    EXPECT_FALSE(blackAt(-0.07f, 0.85f));
}

TEST_F(GraphTest, TickLoopsEndOnTinyStepsOfLargeValues) {
    // At 1e8 single values are 8 apart: a step of 1 added to a tick leaves it where it was.
    setRanges(1e8f, 1e8f + 8, 1e8f, 1e8f + 8);
    mc.npts = 1;
    mc.xplot[1] = 1e8f;
    mc.yplot[1] = 1e8f;
    drawplot();
    EXPECT_TRUE(plat::instance<frmPlot>().visible());
}

TEST_F(GraphTest, PointsAreCirclesJoinedByLines) {
    setRanges(0, 10, 0, 1);
    mc.npts = 3;
    const float xs[] = {0, 5, 10}, ys[] = {0.2f, 0.8f, 0.4f};
    for (int k = 0; k < 3; ++k) {
        mc.xplot[k + 1] = xs[k];
        mc.yplot[k + 1] = ys[k];
    }
    drawplot();
    // Middle of each segment is on the line; off the line is white.
    EXPECT_TRUE(blackAt(2.5f, 0.5f));
    EXPECT_GT(inkAround(7.5f, 0.6f, 0, 0, -1, 1), 0);
    EXPECT_FALSE(blackAt(2.5f, 0.3f));
    // The middle point is a peak: only its circle has ink just above it.
    EXPECT_GT(inkAround(5, 0.8f, -3, 3, -3, -1), 0);
    EXPECT_EQ(mc.i, 4) << "the point loops leave the counter past the last point";
}

TEST_F(GraphTest, TitlesLandInsideTheWindow) {
    setRanges(0, 10, 0, 1);
    fillSeries(0, 10, 1, 0.5f);
    mc.xtitle = "Age";
    mc.ytitle = "Natural mortality";
    drawplot();
    plat::Surface& s = plot();
    const QImage& img = s.image();
    // The client area is the window's 10000 x 7000 twips.
    EXPECT_NEAR(img.width(), 10000 / 15.0, 1);
    EXPECT_NEAR(img.height(), 7000 / 15.0, 1);

    // The upright title as the canvas prints it, for the size of its image.
    plat::Surface upright;
    upright.resize(400, 60);
    upright.setBackColor(plat::kWhite);
    upright.cls();
    upright.setScaleMode(plat::ScaleMode::Pixels);
    upright.setFontName("arial");
    upright.setFontSize(12);
    const int W = int(std::nearbyint(upright.textWidth(mc.ytitle)));
    const int H = int(std::nearbyint(upright.textHeight(mc.ytitle)));
    upright.setCurrentX(0);
    upright.setCurrentY(0);
    upright.print(mc.ytitle);
    EXPECT_EQ(mc.roty, yTitleRow(float(img.height()), upright.textWidth(mc.ytitle)));
    EXPECT_EQ(mc.plotfontsz, 10);

    // Every pixel of the upright text stands turned a quarter left: text column c of row r at
    // (H + r, roty + W + 8 - c), so the title reads from the bottom up.
    int copied = 0;
    for (int r = 0; r <= H; ++r) {
        for (int c = 0; c < W + 8; ++c) {
            const bool black = (upright.image().pixel(c, r) & 0xFFFFFF) == 0;
            const int tx = H + r, ty = mc.roty + W + 8 - c;
            if (tx >= img.width() || ty < 0 || ty >= img.height()) continue;
            const bool there = (img.pixel(tx, ty) & 0xFFFFFF) == 0;
            if (black) {
                ASSERT_TRUE(there) << "text pixel (" << c << ", " << r << ")";
                ++copied;
            }
        }
    }
    EXPECT_GT(copied, 50);
    // The turned title lies wholly inside the window and left of the tick labels.
    EXPECT_GE(mc.roty + 9, 0);
    EXPECT_LT(mc.roty + W + 8, img.height());
    EXPECT_LT(2 * H, s.toPixelX(0 - 0.06f * 10));

    // The x title: centred on the window, its top at row 440, its foot still inside.
    int top = img.height(), bottom = -1, left = img.width(), right = -1;
    for (int r = 430; r < img.height(); ++r) {
        for (int c = 0; c < img.width(); ++c) {
            if ((img.pixel(c, r) & 0xFFFFFF) != 0) continue;
            top = std::min(top, r);
            bottom = std::max(bottom, r);
            left = std::min(left, c);
            right = std::max(right, c);
        }
    }
    ASSERT_GE(bottom, 0) << "no x title";
    EXPECT_GE(top, 440);
    EXPECT_LT(bottom, img.height() - 1);
    EXPECT_NEAR((left + right) / 2.0, img.width() / 2.0, 2.0);
    // The x title stays below the lowest tick label.
    EXPECT_GT(top, s.toPixelY(0 - 0.025f) + 12);
}

TEST_F(GraphTest, UpsideDownYRangeWarnsAndDrawsInPixels) {
    setRanges(0, 10, 1, 1);
    fillSeries(0, 10, 1, 0.5f);
    plat::testing::ScriptedUser user;
    user.message("Upper value must be greater than lower");
    drawplot();
    EXPECT_TRUE(user.finished());
    EXPECT_EQ(plot().scaleMode(), plat::ScaleMode::Pixels);
    EXPECT_TRUE(plat::instance<frmPlot>().visible());
}

TEST_F(GraphTest, EmptyXRangeTakesOneUnit) {
    // One year of data: the scale is one x unit wide around it, the box is a line, the point a
    // visible circle.
    setRanges(2001, 2001, 0, 1);
    mc.npts = 1;
    mc.xplot[1] = 2001;
    mc.yplot[1] = 0.5f;
    drawplot();
    plat::Surface& s = plot();
    EXPECT_NEAR(s.scaleWidth(), 1.2f, 1e-3);
    EXPECT_NEAR(s.scaleLeft(), 2001 - 0.144f, 1e-3);
    // Right of the flat box line only the circle has ink.
    EXPECT_GT(inkAround(2001, 0.5f, 1, 3, -3, 3), 0);
}

TEST(ScaleToMax, DividesByTheLargestValue) {
    resetMaincode();
    mc.npts = 3;
    mc.yplot[1] = 0.2f;
    mc.yplot[2] = 0.5f;
    mc.yplot[3] = 0.4f;
    mc.yplot[4] = 7;
    scaletomax();
    EXPECT_FLOAT_EQ(mc.yplot[1], 0.4f);
    EXPECT_FLOAT_EQ(mc.yplot[2], 1);
    EXPECT_FLOAT_EQ(mc.yplot[3], 0.8f);
    EXPECT_FLOAT_EQ(mc.yplot[4], 7) << "beyond npts stays";
}

TEST(ScaleToMax, NothingAboveZeroStaysAsItIs) {
    resetMaincode();
    mc.npts = 3;
    mc.yplot[1] = 0;
    mc.yplot[2] = -0.5f;
    mc.yplot[3] = 0;
    scaletomax();
    EXPECT_EQ(mc.yplot[1], 0);
    EXPECT_EQ(mc.yplot[2], -0.5f);
    EXPECT_EQ(mc.yplot[3], 0);
}

TEST(FillXGrid, LeftEndsOfEqualIntervals) {
    resetMaincode();
    mc.xmin = 0;
    mc.xmax = 100;
    mc.xplot[51] = -1;
    fillxgrid(50);
    EXPECT_FLOAT_EQ(mc.xtick, 2);
    for (int k = 1; k <= 50; ++k)
        EXPECT_FLOAT_EQ(mc.xplot[k], float(2 * (k - 1))) << k;
    EXPECT_EQ(mc.xplot[51], -1) << "the grid has no point at xmax";

    // More intervals than points fills only the points there are; none fills nothing.
    fillxgrid(400);
    EXPECT_FLOAT_EQ(mc.xplot[251], 250 * 0.25f);
    mc.xtick = 9;
    mc.xplot[1] = 5;
    fillxgrid(0);
    EXPECT_EQ(mc.xtick, 9);
    EXPECT_EQ(mc.xplot[1], 5);
}

// A scale of Y so large that the graph's margins do not fit a single value would give an empty
// graph to drag on: it is refused with the largest scale that draws, and that one draws.
TEST_F(GraphTest, AScaleTooLargeToDrawIsRefusedAndTheLargestOneOfferedDraws) {
    cw::DefineYOY& w = plat::instance<cw::DefineYOY>();
    w.i_byr.setText("1991");
    w.i_eyr.setText("1993");
    for (int k = 1; k <= 3; ++k)
        mc.yoyrec(k) = float(100 * k);
    {
        plat::testing::ScriptedUser user;
        user.message("Set to Mean", plat::MsgAnswer::No)
            .input("Scale of Y for input", "3.4e38")
            .message("The scale of Y is too large to draw the graph with: use at most 2.7E+38.");
        w.I_yoy.click();
        EXPECT_TRUE(user.finished());
        EXPECT_FALSE(plat::isLoaded<frmPlot>() && plat::instance<frmPlot>().visible());
        EXPECT_EQ(mc.yoyrec(3), 300);
    }
    plat::testing::ScriptedUser user;
    user.message("Set to Mean", plat::MsgAnswer::No).input("Scale of Y for input", "2.7e38");
    user.act([] {
        ASSERT_TRUE(plat::instance<frmPlot>().visible());
        EXPECT_TRUE(std::isfinite(plot().scaleTop()));
        EXPECT_TRUE(std::isfinite(plot().scaleHeight()));
        // The box's top right corner and the points on its floor are drawn.
        EXPECT_GT(inkAround(1993, 2.7e38f, -2, 2, -2, 2), 0);
        EXPECT_GT(inkAround(1992, 200, -3, 3, -3, 3), 0);
        mc.yplot(2) = 1e38f;
        plat::instance<frmPlot>().closeBox();
    });
    w.I_yoy.click();
    EXPECT_TRUE(user.finished());
    EXPECT_EQ(mc.yoyrec(2), 1e38f);
}

} // namespace
