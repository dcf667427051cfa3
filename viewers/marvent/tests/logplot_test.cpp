// The plots of the simulation log, read back from the plot window's persistent image.
#include "viewers/marvent/logfile.h"
#include "viewers/marvent/logplot.h"
#include "viewers/marvent/start.h"

#include "platform/system.h"
#include "platform/testing/scripted_user.h"
#include "viewers/core/tests/plot_probe.h"
#include "viewers/core/tests/viewer_fixtures.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <QWidget>

#include <fstream>

namespace {

using plat::testing::PromptRecord;
using plat::testing::ScriptedUser;
using probe::blackNear;
using probe::textAt;

const char* const kHeader =
    "Simulation output\r\nrun a.run\r\nunits\r\n Year Rec SPR SSB B Y F L W A\r\n";

class LogPlot : public ::testing::Test {
  protected:
    // A test that changes the command line or the current folder gets both back here, also when
    // it fails half way, so that the tests after it start as every test does.
    void SetUp() override {
        commandLineBefore_ = plat::commandLine();
        folderBefore_ = plat::currentFolder();
    }
    void TearDown() override {
        plat::unloadAll();
        viewers::plotfile.clear();
        plat::setCommandLine(commandLineBefore_);
        plat::setCurrentFolder(folderBefore_);
    }
    std::string write(const std::string& rows, const std::string& name = "run.log") {
        const std::string path = dir.path().toStdString() + "/" + name;
        std::ofstream(path, std::ios::binary) << kHeader << rows;
        return path;
    }
    // Clicks option n of the start window on the file, then puts the plot's own scale back so
    // that points can be read in data units.
    plat::Surface& plot(int option, const std::string& file) {
        viewers::plotfile = file;
        plat::instance<marvent::start>().option(option).click();
        marvent::setscale();
        return viewers::plotSurface();
    }
    QTemporaryDir dir;

