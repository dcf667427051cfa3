// A definition saved by the equilibrium definition editor is read by the engine's own reader
// into the same values: names, the output flags that "NUL" sets, the title's first word and the
// years.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <sstream>

#include "control_window/windows/editors/definetez.h"
#include "cw_fixture.h"
#include "platform/testing/scripted_user.h"

#ifndef VESK_NO_TEZ_ENGINE
#include "engine.h"
#include "error_stack.h"
#endif

namespace {

#ifndef VESK_NO_TEZ_ENGINE

using cw::mc;
using User = plat::testing::ScriptedUser;

class TezEngineTest : public cwtest::CwTest {
  protected:
    void SetUp() override {
        CwTest::SetUp();
        const std::string examples = VESK_EXAMPLES_DIR;
        std::filesystem::copy_file(examples + "/snapper.bio", path("snapper1.bio"));
        std::filesystem::copy_file(examples + "/snapper.mgt", path("snapper.mgt"));
    }
    cw::DefineTEZ& tez() { return plat::instance<cw::DefineTEZ>(); }

    void typeAndSave(const std::string& tezout, const std::string& bnch) {
        cw::DefineTEZ& w = tez();
        w.I_bio.setText("snapper1.bio");
        w.I_mgt.setText(" snapper.mgt");
        w.i_TEZ.setText(tezout);
        w.i_bnch.setText(bnch);
        w.i_pmo.setText("snap");
        w.I_title.setText("Snapper equilibrium");
        w.I_nyr.setText("3");
        w.I_valyr.setText("2018");
        w.Option1.click();
        User user;
        user.fileDialog("Save tez data", path("def.tez"));
        w.writetez.click();
        ASSERT_TRUE(w.clean);
    }

    std::unique_ptr<tez::Engine> engine() {
        auto e = std::make_unique<tez::Engine>();
        e->console_out = &console_;
        e->folder = folder_;
        e->run_file_name = "def.tez";
        return e;
    }
    std::ostringstream console_;
};

TEST_F(TezEngineTest, TheEngineReadsTheSavedDefinitionIntoTheSameValues) {
    typeAndSave("Null", "snap.tzb");
    auto e = engine();
    ASSERT_NO_THROW(tez::read_run_file(*e)) << console_.str();
    const cw::TezData& d = tez().data;
    EXPECT_EQ(tez::trim_blanks(e->biology_name), d.bio);
    EXPECT_EQ(tez::trim_blanks(e->management_name), "snapper.mgt");
    EXPECT_EQ(e->report_flag, 0); // "Null" was saved as the engine's "NUL"
    EXPECT_EQ(e->table_flag, 1);
    // The table is open under a temporary name of the run's own: its name gets it once whole.
    EXPECT_TRUE(e->table.is_open());
    EXPECT_TRUE(std::filesystem::exists(e->table.temporary()));
    EXPECT_FALSE(std::filesystem::exists(path("snap.tzb")));
    EXPECT_EQ(tez::trim_blanks(e->production_name), "snap.pmo"); // the line the engine passes over
    EXPECT_EQ(tez::trim_blanks(e->title), "Snapper");            // the engine takes the first word
    ASSERT_EQ(e->nyears, 3);
    for (int k = 1; k <= 3; ++k)
        EXPECT_EQ(e->years[size_t(k)], d.years(k));
    EXPECT_EQ(e->years[3], 2020);
    // A definition read under its own name stays in place.
    EXPECT_TRUE(std::filesystem::exists(path("def.tez")));
}

TEST_F(TezEngineTest, OutputNamesTypedAsNulInAnyCaseMeanNoFileToTheEngine) {
    typeAndSave("nul", "NuLL");
    auto e = engine();
    try {
        tez::read_run_file(*e);
        ADD_FAILURE() << "the engine went on without outputs";
    } catch (const tez::NumericsStop& stop) {
        EXPECT_EQ(stop.exit_status(), tez::kExitNormal);
    }
    EXPECT_NE(console_.str().find("No output files....Nothing to do"), std::string::npos)
        << console_.str();
}

#else
TEST(TezEngineTest, NeedsTheEngineLibrary) {
    GTEST_SKIP() << "built without the equilibrium engine";
}
#endif

} // namespace
