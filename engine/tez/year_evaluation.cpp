// One listed year: the multiplier of the target SPR, then the climbs to the largest yield in
// numbers and in biomass.
#include "engine.h"
#include "text_forms.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <string>

namespace tez {

namespace {

void store_column(const RunData& d, YearState& e, int column) {
    ResultColumn& c = e.col[column - 1];
    c.apical_f = d.nszns * e.largest_total_f;
    c.spr = e.spr;
    c.yield_numbers = e.harvest_numbers;
    c.yield_biomass = e.harvest_biomass;
    c.recruits = e.eq_recruits;
    c.spawning_output = e.total_eggs;
    c.total_biomass = e.total_biomass;
    c.f_biomass = e.total_biomass > 0.0 ? e.harvest_biomass / e.total_biomass : 0.0;
    derive_f_at_age(d, e, column);
}

// The year has no multiplier of the target: its column 2 keeps the SPR at extreme fishing and a
// yield of 0, which the report shows in its "--" form. A search that gave up says why.
void report_no_target(YearState& e, double spr_extreme, const std::string& why = {}) {
    e.col[1].spr = std::isfinite(spr_extreme) ? spr_extreme : 0.0;
    e.col[1].yield_biomass = 0.0;
    e.fmult = -1.0;
    e.target_reached = false;
    if (!why.empty())
        *e.console_out << free_record("No target was found for year " + std::to_string(e.year) +
                                      ": " + why)
                       << '\n';
    write_progress_row(e);
    *e.console_out << free_record("") << '\n';
}

// Everything the next pass of the target search depends on: when it comes back, the search
// goes round for ever.
struct SearchState {
    int n = 0;
    std::array<double, 11> spr{};
    std::array<double, 11> mult{};
    double fmult = 0.0;
    double bracket = 0.0;
    bool moved_down = false;

