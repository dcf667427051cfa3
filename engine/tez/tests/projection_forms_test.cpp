// The projection's shorter passes against the full pass: the spawners alone, the scaled pass and
// a climb's trial steps must give the bits that the full per-recruit pass gives for what they
// work out, on seeded random stocks, fisheries, multipliers and recruitments.
#include "engine_fixture.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <sstream>
#include <string>

namespace tez::testing {
namespace {

using Random = std::mt19937_64;

double uniform(Random& rng, double low, double high) {
    return std::uniform_real_distribution<double>(low, high)(rng);
}

int between(Random& rng, int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(rng);
}

bool chance(Random& rng, double p) {
    return std::bernoulli_distribution(p)(rng);
}

// A stock of random size, spreads, seasons, natural mortality (0 at some ages, so that some steps
// have no mortality at all) and relation.
StockBiology random_biology(Random& rng) {
    StockBiology b = make_biology(between(rng, 3, 14), between(rng, 1, 9), between(rng, 1, 2),
                                  between(rng, 1, 4));
    for (double& v : b.cv)
        v = chance(rng, 0.2) ? 0.0 : uniform(rng, 0.02, 0.25);
    b.spawn_season = between(rng, 1, b.nszns);
    b.recruit_season = between(rng, 1, b.nszns);
    for (auto& m : b.natmort)
        for (double& v : m)
            v = chance(rng, 0.15) ? 0.0 : uniform(rng, 0.05, 0.8);
    b.sr_code = chance(rng, 0.5) ? 3 : 4;
    b.sr_slope = uniform(rng, 1.5, 8.0);
    return b;
}

// Fisheries by age with random rates (none at some steps), size windows and discard fractions,
// so that steps keep all, some or none of their fishing mortality.
std::vector<ManagementBlock> random_blocks(Random& rng, const StockBiology& bio) {
    ManagementBlock blk;
    blk.year = 2000;
    const int fisheries = between(rng, 1, 3);
    for (int k = 0; k < fisheries; ++k) {
        FisheryData f;
        f.type = "A";
        for (int s = 0; s < bio.nsexes; ++s)
            for (int a = 0; a <= bio.nages; ++a)
                for (int t = 0; t < bio.nszns; ++t)
                    f.rates.push_back(chance(rng, 0.2) ? 0.0 : uniform(rng, 0.0, 0.4));
        f.lower_limit = chance(rng, 0.5) ? 0.0 : uniform(rng, 5.0, 40.0);
        f.upper_limit = chance(rng, 0.5) ? 0.0 : uniform(rng, 50.0, 90.0);
        f.discard = uniform(rng, 0.0, 1.0);
        blk.fisheries.push_back(f);
    }
    return {blk};
}

double random_multiplier(Random& rng) {
    switch (between(rng, 0, 5)) {
    case 0:
        return 0.0;
    case 1:
        return uniform(rng, -0.3, 0.0);
    case 2:
        return kExtremeMultiplier;
    case 3:
        return std::pow(10.0, uniform(rng, 1.0, 3.0));
    default:
        return uniform(rng, 0.0, 4.0);
    }
}

bool same_bits(double x, double y) {
    return std::bit_cast<std::uint64_t>(x) == std::bit_cast<std::uint64_t>(y);
}

// The values that two passes must share; a difference names the value and the state.
struct Comparison {
    const RunData& d;
    std::string where;
    void value(const char* name, double full, double other) const {
        EXPECT_PRED2(same_bits, full, other) << name << " of " << where;
    }
    void spawners(const YearState& full, const YearState& other) const {
        for (int a = 0; a <= d.nages; ++a)
            for (int g = 0; g < d.nmorphs; ++g)
                if (!same_bits(full.spawners[a][g], other.spawners[a][g])) {
                    ADD_FAILURE() << "spawners at age " << a << ", morph " << g << " of " << where
                                  << ": " << full.spawners[a][g] << " and " << other.spawners[a][g];
                    return;
                }
        value("total eggs", full.total_eggs, other.total_eggs);
        // Without recruits the values per recruit are those of the projection before.
        if (!(full.recruits_used > 0.0)) return;
        value("SPR", full.spr, other.spr);
        for (int a = 0; a <= d.nages; ++a)
            value("eggs per recruit", full.eggs_per_recruit[a], other.eggs_per_recruit[a]);
    }
    void yields(const YearState& full, const YearState& other) const {
        value("harvest in numbers", full.harvest_numbers, other.harvest_numbers);
        value("harvest in biomass", full.harvest_biomass, other.harvest_biomass);
        value("total biomass", full.total_biomass, other.total_biomass);
        value("largest total F", full.largest_total_f, other.largest_total_f);
    }
};

// A state that has projected at this multiplier before, with far fewer recruits whose morphs
// reached fewer ages: a pass after it takes again what that one worked out, and must not differ.
void project_before(const RunData& d, const Block& b, YearState& w, double recruits) {
    w.recruits_used = recruits * 1e-30;
    project_population(d, b, w, 0, true);
}

TEST(ProjectionForms, EveryShorterPassGivesTheBitsOfTheFullPass) {
    Random rng(20260611);
    std::ostringstream console;
    int tiny_cases = 0;
    for (int stock = 0; stock < 40; ++stock) {
        TempFolder folder;
        const StockBiology bio = random_biology(rng);
        auto e = ready_engine(folder, bio, random_blocks(rng, bio), console);
        e->years[1] = 2000;
        e->year_index = 1;
        ASSERT_TRUE(read_management_year(*e));
        const Block& b = *e;
        for (int trial = 0; trial < 6; ++trial) {
            RunData d = *e;
            // A stock near its end: recruits at the numbers floor, where every step's floor
            // decides what is caught.
            const bool tiny = chance(rng, 0.4);
            if (tiny) {
                const double scale = std::pow(10.0, uniform(rng, 38.0, 44.0));
                (d.sr_code == d.ricker_code ? d.sr_b : d.sr_a) *= scale;
            }
            // Morphs of the far tail, with numbers below the floor from the start.
            if (chance(rng, 0.3))
                for (int s = 0; s < d.nsexes; ++s)
                    for (int g = 0; g < d.nmorphs; ++g)
                        if (chance(rng, 0.3))
                            d.morph_prop[s][g] = std::pow(10.0, uniform(rng, -40, -30));
            YearState start = *e;
            start.fmult = random_multiplier(rng);
            start.target_flag = 0;
            std::ostringstream where;
            where << "stock " << stock << ", trial " << trial << " (" << d.nages << " ages, "
                  << d.nmorphs << " morphs, " << d.nsexes << " sexes, " << d.nszns
                  << " seasons, multiplier " << start.fmult << ")";

            // The equilibrium in full, and the trial steps of the two climbs.
            YearState equilibrium = start;
            find_equilibrium(d, b, equilibrium);
            const double recruits = equilibrium.eq_recruits;
            if (tiny && recruits > 0.0 && recruits < 1e-33) ++tiny_cases;
            where << ", recruits " << recruits;
            const Comparison check{d, where.str()};
            YearState by_numbers = start;
            find_equilibrium(d, b, by_numbers, Compared::numbers_yield);
            check.value("trial harvest in numbers", equilibrium.harvest_numbers,
                        by_numbers.harvest_numbers);
            YearState by_biomass = start;
            if (chance(rng, 0.5)) project_before(d, b, by_biomass, recruits);
            find_equilibrium(d, b, by_biomass, Compared::biomass_yield);
            check.value("trial harvest in biomass", equilibrium.harvest_biomass,
                        by_biomass.harvest_biomass);

            // The full pass at the equilibrium's recruits (a mode that keeps them).
            YearState full = start;
            full.recruits_used = recruits;
            project_population(d, b, full, 0, true);
            check.spawners(full, equilibrium);
            check.yields(full, equilibrium);

            // The same after a projection that reached fewer ages.
            YearState again = start;
            project_before(d, b, again, recruits);
            again.recruits_used = recruits;
            project_population(d, b, again, 0, true);
            check.spawners(full, again);
            check.yields(full, again);

            // The spawners alone, at those recruits and per recruit.
            YearState spawners = start;
            spawners.recruits_used = recruits;
            project_population(d, b, spawners, 0, false);
            check.spawners(full, spawners);
            YearState per_recruit = start;
            project_population(d, b, per_recruit, 1, true);
            YearState spawners_per_recruit = start;
            if (chance(rng, 0.5)) project_before(d, b, spawners_per_recruit, 1.0);
            project_population(d, b, spawners_per_recruit, 1, false);
            check.spawners(per_recruit, spawners_per_recruit);

            if (::testing::Test::HasFailure()) return;
        }
    }
    // The floors are met at all only where the recruits are near them.
    EXPECT_GE(tiny_cases, 20);
}

TEST(ProjectionForms, NumbersAtTheFloorCountAsNone) {
    // One sex and one morph that carries every recruit, no natural mortality, fishing at every
    // age. Recruits at the floor are none: without fishing (every survival 1) no spawners are
    // left after the first step, and with fishing nothing is caught. Just above the floor they
    // live on and are caught.
    TempFolder folder;
    std::ostringstream console;
    StockBiology bio = make_biology(4, 1, 1, 1);
    bio.cv = {0.0, 0.0};
    for (auto& m : bio.natmort)
        m = {0.0, 0.0};
    ManagementBlock blk;
    blk.year = 2000;
    blk.fisheries.push_back(knife_edge_fishery(bio, 0, 0.3));
    auto e = ready_engine(folder, bio, {blk}, console);
    e->years[1] = 2000;
    e->year_index = 1;
    ASSERT_TRUE(read_management_year(*e));
    const double above = std::nextafter(kNumbersFloor, 1.0);
    for (const double recruits : {kNumbersFloor, above}) {
        const bool none = recruits == kNumbersFloor;
        for (const double fmult : {0.0, 1.0}) {
            const auto project = [&](int mode, bool totals) {
                YearState w = *e;
                w.fmult = fmult;
                w.recruits_used = recruits;
                w.eq_recruits = recruits;
                project_population(*e, *e, w, mode, totals);
                return w;
            };
            const YearState passes[] = {project(0, true), project(2, true), project(0, false)};
            for (const YearState& w : passes) {
                const std::string where = std::string(none ? "at" : "above") +
                                          " the floor, multiplier " + std::to_string(fmult);
                EXPECT_EQ(w.spawners[0][0], recruits) << where;
                for (int a = 1; a <= bio.nages; ++a)
                    EXPECT_EQ(w.spawners[a][0], none || fmult > 0.0 ? 0.0 : recruits)
                        << where << ", age " << a;
            }
            for (int i = 0; i < 2; ++i) {
                EXPECT_EQ(passes[i].harvest_numbers > 0.0, !none && fmult > 0.0) << i;
                EXPECT_EQ(passes[i].harvest_biomass > 0.0, !none && fmult > 0.0) << i;
                EXPECT_EQ(passes[i].total_biomass > 0.0, !none) << i;
            }
        }
    }
}

} // namespace
} // namespace tez::testing
