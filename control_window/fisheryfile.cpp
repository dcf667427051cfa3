#include "control_window/fisheryfile.h"

#include <cfloat>
#include <cmath>

#include "platform/numtext.h"
#include "platform/seqfile.h"

namespace cw {

FisheryData fisheryDataFrom(const Maincode& m) {
    FisheryData d;
    d.fyr = m.fyr;
    d.lyr = m.lyr;
    d.nsexes = m.nsexes;
    d.nszns = m.nszns;
    d.nages = m.nages;
    d.ngear = m.ngear;
    d.fcv = m.fcv;
    d.f_tac = m.f_tac;
    d.f_annf = m.f_annf;
    d.f_seltyp = m.f_seltyp;
    d.f_nlng = m.f_nlng;
    d.f_mxlng = m.f_mxlng;
    d.f_minvulsiz = m.f_minvulsiz;
    d.f_minlng = m.f_minlng;
    d.f_sel = m.f_sel;
    d.f_sznfract = m.f_sznfract;
    d.f_regs = m.f_regs;
    return d;
}

void storeFisheryData(Maincode& m, const FisheryData& d) {
    m.fyr = d.fyr;
    m.lyr = d.lyr;
    m.nsexes = d.nsexes;
    m.nszns = d.nszns;
    m.nages = d.nages;
    m.ngear = d.ngear;
    m.fcv = d.fcv;
    m.f_tac = d.f_tac;
    m.f_annf = d.f_annf;
    m.f_seltyp = d.f_seltyp;
    m.f_nlng = d.f_nlng;
    m.f_mxlng = d.f_mxlng;
    m.f_minvulsiz = d.f_minvulsiz;
    m.f_minlng = d.f_minlng;
    m.f_sel = d.f_sel;
    m.f_sznfract = d.f_sznfract;
    m.f_regs = d.f_regs;
}

std::optional<int> binCount(float f_nlng) {
    const std::optional<int16_t> b = plat::toInteger16(double(f_nlng));
    if (!b) return std::nullopt;
    return int(*b);
}

namespace {

const std::string kEol = "\r\n";
const std::string kNothingSaved = " Nothing was saved.";

std::string num(int v) {
    return std::to_string(v);
}

struct CountLimit {
    const char* what;
    int16_t FisheryData::*field;
    int min, max;
};

// Counts that size the blocks of both files, with the range each file can carry.
const CountLimit kFstCounts[] = {
    {"number of sexes", &FisheryData::nsexes, 1, kMaxSexes},
    {"number of seasons", &FisheryData::nszns, 0, kMaxSeasons},
    {"number of ages", &FisheryData::nages, 0, kMaxAge},
    {"number of fisheries", &FisheryData::ngear, 0, kMaxFisheries},
};
const CountLimit kMgtCounts[] = {
    {"number of sexes", &FisheryData::nsexes, 1, kMaxSexes},
    {"number of seasons", &FisheryData::nszns, 1, kMaxSeasons},
    {"number of ages", &FisheryData::nages, 0, kMaxAge},
    {"number of fisheries", &FisheryData::ngear, 0, kMaxFisheries},
};

std::optional<std::string> countProblem(const FisheryData& d, const CountLimit& c,
                                        const std::string& tail) {
    const int v = d.*c.field;
    if (v < c.min || v > c.max) {
        return std::string("The ") + c.what + " is " + num(v) + "; it must be " + num(c.min) +
               " to " + num(c.max) + "." + tail;
    }
    return std::nullopt;
}

int yearCount(const FisheryData& d) {
    return int(d.lyr) - int(d.fyr) + 1;
}

std::optional<std::string> yearsProblem(int n, const std::string& tail) {
    if (n < 1) return "The last year lies before the first year." + tail;
    if (n > kMaxYears) {
        return "The years span " + num(n) + " years; at most " + num(kMaxYears) + " are possible." +
               tail;
    }
    return std::nullopt;
}

// The lower length as the definition file holds it: a number, or an empty line when it was
// never entered.
std::string minLengthText(const Variant& v) {
    if (v.isEmpty()) return std::string();
    return plat::printDouble(v.number());
}

} // namespace

std::optional<std::string> fstSaveProblem(const FisheryData& d) {
    if (auto p = yearsProblem(yearCount(d), kNothingSaved)) return p;
    for (const CountLimit& c : kFstCounts) {
        if (auto p = countProblem(d, c, kNothingSaved)) return p;
    }
    for (int k = 1; k <= d.ngear; ++k) {
        const char t = d.f_seltyp(k).ch();
        // A comma or a double quote would end or open the type item for the reader.
        if (t == ',' || t == '"') {
            return "Fishery " + num(k) + " has the selectivity type \"" + std::string(1, t) +
                   "\"; give it type A or L." + kNothingSaved;
        }
        if (t == 'L') {
            const std::optional<int> b = binCount(d.f_nlng(k));
            if (!b || *b > kMaxLengthBins) {
                return "Fishery " + num(k) + " has " + plat::strSingle(d.f_nlng(k)) +
                       " length bins; at most " + num(kMaxLengthBins) + " are possible." +
                       kNothingSaved;
            }
        }
    }
    return std::nullopt;
}

std::string fstFileText(const FisheryData& d) {
    using plat::printInteger;
    using plat::printSingle;
    const int n = yearCount(d);
    std::string t;
    t += printInteger(d.fyr) + kEol;
    t += printInteger(d.lyr) + kEol;
    t += printInteger(d.nsexes) + kEol;
    t += printInteger(d.nszns) + kEol;
    t += printInteger(d.nages) + kEol;
    t += printInteger(d.ngear) + kEol;
    t += printSingle(d.fcv) + kEol;
    for (int y = 1; y <= n; ++y) {
        t += printInteger(d.fyr + y - 1);
        for (int k = 1; k <= d.ngear; ++k)
            t += printSingle(d.f_tac(y, k));
        t += kEol;
    }
    for (int y = 1; y <= n; ++y) {
        for (int k = 1; k <= d.ngear; ++k)
            t += printSingle(d.f_annf(y, k));
        t += kEol;
    }
    for (int k = 1; k <= d.ngear; ++k) {
        const Char1 type = d.f_seltyp(k);
        t += type.str() + kEol;
        if (type == "L") {
            const int bins = binCount(d.f_nlng(k)).value_or(0);
            t += printSingle(d.f_nlng(k)) + kEol;
            t += minLengthText(d.f_minlng(k)) + kEol;
            t += printSingle(d.f_mxlng(k)) + kEol;
            for (int y = 1; y <= n; ++y) {
                for (int b = 1; b <= bins; ++b) {
                    for (int s = 1; s <= d.nsexes; ++s)
                        t += printSingle(d.f_sel(k, b, s, y));
                    t += kEol;
                }
            }
        } else if (type == "A") {
            t += printSingle(d.f_minvulsiz(k)) + kEol;
            for (int y = 1; y <= n; ++y) {
                for (int a = 0; a <= d.nages; ++a) {
                    for (int s = 1; s <= d.nsexes; ++s)
                        t += printSingle(d.f_sel(k, a, s, y));
                    t += kEol;
                }
            }
        }
        for (int y = 1; y <= n; ++y) {
            for (int q = 1; q <= d.nszns; ++q)
                t += printSingle(d.f_sznfract(k, q, y));
            t += kEol;
            t += printSingle(d.f_regs(1, k, y)) + printSingle(d.f_regs(2, k, y)) +
                 printSingle(d.f_regs(3, k, y)) + kEol;
        }
    }
    return t;
}

namespace {

// Reads the file item by item; the first problem ends the reading with a message, and every
// later read then does nothing.
class FstReader {
  public:
    FstReader(plat::SeqFile& f, const std::string& fileName) : f_(f), file_(fileName) {}