    static SearchState of(const YearState& e, bool moved_down) {
        return {e.npoints, e.point_spr, e.point_mult, e.fmult, e.bracket, moved_down};
    }
    bool operator==(const SearchState& o) const {
        const auto same = [](double x, double y) {
            return std::bit_cast<std::uint64_t>(x) == std::bit_cast<std::uint64_t>(y);
        };
        if (n != o.n || moved_down != o.moved_down || !same(fmult, o.fmult) ||
            !same(bracket, o.bracket))
            return false;
        for (int i = 1; i <= n; ++i)
            if (!same(spr[i], o.spr[i]) || !same(mult[i], o.mult[i])) return false;
        return true;
    }
};

std::string passes_text(int n) {
    return std::to_string(n) + (n == 1 ? " pass" : " passes");
}

// Climbs from the multiplier in force while the yield does not fall, shrinking the step after
// each fall, until the step is no longer above `end`. Ends evaluated at the best point. A step
// that cannot be the last works out only the yield it compares: the next step needs nothing
// else, and the point the climb ends at is evaluated in full.
void climb(const RunData& d, const Block& b, YearState& e, double direction, bool by_numbers,
           double end) {
    const auto yield = [&] { return by_numbers ? e.harvest_numbers : e.harvest_biomass; };
    double& best = by_numbers ? e.best_numbers : e.best_biomass;
    const Compared trial = by_numbers ? Compared::numbers_yield : Compared::biomass_yield;
    e.step = kClimbStart;
    for (int steps = 1;; ++steps) {
        const double keep = e.fmult;
        // A step that keeps its point leaves the step as it is, so it ends the climb only here.
        const bool last_if_kept = !(e.step > end) || steps >= kMaxClimbSteps;
        e.fmult = e.fmult + direction * e.step * e.fmult;
        find_equilibrium(d, b, e, last_if_kept ? Compared::everything : trial);
        if (yield() >= best) {
            best = yield();
        } else {
            e.fmult = keep;
            e.step = e.step * kClimbShrink;
            if (!(e.step > end) || steps >= kMaxClimbSteps) {
                find_equilibrium(d, b, e);
                break;
            }
            continue;
        }
        if (last_if_kept) break;
    }
}

} // namespace

void linear_regression(const double* x, const double* y, int n, double& slope, double& intercept) {
    double mx = 0.0;
    double my = 0.0;
    for (int i = 0; i < n; ++i) {
        mx += x[i];
        my += y[i];
    }
    mx /= n;
    my /= n;
    double sxx = 0.0;
    double sxy = 0.0;
    for (int i = 0; i < n; ++i) {
        sxx += (x[i] - mx) * (x[i] - mx);
        sxy += (x[i] - mx) * (y[i] - my);
    }
    slope = sxx != 0.0 ? sxy / sxx : 0.0;
    intercept = my - slope * mx;
}

void evaluate_year(const RunData& d, const Block& b, YearState& e) {
    e.col = {};
    e.no_target_at_extreme = false;
    e.equilibria.clear();
    e.next_equilibrium = 0;
    write_progress_header(e);
    e.spr = 0.0;
    e.best_numbers = 0.0;
    e.best_biomass = 0.0;
    e.bracket = 0.5;
    e.step = kClimbStart;
    e.target_passes = 0;
    e.target_reached = false;
    e.target_given_up = false;

    e.fmult = kExtremeMultiplier;
    project_population(d, b, e, 1);
    const double spr_extreme = e.spr;
    const double target = d.target_spr;

    if (!std::isfinite(target)) {
        e.no_target_at_extreme = true;
        e.target_given_up = true;
        report_no_target(e, spr_extreme,
                         "the target SPR is " + shortest_text(target) + ", not a finite number");
    } else if (!std::isfinite(spr_extreme)) {
        e.no_target_at_extreme = true;
        e.target_given_up = true;
        report_no_target(e, spr_extreme,
                         "the SPR at extreme fishing is " + shortest_text(spr_extreme) +
                             ", not a finite number");
    } else if (spr_extreme > target) {
        e.no_target_at_extreme = true;
        report_no_target(e, spr_extreme);
    } else {
        e.fmult = 0.0;
        e.target_flag = 0;
        find_equilibrium(d, b, e);
        e.bunfished = e.total_biomass;

        e.target_flag = 1;
        e.fmult = 1.0;
        find_equilibrium(d, b, e);
        e.npoints = 1;
        e.point_spr[1] = e.spr;
        e.point_mult[1] = 1.0;
        bool moved_down = false;
        // Why the search gave up; empty when it met the tolerance. A search is cut only when it
        // meets a value that is not finite, comes back to a state it was in (it stopped moving or
        // goes round a cycle), or runs past a bound far above any search that converges.
        std::string why;
        const auto where = [&] {
            return " (SPR " + shortest_text(e.spr) + " at multiplier " +
                   shortest_text(e.searched_fmult) + ", target " + shortest_text(target) + ")";
        };
        // Brent's cycle finding: the state is kept at passes that are powers of two.
        SearchState kept = SearchState::of(e, moved_down);
        int kept_at = 0;
        int power = 1;
        if (!std::isfinite(e.spr))
            why = "the SPR at multiplier 1 is " + shortest_text(e.spr) + ", not a finite number";
        while (why.empty() && std::fabs((target - e.spr) / target) > kTargetTolerance) {
            if (e.target_passes >= d.target_pass_bound) {
                why = "the search did not meet the tolerance in " + passes_text(e.target_passes) +
                      where();
                break;
            }
            ++e.target_passes;
            int& n = e.npoints;
            if (n < 3) {
                moved_down = !(e.spr > target);
                e.fmult += moved_down ? -e.bracket : e.bracket;
            }
            find_equilibrium(d, b, e);
            if (!std::isfinite(e.spr)) {
                why = "the SPR at multiplier " + shortest_text(e.fmult) + " is " +
                      shortest_text(e.spr) + ", not a finite number";
                break;
            }
            if (n > 1) {
                for (int i = 2; i <= n; ++i) {
                    e.point_spr[i - 1] = e.point_spr[i];
                    e.point_mult[i - 1] = e.point_mult[i];
                }
            }
            n = std::min(n + 1, 10);
            e.point_spr[n] = e.spr;
            e.point_mult[n] = e.fmult;
            if (n < 3) {
                const bool need_down = !(e.spr > target);
                if (need_down != moved_down) {
                    e.fmult += moved_down ? 1.5 * e.bracket : -1.5 * e.bracket;
                    e.bracket *= 0.5;
                }
            } else {
                double slope = 0.0;
                double intercept = 0.0;
                linear_regression(&e.point_spr[1], &e.point_mult[1], n, slope, intercept);
                e.fmult = slope * target + intercept;
                if (!std::isfinite(e.fmult)) {
                    why = "the regression of the search gives the multiplier " +
                          shortest_text(e.fmult) + " (slope " + shortest_text(slope) +
                          ", intercept " + shortest_text(intercept) + "), not a finite number";
                    break;
                }
            }
            const SearchState now = SearchState::of(e, moved_down);
            if (now == kept) {
                const int cycle = e.target_passes - kept_at;
                why = cycle == 1 ? "the search stopped moving after " +
                                       passes_text(e.target_passes) + where()
                                 : "the search went round a cycle of " + passes_text(cycle) +
                                       " after " + passes_text(e.target_passes) + where();
                break;
            }
            if (e.target_passes == power) {
                kept = now;
                kept_at = e.target_passes;
                power *= 2;
            }
        }
        const bool met = why.empty();
        e.target_flag = 0;

        if (!met) {
            // The row shows the yields of the search's last projection, which the search itself
            // leaves out.
            const double next = e.fmult;
            e.fmult = e.searched_fmult;
            project_population(d, b, e, 1);
            e.fmult = next;
            e.target_given_up = true;
            report_no_target(e, spr_extreme, why);
        } else {
            e.target_reached = true;
            const double f0 = e.fmult;
            find_equilibrium(d, b, e);
            write_progress_row(e);
            e.best_numbers = e.harvest_numbers;
            e.best_biomass = e.harvest_biomass;

            climb(d, b, e, +1.0, true, kNumbersClimbEnd);
            write_progress_row(e);
            store_column(d, e, 1);

            e.fmult = f0;
            climb(d, b, e, -1.0, false, kBiomassClimbEnd);
            write_progress_row(e);

            e.fmult = e.fmult + e.step;
            find_equilibrium(d, b, e);
            store_column(d, e, 2);
        }
    }

    if (const std::string problem = unprintable_result(d, e); !problem.empty())
        stop_run(e, problem, kExitModelStop);
}

void derive_f_at_age(const RunData& d, YearState& e, int column) {
    ResultColumn& c = e.col[column - 1];
    const int z = d.nszns;
    for (int a = 0; a <= d.nages; ++a) {
        double f_age = 0.0;
        double start = 0.0;
        const int t_first = a == 0 ? d.recruit_season - 1 : 0;
        for (int t = t_first; t < z; ++t) {
            const int na = t + 1 < z ? a : a + 1;
            const int nt = t + 1 < z ? t + 1 : 0;
            double nc = 0.0;
            double nn = 0.0;
            double m_term = 0.0;
            for (int s = 0; s < d.nsexes; ++s) {
                const double now = e.accum[s][a][t];
                const double next = e.accum[s][na][nt];
                nc += now;
                nn += next;
                if (now > 0.0) {
                    const double x = 1.0 - next / now;
                    if (x > 0.0 && x < 1.0)
                        m_term += d.m_season[s][a] * now * x / (-std::log(1.0 - x));
                }
                if (t == t_first) start += now;
            }
            if (nc > 0.0 && nn > 0.0) {
                const double zz = -std::log(nn / nc);
                double m = 0.0;
                if (d.nsexes == 1)
                    m = d.m_season[0][a];
                else if (nc - nn > 0.0)
                    m = m_term * zz / (nc - nn);
                const double f = zz - m;
                if (f >= 0.0)
                    f_age += f;
                else if (f < -kNegativeFLimit)
                    stop_run(e, "Negative apparent fishing mortality at age " + std::to_string(a),
                             kExitModelStop);
            } else if (nc > 0.0) {
                f_age = kAllDeadF;
            }
        }
        c.f_at_age[a] = f_age;
        c.numbers_at_age[a] = start;
    }
}

} // namespace tez
