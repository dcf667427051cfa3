// The per-recruit plots, read back from the plot window's image: ticks of the multiplier and of
// the yield per recruit, the SPR curve on its own scale with its right-hand axis, and the modes
// and files that cannot be plotted.
#include "viewers/tovrask/perrecruit_plot.h"
#include "viewers/tovrask/tovrask_start.h"

#include "platform/system.h"
#include "platform/testing/scripted_user.h"
#include "viewers/core/plot.h"
#include "viewers/core/tests/plot_probe.h"
#include "viewers/core/tests/viewer_fixtures.h"

#include <gtest/gtest.h>

#include <QWidget>

#include <cmath>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

using probe::blackNear;
using probe::textAt;

// Multiplier 0 to 2 in steps of 0.02, realized F from 0.1, yield per recruit peaking at 0.35.
tovrask::PerRecruitTable shaped() {
    tovrask::PerRecruitTable t;
    for (int i = 0; i <= 100; ++i) {
        const float m = 0.02f * float(i);
        t.fmult[i] = m;
        t.realizedF[i] = 0.1f + 0.004f * float(i);
        t.ypr[i] = 0.35f * (1.0f - (m - 0.8f) * (m - 0.8f) / 1.44f);
        t.spr[i] = std::exp(-1.5f * m);
        t.maxFmult = std::max(t.maxFmult, t.fmult[i]);
        t.maxRealizedF = std::max(t.maxRealizedF, t.realizedF[i]);
        t.maxYpr = std::max(t.maxYpr, t.ypr[i]);
    }
    return t;
}

class PerRecruitPlot : public viewer_test::PlotTest {
  protected:
    // Draws, then puts back the scale of the given range so the image can be read in it.
    plat::Surface& draw(const tovrask::PerRecruitTable& t, const tovrask::PlotChoice& c,
                        const tovrask::Range& readIn) {
        plat::Surface& s = viewers::plotSurface();
        s.cls();
        tovrask::drawperrecruitcurves(t, c);
        sulbrin::setscale(readIn);
        return s;
    }
};

TEST_F(PerRecruitPlot, MultiplierToTwoAndYieldPeakGiveTheirTicks) {
    const tovrask::PerRecruitTable t = shaped();
    ASSERT_FLOAT_EQ(t.maxYpr, 0.35f);
    const tovrask::Range yield{0, 2, 0, 0.35f};
    plat::Surface& s = draw(t, tovrask::fmultChoice(), yield);
    const char* xs[] = {"0.0", "0.4", "0.8", "1.2", "1.6", "2.0"};
    const char* ys[] = {" 0.0", " 0.1", " 0.1", " 0.2", " 0.3"}; // 0, .07, .14, .21, .28
    for (int k = 0; k <= 5; ++k) {
        const float x = 0.4f * float(k), y = 0.07f * float(k);
        EXPECT_TRUE(blackNear(s, x, -0.0035f)) << "x tick " << x;
        EXPECT_TRUE(textAt(s, xs[k], x - 0.027f, -0.00875f, "Helvetica", 10, plat::kBlack))
            << xs[k];
        EXPECT_TRUE(blackNear(s, -0.01f, y)) << "y tick " << y;
        if (k < 5) {
            EXPECT_TRUE(textAt(s, ys[k], -0.12f, y + 0.007f, "Helvetica", 10, plat::kBlack))
                << "y label " << y;
        }
    }
    EXPECT_FALSE(blackNear(s, 0.2f, -0.0035f, 0)); // no tick between
    EXPECT_FALSE(blackNear(s, -0.01f, 0.035f, 0));
    EXPECT_TRUE(blackNear(s, 1.0f, 0.35f)); // the frame's top is the yield peak
    EXPECT_TRUE(blackNear(s, 0.8f, 0.35f)); // and the curve touches it
    // Without SPR: no right-hand ticks and no right title.
    EXPECT_FALSE(blackNear(s, 2.01f, 0.0f, 0));
    EXPECT_EQ(probe::blackInColumns(s, 640, s.pixelWidth()), 0);
    EXPECT_GT(probe::blackInColumns(s, 0, 25), 100); // the left turned title
}

