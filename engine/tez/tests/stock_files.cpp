#include "stock_files.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <stdexcept>

namespace tez::testing {

std::string print_number(double value, int significant) {
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, significant);
    std::string s(buf, res.ptr);
    for (char& c : s)
        if (c == 'e') c = 'E';
    if (s.rfind("0.", 0) == 0)
        s.erase(0, 1);
    else if (s.rfind("-0.", 0) == 0)
        s.erase(1, 1);
    return (value < 0.0 ? "" : " ") + s + " ";
}

namespace {

std::string single(double v) {
    return print_number(static_cast<float>(v), 7);
}
std::string whole(int v) {
    return print_number(v);
}

void line(std::string& out, const std::string& text) {
    out += text;
    out += "\r\n";
}

} // namespace

std::string biology_text(const StockBiology& b) {
    std::string out;
    line(out, whole(b.nages) + whole(b.nmorphs) + whole(b.nsexes) + whole(b.nszns));
    line(out, b.species);
    line(out, whole(b.spawn_season) + whole(b.recruit_season));
    line(out, whole(b.sr_code) + print_number(b.sr_slope));
    line(out, print_number(b.tez_recruitment) + print_number(b.recruit_cv));
    line(out, b.fec_option);
    if (b.fec_option == "A") {
        for (int a = 0; a <= b.nages; ++a)
            line(out, whole(a) + single(b.fec_by_age.at(a)));
    } else if (b.fec_option == "L") {
        line(out, whole(b.nfec));
        line(out, single(b.fec_min));
        line(out, single(b.fec_max));
        line(out, print_number(b.fec_a) + print_number(b.fec_b));
        for (int k = 0; k < b.nfec; ++k)
            line(out, single(b.fec_by_length.at(k)));
    }
    for (int a = 0; a <= b.nages; ++a) {
        std::string l = whole(a);
        for (int s = 0; s < b.nsexes; ++s)
            l += single(b.natmort.at(a)[s]);
        line(out, l);
    }
    for (int s = 0; s < b.nsexes; ++s)
        line(out, single(b.lwa[s]) + single(b.lwb[s]) + single(b.cv[s]));
    for (int s = 0; s < b.nsexes; ++s)
        line(out, print_number(b.vb[s][0]) + print_number(b.vb[s][1]) + print_number(b.vb[s][2]));
    for (int t = 0; t < b.nszns; ++t)
        line(out, whole(t + 1) + single(b.szngro.at(t)));
    for (int t = 0; t < b.nszns; ++t) {
        std::string l = whole(t + 1);
        for (int s = 0; s < b.nsexes; ++s)
            l += single(b.fyg.at(t)[s]);
        line(out, l);
    }
    for (int a = 1; a <= b.nages; ++a) {
        std::string l = whole(a);
        for (int s = 0; s < b.nsexes; ++s)
            l += single(b.meanlng.at(a)[s]);
        line(out, l);
    }
    return out;
}

std::string management_text(double fcv, const std::vector<ManagementBlock>& blocks) {
    std::string out;
    line(out, single(fcv));
    for (const ManagementBlock& blk : blocks) {
        line(out, whole(blk.year));
        line(out, whole(static_cast<int>(blk.fisheries.size())));
        for (const FisheryData& f : blk.fisheries) {
            line(out, f.type);
            if (f.type == "A") {
                line(out, single(f.minvul));
            } else if (f.type == "L") {
                line(out, single(f.nlng));
                line(out, single(f.minlng));
                line(out, single(f.maxlng));
            }
            line(out, single(f.tac));
        }
        for (const FisheryData& f : blk.fisheries) {
            for (double r : f.rates)
                line(out, print_number(r));
            line(out, single(f.lower_limit));
            line(out, single(f.upper_limit));
            line(out, single(f.discard));
        }
    }
    return out;
}

std::string definition_text(const RunDefinition& d) {
    std::string out;
    line(out, d.bio);
    line(out, d.mgt);
    line(out, d.report);
    line(out, d.table);
    line(out, d.pmo);
    line(out, d.title);
    line(out, whole(static_cast<int>(d.years.size())));
    for (int y : d.years)
        line(out, whole(y));
    return out;
}

