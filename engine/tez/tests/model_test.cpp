// Management blocks, growth morphs, the projection, stock-recruitment and the year's searches.
#include "engine_fixture.h"
#include "text_forms.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>

namespace tez::testing {
namespace {

// One sex, one morph, one season; fishing from age 2 on.
StockBiology simple_biology(int nages = 8) {
    StockBiology b = make_biology(nages, 1, 1, 1);
    b.cv = {0.0, 0.0};
    return b;
}

std::vector<ManagementBlock> blocks_with(const StockBiology& b, std::vector<int> years,
                                         std::vector<double> rates) {
    std::vector<ManagementBlock> blocks;
    for (std::size_t i = 0; i < years.size(); ++i) {
        ManagementBlock blk;
        blk.year = years[i];
        blk.fisheries.push_back(knife_edge_fishery(b, 2, rates[i]));
        blocks.push_back(blk);
    }
    return blocks;
}

TEST(Management, WalksForwardToEachWantedYear) {
    TempFolder folder;
    std::ostringstream console;
    const StockBiology bio = simple_biology(3);
    auto e = ready_engine(folder, bio,
                          blocks_with(bio, {2000, 2001, 2002, 2003, 2004, 2005},
                                      {0.10, 0.11, 0.12, 0.13, 0.14, 0.15}),
                          console);
    e->nyears = 3;
    e->years[1] = 2001;
    e->years[2] = 2003;
    e->years[3] = 2003;
    for (const auto& [index, rate] : {std::pair{1, 0.11}, {2, 0.13}, {3, 0.13}}) {
        e->year_index = index;
        read_management_year(*e);
        EXPECT_EQ(e->last_block_year, e->years[index]);
        EXPECT_DOUBLE_EQ(e->rate[0][0][2][0], rate);
    }
    // The file has been read up to the end of the 2003 block, and no further.
    EXPECT_EQ(e->input.read_integer(), 2004);
}

TEST(Management, TrailerAndClassHeaderValues) {
    TempFolder folder;
    std::ostringstream console;
    const StockBiology bio = simple_biology(3);
    ManagementBlock blk;
    blk.year = 2000;
    FisheryData none;
    none.type = "X";
    none.lower_limit = 5;
    none.upper_limit = 0;
    none.discard = 0.5;
    FisheryData by_length;
    by_length.type = "L";
    by_length.nlng = 4;
    by_length.minlng = 10;
    by_length.maxlng = 50;
    by_length.rates = {0.1, 0.2, 0.3, 0.4};
    by_length.upper_limit = 60;
    blk.fisheries = {none, by_length};
    auto e = ready_engine(folder, bio, {blk}, console);
    e->years[1] = 2000;
    e->year_index = 1;
    read_management_year(*e);
    EXPECT_EQ(e->ngear, 2);
    EXPECT_EQ(e->sel_type[0], 'X');
    EXPECT_DOUBLE_EQ(e->upper_limit[0], 1e7);
    EXPECT_DOUBLE_EQ(e->discard_fraction[0], 0.5);
    EXPECT_DOUBLE_EQ(e->class_width[1], 10.0);
    EXPECT_DOUBLE_EQ(e->rate[1][0][3][0], 0.4);
    EXPECT_DOUBLE_EQ(e->upper_limit[1], 60.0);
}

TEST(Morphs, OneMorphAndNoSpreadCarryTheWholeSex) {
    auto engine = std::make_unique<Engine>();
    Engine& e = *engine;
    e.nsexes = 2;
    e.nmorphs = 1;
    e.spread = {0.1, 0.2};
    build_morphs(e);
    EXPECT_EQ(e.morph_dev[0][0], 0.0);
    EXPECT_DOUBLE_EQ(e.morph_prop[1][0], 1.0);
    e.nmorphs = 3;
    e.spread = {0.0, 0.1};
    build_morphs(e);
    EXPECT_EQ(e.morph_prop[0][0], 1.0);
    EXPECT_EQ(e.morph_prop[0][2], 0.0);
    EXPECT_EQ(e.morph_dev[0][2], 0.0);
    // Three morphs of a positive spread: symmetric, adding to 1, the middle one the largest.
    EXPECT_NEAR(e.morph_dev[1][0], -0.2, 1e-15);
    EXPECT_NEAR(e.morph_dev[1][2], 0.2, 1e-15);
    EXPECT_NEAR(e.morph_prop[1][0], e.morph_prop[1][2], 1e-15);
    EXPECT_NEAR(e.morph_prop[1][0] + e.morph_prop[1][1] + e.morph_prop[1][2], 1.0, 1e-15);
    EXPECT_GT(e.morph_prop[1][1], e.morph_prop[1][0]);
}

TEST(Morphs, ASpreadIsRefusedJustWhereTheSmallestMorphLosesItsLength) {
    // Spreads a few units in the last place either side of n / (3 (n - 1)), where the smallest
    // morph's length factor, 1 plus its deviation, comes to 0: the reader takes just those that
    // leave the smallest morph of build_morphs a length.
    TempFolder folder;
    for (int n : {2, 3, 7, 40, 101}) {
        StockBiology bio = make_biology(3, n, 1, 1);
        const std::string text = biology_text(bio);
        const std::string spread_end = print_number(static_cast<float>(bio.lwb[0]), 7) +
                                       print_number(static_cast<float>(bio.cv[0]), 7) + "\r\n";
        const std::size_t at = text.find(spread_end);
        ASSERT_NE(at, std::string::npos);
        ASSERT_EQ(text.find(spread_end, at + 1), std::string::npos);
        double v = n / (3.0 * (n - 1));
        for (int i = 0; i < 8; ++i)
            v = std::nextafter(v, 0.0);
        bool taken = false;
        bool refused = false;
        for (int i = 0; i < 16; ++i, v = std::nextafter(v, 1.0)) {
            std::string with_v = text;
            with_v.replace(at, spread_end.size(),
                           print_number(static_cast<float>(bio.lwb[0]), 7) + print_number(v, 17) +
                               "\r\n");
            write_text(folder / "t.bio", with_v);
            auto morphs = std::make_unique<Engine>();
            morphs->nsexes = 1;
            morphs->nmorphs = n;
            morphs->spread = {v, 0.0};
            build_morphs(*morphs);
            const bool has_length = 1.0 + morphs->morph_dev[0][0] > 0.0;
            auto e = std::make_unique<Engine>();
            e->folder = folder.path();
            bool read = true;
            try {
                read_biology(*e, "t.bio");
            } catch (const InputError&) {
                read = false;
            }
            EXPECT_EQ(read, has_length) << n << " morphs, spread " << print_number(v, 17);
            (read ? taken : refused) = true;
        }
        EXPECT_TRUE(taken && refused) << n << " morphs";
    }
}

TEST(Growth, SeasonsCarryTheWeightAcrossTheYear) {
    TempFolder folder;
    std::ostringstream console;
    StockBiology bio = make_biology(10, 5, 2, 4);
    bio.szngro = {0.1, 0.4, 0.3, 0.2};
    bio.fyg[0] = {0.0, 0.0}; // no length yet in the first season
    bio.recruit_season = 2;
    auto e = ready_engine(folder, bio, blocks_with(bio, {2000}, {0.1}), console);
    for (int s = 0; s < 2; ++s)
        for (int g = 0; g < 5; ++g) {
            for (int a = 0; a < 10; ++a) {
                const GrowthCell& last = e->growth[e->cell(s, g, a, 3)];
                EXPECT_NEAR(last.w * std::exp(last.g), e->growth[e->cell(s, g, a + 1, 0)].w,
                            1e-12 * last.w)
                    << a;
            }
            for (int t = 0; t < 4; ++t) {
                EXPECT_EQ(e->growth[e->cell(s, g, 10, t)].g, 0.0);
                EXPECT_DOUBLE_EQ(e->growth[e->cell(s, g, 10, t)].w,
                                 e->growth[e->cell(s, g, 10, 0)].w);
            }
            EXPECT_EQ(e->growth[e->cell(s, g, 0, 0)].w, 0.0);
            EXPECT_EQ(e->growth[e->cell(s, g, 0, 0)].g, 0.0);
        }
    // Larger morphs are heavier.
    EXPECT_GT(e->growth[e->cell(1, 4, 5, 0)].w, e->growth[e->cell(1, 0, 5, 0)].w);
}

// Two sexes, five morphs, four seasons, three fisheries: the block of 2000 in force.
std::unique_ptr<Engine> engine_in_2000(const TempFolder& folder, std::ostream& console) {
    const StockBiology bio = make_biology(12, 5, 2, 4);
    auto e = ready_engine(folder, bio, make_blocks(bio, 2000, 1, 3, 1), console);
    e->years[1] = 2000;
    e->year_index = 1;
    read_management_year(*e);
    return e;
}

TEST(Projection, NoFishingGivesSprOne) {
    TempFolder folder;
    std::ostringstream console;
    auto e = engine_in_2000(folder, console);
    e->fmult = 0.0;
    project_population(*e, *e, *e, 1);
    EXPECT_NEAR(e->spr, 1.0, 1e-14);
    EXPECT_EQ(e->harvest_numbers, 0.0);
    e->fmult = 1.0;
    project_population(*e, *e, *e, 1);
    EXPECT_LT(e->spr, 1.0);
    EXPECT_GT(e->harvest_biomass, 0.0);
    EXPECT_GT(e->largest_total_f, 0.0);
}

TEST(Projection, EquilibriumWithoutRecruitsKeepsTheSprPerRecruit) {
    // Beverton-Holt with slope 5 gives no recruits below an SPR of 0.2: fishing hard enough,
    // the equilibrium has none, and its SPR is still that of one recruit.
    TempFolder folder;
    std::ostringstream console;
    auto e = engine_in_2000(folder, console);
    e->fmult = 20.0;
    project_population(*e, *e, *e, 1);
    const double per_recruit = e->spr;
    const auto eggs_per_recruit = e->eggs_per_recruit;
    ASSERT_GT(per_recruit, 0.0);
    ASSERT_LT(per_recruit, 0.2);
    e->target_flag = 0;
    find_equilibrium(*e, *e, *e);
    EXPECT_EQ(e->eq_recruits, 0.0);
    EXPECT_EQ(e->spr, per_recruit);
    EXPECT_EQ(e->eggs_per_recruit, eggs_per_recruit);
    EXPECT_EQ(e->total_eggs, 0.0);
    EXPECT_EQ(e->harvest_numbers, 0.0);
    EXPECT_EQ(progress_row_text(*e).substr(22, 7), fixed_field(per_recruit, 7, 5));
}

TEST(Projection, WithoutMortalityNothingDiesAndNothingIsCaught) {
    TempFolder folder;
    std::ostringstream console;
    StockBiology bio = simple_biology(3);
    for (auto& m : bio.natmort)
        m = {0.0, 0.0};
    auto e = ready_engine(folder, bio, blocks_with(bio, {2000}, {0.0}), console);
    e->years[1] = 2000;
    e->year_index = 1;
    ASSERT_TRUE(read_management_year(*e));
    e->fmult = 1.0;
    project_population(*e, *e, *e, 1);
    EXPECT_EQ(e->harvest_numbers, 0.0);
    for (int a = 0; a <= 3; ++a)
        EXPECT_EQ(e->spawners[a][0], 1.0) << a;
    // The mean biomass of a step is N W (exp(G) - 1) / G, and N W where the fish no longer grow.
    double biomass = 0.0;
    for (int a = 0; a <= 3; ++a) {
        const GrowthCell& g = e->growth[e->cell(0, 0, a, 0)];
        biomass += g.g == 0.0 ? g.w : g.w * std::expm1(g.g) / g.g;
    }
    EXPECT_EQ(e->growth[e->cell(0, 0, 3, 0)].g, 0.0);
    EXPECT_NEAR(e->total_biomass, biomass, 1e-12 * biomass);
}

TEST(Projection, SizeWindowAndLengthClassesSetTheStepsFishing) {
    auto engine = std::make_unique<Engine>();
    Engine& e = *engine;
    e.nsexes = 1;
    e.nmorphs = 1;
    e.nszns = 1;
    e.nages = 4;
    e.recruit_season = 1;
    e.lw_a = {1.0, 1.0};
    e.lw_b = {1.0, 1.0};
    e.size_tables();
    // Lengths over a season, one age each: from 10 to 20, 20 to 30, 30 to 40, 40 to 50, 50 to 60.
    for (int a = 0; a <= 4; ++a) {
        const std::size_t i = e.cell(0, 0, a, 0);
        e.growth[i].w = 10.0 * (a + 1);
        e.length_start[i] = 10.0 * (a + 1);
        e.length_end[i] = 10.0 * (a + 2);
    }
    e.ngear = 2;
    // By age, seen only above a minimum vulnerable size of 30, with a window of 25 to 45.
    e.sel_type[0] = 'A';
    e.min_vul_size[0] = 30.0;
    for (int a = 0; a <= 4; ++a)
        e.rate[0][0][a][0] = 1.0;
    e.lower_limit[0] = 25.0;
    e.upper_limit[0] = 45.0;
    e.discard_fraction[0] = 0.5;
    // By length: classes of 10 from 25, a mid-length below 25 is not fished, above 65 the last.
    e.sel_type[1] = 'L';
    e.class_count[1] = 3.0;
    e.class_lower[1] = 25.0;
    e.class_width[1] = 10.0;
    e.rate[1][0][0][0] = 0.01;
    e.rate[1][0][1][0] = 0.02;
    e.rate[1][0][2][0] = 0.04;
    e.lower_limit[1] = 0.0;
    e.upper_limit[1] = kNoUpperLimit;
    prepare_fishing(e, e, e);
    struct Expect {
        double retained;
        double total;
    };
    const Expect expected[] = {
        {0.0, 0.0},                // 10-20: too small for both
        {0.01, 0.01},              // 20-30: not above 30 for the first; mid 25 is the first class
        {1.02, 1.02},              // 30-40: wholly inside the window
        {0.54, 0.5 + 0.25 + 0.04}, // 40-50: half above 45 is released, a half of that dies
        {0.04, 0.5 + 0.04}, // 50-60: wholly above, discards only; mid 55 takes the last class
    };
    for (int a = 0; a <= 4; ++a) {
        EXPECT_NEAR(e.fishing[packed_cell(1, 4, 1, 0, 0, a, 0)].retained, expected[a].retained,
                    1e-15)
            << a;
        EXPECT_NEAR(e.fishing[packed_cell(1, 4, 1, 0, 0, a, 0)].total, expected[a].total, 1e-15)
            << a;
    }
    EXPECT_NEAR(e.max_step_f, 1.02, 1e-15);
    // A step without weight has no length: no fishery sees it.
    e.growth[e.cell(0, 0, 3, 0)].w = 0.0;
    prepare_fishing(e, e, e);
    EXPECT_EQ(e.fishing[packed_cell(1, 4, 1, 0, 0, 3, 0)].total, 0.0);
}

TEST(StockRecruitment, BevertonHoltSlopeFourHasTargetHalf) {
    auto engine = std::make_unique<Engine>();
    Engine& e = *engine;
    e.sr_code = kBevertonHoltCode;
    e.sr_slope = 4.0;
    e.tez_recruitment = 300.0;
    set_sr_parameters(e);
    EXPECT_DOUBLE_EQ(e.target_spr, 0.5);
    EXPECT_DOUBLE_EQ(e.sr_a, 0.5 / 300.0);
    EXPECT_DOUBLE_EQ(e.sr_b, 0.25);
    e.spr = 0.5;
    equilibrium_recruits(e, e);
    EXPECT_NEAR(e.eq_recruits, 300.0, 1e-12);
    e.spr = 0.2;
    equilibrium_recruits(e, e);
    EXPECT_EQ(e.eq_recruits, 0.0);
}

TEST(StockRecruitment, RickerFindsTheLargestSurplus) {
    for (double slope : {2.0, 5.0, 12.0}) {
        auto engine = std::make_unique<Engine>();
        Engine& e = *engine;
        e.sr_code = kRickerCode;
        e.sr_slope = slope;
        e.tez_recruitment = 40.0;
        set_sr_parameters(e);
        // The maximiser of slope * S * exp(-S) - S solves slope * exp(-S) * (1 - S) = 1.
        double s = 0.5;
        for (int i = 0; i < 60; ++i) {
            const double f = slope * std::exp(-s) * (1.0 - s) - 1.0;
            const double df = slope * std::exp(-s) * (s - 2.0);
            s -= f / df;
        }
        // Near the peak the surplus is flat to double precision within about 1e-8 of it.
        EXPECT_NEAR(e.ricker_s, s, 1e-7) << slope;
        EXPECT_NEAR(e.target_spr, std::exp(s) / slope, 1e-7) << slope;
        e.spr = e.target_spr;
        equilibrium_recruits(e, e);
        EXPECT_NEAR(e.eq_recruits, 40.0, 1e-11) << slope;
        // Spawning too little to replace itself: practically no recruits.
        e.spr = 0.9 / slope;
        equilibrium_recruits(e, e);
        EXPECT_LT(e.eq_recruits, 1e-8);
        EXPECT_GT(e.eq_recruits, 0.0);
    }
}

TEST(StockRecruitment, RickerSearchEndsWhenItsStepNoLongerMovesTheSearchPoint) {
    // Without the count of steps that do not improve (arithmetic wider than a double can see a
    // gain at every step), the search still ends, where the count would have ended it.
    for (double slope : {1.5, 2.0, 5.0, 12.0, 40.0, 1e6}) {
        const RickerPeak counted = ricker_peak(slope);
        const RickerPeak unbounded = ricker_peak(slope, std::numeric_limits<int>::max());
        EXPECT_EQ(unbounded.s, counted.s) << slope;
        EXPECT_EQ(unbounded.y, counted.y) << slope;
        EXPECT_EQ(unbounded.best, counted.best) << slope;
        EXPECT_LT(unbounded.steps, 100000) << slope;
    }
}

struct YearRun {
    std::unique_ptr<Engine> e;
    std::string console;
};

YearRun evaluate(const StockBiology& bio, const std::vector<ManagementBlock>& blocks, int year,
                 void (*adjust)(Engine&) = nullptr) {
    static TempFolder folder;
    std::ostringstream console;
    YearRun run;
    run.e = ready_engine(folder, bio, blocks, console);
    if (adjust) adjust(*run.e);
    run.e->nyears = 1;
    run.e->years[1] = year;
    run.e->year_index = 1;
    EXPECT_TRUE(read_management_year(*run.e));
    run.e->year = year;
    evaluate_year(*run.e, *run.e, *run.e);
    run.console = console.str();
    run.e->console_out = nullptr;
    return run;
}

TEST(YearSearch, TargetMetAtMultiplierOneNeedsNoPass) {
    const StockBiology bio = simple_biology();
    const auto blocks = blocks_with(bio, {2000}, {0.3});
    YearRun run = evaluate(bio, blocks, 2000, [](Engine& e) {
        // Make the target the SPR of multiplier 1.
        e.years[1] = 2000;
        e.year_index = 1;
        read_management_year(e);
        e.fmult = 1.0;
        project_population(e, e, e, 1);
        e.sr_slope = 1.0 / (e.spr * e.spr);
        set_sr_parameters(e);
    });
    EXPECT_TRUE(run.e->target_reached);
    EXPECT_EQ(run.e->target_passes, 0);
    const std::string row2 = run.console.substr(run.console.find("BIOMASS\n") + 8, 10);
    EXPECT_EQ(row2, "  0.10E+01");
}

TEST(YearSearch, NoFishingCannotReachTheTarget) {
    const StockBiology bio = simple_biology();
    YearRun run = evaluate(bio, blocks_with(bio, {2000}, {0.0}), 2000);
    EXPECT_FALSE(run.e->target_reached);
    EXPECT_EQ(run.console, " \n"
                           "         2000\n"
                           "   F mult     YOY       SPR        NUMBER       BIOMASS\n"
                           " -0.10E+01   0.0000   1.00000  0.000000E+00  0.000000E+00\n"
                           " \n");
    EXPECT_EQ(run.e->col[1].spr, run.e->spr);
    EXPECT_EQ(table_row_text(2000, run.e->bunfished, run.e->col[1]),
              "2000 0.000000E+00 0.000000E+00 0.000000E+00 0.000000E+00 "
              "0.000000E+00");
    const std::string report = year_report_text(*run.e, *run.e);
    const std::string tail = report.substr(report.find("    -------------------\r\n") + 25);
    const std::string b20(20, ' ');
    EXPECT_EQ(tail, "   YIELD IN NUMBERS        --" + b20 +
                        "0.0000E+00\r\n"
                        "   YIELD IN BIOMASS        --" +
                        b20 +
                        "0.0000E+00\r\n"
                        "   BIOMASS AT TEZ          --" +
                        b20 +
                        "0.0000E+00\r\n"
                        "   FECUNDITY AT TEZ        --" +
                        b20 +
                        "0.0000E+00\r\n"
                        "     F(biomass)            --" +
                        b20 +
                        "   0.0000\r\n"
                        "      RECRUITS             --" +
                        b20 +
                        "   0.0000\r\n"
                        "        SPR                --" +
                        b20 +
                        " 1.00000\r\n"
                        " \r\n"
                        " \r\n");
    const std::string dashes = "       --      --      ";
    EXPECT_NE(report.find("\r\n    0   0.0000" + dashes + dashes + "\r\n"), std::string::npos)
        << report;
}

TEST(YearSearch, UnmetTargetAfterThePassLimitIsReportedWithoutTarget) {
    const StockBiology bio = simple_biology();
    YearRun run = evaluate(bio, blocks_with(bio, {2000}, {0.3}), 2000,
                           [](Engine& e) { e.target_pass_bound = 2; });
    EXPECT_FALSE(run.e->target_reached);
    EXPECT_EQ(run.e->target_passes, 2);
    EXPECT_GT(run.e->bunfished, 0.0);
    EXPECT_EQ(run.e->col[1].yield_biomass, 0.0);
    // The row shows the yields per recruit of the search's last multiplier.
    Engine& e = *run.e;
    e.fmult = e.searched_fmult;
    project_population(e, e, e, 1);
    const std::string row =
        progress_row_text(-1.0, e.eq_recruits, e.spr, e.harvest_numbers, e.harvest_biomass);
    EXPECT_GT(e.harvest_numbers, 0.0);
    EXPECT_NE(run.console.find("\n" + row + "\n"), std::string::npos) << run.console << row;
    EXPECT_NE(year_report_text(*run.e, *run.e).find("  YIELD IN BIOMASS        --"),
              std::string::npos);
}

TEST(YearSearch, ClimbsOverAYieldThatNeverChangesEnd) {
    // Every fish is below the size limit: the fishery kills by discarding and lands nothing.
    const StockBiology bio = simple_biology();
    std::vector<ManagementBlock> blocks = blocks_with(bio, {2000}, {0.3});
    blocks[0].fisheries[0].lower_limit = 1000.0;
    blocks[0].fisheries[0].discard = 1.0;
    YearRun run = evaluate(bio, blocks, 2000);
    EXPECT_TRUE(run.e->target_reached);
    EXPECT_EQ(run.e->col[0].yield_numbers, 0.0);
    EXPECT_EQ(run.e->col[1].yield_biomass, 0.0);
}

TEST(Report, AllDeadAndUnreachedAgesHaveTheirOwnCells) {
    StockBiology bio = simple_biology(6);
    bio.natmort[4] = {2000.0, 2000.0}; // every fish of age 4 dies within the year
    YearRun run = evaluate(bio, blocks_with(bio, {2000}, {0.3}), 2000);
    ASSERT_TRUE(run.e->target_reached);
    EXPECT_EQ(run.e->col[0].f_at_age[4], 1e6);
    const std::string report = year_report_text(*run.e, *run.e);
    const std::string n4 = exp_field(run.e->col[0].numbers_at_age[4], 11, 3);
    EXPECT_NE(report.find("\r\n    4   " + fixed_field(run.e->col[1].f_at_age[4] / 1e6, 6, 4) +
                          std::string(13, ' ') + n4 + "  "),
              std::string::npos)
        << report;
    const std::string dashes = "       --      --      ";
    EXPECT_NE(report.find("\r\n    5   0.0000" + dashes + dashes + "\r\n"), std::string::npos)
        << report;
    // Column 1 has a yield: the result rows take their normal form.
    EXPECT_NE(
        report.find("\r\n  YIELD IN NUMBERS    " + exp_field(run.e->col[0].yield_numbers, 11, 4)),
        std::string::npos);
}

// One sex, one morph, one season and knife-edge selectivity: the equilibrium in closed form.
struct ClosedForm {
    const StockBiology& bio;
    double rate;
    int first_age;
    double a, b; // Beverton-Holt constants

