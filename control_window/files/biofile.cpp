#include "control_window/files/biofile.h"

#include "control_window/files/definitionreader.h"
#include "platform/numtext.h"

namespace cw {

namespace {

// Every field of the data model that a biology file holds, listed once for both directions.
template <class Model, class Data, class Copy> void eachBioField(Model& m, Data& d, Copy copy) {
    copy(m.nages, d.nages);
    copy(m.nmorphs, d.nmorphs);
    copy(m.nsexes, d.nsexes);
    copy(m.nszns, d.nszns);
    copy(m.nspecies, d.nspecies);
    copy(m.ispszn, d.ispszn);
    copy(m.irecruitszn, d.irecruitszn);
    copy(m.isroption, d.isroption);
    copy(m.isrslope, d.isrslope);
    copy(m.itezrecruitment, d.itezrecruitment);
    copy(m.irecruitcv, d.irecruitcv);
    copy(m.ifecopt, d.ifecopt);
    copy(m.nfeclng, d.nfeclng);
    copy(m.minsiz, d.minsiz);
    copy(m.maxlng, d.maxlng);
    copy(m.a_fec, d.a_fec);
    copy(m.b_fec, d.b_fec);
    copy(m.fec, d.fec);
    copy(m.natmort, d.natmort);
    copy(m.lwa, d.lwa);
    copy(m.lwb, d.lwb);
    copy(m.cvlng, d.cvlng);
    copy(m.vblinf, d.vblinf);
    copy(m.vbk, d.vbk);
    copy(m.vbt0, d.vbt0);
    copy(m.szngro, d.szngro);
    copy(m.fyg, d.fyg);
    copy(m.meanlng, d.meanlng);
}

} // namespace

BioData bioDataFrom(const Maincode& m) {
    BioData d;
    eachBioField(m, d, [](const auto& from, auto& to) { to = from; });
    return d;
}

void storeBioData(Maincode& m, const BioData& d) {
    eachBioField(m, d, [](auto& to, const auto& from) { to = from; });
}

namespace {

struct CountLimit {
    const char* what;
    int16_t BioData::*field;
    int max;
};

// The counts that size the file's blocks. A count of 0 is one that nothing has set yet: its
// blocks are then empty, and the file still reads back the same.
const CountLimit kCounts[] = {
    {"number of ages", &BioData::nages, kMaxAge},
    {"number of growth morphs", &BioData::nmorphs, kMaxMorphs},
    {"number of sexes", &BioData::nsexes, kMaxSexes},
    {"number of seasons", &BioData::nszns, kMaxSeasons},
};

// The species name as an item of the file. The readers drop blanks around a bare text and end
// it at a comma; a name with either is written between double quotes, which both readers keep
// as they stand.
std::string speciesItem(const std::string& name) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    const bool bare = name.find(',') == std::string::npos &&
                      (name.empty() || (!blank(name.front()) && !blank(name.back())));
    return bare ? name : "\"" + name + "\"";
}

} // namespace

std::optional<std::string> bioSaveProblem(const BioData& d) {
    const std::string nothingSaved = " Nothing was saved.";
    if (d.ifecopt != "A" && d.ifecopt != "L") {
        return "Choose the fecundity option (A or L) in the Fecundity window first." + nothingSaved;
    }
    if (d.nspecies.find_first_not_of(' ') == std::string::npos) {
        return "Enter the species name first." + nothingSaved;
    }
    // A double quote would end the quoted item early, or begin one, and shift every later value.
    if (d.nspecies.find('"') != std::string::npos)
        return "The species name must not hold a double quote." + nothingSaved;
    for (const CountLimit& c : kCounts) {
        if (auto p = countRangeProblem(c.what, d.*c.field, 0, c.max)) return *p + nothingSaved;
    }
    if (d.ifecopt == "L") {
        if (auto p = countRangeProblem("number of fecundity length intervals", d.nfeclng, 0,
                                       kMaxLengthBins))
            return *p + nothingSaved;
    }
    return std::nullopt;
}

std::string bioFileText(const BioData& d) {
    using plat::printDouble;
    using plat::printInteger;
    using plat::printSingle;
    const std::string eol = "\r\n";
    const int n = d.nages, s = d.nsexes, z = d.nszns;
    std::string t;
    t += printInteger(d.nages) + printInteger(d.nmorphs) + printInteger(d.nsexes) +
         printInteger(d.nszns) + eol;
    t += speciesItem(d.nspecies) + eol;
    t += printInteger(d.ispszn) + printInteger(d.irecruitszn) + eol;
    t += printInteger(d.isroption) + printDouble(d.isrslope) + eol;
    t += printDouble(d.itezrecruitment) + printDouble(d.irecruitcv) + eol;
    t += d.ifecopt + eol;
    if (d.ifecopt == "A") {
        for (int a = 0; a <= n; ++a)
            t += printInteger(a) + printSingle(d.fec(a)) + eol;
    } else if (d.ifecopt == "L") {
        t += printInteger(d.nfeclng) + eol;
        t += printSingle(d.minsiz) + eol;
        t += printSingle(d.maxlng) + eol;
        t += printDouble(d.a_fec) + printDouble(d.b_fec) + eol;
        for (int k = 1; k <= d.nfeclng; ++k)
            t += printSingle(d.fec(k)) + eol;
    }
    for (int a = 0; a <= n; ++a) {
        t += printInteger(a);
        for (int x = 1; x <= s; ++x)
            t += printSingle(d.natmort(a, x));
        t += eol;
    }
    for (int x = 1; x <= s; ++x) {
        t += printSingle(d.lwa(x)) + printSingle(d.lwb(x)) + printSingle(d.cvlng(x)) + eol;
    }
    for (int x = 1; x <= s; ++x) {
        t += printDouble(d.vblinf(x)) + printDouble(d.vbk(x)) + printDouble(d.vbt0(x)) + eol;
    }
    for (int q = 1; q <= z; ++q)
        t += printInteger(q) + printSingle(d.szngro(q)) + eol;
    for (int q = 1; q <= z; ++q) {
        t += printInteger(q);
        for (int x = 1; x <= s; ++x)
            t += printSingle(d.fyg(q, x));
        t += eol;
    }
    for (int a = 1; a <= n; ++a) {
        t += printInteger(a);
        for (int x = 1; x <= s; ++x)
            t += printSingle(d.meanlng(a, x));
        t += eol;
    }
    return t;
}

