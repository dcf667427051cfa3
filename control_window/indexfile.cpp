#include "control_window/indexfile.h"

#include <cfloat>
#include <cmath>

#include "platform/numtext.h"
#include "platform/seqfile.h"

namespace cw {

IndexData indexDataFrom(const Maincode& m, int16_t nindices) {
    IndexData d;
    d.nindices = nindices;
    d.fyr = m.fyr;
    d.lyr = m.lyr;
    d.nsexes = m.nsexes;
    d.nages = m.nages;
    d.nszns = m.nszns;
    d.i_assoc = m.i_assoc;
    d.i_meanq = m.i_meanq;
    d.i_outfile = m.i_outfile;
    d.i_type = m.i_type;
    d.i_err = m.i_err;
    d.i_ferr = m.i_ferr;
    d.l_sampsize = m.l_sampsize;
    d.l_err = m.l_err;
    d.a_sampsize = m.a_sampsize;
    d.a_err = m.a_err;
    d.i_q = m.i_q;
    d.i_seltyp = m.i_seltyp;
    d.i_nlngs = m.i_nlngs;
    d.i_minlng = m.i_minlng;
    d.i_mxlng = m.i_mxlng;
    d.i_sel = m.i_sel;
    d.i_sznfract = m.i_sznfract;
    return d;
}

void storeIndexData(Maincode& m, const IndexData& d) {
    m.fyr = d.fyr;
    m.lyr = d.lyr;
    m.nsexes = d.nsexes;
    m.nages = d.nages;
    m.nszns = d.nszns;
    m.i_assoc = d.i_assoc;
    m.i_meanq = d.i_meanq;
    m.i_outfile = d.i_outfile;
    m.i_type = d.i_type;
    m.i_err = d.i_err;
    m.i_ferr = d.i_ferr;
    m.l_sampsize = d.l_sampsize;
    m.l_err = d.l_err;
    m.a_sampsize = d.a_sampsize;
    m.a_err = d.a_err;
    m.i_q = d.i_q;
    m.i_seltyp = d.i_seltyp;
    m.i_nlngs = d.i_nlngs;
    m.i_minlng = d.i_minlng;
    m.i_mxlng = d.i_mxlng;
    m.i_sel = d.i_sel;
    m.i_sznfract = d.i_sznfract;
}

int indexBins(float nlngs) {
    const std::optional<int16_t> n = plat::toInteger16(double(nlngs));
    return n ? int(*n) : -1;
}

void fillIndexDefaults(IndexData& d) {
    const int n = std::clamp<int>(d.nindices, 0, kMaxIndices);
    for (int k = 1; k <= n; ++k) {
        if (d.i_outfile(k).empty()) d.i_outfile(k) = "sample.ndx";
        if (d.i_type(k).empty()) d.i_type(k) = "W";
        if (d.a_sampsize(k).isEmpty()) d.a_sampsize(k) = 0.0;
    }
}

namespace {

int yearsOf(int16_t fyr, int16_t lyr) {
    return int(lyr) - int(fyr) + 1;
}

struct CountLimit {
    const char* what;
    int16_t IndexData::*field;
    int min, max;
};

std::string range(int min, int max) {
    return std::to_string(min) + " to " + std::to_string(max);
}

} // namespace

std::optional<std::string> indexSaveProblem(const IndexData& d) {
    const std::string nothingSaved = " Nothing was saved.";
    const CountLimit counts[] = {
        {"number of indices", &IndexData::nindices, 1, kMaxIndices},
        {"number of ages", &IndexData::nages, 0, kMaxAge},
        {"number of sexes", &IndexData::nsexes, 1, kMaxSexes},
        {"number of seasons", &IndexData::nszns, 1, kMaxSeasons},
    };
    for (const CountLimit& c : counts) {
        const int v = d.*c.field;
        if (v < c.min || v > c.max) {
            return std::string("The ") + c.what + " is " + std::to_string(v) + "; it must be " +
                   range(c.min, c.max) + "." + nothingSaved;
        }
    }
    const int years = yearsOf(d.fyr, d.lyr);
    if (years > kMaxYears) {
        return "The years " + std::to_string(d.fyr) + " to " + std::to_string(d.lyr) + " are " +
               std::to_string(years) + " years; at most " + std::to_string(kMaxYears) +
               " can be saved." + nothingSaved;
    }
    for (int k = 1; k <= d.nindices; ++k) {
        const std::string index = "index " + std::to_string(k);
        const std::string& name = d.i_outfile(k);
        // The reader ends a text at a comma, takes a double quote for the start of a quoted text
        // and drops the blanks around it, so such a name would not read back as it stands.
        if (name.find_first_not_of(' ') == std::string::npos) {
            return "Enter the output file name of " + index + " first." + nothingSaved;
        }
        if (name.find(',') != std::string::npos || name.find('"') != std::string::npos) {
            return "The output file name of " + index +
                   " must not hold a comma or a double quote." + nothingSaved;
        }
        if (name.front() == ' ' || name.back() == ' ') {
            return "The output file name of " + index + " must not begin or end with a blank." +
                   nothingSaved;
        }
        if (d.i_assoc(k) == 0 && d.i_seltyp(k) == "L") {
            const int bins = indexBins(d.i_nlngs(k));
            if (bins < 0 || bins > kMaxLengthBins) {
                return "The number of length intervals of " + index + " is " +
                       plat::strSingle(d.i_nlngs(k)) + "; it must be " + range(0, kMaxLengthBins) +
                       "." + nothingSaved;
            }
        }
    }
    return std::nullopt;
}

namespace {

std::string printVariant(const Variant& v) {
    switch (v.kind()) {
    case Variant::Kind::Empty:
        return {};
    case Variant::Kind::Integer:
        return plat::printInteger(long(v.number()));
    case Variant::Kind::Double:
        return plat::printDouble(v.number());
    case Variant::Kind::Text:
        return v.text();
    }
    return {};
}

} // namespace

std::string indexFileText(const IndexData& d) {
    using plat::printInteger;
    using plat::printSingle;
    const std::string eol = "\r\n";
    std::string t;
    for (int16_t v : {d.nindices, d.fyr, d.lyr, d.nsexes, d.nages, d.nszns})
        t += printInteger(v) + eol;
    for (int k = 1; k <= d.nindices; ++k) {
        t += printInteger(d.i_assoc(k)) + eol;
        t += printSingle(d.i_meanq(k)) + eol;
        t += d.i_outfile(k) + eol;
        t += d.i_type(k) + eol;
        t += printSingle(d.i_err(k)) + eol;
        t += printSingle(d.i_ferr(k)) + eol;
        t += printSingle(d.l_sampsize(k)) + eol;
        t += printSingle(d.l_err(k)) + eol;
        t += printVariant(d.a_sampsize(k)) + eol;
        t += printSingle(d.a_err(k)) + eol;
    }
    const int years = std::min(yearsOf(d.fyr, d.lyr), kMaxYears);
    for (int j = 1; j <= years; ++j) {
        t += printInteger(d.fyr + j - 1) + eol;
        for (int k = 1; k <= d.nindices; ++k) {
            t += printSingle(d.i_q(k, j)) + eol;
            if (d.i_assoc(k) != 0) continue;
            t += d.i_seltyp(k).str() + eol;
            if (d.i_seltyp(k) == "A") {
                for (int a = 0; a <= d.nages; ++a)
                    for (int s = 1; s <= d.nsexes; ++s)
                        t += printSingle(d.i_sel(k, a, s, j)) + eol;
            } else if (d.i_seltyp(k) == "L") {
                t += printSingle(d.i_nlngs(k)) + eol;
                t += printSingle(d.i_minlng(k)) + eol;
                t += printSingle(d.i_mxlng(k)) + eol;
                const int bins = indexBins(d.i_nlngs(k));
                for (int b = 1; b <= bins; ++b)
                    for (int s = 1; s <= d.nsexes; ++s)
                        t += printSingle(d.i_sel(k, b, s, j)) + eol;
            }
            for (int z = 1; z <= d.nszns; ++z)
                t += printSingle(d.i_sznfract(k, z, j)) + eol;
        }
    }
    return t;
}

namespace {

// Reads the file item by item; the first problem ends the reading with a message.
class IndexReader {
  public:
    IndexReader(plat::SeqFile& f, const std::string& fileName)
        : f_(f), file_("The index data file " + fileName) {}

