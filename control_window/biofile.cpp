#include "control_window/biofile.h"

#include <cfloat>
#include <cmath>

#include "platform/numtext.h"
#include "platform/seqfile.h"

namespace cw {

BioData bioDataFrom(const Maincode& m) {
    BioData d;
    d.nages = m.nages;
    d.nmorphs = m.nmorphs;
    d.nsexes = m.nsexes;
    d.nszns = m.nszns;
    d.nspecies = m.nspecies;
    d.ispszn = m.ispszn;
    d.irecruitszn = m.irecruitszn;
    d.isroption = m.isroption;
    d.isrslope = m.isrslope;
    d.itezrecruitment = m.itezrecruitment;
    d.irecruitcv = m.irecruitcv;
    d.ifecopt = m.ifecopt;
    d.nfeclng = m.nfeclng;
    d.minsiz = m.minsiz;
    d.maxlng = m.maxlng;
    d.a_fec = m.a_fec;
    d.b_fec = m.b_fec;
    d.fec = m.fec;
    d.natmort = m.natmort;
    d.lwa = m.lwa;
    d.lwb = m.lwb;
    d.cvlng = m.cvlng;
    d.vblinf = m.vblinf;
    d.vbk = m.vbk;
    d.vbt0 = m.vbt0;
    d.szngro = m.szngro;
    d.fyg = m.fyg;
    d.meanlng = m.meanlng;
    return d;
}

void storeBioData(Maincode& m, const BioData& d) {
    m.nages = d.nages;
    m.nmorphs = d.nmorphs;
    m.nsexes = d.nsexes;
    m.nszns = d.nszns;
    m.nspecies = d.nspecies;
    m.ispszn = d.ispszn;
    m.irecruitszn = d.irecruitszn;
    m.isroption = d.isroption;
    m.isrslope = d.isrslope;
    m.itezrecruitment = d.itezrecruitment;
    m.irecruitcv = d.irecruitcv;
    m.ifecopt = d.ifecopt;
    m.nfeclng = d.nfeclng;
    m.minsiz = d.minsiz;
    m.maxlng = d.maxlng;
    m.a_fec = d.a_fec;
    m.b_fec = d.b_fec;
    m.fec = d.fec;
    m.natmort = d.natmort;
    m.lwa = d.lwa;
    m.lwb = d.lwb;
    m.cvlng = d.cvlng;
    m.vblinf = d.vblinf;
    m.vbk = d.vbk;
    m.vbt0 = d.vbt0;
    m.szngro = d.szngro;
    m.fyg = d.fyg;
    m.meanlng = d.meanlng;
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

std::string countRange(int max) {
    return "0 to " + std::to_string(max);
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
    // A comma ends the name for the control window's reader and a double quote starts a quoted
    // text, so either would shift every later value.
    if (d.nspecies.find(',') != std::string::npos) {
        return "The species name must not hold a comma." + nothingSaved;
    }
    if (d.nspecies.find('"') != std::string::npos) {
        return "The species name must not hold a double quote." + nothingSaved;
    }
    for (const CountLimit& c : kCounts) {
        const int v = d.*c.field;
        if (v < 0 || v > c.max) {
            return std::string("The ") + c.what + " is " + std::to_string(v) + "; it must be " +
                   countRange(c.max) + "." + nothingSaved;
        }
    }
    if (d.ifecopt == "L" && (d.nfeclng < 0 || d.nfeclng > kMaxLengthBins)) {
        return "The number of fecundity length intervals is " + std::to_string(d.nfeclng) +
               "; it must be " + countRange(kMaxLengthBins) + "." + nothingSaved;
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
    t += d.nspecies + eol;
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

// Reads the file item by item; the first problem ends the reading with a message.
class BioReader {
  public:
    BioReader(plat::SeqFile& f, const std::string& fileName) : f_(f), file_(fileName) {}

    const std::optional<std::string>& problem() const { return problem_; }

    bool number(double& out, const std::string& what) {
        if (problem_) return false;
        const int line = f_.lineNumber();
        const plat::NumberItem item = f_.inputNumber();
        switch (item.status) {
        case plat::ItemStatus::Ok:
            if (!std::isfinite(item.value)) return fail(line, what, item.text);
            out = item.value;
            return true;
        case plat::ItemStatus::EndOfFile:
            problem_ = "The biological data file " + file_ + " ends before " + what + ".";
            return false;
        case plat::ItemStatus::Empty:
            return fail(line, what, "");
        case plat::ItemStatus::NotANumber:
            return fail(line, what, item.text);
        }
        return false;
    }

    bool single(float& out, const std::string& what) {
        double v = 0;
        if (!number(v, what)) return false;
        if (std::fabs(v) > double(FLT_MAX)) {
            problem_ = "The biological data file " + file_ + " holds " + plat::strDouble(v) +
                       " as " + what + ", which is too large.";
            return false;
        }
        out = float(v);
        return true;
    }

    bool whole(int16_t& out, const std::string& what) {
        double v = 0;
        if (!number(v, what)) return false;
        const std::optional<int16_t> w = plat::toInteger16(v);
        if (!w) {
            problem_ = "The biological data file " + file_ + " holds " + plat::strDouble(v) +
                       " as " + what + ", which is not a whole number in range.";
            return false;
        }
        out = *w;
        return true;
    }

    // A count that sizes later blocks: refused before anything is read with it.
    bool count(int16_t& out, const std::string& what, int max) {
        if (!whole(out, what)) return false;
        if (out < 0 || out > max) {
            problem_ = "The biological data file " + file_ + " gives " + std::to_string(out) +
                       " as " + what + "; it must be " + countRange(max) + ".";
            return false;
        }
        return true;
    }

    bool text(std::string& out, const std::string& what) {
        if (problem_) return false;
        const plat::TextItem item = f_.inputText();
        if (item.status == plat::ItemStatus::EndOfFile) {
            problem_ = "The biological data file " + file_ + " ends before " + what + ".";
            return false;
        }
        out = item.status == plat::ItemStatus::Ok ? item.text : std::string();
        return true;
    }

    // The age or season number that starts a table line, read for the reader's eye only.
    bool skip(const std::string& what) {
        double ignored = 0;
        return number(ignored, what);
    }

  private:
    bool fail(int line, const std::string& what, const std::string& found) {
        problem_ = "The biological data file " + file_ + " holds " +
                   (found.empty() ? std::string("an empty item") : "\"" + found + "\"") +
                   " on line " + std::to_string(line) + " where " + what + " was expected.";
        return false;
    }

    plat::SeqFile& f_;
    std::string file_;
    std::optional<std::string> problem_;
};

std::string ofSex(int x, int s) {
    return s == 1 ? std::string() : (x == 1 ? " of the males" : " of the females");
}

} // namespace

std::optional<std::string> readBioFile(plat::SeqFile& f, const std::string& fileName, BioData& d) {
    // Every read does nothing once a problem was found, so the steps need no checks between them.
    BioReader r(f, fileName);
    const auto num = [](int v) { return std::to_string(v); };

    r.count(d.nages, "the number of ages", kMaxAge);
    r.count(d.nmorphs, "the number of growth morphs", kMaxMorphs);
    r.count(d.nsexes, "the number of sexes", kMaxSexes);
    r.count(d.nszns, "the number of seasons", kMaxSeasons);
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
        r.count(d.nfeclng, "the number of fecundity length intervals", kMaxLengthBins);
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
    return r.problem();
}

} // namespace cw
