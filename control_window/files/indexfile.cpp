#include "control_window/files/indexfile.h"

#include "control_window/files/definitionreader.h"
#include "platform/numtext.h"

namespace cw {

namespace {

// Every field of the data model that an index file holds, listed once for both directions; the
// number of indices belongs to the editor.
template <class Model, class Data, class Copy> void eachIndexField(Model& m, Data& d, Copy copy) {
    copy(m.fyr, d.fyr);
    copy(m.lyr, d.lyr);
    copy(m.nsexes, d.nsexes);
    copy(m.nages, d.nages);
    copy(m.nszns, d.nszns);
    copy(m.i_assoc, d.i_assoc);
    copy(m.i_meanq, d.i_meanq);
    copy(m.i_outfile, d.i_outfile);
    copy(m.i_type, d.i_type);
    copy(m.i_err, d.i_err);
    copy(m.i_ferr, d.i_ferr);
    copy(m.l_sampsize, d.l_sampsize);
    copy(m.l_err, d.l_err);
    copy(m.a_sampsize, d.a_sampsize);
    copy(m.a_err, d.a_err);
    copy(m.i_q, d.i_q);
    copy(m.i_seltyp, d.i_seltyp);
    copy(m.i_nlngs, d.i_nlngs);
    copy(m.i_minlng, d.i_minlng);
    copy(m.i_mxlng, d.i_mxlng);
    copy(m.i_sel, d.i_sel);
    copy(m.i_sznfract, d.i_sznfract);
}

} // namespace

IndexData indexDataFrom(const Maincode& m, int16_t nindices) {
    IndexData d;
    d.nindices = nindices;
    eachIndexField(m, d, [](const auto& from, auto& to) { to = from; });
    return d;
}

void storeIndexData(Maincode& m, const IndexData& d) {
    eachIndexField(m, d, [](auto& to, const auto& from) { to = from; });
}

int indexBins(float nlngs) {
    const std::optional<int16_t> n = plat::toInteger16(double(nlngs));
    return n ? int(*n) : -1;
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
        if (auto p = countRangeProblem(c.what, d.*c.field, c.min, c.max)) return *p + nothingSaved;
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
        // An empty name is that of an index never shown, written as it stands.
        if (!name.empty() && name.find_first_not_of(' ') == std::string::npos) {
            return "Enter the output file name of " + index + " first." + nothingSaved;
        }
        // The reader ends a text at a comma, takes a double quote for the start of a quoted text
        // and drops the blanks and tabs around it, so such a text would not read back as it
        // stands.
        const auto blank = [](char c) { return c == ' ' || c == '\t'; };
        for (const auto& [text, what] :
             {std::pair{&name, "output file name"}, std::pair{&d.i_type(k), "type"}}) {
            if (text->find(',') != std::string::npos || text->find('"') != std::string::npos) {
                return "The " + std::string(what) + " of " + index +
                       " must not hold a comma or a double quote." + nothingSaved;
            }
            if (!text->empty() && (blank(text->front()) || blank(text->back()))) {
                return "The " + std::string(what) + " of " + index +
                       " must not begin or end with a blank." + nothingSaved;
            }
        }
        if (auto p = blankInNameProblem(name, "output file name of " + index))
            return *p + nothingSaved;
        // The selectivity type is a text item of its own too.
        if (const char t = d.i_seltyp(k).ch();
            d.i_assoc(k) == 0 && (t == ',' || t == '"' || t == '\t')) {
            return "The selectivity type of " + index + " is \"" + std::string(1, t) +
                   "\"; give it type A or L." + nothingSaved;
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

std::optional<std::string> readIndexFile(plat::SeqFile& f, const std::string& fileName,
                                         IndexData& d) {
    // Every read does nothing once a problem was found, so the steps need no checks between them.
    DefinitionReader r(f, "The index data file " + fileName);
    r.count(d.nindices, "the number of indices", 0, kMaxIndices);
    r.whole(d.fyr, "the first year");
    r.whole(d.lyr, "the last year");
    r.count(d.nsexes, "the number of sexes", 0, kMaxSexes);
    r.count(d.nages, "the number of ages", 0, kMaxAge);
    r.count(d.nszns, "the number of seasons", 0, kMaxSeasons);
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
        const int line = r.line();
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
    return r.finish();
}

} // namespace cw
