// The launch buttons: when a press saves first, the hand-over copy in the current folder, the
// engine path formed from the engines' folder, and what a press does when the copy or the start
// fails or an engine started earlier may still be reading its file. Stand-in engines are small
// scripts that record what they found in their current folder.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#ifndef _WIN32

#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <thread>

#include "control_window/definetez.h"
#include "control_window/definewox.h"
#include "control_window/launch.h"
#include "cw_fixture.h"
#include "platform/testing/scripted_user.h"

namespace {

using cw::mc;
using ::testing::HasSubstr;
using User = plat::testing::ScriptedUser;
namespace fs = std::filesystem;

const char* const kDefinition =
    "s.bio\r\ns.mgt\r\ns.tzo\r\nNUL\r\ns.pmo\r\nSnapper\r\n 1 \r\n 2018 \r\n";

class LaunchTest : public cwtest::CwTest {
  protected:
    void SetUp() override {
        CwTest::SetUp();
        engines_ = folder_ / "engines";
        fs::create_directories(engines_);
        mc.installdir = engines_.string() + "/";
    }
    void TearDown() override {
        // Only processes that were started: kill(0) or kill(-1) would end the test run itself.
        for (const int64_t pid : started_)
            if (pid > 0) ::kill(pid_t(pid), SIGTERM);
        CwTest::TearDown();
    }

    // A stand-in engine: a script that runs `body` in its current folder.
    void engine(const std::string& name, const std::string& body) {
        const fs::path p = engines_ / name;
        writeFile(p.string(), "#!/bin/sh\n" + body + "\n");
        fs::permissions(p, fs::perms::owner_all);
    }
    // Waits a bounded time for a file that a stand-in engine writes.
    bool appears(const std::string& p) {
        for (int k = 0; k < 200; ++k) {
            if (fs::exists(p)) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
        }
        return false;
    }
    cw::DefineTEZ& loadedTez(const std::string& name = "a.tez") {
        writeFile(path(name), kDefinition);
        User user;
        user.fileDialog("Load TEZ data", path(name));
        plat::instance<cw::DefineTEZ>().readtez.click();
        EXPECT_TRUE(plat::instance<cw::DefineTEZ>().clean);
        return plat::instance<cw::DefineTEZ>();
    }
    void remember() { started_.push_back(int64_t(mc.taskid)); }

