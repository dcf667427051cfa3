// The plotting core: command-line rule, screen class, ticks and labels, rotated titles, the plot
// window's mouse rule and save, the start window and the start-up wait loop.
#include "viewers/core/plot.h"

#include "platform/prompts.h"
#include "platform/rotated_text.h"
#include "platform/system.h"
#include "platform/testing/scripted_user.h"
#include "viewers/core/tests/plot_probe.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <fstream>

namespace {

using plat::testing::ScriptedUser;

class CoreTest : public ::testing::Test {
  protected:
    void TearDown() override {
        plat::unloadAll();
        viewers::plotfile.clear();
        plat::setScreenWidthTwipsForTesting(0);
        plat::setCommandLine("");
    }
};

int blackPixels(const plat::Surface& s) {
    return probe::blackInColumns(s, 0, s.image().width());
}

TEST_F(CoreTest, ScreenClassChangesAbove1050Pixels) {
    plat::setScreenWidthTwipsForTesting(1050 * 15);
    viewers::setscreenclass();
    EXPECT_EQ(viewers::screenclass, 1);
    plat::setScreenWidthTwipsForTesting(1051 * 15);
    viewers::setscreenclass();
    EXPECT_EQ(viewers::screenclass, 2);
    plat::setScreenWidthTwipsForTesting(800 * 15);
    viewers::setscreenclass();
    EXPECT_EQ(viewers::screenclass, 1);
}

TEST(Ticks, LoopsRunInSinglePrecisionAndAlwaysEnd) {
    EXPECT_EQ(viewers::tickValues(1989, 2011, 5),
              (std::vector<float>{1989, 1994, 1999, 2004, 2009}));
    // 0 to 1.2 in sixths of 1.2, up to 1.01 times the top: the top tick is kept.
    const auto y = viewers::tickValues(0, 1.2f * 1.01f, 1.2f / 6);
    ASSERT_EQ(y.size(), 7u);
    EXPECT_NEAR(y.back(), 1.2f, 1e-6);
    // An empty range has a step of 0: one tick, and the loop ends.
    EXPECT_EQ(viewers::tickValues(0, 0, 0), (std::vector<float>{0}));
    EXPECT_EQ(viewers::tickValues(0, 1, std::nanf("")), (std::vector<float>{0}));
    EXPECT_TRUE(viewers::tickValues(2, 1, 1).empty());
    // A step too small to move the value ends the loop too.
    EXPECT_EQ(viewers::tickValues(30000, 30001, 1e-6f).size(), 1u);
    EXPECT_EQ(viewers::tickValues(0, 1e9f, 1).size(), 1000u);
}

TEST(Ticks, XLabelsFollowTheValuesBand) {
    viewers::XTickLabeller years("#0000");
    EXPECT_EQ(years.label(1989), "1989");
    EXPECT_EQ(years.label(0.4f), "0.4");
    EXPECT_EQ(years.label(50), "50");
    EXPECT_EQ(years.label(500), "500.0");
    EXPECT_EQ(years.label(100000), "100000");

    viewers::XTickLabeller tables("#00000");
    EXPECT_EQ(tables.label(1000), "01000");
    EXPECT_EQ(tables.label(0.2f), "0.2");
    EXPECT_EQ(tables.label(1), "1.0");

    // 10000 to 99999 keep the previous tick's picture; a first tick there is plain number text.
    viewers::XTickLabeller band("#0000");
    EXPECT_EQ(band.label(10000), "10000");
    EXPECT_EQ(band.label(9995), "9995");
    EXPECT_EQ(band.label(10000), "10000");
    viewers::XTickLabeller low("#0000");
    EXPECT_EQ(low.label(5), "5.0");
    EXPECT_EQ(low.label(12345), "12345.0");
}

TEST_F(CoreTest, RotatedTitleDrawsBlackOnlyAtTheRightAnglesAndLeavesPixels) {
    plat::Surface& s = viewers::plotSurface();
    viewers::scalePlotWindow(12000, 8000, 0, 1, 1, 0);
    s.setBackColor(plat::kWhite);
    s.cls();
    viewers::printrotated("", "Arial", 24, 90, 10, 10);
    EXPECT_EQ(s.scaleMode(), plat::ScaleMode::Pixels);
    EXPECT_EQ(blackPixels(s), 0);

    viewers::scalePlotWindow(12000, 8000, 0, 1, 1, 0);
    viewers::printrotated("Year", "Arial", 24, 45, 10, 10);
    EXPECT_EQ(s.scaleMode(), plat::ScaleMode::Pixels);
    EXPECT_EQ(blackPixels(s), 0);

    viewers::printrotated("Year", "Arial", 24, 90, 10, 10);
    EXPECT_GT(blackPixels(s), 20);
    // The canvas is cleared after each call and never shown.
    EXPECT_FALSE(plat::instance<viewers::scratch>().visible());
}

TEST_F(CoreTest, OnlyExactlyBlackCanvasPixelsArePacked) {
    plat::Surface& canvas = plat::instance<viewers::scratch>().surface();
    canvas.setScaleMode(plat::ScaleMode::Pixels);
    canvas.pset(2, 1, plat::rgb(40, 40, 40));
    const plat::PackedText grey = plat::packText(canvas, " ", "Arial", 24);
    ASSERT_FALSE(grey.bytes.empty());
    EXPECT_EQ(grey.bytes[grey.groupsPerRow * 1], 0);

    canvas.setScaleMode(plat::ScaleMode::Pixels);
    canvas.pset(2, 1, plat::kBlack);
    const plat::PackedText black = plat::packText(canvas, " ", "Arial", 24);
    EXPECT_EQ(black.bytes[black.groupsPerRow * 1], 0x20);
}

TEST_F(CoreTest, RightTitleOffsetKeepsTheTitleInsideThePlotWindow) {
    viewers::scalePlotWindow(12000, 8000, 0, 1, 1, 0); // 800 pixels wide
    viewers::screenclass = 1;
    EXPECT_EQ(viewers::rightTitleOffset("Mean Age / Max", "Arial", 24, 675, 810), 675);
    viewers::screenclass = 2;
    EXPECT_EQ(viewers::rightTitleOffset("Mean Age / Max", "Arial", 24, 675, 810), 675);
    EXPECT_EQ(viewers::rightTitleOffset("Mean Age / Max", "Arial", 24, 675, 700), 700);
    viewers::screenclass = 1;
}

TEST_F(CoreTest, LeftClickHidesThePlot) {
    viewers::frmPlot& plot = plat::instance<viewers::frmPlot>();
    plot.show();
    ScriptedUser user; // no prompt expected
    plot.mouseDown(int(plat::MouseButton::Left), 0, 0);
    EXPECT_FALSE(plot.visible());
    EXPECT_TRUE(plot.isLoaded());
}

TEST_F(CoreTest, OtherButtonsSaveTheImageUnderTheNameAsChosen) {
    QTemporaryDir dir;
    const std::string name = dir.path().toStdString() + "/stockplot"; // no extension
    viewers::frmPlot& plot = plat::instance<viewers::frmPlot>();
    viewers::scalePlotWindow(12000, 8000, 0, 1, 1, 0);
    plot.surface().setBackColor(plat::kWhite);
    plot.surface().cls();
    plot.surface().line(0.1f, 0.1f, 0.9f, 0.9f, plat::kBlack);
    plot.show();
    {
        ScriptedUser user;
        user.fileDialog("Save Plot", name);
        plot.mouseDown(int(plat::MouseButton::Right), 0, 0);
        ASSERT_EQ(user.seen().size(), 1u);
        const plat::FileDialogRequest& r = user.seen()[0].dialog;
        EXPECT_EQ(r.kind, plat::FileDialogKind::Save);
        EXPECT_EQ(r.filter, "Output Files (*.bmp)|*.bmp");
        EXPECT_EQ(r.initialDir, plat::currentFolder());
        EXPECT_EQ(r.fileName, "");
    }
    EXPECT_FALSE(plot.visible());
    EXPECT_EQ(plot.bitmapname, name);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(name + ".bmp")));
    std::ifstream in(name, std::ios::binary);
    ASSERT_TRUE(in);
    char magic[2] = {};
    in.read(magic, 2);
    EXPECT_EQ(std::string(magic, 2), "BM");
    in.seekg(0, std::ios::end);
    EXPECT_GT(in.tellg(), 800 * 533 * 3);
}