void write_text(const std::filesystem::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

StockBiology make_biology(int nages, int nmorphs, int nsexes, int nszns) {
    StockBiology b;
    b.nages = nages;
    b.nmorphs = nmorphs;
    b.nsexes = nsexes;
    b.nszns = nszns;
    b.sr_code = 4;
    b.sr_slope = 5.0;
    b.tez_recruitment = 1.0e6;
    b.fec_option = "A";
    const int last = nsexes - 1;
    const auto vb_length = [&](int s, double age) {
        const auto& p = b.vb[s];
        return p[0] * (1.0 - std::exp(-p[1] * (age - p[2])));
    };
    b.fec_by_age.assign(nages + 1, 0.0);
    b.natmort.assign(nages + 1, {0.0, 0.0});
    b.meanlng.assign(nages + 1, {0.0, 0.0});
    for (int a = 0; a <= nages; ++a) {
        b.natmort[a] = {a == 0 ? 0.4 : 0.2, a == 0 ? 0.4 : 0.2};
        for (int s = 0; s < nsexes; ++s)
            b.meanlng[a][s] = vb_length(s, a);
        // Eggs in proportion to weight, from age 3 on, with maturity rising over two ages.
        const double len = vb_length(last, a);
        const double w = b.lwa[last] * std::pow(len, b.lwb[last]);
        const double mature = a < 2 ? 0.0 : (a == 2 ? 0.3 : (a == 3 ? 0.8 : 1.0));
        b.fec_by_age[a] = static_cast<float>(1000.0 * mature * w);
    }
    b.szngro.assign(nszns, 1.0 / nszns);
    b.fyg.assign(nszns, {0.0, 0.0});
    for (int t = 0; t < nszns; ++t)
        for (int s = 0; s < nsexes; ++s)
            b.fyg[t][s] = vb_length(s, static_cast<double>(t) / nszns);
    b.spawn_season = nszns >= 2 ? 2 : 1;
    b.recruit_season = 1;
    return b;
}

std::vector<ManagementBlock> make_blocks(const StockBiology& b, int first_year, int nblocks,
                                         int nfisheries, int by_age) {
    std::vector<ManagementBlock> blocks;
    for (int y = 0; y < nblocks; ++y) {
        ManagementBlock blk;
        blk.year = first_year + y;
        const double annual_f = 0.25 * (1.0 + 0.1 * std::sin(0.7 * y));
        for (int k = 0; k < nfisheries; ++k) {
            FisheryData f;
            const double share = annual_f / nfisheries;
            if (k < by_age) {
                f.type = "A";
                f.minvul = 10.0 + 2.0 * k;
                const double a50 = 3.0 + k;
                for (int s = 0; s < b.nsexes; ++s)
                    for (int a = 0; a <= b.nages; ++a)
                        for (int t = 0; t < b.nszns; ++t) {
                            const double sel = 1.0 / (1.0 + std::exp(-1.5 * (a - a50)));
                            f.rates.push_back(static_cast<float>(1.0 / b.nszns) *
                                              static_cast<float>(share) * static_cast<float>(sel));
                        }
                f.lower_limit = 0.0;
                f.upper_limit = 0.0;
                f.discard = 0.0;
            } else {
                f.type = "L";
                const int classes = std::min(100, 20 + 16 * (k - by_age));
                f.nlng = classes;
                f.minlng = 0.0;
                f.maxlng = 100.0;
                const double l50 = 35.0 + 3.0 * (k - by_age);
                for (int s = 0; s < b.nsexes; ++s)
                    for (int c = 1; c <= classes; ++c)
                        for (int t = 0; t < b.nszns; ++t) {
                            const double mid = (c - 0.5) * 100.0 / classes;
                            const double sel = 1.0 / (1.0 + std::exp(-0.3 * (mid - l50)));
                            f.rates.push_back(static_cast<float>(1.0 / b.nszns) *
                                              static_cast<float>(share) * static_cast<float>(sel));
                        }
                f.lower_limit = 40.0;
                f.upper_limit = 0.0;
                f.discard = 0.25;
            }
            f.tac = 0.0;
            blk.fisheries.push_back(std::move(f));
        }
        blocks.push_back(std::move(blk));
    }
    return blocks;
}

} // namespace tez::testing
