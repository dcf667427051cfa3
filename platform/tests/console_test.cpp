// The console window that started programs run in: output as it is written, typed answers sent
// to the program, the closing line with the exit status, and the start through the detached
// console program, whose text the test reads from its transcript.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAccessible>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/console.h"
#include "platform/process.h"
#include "platform/testing/accessibility_walk.h"
#include "platform/testing/console_transcript.h"
#include "platform/testing/scripted_user.h"

namespace {

using ::testing::HasSubstr;
using ::testing::Not;
namespace fs = std::filesystem;

#ifndef _WIN32

// Runs the window's events until `done` holds or ten seconds have passed.
template <class Done> bool until(Done done) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return done();
}

TEST(Console, ShowsOutputAsItComesSendsTypedLinesAndSaysHowTheProgramEnded) {
    QTemporaryDir folder;
    plat::ConsoleWindow w("/bin/sh",
                          {"-c", "echo \"in $(pwd)\"; printf 'answer -> '; read a; "
                                 "printf 'got %s\\r\\n' \"$a\"; echo oops >&2; exit 3"},
                          folder.path());
    ASSERT_TRUE(w.start());
    EXPECT_GT(w.programId(), 0);
    EXPECT_TRUE(w.isVisible());
    // The prompt shows before its line is ended, while the program waits for the answer.
    ASSERT_TRUE(until([&] { return w.text().contains("answer -> "); })) << w.text().toStdString();
    EXPECT_TRUE(w.running());
    EXPECT_TRUE(w.input().isEnabled());
    w.input().setText("yes");
    emit w.input().returnPressed();
    ASSERT_TRUE(until([&] { return w.ended(); }));
    EXPECT_EQ(w.exitStatus(), 3);
    const std::string text = w.text().toStdString();
    EXPECT_THAT(text, HasSubstr("in " + QDir(folder.path()).canonicalPath().toStdString() + "\n"));
    EXPECT_THAT(text, HasSubstr("answer -> yes\ngot yes\noops\n"));
    EXPECT_THAT(text, HasSubstr("sh ended with exit status 3\n"));
    EXPECT_FALSE(w.input().isEnabled());
    EXPECT_THAT(w.windowTitle().toStdString(), HasSubstr("ended"));
}

// To a screen reader the console is a window named by its caption as that changes, with a name
// for its output, its answer box and the scroll bars that long output brings.
TEST(Console, IsAWindowNamedByItsCaption) {
    QTemporaryDir folder;
    plat::ConsoleWindow w("/bin/sh",
                          {"-c", "i=0; while [ $i -lt 100 ]; do printf '%0300d\\n' $i; "
                                 "i=$((i + 1)); done"},
                          folder.path());
    ASSERT_TRUE(w.start());
    ASSERT_TRUE(until([&] { return w.ended(); }));
    const auto bars = w.findChildren<QScrollBar*>();
    ASSERT_GE(bars.size(), 2);
    // The output's layout shows its bars a little after the text is in.
    EXPECT_TRUE(until([&] {
        return std::all_of(bars.begin(), bars.end(), [](QScrollBar* b) { return b->isVisible(); });
    }));
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&w);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->role(), QAccessible::Window);
    EXPECT_THAT(window->text(QAccessible::Name).toStdString(), HasSubstr("ended"));
    EXPECT_EQ(window->text(QAccessible::Name), w.windowTitle());
    EXPECT_EQ(plat::testing::accessibilityProblems(&w), std::vector<std::string>{});
}

// Closing the window of a program that still runs asks first; No keeps both.
TEST(Console, ClosingWhileTheProgramRunsAsksWhetherToEndIt) {
    plat::ConsoleWindow w("/bin/sh", {"-c", "echo waiting; exec sleep 30"});
    ASSERT_TRUE(w.start());
    ASSERT_TRUE(until([&] { return w.text().contains("waiting"); }));
    {
        plat::testing::ScriptedUser user;
        user.message("sh is still running. End it and close its window?", plat::MsgAnswer::No);
        EXPECT_FALSE(w.close());
    }
    EXPECT_TRUE(w.running());
    EXPECT_TRUE(w.isVisible());
    {
        plat::testing::ScriptedUser user;
        user.message("sh is still running. End it and close its window?", plat::MsgAnswer::Yes);
        // Alt+F4 in the answer box closes the window as its close box does.
        QTest::keyClick(&w.input(), Qt::Key_F4, Qt::AltModifier);
    }
    // The window closes once the program has ended.
    EXPECT_TRUE(until([&] { return !w.isVisible(); }));
    EXPECT_FALSE(w.running());
}

