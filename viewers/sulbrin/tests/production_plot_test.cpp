// The production-table plots, read back from the plot window's image: axes and labels of both
// modes, curves and pointers, the percent mark, the turned titles, and files that cannot be
// plotted.
#include "viewers/core/tests/plot_probe.h"
#include "viewers/sulbrin/production_plot.h"
#include "viewers/sulbrin/sulbrin_start.h"

#include "platform/system.h"
#include "platform/testing/scripted_user.h"
#include "viewers/core/plot.h"
#include "viewers/core/tests/viewer_fixtures.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QWidget>

#include <sstream>

namespace {

using probe::blackNear;
using probe::textAt;

const std::string kExample = VESK_EXAMPLES_DIR "/snapper.pmo";
constexpr uint32_t kLabelColor = plat::rgb(10, 10, 10);

class ProductionPlot : public viewer_test::PlotTest {
  protected:
    // Draws the table and puts the plot's user scale back, so the image can be read in it.
    plat::Surface& draw(const sulbrin::ProductionTable& t, const sulbrin::PlotChoice& c) {
        plat::Surface& s = viewers::plotSurface();
        s.setBackColor(plat::kWhite);
        s.cls();
        sulbrin::drawproductioncurves(t, c);
        sulbrin::setscale(sulbrin::Range{});
        return s;
    }
    sulbrin::ProductionTable example() {
        sulbrin::ProductionTable t;
        std::string error;
        EXPECT_TRUE(sulbrin::readpmofile(kExample, t, error)) << error;
        return t;
    }
};

TEST_F(ProductionPlot, BothModesHaveTicksAndLabelsFromZeroToOne) {
    const sulbrin::ProductionTable t = example();
    for (const sulbrin::PlotChoice& c : {sulbrin::fishingChoice(), sulbrin::biomassChoice()}) {
        SCOPED_TRACE(c.plotmode);
        plat::Surface& s = draw(t, c);
        const char* xs[] = {"0.0", "0.2", "0.4", "0.6", "0.8", "1.0"};
        const char* ys[] = {" 0.0", " 0.2", " 0.4", " 0.6", " 0.8", " 1.0"};
        for (int k = 0; k <= 5; ++k) {
            const float v = 0.2f * float(k);
            EXPECT_TRUE(blackNear(s, v, -0.01f)) << "x tick " << v;
            EXPECT_TRUE(blackNear(s, -0.005f, v)) << "left tick " << v;
            EXPECT_TRUE(blackNear(s, 1.005f, v)) << "right tick " << v;
            EXPECT_TRUE(textAt(s, xs[k], v - 0.0135f, -0.025f, "Helvetica", 10, kLabelColor))
                << xs[k];
            EXPECT_TRUE(textAt(s, ys[k], -0.045f, v + 0.02f, "Helvetica", 10, kLabelColor))
                << "left '" << ys[k] << "'";
            EXPECT_TRUE(textAt(s, ys[k], 1.01f, v + 0.025f, "Helvetica", 10, kLabelColor))
                << "right '" << ys[k] << "'";
        }
        // Nothing between ticks, and the labels are not unpadded.
        EXPECT_FALSE(blackNear(s, 0.1f, -0.01f, 0));
        EXPECT_FALSE(blackNear(s, -0.005f, 0.1f, 0));
        EXPECT_FALSE(textAt(s, "0.2", -0.045f, 0.22f, "Helvetica", 10, kLabelColor));
        EXPECT_TRUE(textAt(s, c.axistitle[0], 0.6f - s.textWidth(c.axistitle[0]) / 1.5f, -0.1f,
                           "Helvetica", 14, kLabelColor));
    }
}

TEST_F(ProductionPlot, CurvesRunThroughTheRowsWithTheirPointers) {
    const sulbrin::ProductionTable t = example();
    plat::Surface& s = draw(t, sulbrin::fishingChoice());
    for (int i : {0, 20, 43, 80, 100}) {
        EXPECT_TRUE(blackNear(s, t.f[i], t.yield[i])) << "yield at row " << i;
        EXPECT_TRUE(blackNear(s, t.f[i], t.biomass[i])) << "biomass at row " << i;
    }
    EXPECT_TRUE(blackNear(s, t.f[75] - 0.05f, t.yield[75])); // left-pointing tip
    EXPECT_TRUE(blackNear(s, t.f[75] - 0.03f, t.yield[75] + 0.015f));
    EXPECT_TRUE(blackNear(s, t.f[50] + 0.05f, t.biomass[50])); // right-pointing tip
    EXPECT_TRUE(blackNear(s, t.f[50] + 0.03f, t.biomass[50] - 0.015f));
    EXPECT_FALSE(blackNear(s, t.f[75] + 0.05f, t.yield[75], 0)); // not the other way

    s.setBackColor(plat::kWhite);
    plat::Surface& m2 = draw(t, sulbrin::biomassChoice());
    for (int i : {0, 30, 43, 90}) {
        EXPECT_TRUE(blackNear(m2, t.biomass[i], t.yield[i])) << "yield at row " << i;
        EXPECT_TRUE(blackNear(m2, t.biomass[i], t.f[i])) << "F at row " << i;
    }
    EXPECT_TRUE(blackNear(m2, t.biomass[70] - 0.05f, t.yield[70]));
    EXPECT_TRUE(blackNear(m2, t.biomass[40] + 0.05f, t.f[40]));
    EXPECT_TRUE(blackNear(m2, t.biomass[40] + 0.03f, t.f[40] + 0.015f));
}

TEST_F(ProductionPlot, PercentMarkStandsAtItsPercentInModeTwoOnly) {
    // Maximum yield at row 37, where the biomass is 0.42 of its maximum.
    std::ostringstream text;
    text << "h\nh\n";
    for (int i = 0; i <= 100; ++i) {
        const double b = i == 37 ? 420.0 : 1000.0 * (1 - i / 100.0);
        const double y = i == 37 ? 300.0 : 100.0;
        text << 0.01 * i << " 0 0 " << b << ' ' << y << '\n';
    }
    sulbrin::ProductionTable t;
    std::string error;
    ASSERT_TRUE(sulbrin::readpmofile(write("p42.pmo", text.str()), t, error)) << error;
    ASSERT_EQ(t.pct, 42);

    sulbrin::PlotChoice c = sulbrin::biomassChoice();
    c.printPercentile = true;
    plat::Surface& s = draw(t, c);
    EXPECT_TRUE(textAt(s, " 42", 0.41f, 0.975f, "Helvetica", 10, plat::kBlack));
    EXPECT_FALSE(textAt(s, " 42", 0.42f, 0.975f, "Helvetica", 10, plat::kBlack));

    c.printPercentile = false;
    EXPECT_FALSE(textAt(draw(t, c), " 42", 0.41f, 0.975f, "Helvetica", 10, plat::kBlack));
    c = sulbrin::fishingChoice();
    c.printPercentile = true;
    EXPECT_FALSE(textAt(draw(t, c), " 42", 0.41f, 0.975f, "Helvetica", 10, plat::kBlack));
}

TEST_F(ProductionPlot, TurnedTitlesStandOnBothSidesAndTheWindowEndsInPixels) {
    const sulbrin::ProductionTable t = example();
    plat::Surface& s = viewers::plotSurface();
    s.cls();
    sulbrin::drawproductioncurves(t, sulbrin::fishingChoice());
    EXPECT_EQ(s.scaleMode(), plat::ScaleMode::Pixels);
    EXPECT_EQ(s.pixelWidth(), 10000 / 15);
    EXPECT_EQ(s.pixelHeight(), 7000 / 15);
    // The right title at 180 degrees from column 640, the left one at 90 from column -20 + h.
    EXPECT_GT(probe::blackInColumns(s, 640, s.pixelWidth()), 100);
    EXPECT_GT(probe::blackInColumns(s, 0, 22), 100);
    // On a wide screen the plot window is no wider here, so the title stays in sight.
    plat::setScreenWidthTwipsForTesting(1920 * 15);
    viewers::setscreenclass();
    s.cls();
    sulbrin::drawproductioncurves(t, sulbrin::biomassChoice());
    EXPECT_GT(probe::blackInColumns(s, 640, s.pixelWidth()), 100);
}

TEST_F(ProductionPlot, AFileThatCannotBePlottedGivesAMessageAndDrawsNothing) {
    std::string bad = write("short.pmo", "h\nh\n1 2 3 4 5\n");
    plat::testing::ScriptedUser user;
    user.message("Cannot plot " + bad +
                 ": it holds 5 numbers after its two header lines; a production table (101 rows "
                 "of 5) needs 505.")
        .message("Cannot plot " + dir.path().toStdString() +
                 "/gone.pmo: the file cannot be opened: No such file or directory.");
    EXPECT_FALSE(sulbrin::loadandplot(bad, sulbrin::fishingChoice()));
    EXPECT_FALSE(
        sulbrin::loadandplot(dir.path().toStdString() + "/gone.pmo", sulbrin::fishingChoice()));
    EXPECT_FALSE(plat::isLoaded<viewers::frmPlot>() &&
                 plat::instance<viewers::frmPlot>().visible());
    EXPECT_TRUE(user.finished());
}

// A line break or a tab in the file's name is shown escaped: the message stays one line.
TEST_F(ProductionPlot, AFileNameWithALineBreakOrATabIsShownEscapedWhole) {
    const std::string folder = dir.path().toStdString() + "/a\nb\tc";
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(folder)));
    plat::testing::ScriptedUser user;
    user.message("Cannot plot " + dir.path().toStdString() +
                 "/a\\x0Ab\\x09c/gone\\x0A.pmo: the file cannot be opened: No such file or "
                 "directory.");
    EXPECT_FALSE(sulbrin::loadandplot(folder + "/gone\n.pmo", sulbrin::fishingChoice()));
    EXPECT_TRUE(user.finished());
}