TEST_F(CoreTest, CancelledSaveOnlyHides) {
    QTemporaryDir dir;
    const std::string before = plat::currentFolder();
    ASSERT_TRUE(plat::setCurrentFolder(dir.path().toStdString()));
    viewers::frmPlot& plot = plat::instance<viewers::frmPlot>();
    plot.bitmapname = "old.bmp";
    plot.show();
    {
        ScriptedUser user;
        user.fileDialog("Save Plot", "");
        plot.mouseDown(int(plat::MouseButton::Middle), 0, 0);
    }
    EXPECT_FALSE(plot.visible());
    EXPECT_EQ(plot.bitmapname, "");
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
    plat::setCurrentFolder(before);
}

// The message names the file with its line breaks and tabs escaped, so that it stays one line.
TEST_F(CoreTest, AnUnwritableSaveSaysSo) {
    viewers::frmPlot& plot = plat::instance<viewers::frmPlot>();
    plot.show();
    ScriptedUser user;
    user.fileDialog("Save Plot", "/nonexistent-folder\n/plot\t.bmp");
    user.custom([](const plat::testing::PromptRecord& p) {
        EXPECT_EQ(p.kind, plat::testing::PromptRecord::Kind::Message);
        EXPECT_NE(p.text.find("saved as /nonexistent-folder\\x0A/plot\\x09.bmp: "),
                  std::string::npos)
            << p.text;
        return std::string("OK");
    });
    plot.mouseDown(int(plat::MouseButton::Right), 0, 0);
    EXPECT_FALSE(plot.visible());
}