// "Yes" first asks the program to end (SIGTERM), so that it can remove what it has not finished,
// and closes the window once it has ended; a program that goes on is killed after a grace.
TEST(Console, EndingAProgramAsksItFirstAndKillsItOnlyAfterAGrace) {
    struct Case {
        const char* onTerm;
        const char* shows;
        const char* closing;
    };
    for (const Case& c :
         {Case{"echo cleaning up; exit 5", "cleaning up\n", "sh ended with exit status 5\n"},
          Case{"echo asked to end", "asked to end\n",
               "sh was ended abnormally (it crashed or was killed)\n"}}) {
        SCOPED_TRACE(c.onTerm);
        const QString script =
            QString("trap '") + c.onTerm + "' TERM; echo waiting; while :; do sleep 0.05; done";
        plat::ConsoleWindow w("/bin/sh", {"-c", script});
        ASSERT_TRUE(w.start());
        ASSERT_TRUE(until([&] { return w.text().contains("waiting"); }));
        {
            plat::testing::ScriptedUser user;
            user.message("sh is still running. End it and close its window?", plat::MsgAnswer::Yes);
            EXPECT_FALSE(w.close());
            EXPECT_TRUE(user.finished());
        }
        // Nothing is killed at once: the window waits for the program in its event loop.
        EXPECT_TRUE(w.ending());
        EXPECT_TRUE(w.isVisible());
        // Closing again meanwhile does not ask again.
        {
            plat::testing::ScriptedUser user;
            EXPECT_FALSE(w.close());
        }
        ASSERT_TRUE(until([&] { return w.ended(); }));
        const std::string text = w.text().toStdString();
        EXPECT_THAT(text, HasSubstr("waiting\nAsking sh to end\n" + std::string(c.shows)));
        EXPECT_THAT(text, HasSubstr(c.closing));
        EXPECT_FALSE(w.isVisible());
    }
}

// The caption shows the folder's characters that would show nothing or turn it around escaped.
TEST(Console, TheCaptionShowsTheFoldersInvisibleCharactersEscaped) {
    QTemporaryDir top;
    const QString folder = top.path() + "/left" + QChar(0x202E) + "right";
    ASSERT_TRUE(QDir().mkpath(folder));
    plat::ConsoleWindow w("/bin/sh", {"-c", "exit 0"}, folder);
    ASSERT_TRUE(w.start());
    EXPECT_THAT(w.windowTitle().toStdString(), HasSubstr("/left\\xE2\\x80\\xAEright"));
    EXPECT_FALSE(w.windowTitle().contains(QChar(0x202E)));
    ASSERT_TRUE(until([&] { return w.ended(); }));
    EXPECT_THAT(w.windowTitle().toStdString(), HasSubstr("\\xE2\\x80\\xAEright - ended"));
}

// A character whose bytes come in two reads shows whole; one the program leaves unfinished shows
// as one replacement character.
TEST(Console, ACharacterSplitBetweenTwoReadsShowsWhole) {
    QTemporaryDir folder;
    plat::ConsoleWindow w("/bin/sh",
                          {"-c", "printf 'caf\\303'; while [ ! -e go ]; do sleep 0.02; done; "
                                 "printf '\\251\\n\\342\\202\\254 \\342\\202'"},
                          folder.path());
    ASSERT_TRUE(w.start());
    ASSERT_TRUE(until([&] { return w.text().contains("caf"); }));
    std::ofstream(folder.filePath("go").toStdString());
    ASSERT_TRUE(until([&] { return w.ended(); }));
    EXPECT_THAT(w.text().toStdString(),
                HasSubstr("caf\xC3\xA9\n\xE2\x82\xAC \xEF\xBF\xBD\nsh ended with exit status 0"));
}