TEST_F(PerRecruitPlot, SprGoesOnItsOwnScaleWithARightHandAxis) {
    const tovrask::PerRecruitTable t = shaped();
    tovrask::PlotChoice c = tovrask::fmultChoice();
    c.includeSpr = true;
    const tovrask::Range spr{0, 2, 0, 1};
    plat::Surface& s = draw(t, c, spr);
    for (int k = 0; k <= 5; ++k) {
        const float y = 0.2f * float(k);
        EXPECT_TRUE(blackNear(s, 2.01f, y)) << "right tick " << y;
        const std::string label =
            std::vector<std::string>{" 0.0", " 0.2", " 0.4", " 0.6", " 0.8", " 1.0"}[k];
        EXPECT_TRUE(textAt(s, label, 2.02f, y + 0.02f, "Helvetica", 10, plat::kBlack)) << label;
    }
    for (int i : {0, 25, 60, 100})
        EXPECT_TRUE(blackNear(s, t.fmult[i], t.spr[i])) << i;
    EXPECT_GT(probe::blackInColumns(s, 640, s.pixelWidth()), 20); // "SPR"
}

TEST_F(PerRecruitPlot, ModeTwoRunsOnTheRealizedF) {
    const tovrask::PerRecruitTable t = shaped();
    tovrask::PlotChoice c = tovrask::realizedFChoice();
    c.includeSpr = true;
    const float xmax = t.maxRealizedF; // 0.5
    plat::Surface& s = draw(t, c, tovrask::Range{0, xmax, 0, 1});
    // The SPR curve starts at the first row's realized F, not at 0.
    EXPECT_TRUE(blackNear(s, t.realizedF[0], t.spr[0]));
    EXPECT_FALSE(blackNear(s, 0.05f, t.spr[0], 0));
    EXPECT_TRUE(blackNear(s, t.realizedF[50], t.spr[50]));
    sulbrin::setscale(tovrask::Range{0, xmax, 0, t.maxYpr});
    EXPECT_TRUE(blackNear(s, t.realizedF[40], t.ypr[40]));
    EXPECT_TRUE(blackNear(s, 0.5f, -0.0035f)); // the last x tick at the maximum
    EXPECT_TRUE(textAt(s, "0.5", 0.5f - 0.00675f, -0.00875f, "Helvetica", 10, plat::kBlack));
}

TEST_F(PerRecruitPlot, AModeWithoutARangeOrAShortFileGivesAMessage) {
    std::ostringstream text;
    text << "h\nh\n";
    for (int i = 0; i <= 100; ++i)
        text << 0.02 * i << " 0 " << 0.01 * i << " 1\n";
    const std::string flat = dir.path().toStdString() + "/flat.yro";
    std::ofstream(flat, std::ios::binary) << text.str();
    const std::string gone = dir.path().toStdString() + "/gone.yro";

    plat::testing::ScriptedUser user;
    user.message("Cannot plot " + flat +
                 ": it has no positive realized F (column 2); there is nothing to plot against it.")
        .message("Cannot plot " + gone + ": the file cannot be opened: No such file or directory.");
    EXPECT_FALSE(tovrask::loadandplot(flat, tovrask::realizedFChoice()));
    EXPECT_FALSE(tovrask::loadandplot(gone, tovrask::fmultChoice()));
    EXPECT_FALSE(plat::isLoaded<viewers::frmPlot>() &&
                 plat::instance<viewers::frmPlot>().visible());
    EXPECT_TRUE(tovrask::loadandplot(flat, tovrask::fmultChoice())); // mode 1 has its range
    EXPECT_TRUE(user.finished());
}