    // A single-precision value of the file as it reads back.
    static double as_read(double v) {
        double out = 0.0;
        parse_real(trim_blanks(print_number(static_cast<float>(v), 7)), out);
        return out;
    }
    double weight(int age) const {
        const double len = as_read(age == 0 ? bio.fyg[0][0] : bio.meanlng[age][0]);
        return as_read(bio.lwa[0]) * std::pow(len, as_read(bio.lwb[0]));
    }
    double m(int age) const { return as_read(bio.natmort[age][0]); }
    double fec(int age) const { return as_read(bio.fec_by_age[age]); }
    // SPR, yield in numbers and in biomass per recruit at multiplier mult.
    void per_recruit(double mult, double& spr, double& yn, double& yb) const {
        double n = 1.0, eggs = 0.0, eggs0 = 0.0, l = 1.0;
        yn = yb = 0.0;
        for (int age = 0; age <= bio.nages; ++age) {
            const double f = age >= first_age ? rate * mult : 0.0;
            const double z = f + m(age);
            const double w0 = weight(age);
            const double w1 = age < bio.nages ? weight(age + 1) : w0;
            const double g = std::log(w1 / w0);
            if (age >= 1) {
                eggs += n * fec(age);
                eggs0 += l * fec(age);
            }
            yn += f / z * (1.0 - std::exp(-z)) * n;
            yb += f * n * w0 * (std::exp(g - z) - 1.0) / (g - z);
            n *= std::exp(-z);
            l *= std::exp(-m(age));
        }
        spr = eggs / eggs0;
    }
    double recruits(double spr) const { return std::max(0.0, (1.0 - b / spr) / a); }
    // The fishery of blocks_with: knife-edge from age 2; Beverton-Holt constants of the biology.
    static ClosedForm of_knife_edge_at_two(const StockBiology& bio, double rate) {
        const double q = 1.0 / bio.sr_slope;
        return ClosedForm{bio, rate, 2, (1.0 - std::sqrt(q)) / bio.tez_recruitment, q};
    }
};

TEST(ClosedFormCheck, SimpleStockMatchesTheEquilibriumWorkedByHand) {
    StockBiology bio = simple_biology(10);
    const double rate = 0.4f;
    YearRun run = evaluate(bio, blocks_with(bio, {2000}, {rate}), 2000);
    ASSERT_TRUE(run.e->target_reached);
    const ClosedForm cf = ClosedForm::of_knife_edge_at_two(bio, rate);
    const double q = cf.b;
    double spr, yn, yb;

    // The target SPR by bisection on the multiplier.
    double lo = 0.0, hi = 50.0;
    for (int i = 0; i < 200; ++i) {
        const double mid = 0.5 * (lo + hi);
        cf.per_recruit(mid, spr, yn, yb);
        (spr > std::sqrt(q) ? lo : hi) = mid;
    }
    const double f0 = 0.5 * (lo + hi);

    // The largest yield in numbers above F0, and in biomass below it, by golden section.
    const auto maximise = [&](double from, double to, bool numbers) {
        const double k = 0.5 * (std::sqrt(5.0) - 1.0);
        const auto value = [&](double mult) {
            cf.per_recruit(mult, spr, yn, yb);
            return cf.recruits(spr) * (numbers ? yn : yb);
        };
        for (int i = 0; i < 200; ++i) {
            const double x1 = to - k * (to - from), x2 = from + k * (to - from);
            (value(x1) < value(x2) ? from : to) = value(x1) < value(x2) ? x1 : x2;
        }
        return 0.5 * (from + to);
    };
    const double at_numbers = std::max(f0, maximise(f0, 20.0, true));
    const double at_biomass = std::min(f0, maximise(0.0, f0, false));

    cf.per_recruit(at_numbers, spr, yn, yb);
    const double r1 = cf.recruits(spr);
    EXPECT_NEAR(run.e->col[0].yield_numbers, r1 * yn, 1e-6 * r1 * yn);
    EXPECT_NEAR(run.e->col[0].apical_f, rate * at_numbers, 2e-3 * rate * at_numbers);
    EXPECT_NEAR(run.e->col[0].recruits, r1, 1e-3 * r1);

    cf.per_recruit(at_biomass, spr, yn, yb);
    const double r2 = cf.recruits(spr);
    EXPECT_NEAR(run.e->col[1].yield_biomass, r2 * yb, 1e-7 * r2 * yb);
    EXPECT_NEAR(run.e->col[1].apical_f, rate * at_biomass, 1e-3 * rate * at_biomass);
    EXPECT_NEAR(run.e->col[1].spr, spr, 1e-3);
    // The apparent F at a fully selected age is the fishing mortality itself.
    EXPECT_NEAR(run.e->col[1].f_at_age[5], run.e->col[1].apical_f, 1e-9);
    EXPECT_NEAR(run.e->col[1].f_at_age[1], 0.0, 1e-12);
}

// Where a climb never improves, it shrinks its step to the end: it must still stand on a largest
// yield within the search's tolerance, on the target's side of the multiplier, as the closed form
// shows. A steep relation puts the target far above the multiplier of the largest yield in
// numbers, a flat one far below that of the largest yield in biomass.
TEST(ClosedFormCheck, ClimbsThatNeverImproveStillEndOnALargestYield) {
    for (const double slope : {400.0, 1.3}) {
        SCOPED_TRACE(slope);
        StockBiology bio = simple_biology();
        bio.sr_slope = slope;
        const double rate = 0.3f;
        YearRun run = evaluate(bio, blocks_with(bio, {2000}, {rate}), 2000);
        ASSERT_TRUE(run.e->target_reached);
        const ClosedForm cf = ClosedForm::of_knife_edge_at_two(bio, rate);
        double spr, yn, yb;
        const auto yield_at = [&](double mult, bool numbers) {
            cf.per_recruit(mult, spr, yn, yb);
            return cf.recruits(spr) * (numbers ? yn : yb);
        };
        // The yields in numbers are sought above the target's multiplier, those in biomass below.
        const double at_target = run.e->searched_fmult;
        for (const bool numbers : {true, false}) {
            const auto& col = run.e->col[numbers ? 0 : 1];
            const double mult = col.apical_f / rate;
            const double yield = numbers ? col.yield_numbers : col.yield_biomass;
            EXPECT_NEAR(yield, yield_at(mult, numbers), 1e-9 * yield);
            for (const double near : {0.95 * mult, 0.99 * mult, 1.01 * mult, 1.05 * mult}) {
                if (numbers ? near < at_target : near > at_target) continue;
                EXPECT_GE(yield, yield_at(near, numbers) * (1.0 - 1e-5)) << near;
            }
        }
    }
}

} // namespace
} // namespace tez::testing