    const std::optional<std::string>& problem() const { return problem_; }
    void fail(const std::string& text) {
        if (!problem_) problem_ = file_ + " " + text;
    }

    bool number(double& out, const std::string& what) {
        if (problem_) return false;
        const int line = f_.lineNumber();
        const plat::NumberItem item = f_.inputNumber();
        if (item.status == plat::ItemStatus::EndOfFile) {
            fail("ends before " + what + ".");
            return false;
        }
        if (item.status != plat::ItemStatus::Ok || !std::isfinite(item.value)) {
            return found(line, item.text, what);
        }
        out = item.value;
        return true;
    }

    bool single(float& out, const std::string& what) {
        double v = 0;
        if (!number(v, what)) return false;
        if (std::fabs(v) > double(FLT_MAX)) {
            fail("holds " + plat::strDouble(v) + " as " + what + ", which is too large.");
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
            fail("holds " + plat::strDouble(v) + " as " + what +
                 ", which is not a whole number in range.");
            return false;
        }
        out = *w;
        return true;
    }

    // A count that sizes later blocks: refused before anything is read with it.
    bool count(int16_t& out, const std::string& what, int max) {
        if (!whole(out, what)) return false;
        if (out < 0 || out > max) {
            fail("gives " + std::to_string(out) + " as " + what + "; it must be " + range(0, max) +
                 ".");
            return false;
        }
        return true;
    }