// An SPR of 1e30 with "Include SPR" and an FMULT of -1e30 draw at once: the rest of each curve
// stands where its scale puts it, and the lines to the far points leave the frame.
TEST_F(PerRecruitPlot, FarPointsDrawOnlyWhatIsInSight) {
    tovrask::PerRecruitTable t = shaped();
    std::ostringstream text;
    text << "h\r\nh\r\n";
    for (int i = 0; i <= 100; ++i)
        text << (i == 30 ? -1e30 : double(t.fmult[i])) << " " << t.realizedF[i] << " " << t.ypr[i]
             << " " << (i == 50 ? 1e30 : double(t.spr[i])) << "\r\n";
    const std::string file = write("far.yro", text.str());
    tovrask::PlotChoice c = tovrask::fmultChoice();
    c.includeSpr = true;
    ASSERT_TRUE(tovrask::loadandplot(file, c));
    plat::Surface& s = viewers::plotSurface();
    sulbrin::setscale(tovrask::Range{0, 2, 0, 1});
    for (int i : {10, 45, 55, 90})
        EXPECT_TRUE(blackNear(s, t.fmult[i], t.spr[i])) << "SPR row " << i;
    for (float y : {0.5f, 0.9f}) {
        EXPECT_TRUE(blackNear(s, t.fmult[49], y)) << "up from row 49 at " << y;
        EXPECT_TRUE(blackNear(s, t.fmult[51], y)) << "down to row 51 at " << y;
    }
    sulbrin::setscale(tovrask::Range{0, 2, 0, t.maxYpr});
    for (int i : {10, 45, 90})
        EXPECT_TRUE(blackNear(s, t.fmult[i], t.ypr[i])) << "yield row " << i;
    // Rows 29 and 31 run left to the multiplier of -1e30 along their yields.
    for (float x : {0.05f, 0.3f}) {
        EXPECT_TRUE(blackNear(s, x, t.ypr[29])) << x;
        EXPECT_TRUE(blackNear(s, x, t.ypr[31])) << x;
    }
}

// A screen reader reads the plot window by its caption and hears the yield per recruit, and the
// SPR only when it is drawn.
TEST_F(PerRecruitPlot, ThePlotWindowSaysWhatItShows) {
    auto& start = plat::instance<tovrask::TovraskStart>();
    viewers::plotfile = VESK_EXAMPLES_DIR "/snapper.yro";
    start.Chk()->setValue(1);
    start.option(1).click();
    QWidget* surface = viewer_test::plotSurfaceNamedByCaption();
    EXPECT_EQ(surface->accessibleDescription().toStdString(),
              "YIELD PER RECRUIT against FISHING MORTALITY (FMULT): FISHING MORTALITY (FMULT) "
              "from 0 to 2, YIELD PER RECRUIT from 0 to 0.9089. SPR against FISHING MORTALITY "
              "(FMULT): FISHING MORTALITY (FMULT) from 0 to 2, SPR from 0 to 1.");
    start.Chk()->setValue(0);
    start.option(2).click();
    EXPECT_EQ(surface->accessibleDescription().toStdString(),
              "YIELD PER RECRUIT against FISHING MORTALITY (YIELD/BIOMASS): FISHING MORTALITY "
              "(YIELD/BIOMASS) from 0 to 0.4235, YIELD PER RECRUIT from 0 to 0.9089.");
    viewers::plotfile.clear();
    viewer_test::expectEveryControlNamed<tovrask::TovraskStart>(surface);
}

TEST_F(PerRecruitPlot, OptionsDrawTheExampleAndClearBothButtons) {
    auto& start = plat::instance<tovrask::TovraskStart>();
    EXPECT_EQ(start.caption(), "Ostrel");
    viewers::plotfile = VESK_EXAMPLES_DIR "/snapper.yro";
    start.Chk()->setValue(1);
    start.option(1).click();
    ASSERT_TRUE(plat::instance<viewers::frmPlot>().visible());
    EXPECT_FALSE(start.option(1).value());
    EXPECT_FALSE(start.option(2).value());
    plat::Surface& s = viewers::plotSurface();
    sulbrin::setscale(tovrask::Range{0, 2, 0, 1});
    EXPECT_TRUE(blackNear(s, 2.01f, 1.0f)); // SPR axis drawn
    start.Chk()->setValue(0);
    start.option(2).click();
    sulbrin::setscale(tovrask::Range{0, 2, 0, 1});
    EXPECT_FALSE(blackNear(s, 2.01f, 1.0f, 0));
    viewers::plotfile.clear();
}

} // namespace
