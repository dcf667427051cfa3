// The bundled example gives figures a fishery scientist finds plausible.
#include "engine_fixture.h"

#include <gtest/gtest.h>

namespace tez::testing {
namespace {

TEST(BundledExample, GivesPlausibleReferencePoints) {
    TempFolder folder;
    for (const char* name : {"snapper.bio", "snapper.mgt", "snapper.tez"})
        std::filesystem::copy_file(std::filesystem::path(TEZ_EXAMPLES_DIR) / name, folder / name);
    std::filesystem::copy_file(folder / "snapper.tez", folder / "Tez.000");
    auto e = std::make_unique<Engine>();
    const RunResult r = run_engine(*e, folder.path());
    ASSERT_EQ(r.status, 0) << r.console;
    EXPECT_EQ(e->nsexes, 2);
    EXPECT_GE(e->nages, 12);
    EXPECT_GT(e->nmorphs, 1);
    EXPECT_GT(e->nszns, 1);
    EXPECT_EQ(e->ngear, 2);
    EXPECT_EQ(e->sel_type[0], 'A');
    EXPECT_EQ(e->sel_type[1], 'L');
    // The last year's results.
    EXPECT_TRUE(e->target_reached);
    EXPECT_GT(e->fmult, 0.0);
    for (const ResultColumn& c : e->col) {
        EXPECT_GT(c.spr, 0.2);
        EXPECT_LT(c.spr, 0.8);
        EXPECT_GT(c.yield_biomass, 0.0);
        EXPECT_GT(c.apical_f, 0.05);
        EXPECT_LT(c.apical_f, 1.0);
        EXPECT_LT(c.total_biomass, e->bunfished);
    }
}

} // namespace
} // namespace tez::testing
