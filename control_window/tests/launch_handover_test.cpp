// The launch buttons: when a press saves first, the hand-over copy in the current folder, the
// engine path formed from the engines' folder, the console window every program runs in, and
// what a press does when the copy or the start fails or an engine started earlier may still be
// reading its file. Stand-in engines are small scripts that record what they found in their
// current folder and write to their console.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#ifndef _WIN32

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "common/testing/small_disk.h"
#include "control_window/windows/editors/definerun.h"
#include "control_window/windows/editors/definetez.h"
#include "control_window/windows/editors/definewox.h"
#include "control_window/windows/launch.h"
#include "cw_fixture.h"
#include "platform/testing/console_transcript.h"
#include "platform/testing/scripted_user.h"

namespace {

using cw::mc;
using ::testing::HasSubstr;
using User = plat::testing::ScriptedUser;
namespace fs = std::filesystem;

const char* const kDefinition =
    "s.bio\r\ns.mgt\r\ns.tzo\r\nNUL\r\ns.pmo\r\nSnapper\r\n 1 \r\n 2018 \r\n";
const char* const kWox = "b\r\nm\r\nf\r\np.yro\r\n 0 \r\n 1 \r\n .01 \r\n 1 \r\n 2000 \r\n";

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

    // Each launch button with its editor's load, the definition it loads and the hand-over.
    struct Button {
        const char* program; // the stand-in's file name
        const char* handover;
        std::string definition;
        std::function<void(const std::string&)> load; // loads a definition file
        std::function<void()> press;
        std::function<void()> close;
        std::function<std::string()> shown; // a value the window shows of the definition
    };
    std::vector<Button> buttons() {
        auto tez = [] { return &plat::instance<cw::DefineTEZ>(); };
        auto wox = [] { return &plat::instance<cw::DefineWOX>(); };
        auto run = [] { return &plat::instance<cw::DefineRun>(); };
        auto loadTez = [tez](const std::string& file) {
            User user;
            user.fileDialog("Load TEZ data", file);
            tez()->readtez.click();
        };
        return {
            {"VESK", "vesk.000", cwtest::dataFile("run/full.run"),
             [run](const std::string& file) {
                 User user;
                 user.fileDialog("Load run data", file);
                 run()->readrun.click();
             },
             [run] { run()->RUN.click(); }, [run] { run()->unload(); },
             [run] { return run()->I_bio.text(); }},
            {"tez", "Tez.000", kDefinition, loadTez, [tez] { tez()->dotez.click(); },
             [tez] { tez()->unload(); }, [tez] { return tez()->I_title.text(); }},
            {"kuv", "tez.000", kDefinition, loadTez, [tez] { tez()->dokuv.click(); },
             [tez] { tez()->unload(); }, [tez] { return tez()->I_title.text(); }},
            {"wox", "wox.000", kWox,
             [wox](const std::string& file) {
                 User user;
                 user.fileDialog("Load wox data", file);
                 wox()->readwox.click();
             },
             [wox] { wox()->run.click(); }, [wox] { wox()->unload(); },
             [wox] { return wox()->I_valyr.text(); }},
        };
    }

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

// Every button starts its program in a console window of its own: the program's output and its
// exit status are in the console's text, and the program found its hand-over file.
TEST_F(LaunchTest, EachButtonRunsItsProgramInAConsoleThatShowsItsOutputAndExitStatus) {
    for (const Button& b : buttons()) {
        SCOPED_TRACE(b.program);
        engine(b.program, std::string("echo \"") + b.program + " read $(head -c 20 " + b.handover +
                              " | head -n 1)\"\necho 'a message' >&2\nexit 3");
        const std::string file = path(std::string("def-") + b.program);
        writeFile(file, b.definition);
        b.load(file);
        mc.taskid = 0;
        {
            User user; // clean: no dialog
            b.press();
        }
        remember();
        ASSERT_GT(mc.taskid, 0);
        const std::string text = plat::testing::awaitConsoleText(int64_t(mc.taskid));
        const std::string firstLine = b.definition.substr(0, b.definition.find('\r'));
        EXPECT_THAT(text, HasSubstr(std::string(b.program) + " read " + firstLine + "\n"));
        EXPECT_THAT(text, HasSubstr("a message\n"));
        EXPECT_THAT(text, HasSubstr(std::string(b.program) + " ended with exit status 3\n"));
        b.close();
    }
}

// An editor opened again after it was closed shows its current file, so that what a press hands
// over is what the window shows; one whose file has gone is not clean and saves first.
TEST_F(LaunchTest, AnEditorOpenedAgainHandsOverOnlyWhatItShows) {
    for (const Button& b : buttons()) {
        SCOPED_TRACE(b.program);
        engine(b.program, "true");
        const std::string file = path(std::string("def-") + b.program);
        writeFile(file, b.definition);
        b.load(file);
        const std::string shown = b.shown();
        ASSERT_FALSE(shown.empty());
        b.close();
        fs::remove(path(b.handover));
        {
            User user; // no dialog: the window read its file again
            b.press();
        }
        remember();
        EXPECT_EQ(b.shown(), shown);
        EXPECT_EQ(readFile(path(b.handover)), b.definition);

        // The file is gone when the window opens again: the window holds other values than any
        // file, so a press asks where to save them.
        b.close();
        fs::remove(file);
        fs::remove(path(b.handover));
        {
            User user;
            user.custom([&](const plat::testing::PromptRecord& r) {
                EXPECT_THAT(r.text, HasSubstr(file));
                EXPECT_THAT(r.text, HasSubstr("cannot be read"));
                return std::string("OK");
            });
            // The equilibrium engine's button refuses the empty window before it would save.
            if (std::string(b.program) == "tez")
                user.custom([](const plat::testing::PromptRecord& r) {
                    EXPECT_THAT(r.text, HasSubstr("equilibrium engine cannot read"));
                    return std::string("OK");
                });
            else
                user.fileDialog("", "").message("No output data were saved");
            b.press();
        }
        EXPECT_FALSE(fs::exists(path(b.handover)));
        b.close();
    }
}

// The copy is written beside and renamed into place: an engine still reading the earlier file
// reads it whole, and a copy that fails leaves the earlier file and starts nothing.
TEST_F(LaunchTest, TheHandOverIsReplacedWholeOrNotAtAll) {
    engine("kuv", "true");
    writeFile(path("tez.000"), "earlier definition\r\n");
    std::ifstream reading(path("tez.000"), std::ios::binary);
    cw::DefineTEZ& w = loadedTez();
    w.dokuv.click();
    remember();
    EXPECT_EQ(readFile(path("tez.000")), kDefinition);
    plat::testing::awaitConsoleText(int64_t(mc.taskid)); // ended: nothing is asked next time
    std::string earlier;
    std::getline(reading, earlier);
    EXPECT_EQ(earlier, "earlier definition\r");

    // A copy onto a full disk.
    vesktest::SmallDisk disk(64 * 1024);
    VESK_NEED_SMALL_DISK(disk);
    writeFile(disk.path("tez.000"), "earlier definition\r\n");
    disk.fill();
    plat::setCurrentFolder(disk.path(""));
    mc.taskid = 0;
    {
        User user;
        user.custom([](const plat::testing::PromptRecord& r) {
            EXPECT_THAT(r.text, HasSubstr("could not be copied to tez.000"));
            EXPECT_THAT(r.text, HasSubstr("No space left on device"));
            EXPECT_THAT(r.text, HasSubstr("nothing was handed to kuv.exe"));
            return std::string("OK");
        });
        w.dokuv.click();
    }
    EXPECT_EQ(mc.taskid, 0);
    EXPECT_EQ(readFile(disk.path("tez.000")), "earlier definition\r\n");
    plat::setCurrentFolder(folder_.string());
}

TEST_F(LaunchTest, AnEditSinceTheLoadSavesFirstAndHandsOverTheNewFile) {
    engine("wox", "cp wox.000 wox.seen");
    writeFile(path("a.wox"), kWox);
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
    ASSERT_FALSE(w.clean);
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
    w.I_title.setText("Snapper, 3 years");
    {
        User user;
        user.custom([](const plat::testing::PromptRecord& r) {
            EXPECT_THAT(r.text, HasSubstr("holds a comma"));
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
            EXPECT_THAT(r.text, HasSubstr("handed over as " + path("Tez.000")));
            EXPECT_THAT(r.text, HasSubstr(engines_.string() + "/tez.exe"));
            EXPECT_THAT(r.text, HasSubstr("could not be started"));
            EXPECT_THAT(r.text, HasSubstr("looked for there"));
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

// A command-line start in one folder, then a refused load from another: the launch still hands
// over the file the window shows, in the folder it was started in.
TEST_F(LaunchTest, ARefusedLoadFromAnotherFolderChangesNeitherTheFileNorTheLaunch) {
    struct Case {
        const char* startfile;
        std::string definition;
        const char* loadTitle;
        const char* program;
        const char* handover;
        std::function<void()> open;
        std::function<void()> load;
        std::function<void()> press;
        std::function<std::string()> current;
    };
    auto tez = [] { return &plat::instance<cw::DefineTEZ>(); };
    auto run = [] { return &plat::instance<cw::DefineRun>(); };
    const Case cases[] = {
        {"snapper.tez", kDefinition, "Load TEZ data", "tez", "Tez.000", [tez] { tez(); },
         [tez] { tez()->readtez.click(); }, [tez] { tez()->dotez.click(); },
         [] { return mc.tezfile; }},
        {"snapper.run", cwtest::dataFile("run/full.run"), "Load run data", "VESK", "vesk.000",
         [run] { run(); }, [run] { run()->readrun.click(); }, [run] { run()->RUN.click(); },
         [] { return mc.runfile; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.startfile);
        const fs::path a = folder_ / "A", b = folder_ / "B";
        fs::create_directories(a);
        fs::create_directories(b);
        writeFile((a / c.startfile).string(), c.definition);
        writeFile((b / c.startfile).string(), c.definition);
        writeFile((b / "bad.x").string(), "");
        engine(c.program,
               std::string("pwd > ") + path("where") + "; cp " + c.handover + " " + path("seen"));
        plat::setCurrentFolder(a.string());
        mc.startfile = c.startfile;
        c.open();
        EXPECT_EQ(c.current(), (a / c.startfile).string()) << "a full path from the start";
        for (const char* refused : {"bad.x", "mistyped.x"}) {
            User user;
            user.fileDialog(c.loadTitle, (b / refused).string());
            user.custom([](const plat::testing::PromptRecord&) { return "OK"; });
            c.load();
            EXPECT_TRUE(user.finished());
            EXPECT_EQ(c.current(), (a / c.startfile).string());
            EXPECT_EQ(plat::currentFolder(), a.string());
        }
        c.press();
        remember();
        ASSERT_TRUE(appears(path("seen")));
        EXPECT_EQ(readFile(path("where")), a.string() + "\n");
        EXPECT_EQ(readFile(path("seen")), c.definition);
        EXPECT_FALSE(fs::exists(b / c.handover));
        fs::remove(path("seen"));
        plat::unloadAll();
        cw::resetMaincode();
        mc.installdir = engines_.string() + "/";
    }
}

// The engine of "Tez.000" deletes what it read: a definition saved under its own hand-over name
// is refused before anything is copied or started, and stays as it was.
TEST_F(LaunchTest, ADefinitionThatIsItsOwnHandOverIsRefused) {
    for (const Button& b : buttons()) {
        SCOPED_TRACE(b.handover);
        engine(b.program, "touch " + path("started"));
        writeFile(path(b.handover), b.definition);
        b.load(path(b.handover));
        User user;
        user.custom([&](const plat::testing::PromptRecord& r) {
            EXPECT_THAT(r.text, HasSubstr(path(b.handover) + " is itself the hand-over file " +
                                          b.handover));
            return "OK";
        });
        b.press();
        EXPECT_TRUE(user.finished());
        EXPECT_EQ(readFile(path(b.handover)), b.definition);
        b.close();
        fs::remove(path(b.handover));
        mc.tezfile.clear();
        mc.runfile.clear();
        mc.woxfile.clear();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(fs::exists(path("started")));
}

} // namespace

#endif
