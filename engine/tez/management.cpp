// Reading the management blocks and turning the block in force into each step's fishing.
#include "engine.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cmath>
#include <cstdint>
#include <vector>

namespace tez {

namespace {

void read_block_body(Engine& e) {
    FreeReader& in = e.input;
    e.ngear = in.read_integer();
    if (e.ngear < 0 || e.ngear > kMaxFisheries)
        in.fail("the number of fisheries is " + std::to_string(e.ngear) + ", it must be 0 to " +
                std::to_string(kMaxFisheries));
    e.min_vul_size.fill(0.0);
    e.class_lower.fill(0.0);
    e.class_upper.fill(0.0);
    e.class_width.fill(0.0);
    e.class_count.fill(0.0);
    for (auto& by_sex : e.accum)
        for (auto& by_age : by_sex)
            by_age.fill(0.0);

    for (int k = 0; k < e.ngear; ++k) {
        e.sel_type[k] = e.input.read_text(1)[0];
        if (e.sel_type[k] == 'A') {
            e.min_vul_size[k] = in.read_real();
        } else if (e.sel_type[k] == 'L') {
            e.class_count[k] = in.read_real();
            if (std::trunc(e.class_count[k]) > kMaxClasses)
                in.fail("fishery " + std::to_string(k + 1) + " has more than " +
                        std::to_string(kMaxClasses) + " length classes");
            e.class_lower[k] = in.read_real();
            e.class_upper[k] = in.read_real();
            e.class_width[k] = (e.class_upper[k] - e.class_lower[k]) / e.class_count[k];
        }
        e.catch_limit[k] = in.read_real();
    }
    e.rate.hold(e.ngear);
    for (int k = 0; k < e.ngear; ++k) {
        int rows = 0;
        if (e.sel_type[k] == 'A')
            rows = e.nages + 1;
        else if (e.sel_type[k] == 'L' && e.class_count[k] >= 1.0)
            rows = static_cast<int>(std::trunc(e.class_count[k]));
        for (int s = 0; s < e.nsexes; ++s)
            for (int x = 0; x < rows; ++x)
                for (int t = 0; t < e.nszns; ++t)
                    e.rate[k][s][x][t] = in.read_real();
        e.lower_limit[k] = in.read_real();
        e.upper_limit[k] = in.read_real();
        if (e.upper_limit[k] == 0.0) e.upper_limit[k] = kNoUpperLimit;
        e.discard_fraction[k] = in.read_real();
    }
    static std::atomic<long> blocks_read{0};
    e.serial = ++blocks_read;
}

// Numbers the distinct pairs of total fishing and natural mortality, which share their survival,
// in the order they are first met; an open-addressed table of the pairs' numbers, kept at most
// half full, finds them.
void number_mortalities(const RunData& d, YearState& w) {
    constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;
    std::vector<std::uint32_t>& table = w.mortality_table;
    const auto slot_of = [&](std::uint64_t total_bits, std::uint64_t m_bits) {
        return static_cast<std::size_t>(
            ((total_bits * 0x9E3779B97F4A7C15ull) ^ (m_bits * 0xC2B2AE3D27D4EB4Full)) >> 17);
    };
    const auto bits = [](double v) { return std::bit_cast<std::uint64_t>(v); };
    // Makes the table `size` slots (a power of 2) and enters every pair numbered so far.
    const auto rebuild = [&](std::size_t size) {
        table.assign(size, kEmpty);
        for (std::uint32_t id = 0; id < w.mortalities.size(); ++id) {
            const YearState::Mortality& q = w.mortalities[id];
            std::size_t h = slot_of(bits(q.total), bits(q.m)) & (size - 1);
            while (table[h] != kEmpty)
                h = (h + 1) & (size - 1);
            table[h] = id;
        }
    };
    w.mortalities.clear();
    w.mortality_id.assign(d.cells(), 0);
    w.mortality_stamp = 0;
    // As large as the last block needed, so that it seldom grows.
    rebuild(std::max<std::size_t>(1024, table.size()));
    for (int s = 0; s < d.nsexes; ++s) {
        for (int g = 0; g < d.nmorphs; ++g) {
            for (int a = 0; a <= d.nages; ++a) {
                const double m = d.m_season[s][a];
                const std::uint64_t m_bits = bits(m);
                for (int t = 0; t < d.nszns; ++t) {
                    const std::size_t i = d.cell(s, g, a, t);
                    const double total = w.fishing[i].total;
                    const std::uint64_t total_bits = bits(total);
                    const std::size_t mask = table.size() - 1;
                    for (std::size_t h = slot_of(total_bits, m_bits) & mask;; h = (h + 1) & mask) {
                        const std::uint32_t id = table[h];
                        if (id == kEmpty) {
                            table[h] = static_cast<std::uint32_t>(w.mortalities.size());
                            w.mortality_id[i] = table[h];
                            w.mortalities.push_back({total, m});
                            if (2 * w.mortalities.size() > table.size()) rebuild(2 * table.size());
                            break;
                        }
                        const YearState::Mortality& q = w.mortalities[id];
                        if (bits(q.total) == total_bits && bits(q.m) == m_bits) {
                            w.mortality_id[i] = id;
                            break;
                        }
                    }
                }
            }
        }
    }
}

} // namespace

bool read_management_year(Engine& e) {
    const int wanted = e.years[e.year_index];
    while (wanted > e.last_block_year) {
        e.last_block_year = e.input.read_integer();
        if (wanted < e.last_block_year) return false;
        read_block_body(e);
    }
    return true;
}

namespace {

// What a step's fishing needs of one fishery of the block, worked out once for all the steps.
struct GearView {
    bool by_age = false;
    double min_vul = 0.0; // by age: the length above which the fishery sees a step
    double lower = 0.0;   // by length: the classes
    double width = 0.0;
    double count = 0.0; // the whole number of classes
    double lo = 0.0;    // the window of lengths that are kept
    double hi = 0.0;
    double fd = 0.0; // the share of the released that dies
    int k = 0;
};

} // namespace

void prepare_fishing(const RunData& d, const Block& b, YearState& w) {
    w.fishing.resize(packed_cell(d.nmorphs, d.nages, d.nszns, d.nsexes, 0, 0, 0));
    // Only the fisheries that can see a step at all, in their order, so that every sum below is
    // taken as before.
    std::array<GearView, kMaxFisheries> gears{};
    int ngears = 0;
    for (int k = 0; k < b.ngear; ++k) {
        GearView v;
        v.k = k;
        if (b.sel_type[k] == 'A') {
            v.by_age = true;
            v.min_vul = b.min_vul_size[k];
        } else if (b.sel_type[k] == 'L') {
            if (!(b.class_width[k] != 0.0) || !std::isfinite(b.class_width[k])) continue;
            v.lower = b.class_lower[k];
            v.width = b.class_width[k];
            v.count = std::trunc(b.class_count[k]);
        } else {
            continue;
        }
        v.lo = b.lower_limit[k];
        v.hi = b.upper_limit[k];
        v.fd = b.discard_fraction[k];
        gears[static_cast<std::size_t>(ngears++)] = v;
    }
    double max_f = 0.0;
    double min_f = 0.0;
    bool first = true;
    for (int s = 0; s < d.nsexes; ++s) {
        for (int g = 0; g < d.nmorphs; ++g) {
            for (int a = 0; a <= d.nages; ++a) {
                const int t_first = a == 0 ? d.recruit_season - 1 : 0;
                for (int t = 0; t < d.nszns; ++t) {
                    const std::size_t i = d.cell(s, g, a, t);
                    FishingCell& f = w.fishing[i];
                    f = FishingCell{};
                    // A step of no weight has no length, and no fishery can see it.
                    if (d.growth[i].w <= 0.0) continue;
                    const double l0 = d.length_start[i];
                    const double l1 = d.length_end[i];
                    const double lmin = std::min(l0, l1);
                    const double lmax = std::max(l0, l1);
                    const double mid = 0.5 * (l0 + l1);
                    double retained = 0.0;
                    double total = 0.0;
                    for (int j = 0; j < ngears; ++j) {
                        const GearView& v = gears[static_cast<std::size_t>(j)];
                        double r = 0.0;
                        if (v.by_age) {
                            if (!(l1 > v.min_vul)) continue;
                            r = b.rate[v.k][s][a][t];
                        } else {
                            double c = std::floor((mid - v.lower) / v.width + 1.0);
                            if (c > v.count) c = v.count;
                            if (!(c >= 1.0)) continue;
                            r = b.rate[v.k][s][static_cast<int>(c) - 1][t];
                        }
                        if (lmax <= v.lo || lmin >= v.hi) {
                            total += r * v.fd;
                        } else if (lmin >= v.lo && lmax < v.hi) {
                            retained += r;
                            total += r;
                        } else {
                            // The range crosses the window: the share outside is released and
                            // dies at the discard fraction, the share inside is kept.
                            const double span = lmax - lmin;
                            double outside = 0.0;
                            if (lmin < v.lo) outside += (v.lo - lmin) / span;
                            if (lmax > v.hi) outside += (lmax - v.hi) / span;
                            outside = std::min(outside, 1.0);
                            retained += (1.0 - outside) * r;
                            total += (1.0 - outside) * r + outside * r * v.fd;
                        }
                    }
                    f.retained = retained;
                    f.total = total;
                    if (t >= t_first) {
                        if (first || f.total > max_f) max_f = f.total;
                        if (first || f.total < min_f) min_f = f.total;
                        first = false;
                    }
                }
            }
        }
    }
    w.max_step_f = max_f;
    w.min_step_f = min_f;
    w.fishing_serial = b.serial;
    w.factors_valid = false;
    number_mortalities(d, w);
}

} // namespace tez