    fs::path engines_;
    std::vector<int64_t> started_;
};

TEST_F(LaunchTest, ACleanDefinitionIsCopiedAsItIsWithoutADialog) {
    engine("kuv", "cp tez.000 kuv.seen");
    cw::DefineTEZ& w = loadedTez();
    w.dokuv.click(); // no dialog: the scripted user would fail on one
    remember();
    EXPECT_GT(mc.taskid, 0);
    ASSERT_TRUE(appears(path("kuv.seen")));
    EXPECT_EQ(readFile(path("kuv.seen")), kDefinition);
    EXPECT_EQ(readFile(path("tez.000")), kDefinition);
    EXPECT_TRUE(w.clean);
}

TEST_F(LaunchTest, AnEditSinceTheLoadSavesFirstAndHandsOverTheNewFile) {
    engine("wox", "cp wox.000 wox.seen");
    writeFile(path("a.wox"), "b\r\nm\r\nf\r\np.yro\r\n 0 \r\n 1 \r\n .01 \r\n 1 \r\n 2000 \r\n");
    {
        User user;
        user.fileDialog("Load wox data", path("a.wox"));
        plat::instance<cw::DefineWOX>().readwox.click();
    }
    cw::DefineWOX& w = plat::instance<cw::DefineWOX>();
    ASSERT_TRUE(w.clean);
    w.I_valyr.setText("2001");
    {
        User user;
        user.fileDialog("Save wox data", path("b.wox"));
        w.run.click();
    }
    remember();
    EXPECT_EQ(mc.woxfile, path("b.wox"));
    ASSERT_TRUE(appears(path("wox.seen")));
    EXPECT_EQ(readFile(path("wox.seen")), readFile(path("b.wox")));
    EXPECT_THAT(readFile(path("wox.000")), HasSubstr(" 2001 "));
    EXPECT_THAT(readFile(path("a.wox")), HasSubstr(" 2000 "));
}

TEST_F(LaunchTest, AFreshWindowAsksForAFileAndACancelHandsNothingOver) {
    engine("kuv", "touch kuv.seen");
    cw::DefineTEZ& w = plat::instance<cw::DefineTEZ>();
    ASSERT_TRUE(w.clean);
    w.I_bio.setText("s.bio");
    w.I_mgt.setText("s.mgt");
    w.I_title.setText("Snapper");
    {
        User user;
        user.fileDialog("Save tez data", "").message("No output data were saved");
        w.dokuv.click();
    }
    EXPECT_EQ(mc.tezfile, "");
    EXPECT_EQ(mc.taskid, 0);
    EXPECT_FALSE(fs::exists(path("tez.000")));

    // A save that is refused hands nothing over either, and the old hand-over stays.
    writeFile(path("tez.000"), "earlier\r\n");
    w.I_title.setText("");
    {
        User user;
        user.custom([](const plat::testing::PromptRecord& r) {
            EXPECT_THAT(r.text, HasSubstr("title for the run is empty"));
            return std::string("OK");
        });
        w.dokuv.click();
    }
    EXPECT_EQ(mc.taskid, 0);
    EXPECT_EQ(readFile(path("tez.000")), "earlier\r\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(fs::exists(path("kuv.seen")));
}

TEST_F(LaunchTest, TheHandOverLandsInTheCurrentFolderAndTheProgramPathIsJoinedPlainly) {
    // The folder is joined to the program name as it stands, without a separator.
    mc.installdir = engines_.string() + "/eng";
    engine("engkuv", "pwd > kuv.seen");
    fs::create_directories(folder_ / "defs");
    cw::DefineTEZ& w = plat::instance<cw::DefineTEZ>();
    w.I_bio.setText("s.bio");
    w.I_mgt.setText("s.mgt");
    w.I_title.setText("Snapper");
    {
        User user;
        user.fileDialog("Save tez data", (folder_ / "defs" / "a.tez").string());
        w.writetez.click();
    }
    // The dialog made the file's folder current; the user's work goes on in the first one.
    plat::setCurrentFolder(folder_.string());
    w.dokuv.click();
    remember();
    ASSERT_TRUE(appears(path("kuv.seen")));
    EXPECT_TRUE(fs::exists(path("tez.000")));
    EXPECT_FALSE(fs::exists(folder_ / "defs" / "tez.000"));
    EXPECT_EQ(readFile(path("tez.000")), readFile((folder_ / "defs" / "a.tez").string()));
}

TEST_F(LaunchTest, AVanishedDefinitionOrAMissingEngineIsReported) {
    cw::DefineTEZ& w = loadedTez();
    fs::remove(path("a.tez"));
    {
        User user;
        user.custom([this](const plat::testing::PromptRecord& r) {
            EXPECT_THAT(r.text, HasSubstr(path("a.tez")));
            EXPECT_THAT(r.text, HasSubstr("is missing"));
            return std::string("OK");
        });
        w.dotez.click();
    }
    EXPECT_FALSE(fs::exists(path("Tez.000")));
    EXPECT_EQ(mc.taskid, 0);

    writeFile(path("a.tez"), kDefinition);
    {
        User user;
        user.custom([this](const plat::testing::PromptRecord& r) {
            EXPECT_THAT(r.text, HasSubstr(engines_.string() + "/tez.exe"));
            EXPECT_THAT(r.text, HasSubstr("could not be started"));
            return std::string("OK");
        });
        w.dotez.click();
    }
    EXPECT_EQ(mc.taskid, 0);
    EXPECT_EQ(readFile(path("Tez.000")), kDefinition);
}

TEST_F(LaunchTest, AnEngineStillRunningOnItsHandOverIsNotOverwrittenUnasked) {
    engine("kuv", "exec sleep 30");
    cw::DefineTEZ& w = loadedTez();
    w.dokuv.click();
    remember();
    const double first = mc.taskid;
    ASSERT_GT(first, 0);

    // The first engine still runs and its hand-over is still there: the user decides.
    {
        User user;
        user.message("The engine started earlier on tez.000 is still running and may not have "
                     "read it yet. Replace tez.000 and start kuv.exe?",
                     plat::MsgAnswer::No);
        w.dokuv.click();
    }
    EXPECT_EQ(mc.taskid, first);
    {
        User user;
        user.custom([](const plat::testing::PromptRecord& r) {
            EXPECT_THAT(r.text, HasSubstr("still running"));
            return std::string("Yes");
        });
        w.dokuv.click();
    }
    remember();
    EXPECT_NE(mc.taskid, first);

    // Once the hand-over is gone (the engine has taken it), nothing is asked.
    fs::remove(path("tez.000"));
    w.dokuv.click();
    remember();
    EXPECT_TRUE(fs::exists(path("tez.000")));
}

TEST_F(LaunchTest, ThePressGoesOnOnlyWhenTheSaveWroteTheFile) {
    std::string current;
    bool clean = false;
    int saves = 0;
    // A save that keeps an old name but does not make the window clean (a failed write).
    current = path("old.tez");
    writeFile(current, kDefinition);
    EXPECT_FALSE(cw::launch(
        current, clean, [&] { ++saves; }, "tez.000", "kuv.exe"));
    EXPECT_EQ(saves, 1);
    EXPECT_FALSE(fs::exists(path("tez.000")));
    // A clean window with a file saves nothing.
    clean = true;
    engine("kuv", "true");
    EXPECT_TRUE(cw::launch(
        current, clean, [&] { ++saves; }, "tez.000", "kuv.exe"));
    remember();
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(readFile(path("tez.000")), kDefinition);
}

} // namespace

#endif