TEST_F(CoreTest, EscapeReturnOrSpaceHideThePlotAndCtrlSSavesIt) {
    viewers::frmPlot& plot = plat::instance<viewers::frmPlot>();
    for (Qt::Key k : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Space}) {
        plot.show();
        ScriptedUser user; // no prompt expected
        QTest::keyClick(plot.client(), k);
        EXPECT_FALSE(plot.visible()) << k;
        EXPECT_TRUE(plot.isLoaded()) << k;
    }
    QTemporaryDir dir;
    const std::string name = dir.path().toStdString() + "/keys.bmp";
    plot.show();
    {
        ScriptedUser user;
        user.fileDialog("Save Plot", name);
        QTest::keyClick(plot.client(), Qt::Key_S, Qt::ControlModifier);
        EXPECT_TRUE(user.finished());
    }
    EXPECT_FALSE(plot.visible());
    EXPECT_TRUE(QFile::exists(QString::fromStdString(name)));
    // Alt+F4 is the close box.
    plot.show();
    QTest::keyClick(plot.client(), Qt::Key_F4, Qt::AltModifier);
    EXPECT_FALSE(plat::isLoaded<viewers::frmPlot>());
}

// A start window of two options that clear each other, with a check box, a caption that
// follows the file, and a counter of plots drawn.
int drawn = 0;
class PairStart : public viewers::StartWindow {
  public:
    PairStart() : viewers::StartWindow(startConfig()) {
        onOption(1, [] { ++drawn; });
        onOption(2, [] { ++drawn; });
    }
    static viewers::StartConfig startConfig() {
        viewers::StartConfig c;
        c.caption = "Ostrel";
        c.options = {{"Option2", "second"}, {"Option1", "first"}};
        c.checkCaption = "Include SPR";
        c.ending = "yro";
        c.dialogTitle = "Load Output";
        c.dialogFilter = "Output Files (*.yro)|*.yro";
        c.captionFollowsFile = true;
        c.clearAllOptions = true;
        return c;
    }
};

class SingleStart : public viewers::StartWindow {
  public:
    SingleStart() : viewers::StartWindow(startConfig()) {
        onOption(1, [] { ++drawn; });
        onOption(2, [] { ++drawn; });
    }
    static viewers::StartConfig startConfig() {
        viewers::StartConfig c;
        c.caption = "Plots";
        c.options = {{"Option2", "SPR"}, {"Option1", "Recruitment"}};
        c.ending = "log";
        c.dialogTitle = "Load Simulation Output";
        c.dialogFilter = "Output Files (*.log)|*.log";
        return c;
    }
};

TEST_F(CoreTest, StartWindowControlsInOrderWithTheirNames) {
    PairStart& s = plat::instance<PairStart>();
    EXPECT_EQ(s.caption(), "Ostrel");
    EXPECT_EQ(s.option(1).caption(), "first");
    EXPECT_EQ(s.option(2).name(), "Option2");
    ASSERT_NE(s.Chk(), nullptr);
    EXPECT_EQ(s.Chk()->caption(), "Include SPR");
    EXPECT_EQ(s.runButton().caption(), "File to plot");
    EXPECT_EQ(s.exitButton().caption(), "exit");
    EXPECT_EQ(s.runButton().name(), "run");
    EXPECT_EQ(plat::instance<SingleStart>().Chk(), nullptr);
}