    const std::optional<std::string>& problem() const { return problem_; }
    int line() const { return f_.lineNumber(); }

    bool number(double& out, const std::string& what) {
        if (problem_) return false;
        const int at = f_.lineNumber();
        const plat::NumberItem item = f_.inputNumber();
        switch (item.status) {
        case plat::ItemStatus::Ok:
            if (!std::isfinite(item.value)) return fail(at, what, item.text);
            out = item.value;
            return true;
        case plat::ItemStatus::EndOfFile:
            return ends(what);
        case plat::ItemStatus::Empty:
            return fail(at, what, "");
        case plat::ItemStatus::NotANumber:
            return fail(at, what, item.text);
        }
        return false;
    }

    bool single(float& out, const std::string& what) {
        double v = 0;
        if (!number(v, what)) return false;
        if (std::fabs(v) > double(FLT_MAX)) {
            problem_ = "The fishery data file " + file_ + " holds " + plat::strDouble(v) + " as " +
                       what + ", which is too large.";
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
            problem_ = "The fishery data file " + file_ + " holds " + plat::strDouble(v) + " as " +
                       what + ", which is not a whole number in range.";
            return false;
        }
        out = *w;
        return true;
    }

    bool count(int16_t& out, const std::string& what, int min, int max) {
        if (!whole(out, what)) return false;
        if (out < min || out > max) {
            problem_ = "The fishery data file " + file_ + " gives " + num(out) + " as " + what +
                       "; it must be " + num(min) + " to " + num(max) + ".";
            return false;
        }
        return true;
    }