// An F of 1e-38 in row 100 puts every other row's F / Fextinction near 1e37: finite, so the table
// is plotted, and the curves leave the frame towards those far points at once.
TEST_F(ProductionPlot, FarPointsOfATinyExtinctionFDrawOnlyWhatIsInSight) {
    std::ostringstream text;
    text << "h\r\nh\r\n";
    for (int i = 0; i <= 100; ++i)
        text << (i == 100 ? 1e-38 : 0.01 * i) << " 0 0 " << 1001 - 10 * i << " "
             << (i == 100 ? 200 : i * (100 - i) + 500) << "\r\n";
    const std::string file = write("tiny.pmo", text.str());
    ASSERT_TRUE(sulbrin::loadandplot(file, sulbrin::fishingChoice()));
    plat::Surface& s = viewers::plotSurface();
    sulbrin::setscale(sulbrin::Range{});
    // Row 0 (F 0) runs right to row 1 along its yield; row 99 comes back to row 100 (F 1) along
    // row 100's yield.
    const float y0 = 500.f / 3000, y100 = 200.f / 3000;
    for (float x : {0.05f, 0.5f, 0.95f, 1.05f})
        EXPECT_TRUE(blackNear(s, x, y0)) << x;
    EXPECT_TRUE(blackNear(s, 1.05f, y100));
    EXPECT_FALSE(blackNear(s, 0.5f, y100, 0));
    EXPECT_FALSE(blackNear(s, 0.5f, 0.6f, 0));

    ASSERT_TRUE(sulbrin::loadandplot(file, sulbrin::biomassChoice()));
    sulbrin::setscale(sulbrin::Range{});
    // Against the biomass the yield keeps its place; every F but row 100's is far off the top.
    EXPECT_TRUE(blackNear(s, 751.f / 1001, (25.f * 75 + 500) / 3000));
    EXPECT_FALSE(blackNear(s, 0.5f, 0.3f, 0));
}