TEST_F(CoreTest, CaptionFollowsTheFileOnlyWhereConfigured) {
    viewers::plotfile = "stock.yro";
    EXPECT_EQ(plat::instance<PairStart>().caption(), "stock.yro");
    EXPECT_EQ(plat::instance<SingleStart>().caption(), "Plots");

    ScriptedUser user;
    user.fileDialog("Load Output", "/data/Stock2.yro");
    user.fileDialog("Load Simulation Output", "/data/run.log");
    plat::instance<PairStart>().runButton().click();
    EXPECT_EQ(viewers::plotfile, "/data/Stock2.yro");
    EXPECT_EQ(plat::instance<PairStart>().caption(), "/data/Stock2.yro");
    plat::instance<SingleStart>().runButton().click();
    EXPECT_EQ(viewers::plotfile, "/data/run.log");
    EXPECT_EQ(plat::instance<SingleStart>().caption(), "Plots");
    const plat::FileDialogRequest& r = user.seen()[1].dialog;
    EXPECT_EQ(r.kind, plat::FileDialogKind::Open);
    EXPECT_EQ(r.filter, "Output Files (*.log)|*.log");
    EXPECT_EQ(r.initialDir, plat::currentFolder());
    EXPECT_EQ(r.fileName, "");
}

TEST_F(CoreTest, CancelledOpenLeavesNoFileEvenAfterAnEarlierChoice) {
    ScriptedUser user;
    user.fileDialog("Load Simulation Output", "/data/run.log");
    user.fileDialog("Load Simulation Output", "");
    user.message("No output data were loaded");
    SingleStart& s = plat::instance<SingleStart>();
    s.runButton().click();
    EXPECT_EQ(viewers::plotfile, "/data/run.log");
    s.runButton().click();
    EXPECT_EQ(viewers::plotfile, "");
    ASSERT_EQ(user.seen().size(), 3u);
    EXPECT_EQ(user.seen()[2].title, std::optional<std::string>(""));
}

TEST_F(CoreTest, OptionsAreOneShotAndDrawOnlyWithAFile) {
    drawn = 0;
    SingleStart& single = plat::instance<SingleStart>();
    single.option(1).click();
    EXPECT_EQ(drawn, 0);
    EXPECT_FALSE(single.option(1).value());

    viewers::plotfile = "run.log";
    single.option(1).click();
    single.option(1).click(); // clicked again at once: acts again
    EXPECT_EQ(drawn, 2);
    EXPECT_FALSE(single.option(1).value());

    PairStart& pair = plat::instance<PairStart>();
    pair.option(2).setValue(true); // from code, as a click
    EXPECT_EQ(drawn, 3);
    EXPECT_FALSE(pair.option(1).value());
    EXPECT_FALSE(pair.option(2).value());
}

TEST_F(CoreTest, MainRunsUntilNoWindowIsShownThenUnloadsEverything) {
    plat::setCommandLine(R"("C:\Runs\STOCK.YRO")");
    plat::setScreenWidthTwipsForTesting(1280 * 15);
    ScriptedUser user;
    user.act([] {
        // The plot window and canvas are loaded; hiding them does not end the wait, hiding
        // the start window does.
        EXPECT_EQ(plat::instance<PairStart>().caption(), "stock.yro");
        plat::instance<viewers::frmPlot>();
        plat::instance<viewers::scratch>();
        EXPECT_EQ(plat::shownCount(), 1);
    });
    user.act([] { plat::instance<PairStart>().hide(); });
    viewers::Main<PairStart>();
    EXPECT_EQ(viewers::plotfile, "stock.yro");
    EXPECT_EQ(viewers::screenclass, 2);
    EXPECT_TRUE(plat::loadedForms().empty());
    EXPECT_TRUE(user.finished());
}

TEST_F(CoreTest, ExitUnloadsEveryWindowLastFirst) {
    plat::instance<SingleStart>().show();
    plat::instance<viewers::frmPlot>().show();
    plat::instance<viewers::scratch>();
    ASSERT_EQ(plat::loadedForms().size(), 3u);
    EXPECT_EQ(plat::loadedForms()[2]->name(), "scratch");
    plat::instance<SingleStart>().exitButton().click();
    EXPECT_TRUE(plat::loadedForms().empty());
    EXPECT_EQ(plat::shownCount(), 0);
}

} // namespace