  private:
    std::string commandLineBefore_;
    std::string folderBefore_;
};

std::string rows(int from, int to, const std::string& values) {
    std::string text;
    for (int y = from; y <= to; ++y)
        text += std::to_string(y) + " " + values + "\r\n";
    return text;
}

TEST_F(LogPlot, YearsGiveTicksEveryFiveFromTheYearBeforeTheFirst) {
    plat::Surface& s = plot(1, write(rows(1990, 2010, "5 0.5 5 5 5 5 5 5 5")));
    EXPECT_EQ(marvent::xmin, 1989);
    EXPECT_EQ(marvent::xmax, 2011);
    EXPECT_TRUE(plat::instance<viewers::frmPlot>().visible());
    const float tickY = -0.012f; // inside the tick marks, above the labels
    for (float x : {1989.f, 1994.f, 1999.f, 2004.f, 2009.f})
        EXPECT_TRUE(blackNear(s, x, tickY)) << x;
    for (float x : {1991.5f, 1996.5f, 2011.f})
        EXPECT_FALSE(blackNear(s, x, tickY)) << x;
    // Frame corners and the left y ticks 0.0 to 1.2 in steps of 0.2.
    EXPECT_TRUE(blackNear(s, 1989, 1.2f));
    EXPECT_TRUE(blackNear(s, 2011, 0));
    for (float y = 0; y < 1.25f; y += 0.2f)
        EXPECT_TRUE(blackNear(s, 1989 - 0.11f, y)) << y;
    EXPECT_FALSE(blackNear(s, 1989 - 0.11f, 0.1f));
    // Their labels, with a point in every locale.
    const float xr = 22, yr = 1.2f;
    for (float x : {1989.f, 2009.f})
        EXPECT_TRUE(textAt(s, std::to_string(int(x)), x - 0.03f * xr, -0.025f * yr, "Arial", 12,
                           plat::kBlack))
            << x;
    const char* const labels[] = {" 0.0", " 0.2", " 0.4", " 0.6", " 0.8", " 1.0", " 1.2"};
    for (int k = 0; k <= 6; ++k)
        EXPECT_TRUE(textAt(s, labels[k], 1989 - 0.055f * xr, 0.2f * float(k) + 0.02f * yr, "Arial",
                           12, plat::kBlack))
            << labels[k];
    // Every value is the column's maximum: the series runs along y = 1.
    EXPECT_TRUE(blackNear(s, 2000.5f, 1));
}

// Values that run off the frame by far draw at once: what is in sight stands where the scale
// puts it, and the lines to the far points leave the frame in their direction.
TEST_F(LogPlot, ValuesFarOffTheFrameDrawOnlyWhatIsInSight) {
    // A ratio of 3e6 in 1995; SPR is plotted raw against 0 to 1.2.
    plat::Surface& s =
        plot(2, write(rows(1990, 1994, "1 0.5 1 1 1 1 1 1 1") + "1995 1 3e6 1 1 1 1 1 1 1\r\n" +
                      rows(1996, 2000, "1 0.5 1 1 1 1 1 1 1")));
    EXPECT_TRUE(plat::instance<viewers::frmPlot>().visible());
    for (float year : {1990.f, 1992.5f, 1998.f})
        EXPECT_TRUE(blackNear(s, year, 0.5f)) << year;
    for (float y : {0.6f, 0.9f, 1.15f}) {
        EXPECT_TRUE(blackNear(s, 1994, y)) << "up from 1994 at " << y;
        EXPECT_TRUE(blackNear(s, 1996, y)) << "down to 1996 at " << y;
        EXPECT_FALSE(blackNear(s, 1995, y)) << y;
    }

    // A tiny positive maximum with a large negative recruitment in 1994: about -1e36 after the
    // division, far below the frame.
    plot(1, write(rows(1990, 1993, "1e-30 0.5 1 1 1 1 1 1 1") + "1994 -1e6 0.5 1 1 1 1 1 1 1\r\n" +
                      rows(1995, 1997, "1e-30 0.5 1 1 1 1 1 1 1"),
                  "tiny.log"));
    for (float year : {1990.f, 1991.5f, 1996.f})
        EXPECT_TRUE(blackNear(s, year, 1)) << year;
    for (float y : {0.9f, 0.5f, 0.05f}) {
        EXPECT_TRUE(blackNear(s, 1993, y)) << "down from 1993 at " << y;
        EXPECT_TRUE(blackNear(s, 1995, y)) << "up to 1995 at " << y;
    }
    EXPECT_FALSE(blackNear(s, 1994, 0.5f));
}

TEST_F(LogPlot, MissingValuesAreSkippedAndBridgedInEverySeries) {
    const std::string file = write("1990 10 1 10 10 10 10 10 10 10\r\n"
                                   "1991 NaN NaN NaN NaN NaN NaN NaN NaN NaN\r\n" +
                                   rows(1992, 1994, "10 1 10 10 10 10 10 10 10"));
    viewers::plotfile = file;
    for (int series = 1; series <= 10; ++series) {
        plat::Surface& s = viewers::plotSurface();
        s.setBackColor(plat::kWhite);
        s.cls();
        marvent::series = int16_t(series);
        marvent::ymax = 1.2f;
        ASSERT_TRUE(marvent::loadandplot(file));
        marvent::setscale();
        EXPECT_TRUE(blackNear(s, 1991, 1)) << "series " << series << " bridges the gap";
        EXPECT_FALSE(blackNear(s, 1991, -0.1f)) << "series " << series << " draws the gap";
        EXPECT_TRUE(blackNear(s, 1992, 1)) << series;
    }
}

TEST_F(LogPlot, ALengthOfZeroIsDrawnInMeanLengthButSkippedInTheOverlay) {
    const std::string file = write("1990 1 1 1 1 1 1 10 1 1\r\n"
                                   "1991 1 1 1 1 1 1 0 1 1\r\n" +
                                   rows(1992, 1995, "1 1 1 1 1 1 10 1 1"));
    plat::Surface& seven = plot(7, file);
    EXPECT_FALSE(blackNear(seven, 1991, 1)); // the line dips to the zero
    EXPECT_TRUE(blackNear(seven, 1990.5f, 0.5f));
    plat::Surface& eight = plot(8, file);
    EXPECT_TRUE(blackNear(eight, 1991, 1)); // the zero is skipped and bridged
    EXPECT_FALSE(blackNear(eight, 1990.5f, 0.5f));
}

TEST_F(LogPlot, OverlaysDrawTheirSecondSeriesOnTheRightAxisAndClearFirst) {
    // Length 0.5, weight 0.75 and age 0.25 of their maxima from 1991 on.
    const std::string file =
        write("1990 1 1 1 1 1 1 10 4 8\r\n" + rows(1991, 1995, "1 1 1 1 1 1 5 3 2"));
    plat::Surface& age = plot(8, file);
    EXPECT_EQ(marvent::series, 9);
    EXPECT_TRUE(blackNear(age, 1992.5f, 0.5f));
    EXPECT_TRUE(blackNear(age, 1992.5f, 0.25f));
    EXPECT_FALSE(blackNear(age, 1992.5f, 0.75f));
    const float xr = marvent::xmax - marvent::xmin;
    EXPECT_TRUE(blackNear(age, marvent::xmax + 0.006f * xr, 0.6f));  // right-hand ticks
    EXPECT_TRUE(blackNear(age, marvent::xmin - 0.006f * xr, 0.48f)); // left-hand ticks, fifths
    EXPECT_TRUE(blackNear(age, marvent::xmin + 0.2f * xr, 0.3f));    // filled "Length" marker
    EXPECT_FALSE(blackNear(age, marvent::xmin + 0.2f * xr, 0.2f));   // hollow "Age" marker

    plat::Surface& weight = plot(9, file);
    EXPECT_EQ(marvent::series, 10);
    EXPECT_TRUE(blackNear(weight, 1992.5f, 0.5f));
    EXPECT_TRUE(blackNear(weight, 1992.5f, 0.75f));
    EXPECT_FALSE(blackNear(weight, 1992.5f, 0.25f));

    plat::Surface& length = plot(7, file);
    EXPECT_FALSE(blackNear(length, marvent::xmax + 0.006f * (marvent::xmax - marvent::xmin), 0.6f));
}

TEST_F(LogPlot, AFileItCannotPlotGivesAMessageAndNoPlot) {
    const std::string missing = dir.path().toStdString() + "/gone.log";
    const std::string noWeight = write(rows(1990, 1995, "1 1 1 1 1 1 10 0 1"), "noweight.log");
    auto expectMessage = [](ScriptedUser& user, const std::string& start) {
        user.custom([start](const PromptRecord& p) {
            EXPECT_EQ(p.kind, PromptRecord::Kind::Message);
            EXPECT_EQ(p.text.rfind(start, 0), 0u) << p.text;
            return std::string("OK");
        });
    };
    ScriptedUser user;
    expectMessage(user, "Cannot plot " + missing + ": the file cannot be opened");
    expectMessage(user, "Cannot plot " + noWeight + ": the mean weight has no value above 0");
    plot(1, missing);
    EXPECT_FALSE(plat::instance<viewers::frmPlot>().visible());
    plot(9, noWeight); // the length pass draws, the weight pass cannot
    EXPECT_FALSE(plat::instance<viewers::frmPlot>().visible());
    EXPECT_FALSE(plat::instance<marvent::start>().option(9).value());
    EXPECT_TRUE(user.finished());

    plot(7, noWeight); // the other series of the same file still plot
    EXPECT_TRUE(plat::instance<viewers::frmPlot>().visible());
}

TEST_F(LogPlot, EveryOptionPlotsTheExampleWithItsTitle) {
    ScriptedUser user; // no message expected
    for (int option = 1; option <= 9; ++option) {
        plat::Surface& s = plot(option, VESK_EXAMPLES_DIR "/stock.log");
        EXPECT_TRUE(plat::instance<viewers::frmPlot>().visible()) << option;
        EXPECT_FALSE(plat::instance<marvent::start>().option(option).value());
        // The y title turned on the left edge.
        EXPECT_GT(probe::blackInColumns(s, 0, 30), 50) << option;
    }
}

// A screen reader reads the plot window by its caption and hears the series with its axes; an
// overlay names both series, and the next plot forgets the last one's.
TEST_F(LogPlot, ThePlotWindowSaysWhatItShows) {
    ScriptedUser user;
    plot(9, VESK_EXAMPLES_DIR "/stock.log");
    QWidget* surface = viewer_test::plotSurfaceNamedByCaption();
    EXPECT_EQ(surface->accessibleDescription().toStdString(),
              "Mean Length / Max against Year: Year from 1975 to 2011, Mean Length / Max from 0 "
              "to 1.2. Mean Weight / Max against Year: Year from 1975 to 2011, Mean Weight / Max "
              "from 0 to 1.2.");
    plot(1, VESK_EXAMPLES_DIR "/stock.log");
    EXPECT_EQ(surface->accessibleDescription().toStdString(),
              "Recruitment / Max against Year: Year from 1975 to 2011, Recruitment / Max from 0 "
              "to 1.2.");
    viewer_test::expectEveryControlNamed<marvent::start>(surface);
}

TEST_F(LogPlot, WithoutAFileOptionsDoNothing) {
    ScriptedUser user;
    plat::instance<marvent::start>().option(3).click();
    EXPECT_FALSE(plat::isLoaded<viewers::frmPlot>());
    EXPECT_FALSE(plat::instance<marvent::start>().option(3).value());
}

TEST_F(LogPlot, StartsFromTheCommandLineAndFromTheDialog) {
    ASSERT_TRUE(plat::setCurrentFolder(VESK_EXAMPLES_DIR));
    plat::setCommandLine(R"("C:\Runs\STOCK.LOG")");
    ScriptedUser user;
    user.act([] {
        EXPECT_EQ(viewers::plotfile, "stock.log");
        EXPECT_EQ(plat::instance<marvent::start>().caption(), "Plots");
        plat::instance<marvent::start>().option(5).click();
        EXPECT_TRUE(plat::instance<viewers::frmPlot>().visible());
        plat::instance<viewers::frmPlot>().mouseDown(int(plat::MouseButton::Left), 0, 0);
    });
    user.act([] { plat::instance<marvent::start>().runButton().click(); });
    user.fileDialog("Load Simulation Output", VESK_EXAMPLES_DIR "/stock.log");
    user.act([] {
        EXPECT_EQ(viewers::plotfile, VESK_EXAMPLES_DIR "/stock.log");
        plat::instance<marvent::start>().option(9).click();
        EXPECT_TRUE(plat::instance<viewers::frmPlot>().visible());
    });
    user.act([] { plat::instance<marvent::start>().exitButton().click(); });
    viewers::Main<marvent::start>();
    EXPECT_TRUE(user.finished());
    EXPECT_TRUE(plat::loadedForms().empty());
}

TEST(MarventStart, WindowAsDesigned) {
    marvent::start& s = plat::instance<marvent::start>();
    EXPECT_EQ(s.caption(), "Plots");
    EXPECT_EQ(s.option(9).caption(), "Mean length and weight");
    EXPECT_EQ(s.option(1).caption(), "Recruitment");
    EXPECT_EQ(s.config().dialogTitle, "Load Simulation Output");
    EXPECT_EQ(s.config().dialogFilter, "Output Files (*.log)|*.log");
    EXPECT_EQ(s.Chk(), nullptr);
    plat::unloadAll();
}

} // namespace
