// The target search of whole runs: a slow search that converges, and searches that cannot.
#include "engine_fixture.h"

#include "text_forms.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

namespace tez::testing {
namespace {

// One sex, one morph, one season, no natural mortality; only ages 2 and up spawn and one fishery
// takes age 1 alone, so that the SPR falls as exp(-rate * multiplier).
class TargetSearch : public ::testing::Test {
  protected:
    void SetUp() override {
        bio = make_biology(2, 1, 1, 1);
        bio.cv = {0.0, 0.0};
        bio.sr_slope = 4.0; // target SPR 0.5
        for (int a = 0; a <= bio.nages; ++a) {
            bio.natmort[a] = {0.0, 0.0};
            bio.fec_by_age[a] = a >= 2 ? 1.0 : 0.0;
        }
        write_text(folder / "t.bio", biology_text(bio));
        def.bio = "t.bio";
        def.mgt = "t.mgt";
        def.report = "r.txt";
        def.table = "b.txt";
    }
    ManagementBlock age_one_block(int year, double rate) const {
        FisheryData f;
        f.type = "A";
        for (int a = 0; a <= bio.nages; ++a)
            f.rates.push_back(a == 1 ? rate : 0.0);
        ManagementBlock blk;
        blk.year = year;
        blk.fisheries = {f};
        return blk;
    }
    RunResult run(const std::vector<ManagementBlock>& blocks, std::vector<int> years,
                  int pass_bound = kTargetPassBound) {
        write_text(folder / "t.mgt", management_text(0.0, blocks));
        def.years = std::move(years);
        write_text(folder / "Tez.000", definition_text(def));
        engine = std::make_unique<Engine>();
        engine->target_pass_bound = pass_bound;
        return run_engine(*engine, folder.path());
    }
    // The year 2001 of one block evaluated against the given target SPR.
    std::unique_ptr<Engine> evaluated(double target, double rate, std::ostream& console) {
        auto e = ready_engine(folder, bio, {age_one_block(2001, rate)}, console);
        e->target_spr = target;
        e->nyears = 1;
        e->years[1] = 2001;
        e->year_index = 1;
        EXPECT_TRUE(read_management_year(*e));
        e->year = 2001;
        evaluate_year(*e, *e, *e);
        return e;
    }
    static std::string year_of(const std::string& report, int year) {
        const std::string head =
            " TEZ evaluations for selectivities in year         " + std::to_string(year) + "\r\n";
        const std::size_t at = report.find(head);
        if (at == std::string::npos) return {};
        return report.substr(at, report.find(" TEZ evaluations", at + 1) - at);
    }

    TempFolder folder;
    StockBiology bio;
    RunDefinition def;
    std::unique_ptr<Engine> engine;
};

TEST_F(TargetSearch, ASearchOfManyPassesThatConvergesIsNeverCut) {
    // exp(-22 m) takes the search 117 passes to bring within the tolerance.
    const RunResult r = run({age_one_block(2001, 22.0)}, {2001});
    EXPECT_EQ(r.status, kExitNormal) << r.console;
    EXPECT_EQ(r.console.find("No target"), std::string::npos) << r.console;
    // The first row stands at the target: exp(-22 m) = 0.5 at m = ln 2 / 22 = 0.0315.
    const std::size_t row = r.console.find("BIOMASS\n") + 8;
    EXPECT_EQ(r.console.substr(row, 10), "  0.32E-01") << r.console;
    const std::string spr = r.console.substr(row + 22, 7);
    EXPECT_TRUE(spr == "0.50001" || spr == "0.49999" || spr == "0.50000") << spr;
    EXPECT_NE(folder.read("r.txt").find("\r\n  YIELD IN NUMBERS    "), std::string::npos);
    EXPECT_EQ(folder.read("b.txt").find("0.000000E+00 0.000000E+00"), std::string::npos);
}

TEST_F(TargetSearch, NonFiniteSprEndsOnlyItsYearAndTheRunGoesOn) {
    const RunResult good = run({age_one_block(2001, 22.0)}, {2001});
    ASSERT_EQ(good.status, kExitNormal);
    const std::string good_report = folder.read("r.txt");
    const std::string good_row = folder.read("b.txt").substr(67);

    // So steep a fall sends the regression far below zero, where the SPR overflows.
    const RunResult r = run({age_one_block(2000, 80.0), age_one_block(2001, 22.0)}, {2000, 2001});
    EXPECT_EQ(r.status, kExitNoTarget) << r.console;
    EXPECT_NE(r.console.find("\n No target was found for year 2000: the SPR at multiplier -178."),
              std::string::npos)
        << r.console;
    EXPECT_NE(r.console.find(" is inf, not a finite number\n -0.10E+01 "), std::string::npos)
        << r.console;
    // The year shows that no target was found; the next year is as it is on its own.
    const std::string report = folder.read("r.txt");
    EXPECT_NE(year_of(report, 2000).find("  YIELD IN BIOMASS        --"), std::string::npos)
        << report;
    EXPECT_EQ(year_of(report, 2001), good_report);
    const std::string table = folder.read("b.txt");
    EXPECT_EQ(table.substr(67, 5), "2000 ");
    EXPECT_NE(table.find("0.000000E+00 0.000000E+00 0.000000E+00 0.000000E+00\r\n2001"),
              std::string::npos)
        << table;
    EXPECT_EQ(table.substr(table.size() - good_row.size()), good_row);
}

TEST_F(TargetSearch, SearchThatStopsMovingIsGivenUpWithoutWaitingForTheBound) {
    // A target SPR of 2 (no slope a file may give leads there) that a stock without fishing, at
    // SPR 1 whatever the multiplier, never meets: the regression's points all come to one and
    // the search stands still.
    std::ostringstream console;
    auto e = evaluated(2.0, 0.0, console);
    EXPECT_TRUE(e->target_given_up);
    EXPECT_EQ(e->target_passes, 257);
    EXPECT_NE(console.str().find("\n No target was found for year 2001: the search stopped moving "
                                 "after 257 passes (SPR 1 at multiplier "),
              std::string::npos)
        << console.str();
    EXPECT_EQ(e->col[1].yield_biomass, 0.0);
    EXPECT_EQ(e->col[1].total_biomass, 0.0);
    EXPECT_EQ(e->col[1].apical_f, 0.0);
    EXPECT_EQ(e->col[1].f_biomass, 0.0);
}

TEST_F(TargetSearch, TargetThatIsNotAFiniteNumberIsASearchThatFoundNone) {
    for (const double target : {std::nan(""), HUGE_VAL, -HUGE_VAL}) {
        std::ostringstream console;
        auto e = evaluated(target, 22.0, console);
        EXPECT_TRUE(e->target_given_up) << target;
        EXPECT_FALSE(e->target_reached) << target;
        EXPECT_NE(console.str().find("\n No target was found for year 2001: the target SPR is " +
                                     shortest_text(target) + ", not a finite number\n"),
                  std::string::npos)
            << console.str();
        EXPECT_EQ(e->col[1].yield_biomass, 0.0);
    }
}

TEST_F(TargetSearch, SearchPastItsBoundIsGivenUpInWords) {
    const RunResult r = run({age_one_block(2001, 22.0)}, {2001}, 50);
    EXPECT_EQ(r.status, kExitNoTarget) << r.console;
    EXPECT_NE(r.console.find("\n No target was found for year 2001: the search did not meet the "
                             "tolerance in 50 passes (SPR "),
              std::string::npos)
        << r.console;
    EXPECT_NE(folder.read("r.txt").find("  YIELD IN BIOMASS        --"), std::string::npos);
}

} // namespace
} // namespace tez::testing
