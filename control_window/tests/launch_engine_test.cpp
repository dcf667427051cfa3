// The road of one evaluation from the control window: the bundled example definition opened in
// the equilibrium definition editor, handed over as "Tez.000" and the built engine started on
// it from the engines' folder in its console window; the engine takes the hand-over, writes its
// two tables and its rows to the console.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>

#include "control_window/definetez.h"
#include "cw_fixture.h"
#include "platform/testing/console_transcript.h"
#include "platform/testing/scripted_user.h"

namespace {

#ifdef VESK_TEZ_DIR

using cw::mc;
using ::testing::HasSubstr;
namespace fs = std::filesystem;

class LaunchEngineTest : public cwtest::CwTest {};

int lineCount(const std::string& text) {
    int n = 0;
    for (const char c : text)
        n += c == '\n';
    return n;
}

TEST_F(LaunchEngineTest, TheTezButtonRunsTheEngineOnTheExampleDefinition) {
    for (const char* ext : {"bio", "mgt", "tez"})
        fs::copy_file(std::string(VESK_EXAMPLES_DIR) + "/snapper." + ext,
                      path(std::string("snapper.") + ext));
    mc.installdir = std::string(VESK_TEZ_DIR) + "/";
    mc.startfile = "snapper.tez";
    cw::DefineTEZ& w = plat::instance<cw::DefineTEZ>();
    ASSERT_EQ(w.data.nyr, 4);
    ASSERT_TRUE(w.clean);
    mc.taskid = 0;

    w.dotez.click(); // clean: no dialog, the file on disk is handed over
    ASSERT_GT(mc.taskid, 0);

    // The engine reads the hand-over, deletes it and writes a header and one row per year.
    const std::string table = path("snapper.tzb");
    bool done = false;
    for (int k = 0; k < 600 && !done; ++k) {
        done = !fs::exists(path("Tez.000")) && fs::exists(table) &&
               lineCount(readFile(table)) >= 5 && fs::exists(path("snapper.tzo"));
        if (!done) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_TRUE(done) << "the engine left no complete table within 30 seconds";
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const std::string rows = readFile(table);
    EXPECT_THAT(rows,
                HasSubstr("Yr    Bunfished       TEZ         Btez         Fmult        Fbio"));
    for (const char* year : {"\n2018 ", "\n2019 ", "\n2020 ", "\n2021 "})
        EXPECT_THAT(rows, HasSubstr(year));
    EXPECT_GT(fs::file_size(path("snapper.tzo")), 0u);
    // The console window shows the engine's rows year by year and its end.
    const std::string console = plat::testing::awaitConsoleText(int64_t(mc.taskid));
    EXPECT_THAT(console, HasSubstr("Biological definitions from snapper.bio"));
    size_t at = 0;
    for (const char* year :
         {"         2018\n", "         2019\n", "         2020\n", "         2021\n"}) {
        const size_t found = console.find(year, at);
        ASSERT_NE(found, std::string::npos) << year << " in\n" << console;
        at = found;
        EXPECT_NE(console.find("   F mult     YOY       SPR        NUMBER       BIOMASS\n", at),
                  std::string::npos);
    }
    EXPECT_THAT(console, HasSubstr("tez ended with exit status 0\n"));
    // The definition itself stays as it was.
    EXPECT_EQ(readFile(path("snapper.tez")),
              readFile(std::string(VESK_EXAMPLES_DIR) + "/snapper.tez"));
}

#else
TEST(LaunchEngineTest, NeedsTheBuiltEngine) {
    GTEST_SKIP() << "built without the equilibrium engine";
}
#endif

} // namespace
