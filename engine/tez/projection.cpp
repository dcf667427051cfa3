// The per-recruit projection of one year-class through every season of every age, and the
// stock-recruitment equilibrium built on it.
#include "engine.h"
#include "text_forms.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

#ifdef __SSE2__
#include <emmintrin.h>
#endif
#include <string>

namespace tez {

namespace {

struct StepSums {
    double numbers = 0.0;
    double biomass = 0.0;
    double stock = 0.0;
};

// What a projection works out. Every pass takes each step as the full one does and differs only
// in what it keeps.
enum class Pass {
    spawners,      // the spawners alone, for the SPR: the numbers of the last sex and no sum
    per_recruit,   // the spawners and every sum
    scaled,        // the spawners, every sum and the numbers at age
    numbers_yield, // the yield in numbers alone: a climb's trial step
    biomass_yield, // the yield in biomass alone: a climb's trial step
};

// Two quotients at once where the machine divides pairs (as fast as one alone), each rounded as
// its own division.
inline void divide_pair(double a, double b, double c, double d, double& ab, double& cd) {
#ifdef __SSE2__
    const __m128d q = _mm_div_pd(_mm_set_pd(c, a), _mm_set_pd(d, b));
    ab = _mm_cvtsd_f64(q);
    cd = _mm_cvtsd_f64(_mm_unpackhi_pd(q, q));
#else
    ab = b != 0.0 ? a / b : 0.0;
    cd = d != 0.0 ? c / d : 0.0;
#endif
}

// One season step of one morph from its numbers n at the step's start, with the step's growth,
// its fishing at multiplier 1 and its mortality at the multiplier: what the pass sums of it, and
// the numbers that survive it. The mean-biomass factor (exp(G - Z) - 1) / (G - Z), with its
// limit where growth and mortality cancel, is divided together with the catch. Every product and
// sum is taken in the same order in every pass, so what a pass keeps has the bits of the full
// pass.
template <Pass kPass>
[[gnu::always_inline]] inline double project_morph(const GrowthCell& gc, const FishingCell& fc,
                                                   double fmult, const YearState::Mortality& q,
                                                   double n, StepSums& sums) {
    constexpr bool kStock = kPass == Pass::per_recruit || kPass == Pass::scaled;
    constexpr bool kNumbers = kStock || kPass == Pass::numbers_yield;
    constexpr bool kBiomass = kStock || kPass == Pass::biomass_yield;
    if constexpr (kBiomass) {
        const double f_ret = fmult * fc.retained;
        const double catch_per_n = f_ret * (1.0 - q.survival);
        const double x = gc.g - q.z;
        if (n <= kNumbersFloor) n = 0.0;
        double mean = 0.0;
        double caught = 0.0;
        divide_pair(gc.exp_g * q.survival - 1.0, x, catch_per_n * n, q.z, mean, caught);
        if (std::fabs(x) < 1e-5) mean = 1.0 + x * (0.5 + x / 6.0);
        const double b = n * gc.w * mean;
        if constexpr (kStock) sums.stock += b;
        if (q.z > 0.0) {
            if constexpr (kNumbers) sums.numbers += caught;
            sums.biomass += b * f_ret;
        }
    } else if constexpr (kNumbers) {
        const double f_ret = fmult * fc.retained;
        if (n <= kNumbersFloor) n = 0.0;
        if (q.z > 0.0) sums.numbers += f_ret * (1.0 - q.survival) * n / q.z;
    } else {
        if (n <= kNumbersFloor) n = 0.0;
    }
    const double next = n * q.survival;
    return next < kNumbersFloor ? 0.0 : next;
}

// One projection of the recruits used through every step. The survivals are worked out at the
// first step of each mortality since the stamp changed. Each pass is kept out of line: inlined
// into its caller next to the others, the full pass ran slower.
template <Pass kPass>
[[gnu::noinline]] void project_pass(const RunData& d, YearState& w, long stamp) {
    constexpr bool kSpawnersOnly = kPass == Pass::spawners;
    constexpr bool kRecord = kSpawnersOnly || kPass == Pass::per_recruit || kPass == Pass::scaled;
    constexpr bool kAccum = kPass == Pass::scaled;
    StepSums sums;
    const double fmult = w.fmult;
    const int last_sex = d.nsexes - 1;
    const int spawn_t = d.spawn_season - 1;
    const int recruit_t = d.recruit_season - 1;
    const int z = d.nszns;
    // The spawners are of the last sex alone.
    for (int s = kSpawnersOnly ? last_sex : 0; s < d.nsexes; ++s) {
        const bool record = kSpawnersOnly || s == last_sex;
        for (int g = 0; g < d.nmorphs; ++g) {
            double n = w.recruits_used * d.morph_prop[s][g] / d.nsexes;
            for (int a = 0; a <= d.nages && n > 0.0; ++a) {
                const std::size_t base = d.cell(s, g, a, 0);
                const GrowthCell* growth = &d.growth[base];
                const FishingCell* fishing = &w.fishing[base];
                const std::uint32_t* id = &w.mortality_id[base];
                double* accum = w.accum[s][a].data();
                for (int t = a == 0 ? recruit_t : 0; t < z; ++t) {
                    if constexpr (kRecord) {
                        if (record && t == spawn_t) w.spawners[a][g] = n;
                    }
                    if constexpr (kAccum) accum[t] += n;
                    YearState::Mortality& q = w.mortalities[id[t]];
                    if (q.stamp != stamp) {
                        q.stamp = stamp;
                        q.z = fmult * q.total + q.m;
                        q.survival = std::exp(-q.z);
                    }
                    n = project_morph<kPass>(growth[t], fishing[t], fmult, q, n, sums);
                }
            }
            if constexpr (kAccum) w.accum[s][d.nages + 1][0] += n;
        }
    }
    if constexpr (!kSpawnersOnly) {
        w.harvest_numbers = sums.numbers;
        w.harvest_biomass = sums.biomass;
        w.total_biomass = sums.stock / z;
    }
}

// A projection at another multiplier or block than the last works its survivals out afresh.
void project_all(const RunData& d, const Block& b, YearState& w, Pass pass) {
    const double fmult = w.fmult;
    const bool reuse =
        w.factors_valid && w.factors_serial == b.serial &&
        std::bit_cast<std::uint64_t>(w.factors_fmult) == std::bit_cast<std::uint64_t>(fmult);
    if (!reuse) {
        w.factors_valid = true;
        w.factors_serial = b.serial;
        w.factors_fmult = fmult;
        ++w.mortality_stamp;
    }
    const long stamp = w.mortality_stamp;
    switch (pass) {
    case Pass::spawners:
        project_pass<Pass::spawners>(d, w, stamp);
        break;
    case Pass::per_recruit:
        project_pass<Pass::per_recruit>(d, w, stamp);
        break;
    case Pass::scaled:
        project_pass<Pass::scaled>(d, w, stamp);
        break;
    case Pass::numbers_yield:
        project_pass<Pass::numbers_yield>(d, w, stamp);
        break;
    case Pass::biomass_yield:
        project_pass<Pass::biomass_yield>(d, w, stamp);
        break;
    }
}

} // namespace

void project_population(const RunData& d, const Block& b, YearState& w, int mode, bool totals) {
    if (w.fishing_serial != b.serial) prepare_fishing(d, b, w);
    w.largest_total_f = w.fmult >= 0.0 ? w.fmult * w.max_step_f : w.fmult * w.min_step_f;
    // Only the sexes, ages and seasons of the definition are ever read.
    for (int s = 0; s < d.nsexes; ++s)
        for (int a = 0; a <= d.nages + 1; ++a)
            std::fill_n(w.accum[s][a].begin(), d.nszns, 0.0);
    for (int a = 0; a <= d.nages; ++a)
        std::fill_n(w.spawners[a].begin(), d.nmorphs, 0.0);
    if (mode == 1)
        w.recruits_used = 1.0;
    else if (mode == 2)
        w.recruits_used = w.eq_recruits;
    project_all(d, b, w, mode == 2 ? Pass::scaled : totals ? Pass::per_recruit : Pass::spawners);
    sum_stock_totals(d, w);
}

void sum_stock_totals(const RunData& d, YearState& w) {
    w.total_eggs = 0.0;
    double epr = 0.0;
    for (int a = 0; a <= d.nages; ++a) {
        double eggs = 0.0;
        for (int g = 0; g < d.nmorphs; ++g)
            eggs += d.spawner_fecundity[a][g] * w.spawners[a][g];
        // With the sexes combined only the female half spawns.
        if (d.nsexes == 1) eggs *= 0.5;
        w.eggs[a] = eggs;
        w.total_eggs += eggs;
        // Without recruits the values per recruit stay those of the projection before.
        if (w.recruits_used > 0.0) w.eggs_per_recruit[a] = eggs / w.recruits_used;
        epr += w.eggs_per_recruit[a];
    }
    w.spr = epr / d.spr0;
}

namespace {

// A relation whose target SPR or unfished recruits are not finite numbers would give every year
// results that mean nothing; it is refused before any year is evaluated.
void check_sr_target(const RunData& e) {
    const auto refuse = [&](const std::string& why) {
        throw InputError("Error reading " + std::string(trim_blanks(e.biology_name)) +
                         ": the stock-recruitment slope " + shortest_text(e.sr_slope) +
                         " gives no target: " + why);
    };
    if (!std::isfinite(e.target_spr) || !(e.target_spr > 0.0))
        refuse("the target SPR is " + shortest_text(e.target_spr));
    if (!std::isfinite(e.sr_a) || !std::isfinite(e.sr_b))
        refuse("the relation's constants are a = " + shortest_text(e.sr_a) +
               ", b = " + shortest_text(e.sr_b));
    double unfished = 0.0;
    if (e.sr_code == e.ricker_code) {
        const double s = std::log(e.sr_a) / e.sr_b;
        unfished = e.sr_a * s * std::exp(-e.sr_b * s);
    } else {
        unfished = (1.0 - e.sr_b) / e.sr_a;
    }
    if (!std::isfinite(unfished))
        refuse("the recruits of the unfished stock are " + shortest_text(unfished));
}

} // namespace

void unfished_per_recruit(Engine& e) {
    const int ls = e.nsexes - 1;
    e.spr0 = 0.0;
    for (int g = 0; g < e.nmorphs; ++g) {
        double l = 0.5 * e.morph_prop[ls][g];
        for (int t = e.recruit_season - 1; t < e.nszns; ++t)
            l *= std::exp(-e.m_season[ls][0]);
        for (int a = 1; a <= e.nages; ++a) {
            for (int t = 0; t < e.nszns; ++t) {
                if (t == e.spawn_season - 1) e.spr0 += l * e.spawner_fecundity[a][g];
                l *= std::exp(-e.m_season[ls][a]);
            }
        }
    }
    // Every SPR is relative to this; without spawners of age 1 or more it means nothing.
    if (!(e.spr0 > 0.0))
        stop_run(e,
                 "No spawning output per recruit without fishing: check the fecundity in " +
                     std::string(trim_blanks(e.biology_name)),
                 kExitInputError);
    if (!std::isfinite(e.spr0))
        stop_run(e,
                 "The spawning output per recruit without fishing is not a finite number: check "
                 "the fecundity in " +
                     std::string(trim_blanks(e.biology_name)),
                 kExitInputError);
    if (e.sr_code > 2) {
        set_sr_parameters(e);
        check_sr_target(e);
    }
}

RickerPeak ricker_peak(double slope, int misses) {
    RickerPeak p;
    double h = kRickerStep;
    double s = 0.0;
    double best = 0.0;
    double y = 0.0;
    int counter = 1;
    for (;;) {
        ++p.steps;
        const double from = s;
        s += h;
        y = slope * s * std::exp(-s);
        if (y - s > best) {
            best = y - s;
            // Arithmetic wider than a double can see a gain where S stands still.
            if (s == from) break;
            continue;
        }
        if (++counter == misses) break;
        // Neither this step nor the step back moves S: every later pass would give the same.
        if (s == from && s - 2.0 * h == s) break;
        // Back to the last point below the peak, with a finer step, compared from there.
        s -= 2.0 * h;
        h *= kRickerShrink;
        best = slope * s * std::exp(-s) - s;
    }
    p.s = s;
    p.y = y;
    p.best = best;
    return p;
}

void set_sr_parameters(RunData& e) {
    if (e.sr_code == e.ricker_code) {
        e.sr_a = e.sr_slope;
        const RickerPeak p = ricker_peak(e.sr_slope);
        e.ricker_s = p.s;
        e.ricker_best = p.best;
        e.target_spr = p.s / p.y;
        e.sr_b = std::log(e.sr_a * e.target_spr) / (e.tez_recruitment * e.target_spr);
    } else if (e.sr_code == e.beverton_holt_code) {
        const double q = 1.0 / e.sr_slope;
        e.sr_a = (1.0 - std::sqrt(q)) / e.tez_recruitment;
        e.sr_b = q;
        e.target_spr = (std::sqrt(q) - q) / (e.sr_a * e.tez_recruitment);
    }
}

void equilibrium_recruits(const RunData& d, YearState& w) {
    if (d.sr_code == d.ricker_code) {
        double s = std::log(d.sr_a * w.spr) / d.sr_b;
        if (!(s > 0.0)) s = kRickerFloor;
        w.eq_recruits = d.sr_a * s * std::exp(-d.sr_b * s);
    } else if (d.sr_code == d.beverton_holt_code) {
        const double r = (1.0 - d.sr_b / w.spr) / d.sr_a;
        w.eq_recruits = r < 0.0 ? 0.0 : r;
    }
}

namespace {

bool same_bits(double x, double y) {
    return std::bit_cast<std::uint64_t>(x) == std::bit_cast<std::uint64_t>(y);
}

// The part of the numbers at age that the definition uses, kept or put back.
template <typename Copy> void each_accum_row(const RunData& d, YearState& w, Copy copy) {
    std::size_t k = 0;
    for (int s = 0; s < d.nsexes; ++s)
        for (int a = 0; a <= d.nages + 1; ++a, k += static_cast<std::size_t>(d.nszns))
            copy(w.accum[s][a].data(), k);
}

bool recall_equilibrium(const RunData& d, const Block& b, YearState& w) {
    for (const YearState::Equilibrium& q : w.equilibria) {
        if (q.serial != b.serial || !same_bits(q.fmult, w.fmult)) continue;
        static_cast<ProjectionTotals&>(w) = q.totals;
        each_accum_row(d, w, [&](double* row, std::size_t k) {
            std::copy_n(q.accum.begin() + static_cast<std::ptrdiff_t>(k), d.nszns, row);
        });
        return true;
    }
    return false;
}

void remember_equilibrium(const RunData& d, const Block& b, YearState& w) {
    if (w.equilibria.size() < kRememberedEquilibria) w.equilibria.emplace_back();
    YearState::Equilibrium& q = w.equilibria[w.next_equilibrium++ % kRememberedEquilibria];
    q.fmult = w.fmult;
    q.serial = b.serial;
    q.totals = w;
    q.accum.resize(static_cast<std::size_t>(d.nsexes) * (d.nages + 2) * d.nszns);
    each_accum_row(d, w, [&](const double* row, std::size_t k) {
        std::copy_n(row, d.nszns, q.accum.begin() + static_cast<std::ptrdiff_t>(k));
    });
}

// A climb's trial step needs only the yield it compares: the scaled pass leaves the numbers at
// age and the spawners as they were, gives the sums it does not work out as 0, and the stock
// totals are not summed.
void project_yield(const RunData& d, const Block& b, YearState& w, Compared only) {
    w.recruits_used = w.eq_recruits;
    project_all(d, b, w,
                only == Compared::numbers_yield ? Pass::numbers_yield : Pass::biomass_yield);
}

} // namespace

void find_equilibrium(const RunData& d, const Block& b, YearState& w, Compared only) {
    // Only the full equilibrium is remembered; the target search projects per recruit alone.
    if (w.target_flag != 1 && recall_equilibrium(d, b, w)) return;
    // The scaled projection that follows gives the yields and the biomass; the target search
    // needs the SPR alone.
    project_population(d, b, w, 1, false);
    if (w.target_flag == 1) {
        w.searched_fmult = w.fmult;
        return;
    }
    equilibrium_recruits(d, w);
    if (only != Compared::everything) {
        // The per-recruit pass has just prepared this block's fishing and the largest F.
        project_yield(d, b, w, only);
        return;
    }
    project_population(d, b, w, 2);
    remember_equilibrium(d, b, w);
}

} // namespace tez