    // A selectivity type: the first character of its line, a blank for an empty line.
    bool type(Char1& out, const std::string& what) {
        if (problem_) return false;
        const plat::TextItem item = f_.inputText();
        if (item.status == plat::ItemStatus::EndOfFile) return ends(what);
        out = item.status == plat::ItemStatus::Ok ? item.text : std::string();
        return true;
    }

    // The lower length of the bins: a number, or no value on an empty line.
    bool optionalNumber(Variant& out, const std::string& what) {
        if (problem_) return false;
        const int at = f_.lineNumber();
        const plat::TextItem item = f_.inputText();
        if (item.status == plat::ItemStatus::EndOfFile) return ends(what);
        if (item.status != plat::ItemStatus::Ok || item.text.empty()) {
            out.clear();
            return true;
        }
        const std::optional<double> v = plat::parseNumber(item.text);
        if (!v || !std::isfinite(*v)) return fail(at, what, item.text);
        out = *v;
        return true;
    }

    void refuse(const std::string& message) {
        if (!problem_) problem_ = message;
    }

  private:
    bool ends(const std::string& what) {
        problem_ = "The fishery data file " + file_ + " ends before " + what + ".";
        return false;
    }
    bool fail(int at, const std::string& what, const std::string& found) {
        problem_ = "The fishery data file " + file_ + " holds " +
                   (found.empty() ? std::string("an empty item") : "\"" + found + "\"") +
                   " on line " + num(at) + " where " + what + " was expected.";
        return false;
    }

