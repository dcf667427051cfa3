// The run definition file through the run editor: the layout byte for byte, loading it back,
// refusing to save what would not read back, bad files, and the Execute button's hand-over.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "control_window/windows/editors/definerun.h"
#include "control_window/windows/main/start.h"
#include "cw_fixture.h"
#include "platform/testing/scripted_user.h"

namespace {

using cw::mc;
using cwtest::messageWith;
using plat::testing::ScriptedUser;

const char* const kFresh =
    " 1 \r\n\r\n\r\nNUL\r\nNUL\r\n\r\nNUL\r\n 0 \r\n 0 \r\n 0 \r\n 0 \r\n 0 \r\n"
    " 0 \r\nNUL\r\nNUL\r\nNUL\r\nNUL\r\nNUL\r\nNUL\r\n";

std::string fixture(const std::string& name) {
    return cwtest::dataFile(name);
}

class RunFileTest : public cwtest::CwTest {
  protected:
    cw::DefineRun& run() { return plat::instance<cw::DefineRun>(); }

    // The values of the full example, typed into the window.
    cw::DefineRun& typedFull() {
        cw::DefineRun& w = run();
        w.I_Reps.setText("25");
        w.I_bio.setText("snapper.bio");
        w.I_YOY.setText("snapper.yoy");
        w.I_incond.setText("init.inc");
        w.I_mgt.setText("snapper.mgt");
        w.i_ndx.setText("snapper.ndf");
        w.I_lngs.setText("200");
        w.i_lme.setText("0.5");
        w.i_L_a.setText("50");
        w.I_ame.setText("-0.25");
        w.I_fyrout.setText("1995");
        w.I_lyrout.setText("2010");
        w.i_lnds.setText("land.out");
        w.i_ctch.setText("null");
        w.i_stock.setText("VURDO");
        w.i_ctch_lng.setText("lengths.out");
        w.I_logf.setText("snapper.log");
        return w;
    }
    void save(cw::DefineRun& w, const std::string& file) {
        ScriptedUser user;
        user.fileDialog("Save run data", file);
        w.writerun.click();
        EXPECT_TRUE(user.finished());
    }
    void load(cw::DefineRun& w, const std::string& file) {
        ScriptedUser user;
        user.fileDialog("Load run data", file);
        w.readrun.click();
        EXPECT_TRUE(user.finished());
    }
    // An engines' folder whose VESK.exe copies the hand-over file it finds in its current folder
    // to seen.000 and ends.
    void fakeEngine() {
        const std::filesystem::path dir = folder_ / "engines";
        std::filesystem::create_directories(dir);
        const std::filesystem::path exe = dir / "VESK.exe";
        writeFile(exe.string(),
                  "#!/bin/sh\ncp vesk.000 seen.000.tmp && mv seen.000.tmp seen.000\n");
        std::filesystem::permissions(exe, std::filesystem::perms::owner_all);
        mc.installdir = dir.string() + "/";
    }
};

TEST_F(RunFileTest, SavingAFreshWindowWritesEveryLine) {
    cw::DefineRun& w = run();
    ScriptedUser user;
    user.fileDialog("Save run data", path("fresh.run"));
    w.writerun.click();
    ASSERT_TRUE(user.finished());
    EXPECT_EQ(user.seen().front().dialog.filter, "Simulation input file (*.run)|*.run");
    EXPECT_EQ(readFile(path("fresh.run")), kFresh);
    EXPECT_EQ(mc.runfile, path("fresh.run"));
    EXPECT_TRUE(w.clean);
    // The caption shows the path only from the next refresh on.
    EXPECT_EQ(w.caption(), "Create/Edit Runfile");
    w.I_bio.setText("a.bio");
    EXPECT_EQ(w.caption(), path("fresh.run"));
}

TEST_F(RunFileTest, TheFullExampleIsWrittenByteForByteAndReadsBack) {
    cw::DefineRun& w = typedFull();
    save(w, path("full.run"));
    EXPECT_EQ(readFile(path("full.run")), fixture("run/full.run"));
    const cw::RunData saved = w.run;

    plat::unloadAll();
    writeFile(path("in.run"), fixture("run/full.run"));
    cw::DefineRun& fresh = run();
    load(fresh, path("in.run"));
    EXPECT_EQ(fresh.run, saved);
    EXPECT_TRUE(fresh.clean);
    EXPECT_EQ(fresh.caption(), path("in.run"));
    EXPECT_EQ(fresh.i_lme.text(), "0.5");
    EXPECT_EQ(fresh.I_ame.text(), "-0.25");
    EXPECT_EQ(fresh.i_ctch.text(), "NUL");
    EXPECT_EQ(fresh.I_Reps.text(), "25");
    EXPECT_EQ(fresh.I_logf.text(), "snapper.log");
    // An empty required name, lower-case nul and LF line ends read as the window would keep them.
    writeFile(path("lf.run"), "3\n\nr.yoy\nnul\nNUL\nm.mgt\nNUL\n1\n2\n3\n4\n5\n6\n"
                              "a\nb\nc\nd\ne\nf\n");
    load(fresh, path("lf.run"));
    EXPECT_EQ(fresh.run.bio, "");
    EXPECT_EQ(fresh.run.refpoints, "NUL");
    EXPECT_EQ(fresh.run.ame, 4);
    EXPECT_EQ(fresh.run.logf, "f");
}

TEST_F(RunFileTest, ANamedFileOnTheCommandLineIsLoadedAndClean) {
    writeFile(path("stock.run"), fixture("run/full.run"));
    mc.startfile = "stock.run";
    cw::DefineRun& w = run();
    EXPECT_EQ(w.run.bio, "snapper.bio");
    EXPECT_EQ(w.run.lyrout, 2010);
    EXPECT_EQ(mc.runfile, path("stock.run"));
    EXPECT_EQ(w.caption(), path("stock.run"));
    EXPECT_TRUE(w.clean);
}

TEST_F(RunFileTest, TheMainWindowOpensACommandLineFileWhateverItsCase) {
    mc.installdir = (folder_ / "nowhere").string() + "/";
    writeFile(path("Stock.RUN"), fixture("run/full.run"));
    plat::setCommandLine("\"C:\\Data Files\\Stock.RUN\"");
    ScriptedUser user;
    user.act([this] {
        ASSERT_TRUE(plat::isLoaded<cw::DefineRun>());
        cw::DefineRun& w = run();
        EXPECT_TRUE(w.visible());
        EXPECT_EQ(w.run.logf, "snapper.log");
        // The current file is the one found, so the hand-over copies it.
        EXPECT_EQ(mc.runfile, path("Stock.RUN"));
        EXPECT_TRUE(w.clean);
        w.RUN.click();
        EXPECT_EQ(readFile(path("vesk.000")), fixture("run/full.run"));
        w.closeBox();
    });
    // Asked while the action runs.
    messageWith(user, {"could not be started"});
    plat::instance<cw::start>();
    EXPECT_TRUE(user.finished());
    EXPECT_EQ(mc.startfile, "stock.run");
    EXPECT_TRUE(plat::endRequested());
}

TEST_F(RunFileTest, NamesThatWouldNotReadBackAreRefusedBeforeTheDialog) {
    struct Case {
        plat::TextBox cw::DefineRun::*box;
        const char* typed;
        const char* said;
    };
    const Case cases[] = {
        {&cw::DefineRun::I_bio, "a,b.bio", "\"Biological data input file\" must not hold a comma"},
        {&cw::DefineRun::I_logf, "\"x.log", "\"Log file for output\" must not hold a double quote"},
        {&cw::DefineRun::I_mgt, " m.mgt", "\"Management file\" must not begin or end with a blank"},
        {&cw::DefineRun::i_stock, "s.out ", "begin or end with a blank"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        plat::unloadAll();
        mc.runfile.clear();
        writeFile(path("old.run"), "old");
        cw::DefineRun& w = run();
        (w.*c.box).setText(c.typed);
        mc.runfile = path("old.run");
        ScriptedUser user;
        messageWith(user, {c.said, "Nothing was saved"});
        w.writerun.click();
        EXPECT_TRUE(user.finished());
        EXPECT_EQ(readFile(path("old.run")), "old");
        EXPECT_EQ(mc.runfile, path("old.run"));
        EXPECT_FALSE(w.clean);
    }
}

TEST_F(RunFileTest, ABadFileLeavesEverythingAsItWas) {
    const std::string full = fixture("run/full.run");
    struct Case {
        std::string content;
        std::vector<std::string> said;
    };
    const Case cases[] = {
        {full.substr(0, full.rfind("snapper.log")), {"bad.run", "ends before the log file"}},
        {"", {"bad.run", "ends before the number of replications"}},
        {" 40000 \r\n" + full.substr(full.find('\n') + 1), {"bad.run", "40000", "replications"}},
        {" 2 \r\na\r\nb\r\nc\r\nd\r\ne\r\nf\r\n 3E+09 \r\n", {"bad.run", "lengths per fishery"}},
        {" 2 \r\na\r\nb\r\nc\r\nd\r\ne\r\nf\r\n 1 \r\nlots\r\n",
         {"bad.run", "\"lots\" on line 9", "length measurement error"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.content);
        plat::unloadAll();
        writeFile(path("good.run"), full);
        writeFile(path("bad.run"), c.content);
        cw::DefineRun& w = run();
        load(w, path("good.run"));
        const cw::RunData before = w.run;
        ScriptedUser user;
        user.fileDialog("Load run data", path("bad.run"));
        messageWith(user, c.said);
        w.readrun.click();
        EXPECT_TRUE(user.finished());
        EXPECT_EQ(w.run, before);
        EXPECT_EQ(w.I_logf.text(), "snapper.log");
        EXPECT_EQ(mc.runfile, path("good.run"));
        EXPECT_TRUE(w.clean);
    }
    // From the command line, a bad file opens the window with no current file.
    plat::unloadAll();
    mc.runfile.clear();
    mc.startfile = "bad.run";
    ScriptedUser user;
    messageWith(user, {"bad.run"});
    cw::DefineRun& w = run();
    EXPECT_TRUE(user.finished());
    EXPECT_EQ(mc.runfile, "");
    EXPECT_EQ(w.caption(), "Create/Edit Runfile");
    EXPECT_EQ(w.I_logf.text(), "NUL");
}

TEST_F(RunFileTest, ExecuteSavesFirstInAFreshWindowAndStopsWhenCancelled) {
    cw::DefineRun& w = run();
    ScriptedUser user;
    user.fileDialog("Save run data", "").message("No output data were saved");
    w.RUN.click();
    EXPECT_TRUE(user.finished());
    EXPECT_FALSE(std::filesystem::exists(path("vesk.000")));
    EXPECT_EQ(mc.taskid, 0);
}

TEST_F(RunFileTest, ExecuteHandsOverACleanFileWithoutAsking) {
    fakeEngine();
    cw::DefineRun& w = typedFull();
    save(w, path("full.run"));
    ScriptedUser user; // no prompt expected
    w.RUN.click();
    EXPECT_TRUE(user.seen().empty());
    EXPECT_EQ(readFile(path("vesk.000")), fixture("run/full.run"));
    EXPECT_GT(mc.taskid, 0);
    // The engine runs in the control window's folder and finds the definition there.
    for (int k = 0; k < 500 && !std::filesystem::exists(path("seen.000")); ++k)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(readFile(path("seen.000")), fixture("run/full.run"));
}

TEST_F(RunFileTest, ExecuteAfterAnEditSavesAgainUnderTheNameChosen) {
    mc.installdir = (folder_ / "nowhere").string() + "/";
    cw::DefineRun& w = typedFull();
    save(w, path("first.run"));
    w.I_Reps.setText("7");
    ScriptedUser user;
    user.fileDialog("Save run data", path("second.run"));
    messageWith(user, {"VESK.exe", "could not be started"});
    w.RUN.click();
    EXPECT_TRUE(user.finished());
    EXPECT_EQ(mc.runfile, path("second.run"));
    EXPECT_THAT(readFile(path("vesk.000")), ::testing::StartsWith(" 7 \r\n"));
    EXPECT_THAT(readFile(path("first.run")), ::testing::StartsWith(" 25 \r\n"));
}

TEST_F(RunFileTest, ExecuteHandsNothingOverWhenTheSaveIsRefused) {
    cw::DefineRun& w = typedFull();
    save(w, path("full.run"));
    w.I_bio.setText("a,b.bio");
    ScriptedUser user;
    messageWith(user, {"must not hold a comma"});
    w.RUN.click();
    EXPECT_TRUE(user.finished());
    EXPECT_FALSE(std::filesystem::exists(path("vesk.000")));
}

TEST_F(RunFileTest, ExecuteRightAfterOpeningAFileCopiesItAsItIs) {
    mc.installdir = (folder_ / "nowhere").string() + "/";
    writeFile(path("stock.run"),
              "3\r\nb\r\ny\r\nNUL\r\nNUL\r\nm\r\nNUL\r\n0\r\n0\r\n0\r\n0\r\n0\r\n"
              "0\r\nNUL\r\nNUL\r\nNUL\r\nNUL\r\nNUL\r\nNUL\r\n");
    mc.startfile = "stock.run";
    cw::DefineRun& w = run();
    ScriptedUser user;
    messageWith(user, {"could not be started"});
    w.RUN.click();
    EXPECT_TRUE(user.finished());
    EXPECT_EQ(readFile(path("vesk.000")), readFile(path("stock.run")));
}

} // namespace