TEST(Console, AProgramThatCannotStartIsNamedInTheWindow) {
    plat::ConsoleWindow w("/no/such/engine", {});
    EXPECT_FALSE(w.start());
    EXPECT_TRUE(w.ended());
    EXPECT_THAT(w.text().toStdString(), HasSubstr("/no/such/engine could not be started"));
}

// A line of megabytes would take the window minutes to lay out: it shows the line's beginning and
// says how much of it is not shown.
TEST(Console, AHugeLineIsCutAndSaysHowMuchIsNotShown) {
    plat::ConsoleWindow w("/bin/sh", {"-c", "head -c 10485760 /dev/zero | tr '\\0' 7; echo; "
                                            "echo next; head -c 2500 /dev/zero | tr '\\0' 8"});
    ASSERT_TRUE(w.start());
    ASSERT_TRUE(until([&] { return w.ended(); }));
    const std::string text = w.text().toStdString();
    const auto note = [](int n) {
        return "\xE2\x80\xA6 (" + std::to_string(n) +
               " more characters of this line are not shown)";
    };
    EXPECT_THAT(text,
                HasSubstr(std::string(2000, '7') + note(10485760 - 2000) + "\nnext\n" +
                          std::string(2000, '8') + note(500) + "\nsh ended with exit status 0"));
    EXPECT_THAT(text, Not(HasSubstr(std::string(2001, '7'))));
}

// The detached console starts the program in the given folder, gives back the program's own id
// and keeps its text where the test reads it; it does not read the caller's input.
TEST(Console, TheDetachedConsoleRunsTheProgramApartFromTheCaller) {
    QTemporaryDir folder;
    const fs::path script = fs::path(folder.path().toStdString()) / "engine";
    {
        std::ofstream out(script);
        out << "#!/bin/sh\necho \"pid $$ in $(pwd)\"\necho \"input $(readlink /proc/$$/fd/0)\"\n"
               "exit 7\n";
    }
    fs::permissions(script, fs::perms::owner_all);
    // The engines are named with ".exe" and built without it off Windows.
    const std::string program = plat::resolveProgram(script.string() + ".exe");
    ASSERT_EQ(program, script.string());
    const plat::StartResult r = plat::startInConsole(program, {}, folder.path().toStdString());
    ASSERT_GT(r.pid, 0) << r.error;
    const std::string text = plat::testing::awaitConsoleText(r.pid);
    EXPECT_THAT(text, HasSubstr("pid " + std::to_string(r.pid) + " in " +
                                QDir(folder.path()).canonicalPath().toStdString()));
#ifdef __linux__
    // Its input is the console's, not the caller's.
    std::error_code ec;
    const std::string ours = fs::read_symlink("/proc/self/fd/0", ec).string();
    EXPECT_THAT(text, HasSubstr("input pipe:"));
    if (!ours.empty()) {
        EXPECT_THAT(text, Not(HasSubstr("input " + ours + "\n")));
    }
#endif
    EXPECT_THAT(text, HasSubstr("engine ended with exit status 7\n"));
    for (int k = 0; k < 100 && plat::processRunning(r.pid); ++k)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(plat::processRunning(r.pid));
}

TEST(Console, AMissingConsoleProgramIsReportedAndNothingStarts) {
    const std::string before = plat::consoleProgram();
    plat::setConsoleProgramForTesting("/no/such/vesk-console");
    const plat::StartResult r = plat::startInConsole("/bin/true", {}, ".");
    plat::setConsoleProgramForTesting(before);
    EXPECT_EQ(r.pid, -1);
    EXPECT_THAT(r.error, HasSubstr("/no/such/vesk-console is missing"));
    EXPECT_FALSE(plat::processRunning(0));
    EXPECT_FALSE(plat::processRunning(-1));
}

#endif

} // namespace