    plat::SeqFile& f_;
    std::string file_;
    std::optional<std::string> problem_;
};

std::string ofFishery(int k) {
    return " of fishery " + num(k);
}

std::string inYear(int calendarYear) {
    return " in " + num(calendarYear);
}

std::string ofSex(int s, int nsexes) {
    return nsexes == 1 ? std::string() : (s == 1 ? " of the males" : " of the females");
}

} // namespace

std::optional<std::string> readFstFile(plat::SeqFile& f, const std::string& fileName,
                                       FisheryData& d) {
    FstReader r(f, fileName);
    r.whole(d.fyr, "the first year");
    r.whole(d.lyr, "the last year");
    r.count(d.nsexes, "the number of sexes", 1, kMaxSexes);
    r.count(d.nszns, "the number of seasons", 0, kMaxSeasons);
    r.count(d.nages, "the number of ages", 0, kMaxAge);
    r.count(d.ngear, "the number of fisheries", 0, kMaxFisheries);
    r.single(d.fcv, "the total F randomization scalar");
    if (r.problem()) return r.problem();
    const int n = yearCount(d);
    if (n < 1 || n > kMaxYears) {
        return "The fishery data file " + fileName + " gives the years " + num(d.fyr) + " to " +
               num(d.lyr) + "; they must span 1 to " + num(kMaxYears) + " years.";
    }

    for (int y = 1; y <= n && !r.problem(); ++y) {
        const int expected = d.fyr + y - 1;
        const int at = r.line();
        int16_t year = 0;
        if (!r.whole(year, "the year " + num(expected) + " at the head of a catch line")) break;
        // A catch line of another year means the file does not fit its own first and last
        // year: reading on would take every later value for another one.
        if (year != expected) {
            r.refuse("The fishery data file " + fileName + " gives the year " + num(year) +
                     " on line " + num(at) + " where the year " + num(expected) +
                     " was expected; the catch lines do not fit the first and last year.");
            break;
        }
        for (int k = 1; k <= d.ngear; ++k)
            r.single(d.f_tac(y, k), "the TAC" + ofFishery(k) + inYear(expected));
    }
    for (int y = 1; y <= n && !r.problem(); ++y) {
        for (int k = 1; k <= d.ngear; ++k)
            r.single(d.f_annf(y, k), "the annual F" + ofFishery(k) + inYear(d.fyr + y - 1));
    }
    for (int k = 1; k <= d.ngear && !r.problem(); ++k) {
        r.type(d.f_seltyp(k), "the selectivity type" + ofFishery(k));
        if (r.problem()) break;
        const Char1 type = d.f_seltyp(k);
        if (type == "L") {
            r.single(d.f_nlng(k), "the number of length bins" + ofFishery(k));
            if (r.problem()) break;
            const std::optional<int> b = binCount(d.f_nlng(k));
            if (!b || *b > kMaxLengthBins) {
                r.refuse("The fishery data file " + fileName + " gives " +
                         plat::strSingle(d.f_nlng(k)) + " length bins" + ofFishery(k) +
                         "; at most " + num(kMaxLengthBins) + " are possible.");
                break;
            }
            r.optionalNumber(d.f_minlng(k), "the lower length of the bins" + ofFishery(k));
            r.single(d.f_mxlng(k), "the upper length of the bins" + ofFishery(k));
            for (int y = 1; y <= n && !r.problem(); ++y) {
                for (int c = 1; c <= *b; ++c) {
                    for (int s = 1; s <= d.nsexes; ++s) {
                        r.single(d.f_sel(k, c, s, y),
                                 "the selectivity" + ofFishery(k) + " in length bin " + num(c) +
                                     ofSex(s, d.nsexes) + inYear(d.fyr + y - 1));
                    }
                }
            }
        } else if (type == "A") {
            r.single(d.f_minvulsiz(k), "the minimum vulnerable size" + ofFishery(k));
            for (int y = 1; y <= n && !r.problem(); ++y) {
                for (int a = 0; a <= d.nages; ++a) {
                    for (int s = 1; s <= d.nsexes; ++s) {
                        r.single(d.f_sel(k, a, s, y), "the selectivity" + ofFishery(k) +
                                                          " at age " + num(a) + ofSex(s, d.nsexes) +
                                                          inYear(d.fyr + y - 1));
                    }
                }
            }
        }
        for (int y = 1; y <= n && !r.problem(); ++y) {
            const std::string when = ofFishery(k) + inYear(d.fyr + y - 1);
            for (int q = 1; q <= d.nszns; ++q)
                r.single(d.f_sznfract(k, q, y), "the F fraction of season " + num(q) + when);
            r.single(d.f_regs(1, k, y), "the minimum size" + when);
            r.single(d.f_regs(2, k, y), "the maximum size" + when);
            r.single(d.f_regs(3, k, y), "the discard mortality" + when);
        }
    }
    return r.problem();
}

std::optional<std::string> mgtExportProblem(const FisheryData& d, int nyrs) {
    const std::string tail = " Nothing was exported.";
    if (auto p = yearsProblem(nyrs, tail)) return p;
    for (const CountLimit& c : kMgtCounts) {
        if (auto p = countProblem(d, c, tail)) return p;
    }
    for (int k = 1; k <= d.ngear; ++k) {
        const Char1 type = d.f_seltyp(k);
        // The engines read the type as the first item of its line and skip empty lines, so a
        // blank type would take the next value for the type.
        if (type != "A" && type != "L") {
            return "Fishery " + num(k) +
                   " has no selectivity type: give it type A or L, or lower the number of "
                   "fisheries." +
                   tail;
        }
        if (type == "L") {
            const std::optional<int> b = binCount(d.f_nlng(k));
            // The engines drop a fraction of the count where the export rounds it.
            if (!b || float(*b) != d.f_nlng(k) || *b < 1 || *b > kMaxLengthBins) {
                return "Fishery " + num(k) + " has " + plat::strSingle(d.f_nlng(k)) +
                       " length bins; give it a whole number from 1 to " + num(kMaxLengthBins) +
                       "." + tail;
            }
        }
    }
    return std::nullopt;
}

std::string mgtHeaderText(const FisheryData& d) {
    return plat::printSingle(d.fcv) + kEol;
}

std::string mgtBlockBody(const FisheryData& d, int dataYear) {
    using plat::printDouble;
    using plat::printSingle;
    const int j = dataYear;
    std::string t = plat::printInteger(d.ngear) + kEol;
    for (int k = 1; k <= d.ngear; ++k) {
        const Char1 type = d.f_seltyp(k);
        t += type.str() + kEol;
        if (type == "A") {
            t += printSingle(d.f_minvulsiz(k)) + kEol;
        } else if (type == "L") {
            t += printSingle(d.f_nlng(k)) + kEol;
            t += printDouble(d.f_minlng(k).number()) + kEol;
            t += printSingle(d.f_mxlng(k)) + kEol;
        }
        t += printSingle(d.f_tac(j, k)) + kEol;
    }
    for (int k = 1; k <= d.ngear; ++k) {
        const Char1 type = d.f_seltyp(k);
        int rows = 0;
        int first = 0;
        if (type == "A") {
            rows = d.nages + 1;
        } else if (type == "L") {
            rows = binCount(d.f_nlng(k)).value_or(0);
            first = 1;
        }
        const double annf = d.f_annf(j, k);
        for (int s = 1; s <= d.nsexes; ++s) {
            for (int x = first; x < first + rows; ++x) {
                const double sel = d.f_sel(k, x, s, j);
                for (int q = 1; q <= d.nszns; ++q)
                    t += printDouble(double(d.f_sznfract(k, q, j)) * annf * sel) + kEol;
            }
        }
        t += printSingle(d.f_regs(1, k, j)) + kEol;
        t += printSingle(d.f_regs(2, k, j)) + kEol;
        t += printSingle(d.f_regs(3, k, j)) + kEol;
    }
    return t;
}

std::string mgtBlockText(const FisheryData& d, int blockYear, int dataYear) {
    return plat::printInteger(blockYear) + kEol + mgtBlockBody(d, dataYear);
}

std::string mgtFileText(const FisheryData& d, int nyrs) {
    std::string t = mgtHeaderText(d);
    for (int b = 1; b <= nyrs + 1; ++b) {
        const int year = d.fyr + b - 1;
        t += mgtBlockText(d, year, year > d.lyr ? b - 1 : b);
    }
    return t;
}

} // namespace cw
