// Reading the biology file and building the growth morphs, weights and growth rates.
#include "engine.h"
#include "file_names.h"
#include "normal.h"
#include "text_forms.h"

#include "common/visibletext.h"

#include <cmath>

namespace tez {

namespace {

// Weights, growth and lengths that overflow would fill the outputs with numbers that mean nothing
// (and fields that cannot print them); such a biology is refused before any year is evaluated.
// So is one whose weights are finite but would give a biomass beyond what the outputs print.
void check_finite_tables(const RunData& e) {
    const std::string file = vesk::visibleName(trim_blanks(e.biology_name));
    const auto refuse = [&](const char* what, int s, int a, int t, double value,
                            const std::string& why) {
        throw InputError("Error reading " + file + ": the " + what + " of sex " +
                         std::to_string(s + 1) + " at age " + std::to_string(a) + " in season " +
                         std::to_string(t + 1) + " is " + shortest_text(value) + ", " + why +
                         " (length-weight a = " + shortest_text(e.lw_a[s]) +
                         ", b = " + shortest_text(e.lw_b[s]) + ")");
    };
    const std::string not_finite = "not a finite number";
    double heaviest = 0.0;
    int hs = 0, ha = 0, ht = 0;
    for (int s = 0; s < e.nsexes; ++s)
        for (int g = 0; g < e.nmorphs; ++g)
            for (int a = 0; a <= e.nages; ++a)
                for (int t = 0; t < e.nszns; ++t) {
                    const std::size_t i = e.cell(s, g, a, t);
                    const GrowthCell& c = e.growth[i];
                    if (!std::isfinite(c.w)) refuse("weight", s, a, t, c.w, not_finite);
                    if (!std::isfinite(c.g) || !std::isfinite(c.exp_g))
                        refuse("growth in log weight", s, a, t, c.g, not_finite);
                    if (!std::isfinite(e.length_start[i]))
                        refuse("length", s, a, t, e.length_start[i], not_finite);
                    if (!std::isfinite(e.length_end[i]))
                        refuse("length", s, a, t, e.length_end[i], not_finite);
                    if (c.w > heaviest) heaviest = c.w, hs = s, ha = a, ht = t;
                }
    // Every step of every morph holding the whole recruitment at the heaviest weight bounds the
    // biomass from above; the outputs show exponents of two digits.
    const double cells = static_cast<double>(e.nsexes) * e.nmorphs * (e.nages + 1) * e.nszns;
    if (!(heaviest * cells * e.tez_recruitment < 1e99))
        refuse("weight", hs, ha, ht, heaviest,
               "too large for the outputs to show the biomass of a recruitment of " +
                   shortest_text(e.tez_recruitment));
}
// x^y for a positive x; a length of 0 or less has no weight.
double power(double x, double y) {
    return x > 0.0 ? std::exp(std::log(x) * y) : 0.0;
}

// The deviations from the mean length that morph g of n stands for, with the relative spread v:
// the range from -3 v to 3 v cut into n equal intervals. A morph's fish have the length of the
// interval's middle.
struct MorphInterval {
    double lower = 0.0;
    double upper = 0.0;
    double middle() const { return 0.5 * (lower + upper); }
};

MorphInterval morph_interval(double v, int n, int g) {
    const double width = 6.0 * v / n;
    return {-3.0 * v + g * width, -3.0 * v + (g + 1) * width};
}

void check_range(FreeReader& in, int value, int low, int high, std::string_view what) {
    if (value < low || value > high)
        in.fail(std::string(what) + " is " + std::to_string(value) + ", it must be " +
                std::to_string(low) + " to " + std::to_string(high));
}

} // namespace

void read_biology(Engine& e, std::string_view file_name) {
    FreeReader& in = e.input;
    const std::string name(trim_blanks(file_name));
    in.open_input(named_file(e.folder, name), name, "biology file");

    in.begin_read();
    in.integer(e.nages);
    in.integer(e.nmorphs);
    in.integer(e.nsexes);
    in.integer(e.nszns);
    check_range(in, e.nages, 0, kMaxNages, "the oldest age");
    check_range(in, e.nmorphs, 1, kMaxMorphs, "the number of growth morphs");
    check_range(in, e.nsexes, 1, kMaxSexes, "the number of sexes");
    check_range(in, e.nszns, 1, kMaxSeasons, "the number of seasons");
    e.rate.shape(e.nsexes, e.nszns);

    e.species = in.read_text(kSpeciesLength);

    in.begin_read();
    in.integer(e.spawn_season);
    in.integer(e.recruit_season);
    check_range(in, e.spawn_season, 1, e.nszns, "the spawning season");
    check_range(in, e.recruit_season, 1, e.nszns, "the recruit season");

    in.begin_read();
    in.integer(e.sr_code);
    in.real(e.sr_slope);
    // Only these two relations define a target; refusing the rest here keeps a year from
    // searching without an end.
    if (e.sr_code != e.ricker_code && e.sr_code != e.beverton_holt_code)
        in.fail("stock-recruitment option " + std::to_string(e.sr_code) +
                " cannot be evaluated (3 Ricker or 4 Beverton-Holt)");

    // The largest surplus lies below the unfished stock only for a slope above 1; at 1 or below
    // the target SPR is 0 / 0 (Beverton-Holt) or the search runs away (Ricker).
    if (!(e.sr_slope > 1.0))
        in.fail("the stock-recruitment slope is " + shortest_text(e.sr_slope) +
                ", which leaves no target SPR: it must be greater than 1");

    in.begin_read();
    in.real(e.tez_recruitment);
    in.real(e.recruit_cv);
    if (!(e.tez_recruitment > 0.0)) in.fail("the TEZ recruitment must be positive");

    const std::string option = in.read_text(1);
    e.fecundity_option = option[0];
    double dummy = 0.0;
    if (e.fecundity_option == 'L') {
        e.fec_classes = in.read_integer();
        check_range(in, e.fec_classes, 0, kMaxClasses, "the number of fecundity length classes");
        e.fec_lower = in.read_real();
        e.fec_upper = in.read_real();
        e.fec_width = e.fec_classes > 0 ? (e.fec_upper - e.fec_lower) / e.fec_classes : 0.0;
        in.begin_read();
        in.real(e.fec_a);
        in.real(e.fec_b);
        for (int k = 1; k <= e.fec_classes; ++k)
            e.fec_by_length[k] = in.read_real();
    } else if (e.fecundity_option == 'A') {
        if (e.nages > kMaxFecundityAge)
            in.fail("fecundity by age is held for ages up to " + std::to_string(kMaxFecundityAge));
        for (int a = 0; a <= e.nages; ++a) {
            in.begin_read();
            in.real(dummy);
            in.real(e.fec_by_age[a]);
        }
    }

    for (int a = 0; a <= e.nages; ++a) {
        in.begin_read();
        in.real(dummy);
        for (int s = 0; s < e.nsexes; ++s) {
            double m = 0.0;
            in.real(m);
            e.m_season[s][a] = m / e.nszns;
        }
    }
    for (int s = 0; s < e.nsexes; ++s) {
        in.begin_read();
        in.real(e.lw_a[s]);
        in.real(e.lw_b[s]);
        in.real(e.spread[s]);
        if (!(e.lw_a[s] > 0.0) || !(e.lw_b[s] > 0.0))
            in.fail("the length-weight constants a and b must be positive");
        // The smallest morph stands at the middle of the lowest interval; at or below a length
        // factor of 0 its fish have no length.
        if (const double v = e.spread[s]; v > 0.0) {
            const double factor = 1.0 + morph_interval(v, e.nmorphs, 0).middle();
            if (!(factor > 0.0))
                in.fail("the length spread of sex " + std::to_string(s + 1) + " is " +
                        shortest_text(v) + ", which with " + std::to_string(e.nmorphs) +
                        " growth morphs gives the smallest morph a length factor of " +
                        shortest_text(factor) + ": it must stay above 0");
        }
    }
    for (int s = 0; s < e.nsexes; ++s) {
        in.begin_read();
        for (double& v : e.growth_curve[s])
            in.real(v);
    }
    for (int t = 0; t < e.nszns; ++t) {
        in.begin_read();
        in.real(dummy);
        in.real(e.growth_fraction[t]);
    }

    build_morphs(e);

    for (int t = 0; t < e.nszns; ++t) {
        in.begin_read();
        in.real(dummy);
        for (int s = 0; s < e.nsexes; ++s)
            in.real(e.first_year_length[t][s]);
    }
    for (int a = 1; a <= e.nages; ++a) {
        in.begin_read();
        in.real(dummy);
        for (int s = 0; s < e.nsexes; ++s) {
            in.real(e.mean_length[a][s]);
            // Growth from one age to the next is a ratio of weights.
            if (!(e.mean_length[a][s] > 0.0))
                in.fail("the mean length at age " + std::to_string(a) + " must be positive");
        }
    }
    for (int s = 0; s < e.nsexes; ++s)
        e.mean_length[e.nages + 1][s] = e.mean_length[e.nages][s];
    // Data left over means the counts of the first line do not match the blocks: every value
    // read after the miscount would have been shifted.
    in.expect_end("the file goes on after its last value: the counts of its first line do not "
                  "match its blocks");
    in.close();
}

void build_morphs(RunData& e) {
    const int n = e.nmorphs;
    for (int s = 0; s < e.nsexes; ++s) {
        const double v = e.spread[s];
        if (!(v > 0.0)) {
            // Without a spread every fish has the mean length: one morph carries the whole sex.
            for (int g = 0; g < n; ++g) {
                e.morph_dev[s][g] = 0.0;
                e.morph_prop[s][g] = g == 0 ? 1.0 : 0.0;
            }
            continue;
        }
        double sum = 0.0;
        for (int g = 0; g < n; ++g) {
            const MorphInterval m = morph_interval(v, n, g);
            e.morph_dev[s][g] = m.middle();
            double p = 0.0;
            interval_probability(m.lower, m.upper, v, p);
            e.morph_prop[s][g] = p;
            sum += p;
        }
        for (int g = 0; g < n; ++g)
            e.morph_prop[s][g] /= sum;
    }
}

void RunData::size_tables() {
    growth.assign(cells(), GrowthCell{});
    length_start.assign(cells(), 0.0);
    length_end.assign(cells(), 0.0);
}

void build_growth_tables(RunData& e) {
    e.size_tables();
    const int z = e.nszns;
    for (int s = 0; s < e.nsexes; ++s) {
        const double la = e.lw_a[s];
        const double lb = e.lw_b[s];
        for (int g = 0; g < e.nmorphs; ++g) {
            const double f = 1.0 + e.morph_dev[s][g];
            for (int a = 1; a <= e.nages; ++a) {
                const double w_now = la * power(e.mean_length[a][s] * f, lb);
                const double w_next = la * power(e.mean_length[a + 1][s] * f, lb);
                const double yearly = w_now > 0.0 && w_next > 0.0 ? std::log(w_next / w_now) : 0.0;
                e.growth[e.cell(s, g, a, 0)].w = w_now;
                for (int t = 0; t < z; ++t) {
                    GrowthCell& c = e.growth[e.cell(s, g, a, t)];
                    c.g = e.growth_fraction[t] * yearly;
                    if (t + 1 < z) e.growth[e.cell(s, g, a, t + 1)].w = c.w * std::exp(c.g);
                }
            }
            for (int t = 0; t < z; ++t)
                e.growth[e.cell(s, g, 0, t)].w = la * power(e.first_year_length[t][s] * f, lb);
            for (int t = 0; t < z; ++t) {
                GrowthCell& c = e.growth[e.cell(s, g, 0, t)];
                const double w_next =
                    t + 1 < z ? e.growth[e.cell(s, g, 0, t + 1)].w : e.growth[e.cell(s, g, 1, 0)].w;
                // A season without weight (no length yet), or none to grow into, does not grow.
                c.g = c.w > 0.0 && w_next > 0.0 ? std::log(w_next / c.w) : 0.0;
            }
            for (int a = 0; a <= e.nages; ++a) {
                for (int t = 0; t < z; ++t) {
                    const std::size_t i = e.cell(s, g, a, t);
                    GrowthCell& c = e.growth[i];
                    c.exp_g = std::exp(c.g);
                    if (c.w > 0.0) {
                        e.length_start[i] = std::exp(std::log(c.w / la) / lb);
                        e.length_end[i] = std::exp(std::log(c.w * c.exp_g / la) / lb);
                    } else {
                        e.length_start[i] = 0.0;
                        e.length_end[i] = 0.0;
                    }
                }
            }
        }
    }

    // The fecundity of a spawner of each age and morph of the last sex.
    const int ls = e.nsexes - 1;
    const int ts = e.spawn_season - 1;
    for (int a = 0; a <= e.nages; ++a) {
        for (int g = 0; g < e.nmorphs; ++g) {
            double fec = 0.0;
            if (e.fecundity_option == 'L') {
                const double w = e.growth[e.cell(ls, g, a, ts)].w;
                if (w > 0.0 && e.fec_classes > 0 && e.fec_width > 0.0) {
                    const double len = std::exp(std::log(w / e.lw_a[ls]) / e.lw_b[ls]);
                    double k = std::floor((len - e.fec_lower) / e.fec_width + 1.0);
                    if (k < 1.0) k = 1.0;
                    if (k > e.fec_classes) k = e.fec_classes;
                    fec = e.fec_by_length[static_cast<int>(k)];
                }
            } else if (e.fecundity_option == 'A') {
                fec = e.fec_by_age[a];
            }
            e.spawner_fecundity[a][g] = fec;
        }
    }
    check_finite_tables(e);
}

} // namespace tez