// A screen reader reads the plot window by its caption and hears both curves with their axes.
TEST_F(ProductionPlot, ThePlotWindowSaysWhatItShows) {
    viewers::plotfile = kExample;
    plat::instance<sulbrin::SulbrinStart>().option(2).click();
    QWidget* surface = viewer_test::plotSurfaceNamedByCaption();
    EXPECT_EQ(surface->accessibleDescription().toStdString(),
              "YIELD / Ymax against BIOMASS / Bmax: BIOMASS / Bmax from 0 to 1, YIELD / Ymax from "
              "0 to 1. FISHING MORTALITY (F / Fextinction) against BIOMASS / Bmax: BIOMASS / Bmax "
              "from 0 to 1, FISHING MORTALITY (F / Fextinction) from 0 to 1.");
    viewers::plotfile.clear();
    viewer_test::expectEveryControlNamed<sulbrin::SulbrinStart>(surface);
}

TEST_F(ProductionPlot, OptionsDrawTheChosenFileAndClearBothButtons) {
    auto& start = plat::instance<sulbrin::SulbrinStart>();
    viewers::plotfile.clear();
    start.option(2).click(); // no file yet: nothing happens
    EXPECT_FALSE(plat::isLoaded<viewers::frmPlot>());

    viewers::plotfile = kExample;
    start.Chk()->setValue(1);
    start.option(2).click();
    ASSERT_TRUE(plat::instance<viewers::frmPlot>().visible());
    EXPECT_FALSE(start.option(1).value());
    EXPECT_FALSE(start.option(2).value());
    plat::Surface& s = viewers::plotSurface();
    sulbrin::setscale(sulbrin::Range{});
    EXPECT_TRUE(textAt(s, " 48", 0.47f, 0.975f, "Helvetica", 10, plat::kBlack));

    start.option(1).click(); // clears and redraws in mode 1: no mark
    sulbrin::setscale(sulbrin::Range{});
    EXPECT_FALSE(textAt(s, " 48", 0.47f, 0.975f, "Helvetica", 10, plat::kBlack));
    EXPECT_FALSE(start.option(1).value());
    viewers::plotfile.clear();
}

} // namespace
