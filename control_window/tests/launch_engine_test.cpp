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

#include "control_window/windows/editors/definebio.h"
#include "control_window/windows/editors/definefishery.h"
#include "control_window/windows/editors/definetez.h"
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

// The road a user takes: the biology saved from its editor, the fishery exported as management
// data, the definition typed and saved, and "TEZ" pressed; the engine's rows come up in its
// console window.
TEST_F(LaunchEngineTest, FromTheEditorsToTheEnginesRowsInItsConsole) {
    mc.installdir = std::string(VESK_TEZ_DIR) + "/";
    using User = plat::testing::ScriptedUser;
    {
        User user;
        user.fileDialog("Load biological data", std::string(VESK_EXAMPLES_DIR) + "/snapper.bio");
        plat::instance<cw::DefineBio>().Loadbio.click();
    }
    plat::setCurrentFolder(folder_.string());
    {
        User user;
        user.fileDialog("Save biological data", path("fish.bio"));
        plat::instance<cw::DefineBio>().SaveBio.click();
    }
    ASSERT_TRUE(fs::exists(path("fish.bio")));

    // One fishery by age over the biology's ages, sexes and seasons, for two years.
    mc.fyr = 2018;
    mc.lyr = 2019;
    mc.ngear = 1;
    mc.fcv = 0.1f;
    mc.f_seltyp(1) = "A";
    mc.f_minvulsiz(1) = 0;
    for (int y = 1; y <= 2; ++y) {
        mc.f_tac(y, 1) = 0;
        mc.f_annf(y, 1) = 0.3f;
        for (int s = 1; s <= mc.nsexes; ++s)
            for (int a = 0; a <= mc.nages; ++a)
                mc.f_sel(1, a, s, y) = a < 3 ? 0.3f * float(a) : 1.0f;
        for (int q = 1; q <= mc.nszns; ++q)
            mc.f_sznfract(1, q, y) = 1.0f / float(mc.nszns);
        for (int r = 1; r <= 3; ++r)
            mc.f_regs(r, 1, y) = 0;
    }
    {
        User user;
        user.fileDialog("Save management data", path("fish.mgt"));
        plat::instance<cw::DefineFishery>().MakeMgt.click();
    }
    ASSERT_TRUE(fs::exists(path("fish.mgt")));

    cw::DefineTEZ& w = plat::instance<cw::DefineTEZ>();
    w.I_bio.setText("fish.bio");
    w.I_mgt.setText("fish.mgt");
    w.i_TEZ.setText("fish.tzo");
    w.i_bnch.setText("fish.tzb");
    w.i_pmo.setText("fish");
    w.I_title.setText("Fish");
    w.I_nyr.setText("2");
    w.I_valyr.setText("2018");
    w.Option1.click();
    {
        User user;
        user.fileDialog("Save tez data", path("fish.tez"));
        w.writetez.click();
    }
    ASSERT_TRUE(w.clean);
    mc.taskid = 0;
    w.dotez.click();
    ASSERT_GT(mc.taskid, 0);
    const std::string console = plat::testing::awaitConsoleText(int64_t(mc.taskid));
    EXPECT_THAT(console, HasSubstr("Biological definitions from fish.bio"));
    for (const char* year : {"         2018\n", "         2019\n"})
        EXPECT_THAT(console, HasSubstr(year));
    EXPECT_THAT(console, HasSubstr("   F mult     YOY       SPR        NUMBER       BIOMASS\n"));
    EXPECT_THAT(console, HasSubstr("tez ended with exit status 0\n"));
    EXPECT_THAT(readFile(path("fish.tzb")), HasSubstr("\n2019 "));
}

#else
TEST(LaunchEngineTest, NeedsTheBuiltEngine) {
    GTEST_SKIP() << "built without the equilibrium engine";
}
#endif

} // namespace