namespace {

std::string ofSex(int x, int s) {
    return s == 1 ? std::string() : (x == 1 ? " of the males" : " of the females");
}

} // namespace

std::optional<std::string> readBioFile(plat::SeqFile& f, const std::string& fileName, BioData& d) {
    // Every read does nothing once a problem was found, so the steps need no checks between them.
    DefinitionReader r(f, "The biological data file " + fileName);
    const auto num = [](int v) { return std::to_string(v); };

    r.count(d.nages, "the number of ages", 0, kMaxAge);
    r.count(d.nmorphs, "the number of growth morphs", 0, kMaxMorphs);
    r.count(d.nsexes, "the number of sexes", 0, kMaxSexes);
    r.count(d.nszns, "the number of seasons", 0, kMaxSeasons);
    r.text(d.nspecies, "the species name");
    r.whole(d.ispszn, "the spawning season");
    r.whole(d.irecruitszn, "the recruit season");
    r.whole(d.isroption, "the stock-recruitment option");
    r.number(d.isrslope, "the stock-recruitment slope");
    r.number(d.itezrecruitment, "the TEZ recruitment");
    r.number(d.irecruitcv, "the recruitment CV");
    r.text(d.ifecopt, "the fecundity option");
    if (r.problem()) return r.problem();

    const int n = d.nages, s = d.nsexes, z = d.nszns;
    if (d.ifecopt == "A") {
        for (int a = 0; a <= n; ++a) {
            r.skip("the age number of the fecundity at age " + num(a));
            r.single(d.fec(a), "the fecundity at age " + num(a));
        }
    } else if (d.ifecopt == "L") {
        r.count(d.nfeclng, "the number of fecundity length intervals", 0, kMaxLengthBins);
        r.single(d.minsiz, "the size at first reproduction");
        r.single(d.maxlng, "the maximum size");
        r.number(d.a_fec, "the fecundity coefficient");
        r.number(d.b_fec, "the fecundity exponent");
        for (int k = 1; k <= d.nfeclng && !r.problem(); ++k) {
            r.single(d.fec(k), "the fecundity of length interval " + num(k));
        }
    } else {
        return std::string("Invalid fecundity type");
    }

    for (int a = 0; a <= n && !r.problem(); ++a) {
        r.skip("the age number of the natural mortality at age " + num(a));
        for (int x = 1; x <= s; ++x) {
            r.single(d.natmort(a, x), "the natural mortality at age " + num(a) + ofSex(x, s));
        }
    }
    for (int x = 1; x <= s && !r.problem(); ++x) {
        r.single(d.lwa(x), "the length-weight coefficient a" + ofSex(x, s));
        r.single(d.lwb(x), "the length-weight exponent b" + ofSex(x, s));
        r.single(d.cvlng(x), "the CV of length at age" + ofSex(x, s));
    }
    for (int x = 1; x <= s && !r.problem(); ++x) {
        r.number(d.vblinf(x), "the von Bertalanffy Loo" + ofSex(x, s));
        r.number(d.vbk(x), "the von Bertalanffy K" + ofSex(x, s));
        r.number(d.vbt0(x), "the von Bertalanffy t0" + ofSex(x, s));
    }
    for (int t = 1; t <= z && !r.problem(); ++t) {
        r.skip("the season number of the growth fraction of season " + num(t));
        r.single(d.szngro(t), "the growth fraction of season " + num(t));
    }
    for (int t = 1; t <= z && !r.problem(); ++t) {
        r.skip("the season number of the first-year length of season " + num(t));
        for (int x = 1; x <= s; ++x) {
            r.single(d.fyg(t, x), "the first-year length of season " + num(t) + ofSex(x, s));
        }
    }
    for (int a = 1; a <= n && !r.problem(); ++a) {
        r.skip("the age number of the mean length at age " + num(a));
        for (int x = 1; x <= s; ++x) {
            r.single(d.meanlng(a, x), "the mean length at age " + num(a) + ofSex(x, s));
        }
    }
    return r.finish();
}

} // namespace cw