    bool text(std::string& out, const std::string& what) {
        if (problem_) return false;
        const plat::TextItem item = f_.inputText();
        if (item.status == plat::ItemStatus::EndOfFile) {
            fail("ends before " + what + ".");
            return false;
        }
        out = item.status == plat::ItemStatus::Ok ? item.text : std::string();
        return true;
    }

    // A value that an index never shown leaves as an empty line: read as a line of its own, so
    // that an empty one does not take the next line's number.
    bool numberOrEmpty(Variant& out, const std::string& what) {
        if (problem_) return false;
        const int line = f_.lineNumber();
        std::string t;
        if (!text(t, what)) return false;
        if (t.empty()) {
            out.clear();
            return true;
        }
        const std::optional<double> v = plat::parseNumber(t);
        if (!v || !std::isfinite(*v)) return found(line, t, what);
        out = *v;
        return true;
    }

  private:
    bool found(int line, const std::string& text, const std::string& what) {
        fail("holds " + (text.empty() ? std::string("an empty item") : "\"" + text + "\"") +
             " on line " + std::to_string(line) + " where " + what + " was expected.");
        return false;
    }

    plat::SeqFile& f_;
    std::string file_;
    std::optional<std::string> problem_;
};

} // namespace

std::optional<std::string> readIndexFile(plat::SeqFile& f, const std::string& fileName,
                                         IndexData& d) {
    // Every read does nothing once a problem was found, so the steps need no checks between them.
    IndexReader r(f, fileName);
    r.count(d.nindices, "the number of indices", kMaxIndices);
    r.whole(d.fyr, "the first year");
    r.whole(d.lyr, "the last year");
    r.count(d.nsexes, "the number of sexes", kMaxSexes);
    r.count(d.nages, "the number of ages", kMaxAge);
    r.count(d.nszns, "the number of seasons", kMaxSeasons);
    if (r.problem()) return r.problem();

    // The arrays hold 250 years: a longer range is refused before any year block is read.
    const int years = yearsOf(d.fyr, d.lyr);
    if (years > kMaxYears) {
        r.fail("covers " + std::to_string(years) + " years (" + std::to_string(d.fyr) + " to " +
               std::to_string(d.lyr) + "); at most " + std::to_string(kMaxYears) + " can be read.");
        return r.problem();
    }

    for (int k = 1; k <= d.nindices && !r.problem(); ++k) {
        const std::string of = " of index " + std::to_string(k);
        r.whole(d.i_assoc(k), "the associated fishery" + of);
        r.single(d.i_meanq(k), "the mean catchability" + of);
        r.text(d.i_outfile(k), "the output file name" + of);
        r.text(d.i_type(k), "the index type" + of);
        r.single(d.i_err(k), "the index error" + of);
        r.single(d.i_ferr(k), "the effort error" + of);
        r.single(d.l_sampsize(k), "the length sample size" + of);
        r.single(d.l_err(k), "the length composition error" + of);
        r.numberOrEmpty(d.a_sampsize(k), "the age sample size" + of);
        r.single(d.a_err(k), "the age composition error" + of);
    }

    for (int j = 1; j <= years && !r.problem(); ++j) {
        const int year = int(d.fyr) + j - 1;
        const std::string in = " in " + std::to_string(year);
        // The year line is not needed, but a year that is not the expected one means the values
        // before it did not follow the layout, and everything after it would be shifted.
        const int line = f.lineNumber();
        double shown = 0;
        if (!r.number(shown, "the year line of " + std::to_string(year))) break;
        if (shown != double(year)) {
            r.fail("holds " + plat::strDouble(shown) + " on line " + std::to_string(line) +
                   " where the year line of " + std::to_string(year) +
                   " was expected; its values do not follow the layout of an index file.");
            break;
        }
        for (int k = 1; k <= d.nindices && !r.problem(); ++k) {
            const std::string of = " of index " + std::to_string(k);
            r.single(d.i_q(k, j), "the catchability" + of + in);
            if (d.i_assoc(k) != 0) continue;
            std::string type;
            r.text(type, "the selectivity type" + of + in);
            d.i_seltyp(k) = type;
            if (d.i_seltyp(k) == "A") {
                for (int a = 0; a <= d.nages && !r.problem(); ++a)
                    for (int s = 1; s <= d.nsexes; ++s)
                        r.single(d.i_sel(k, a, s, j), "the selectivity at age " +
                                                          std::to_string(a) + " of sex " +
                                                          std::to_string(s) + of + in);
            } else if (d.i_seltyp(k) == "L") {
                r.single(d.i_nlngs(k), "the number of length intervals" + of + in);
                r.single(d.i_minlng(k), "the lower length" + of + in);
                r.single(d.i_mxlng(k), "the upper length" + of + in);
                if (r.problem()) break;
                const int bins = indexBins(d.i_nlngs(k));
                if (bins < 0 || bins > kMaxLengthBins) {
                    r.fail("gives " + plat::strSingle(d.i_nlngs(k)) +
                           " as the number of length intervals" + of + in + "; it must be " +
                           range(0, kMaxLengthBins) + ".");
                    break;
                }
                for (int b = 1; b <= bins && !r.problem(); ++b)
                    for (int s = 1; s <= d.nsexes; ++s)
                        r.single(d.i_sel(k, b, s, j), "the selectivity of length bin " +
                                                          std::to_string(b) + " of sex " +
                                                          std::to_string(s) + of + in);
            }
            for (int z = 1; z <= d.nszns; ++z)
                r.single(d.i_sznfract(k, z, j),
                         "the fraction of season " + std::to_string(z) + of + in);
        }
    }
    return r.problem();
}

} // namespace cw
