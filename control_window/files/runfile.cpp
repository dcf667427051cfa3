#include "control_window/files/runfile.h"

#include <cmath>
#include <limits>

#include "control_window/files/definitionreader.h"
#include "platform/numtext.h"

namespace cw {

namespace {

// Every name of the file with the label the user knows it by, in file order.
struct NameField {
    std::string RunData::*field;
    const char* label;
};
const NameField kNames[] = {
    {&RunData::bio, "Biological data input file"},
    {&RunData::yoy, "Recruitment data file"},
    {&RunData::refpoints, "Prior known reference points"},
    {&RunData::incond, "Initial conditions input file"},
    {&RunData::mgt, "Management file"},
    {&RunData::ndx, "Index definition file"},
    {&RunData::lnds, "Landings output file"},
    {&RunData::ctch, "Catch statistics output file"},
    {&RunData::stock, "Stock statistics output file"},
    {&RunData::ctch_lng, "Catch length output file"},
    {&RunData::incondout, "File to put initial condititions"},
    {&RunData::logf, "Log file for output"},
};

std::string upper(std::string s) {
    for (char& c : s) {
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    }
    return s;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

} // namespace

std::string normalisedOptionalName(const std::string& name) {
    const std::string u = upper(name);
    if (name.empty() || u == "NUL" || u == "NULL") return "NUL";
    return name;
}

std::optional<std::string> runSaveProblem(const RunData& d) {
    const std::string nothingSaved = " Nothing was saved.";
    for (const NameField& n : kNames) {
        const std::string& v = d.*n.field;
        const std::string field = std::string("\"") + n.label + "\"";
        // Either would shift every later value.
        if (auto p = commaOrQuoteProblem(v, "name in " + field)) return *p + nothingSaved;
        // The reader drops blanks around a text.
        if (!v.empty() && (isBlank(v.front()) || isBlank(v.back()))) {
            return "The name in " + field + " must not begin or end with a blank." + nothingSaved;
        }
        if (auto p = blankInNameProblem(v, "name in " + field)) return *p + nothingSaved;
    }
    return std::nullopt;
}

std::string runFileText(const RunData& d) {
    using plat::printInteger;
    using plat::printSingle;
    const std::string eol = "\r\n";
    std::string t;
    t += printInteger(d.reps) + eol;
    t += d.bio + eol;
    t += d.yoy + eol;
    t += d.refpoints + eol;
    t += d.incond + eol;
    t += d.mgt + eol;
    t += d.ndx + eol;
    t += printInteger(d.lngs) + eol;
    t += printSingle(d.lme) + eol;
    t += printInteger(d.l_a) + eol;
    t += printSingle(d.ame) + eol;
    t += printInteger(d.fyrout) + eol;
    t += printInteger(d.lyrout) + eol;
    t += d.lnds + eol;
    t += d.ctch + eol;
    t += d.stock + eol;
    t += d.ctch_lng + eol;
    t += d.incondout + eol;
    t += d.logf + eol;
    return t;
}

namespace {

// A whole number as the run editor's field holds it: halves to even, within the field's range.
template <class T> void readWhole(DefinitionReader& r, T& out, const std::string& what) {
    double v = 0;
    if (!r.number(v, what)) return;
    const double w = std::nearbyint(v);
    if (w < double(std::numeric_limits<T>::min()) || w > double(std::numeric_limits<T>::max())) {
        r.fail("holds " + plat::strDouble(v) + " as " + what + ", which is outside " +
               std::to_string(std::numeric_limits<T>::min()) + " to " +
               std::to_string(std::numeric_limits<T>::max()) + ".");
        return;
    }
    out = T(w);
}

} // namespace

std::optional<std::string> readRunFile(plat::SeqFile& f, const std::string& fileName, RunData& d) {
    // Every read does nothing once a problem was found, so the steps need no checks between them.
    DefinitionReader r(f, "The run definition file " + fileName);
    readWhole(r, d.reps, "the number of replications");
    r.text(d.bio, "the biological data input file");
    r.text(d.yoy, "the recruitment data file");
    r.text(d.refpoints, "the prior known reference points file");
    r.text(d.incond, "the initial conditions input file");
    r.text(d.mgt, "the management file");
    r.text(d.ndx, "the index definition file");
    readWhole(r, d.lngs, "the lengths per fishery per season");
    r.single(d.lme, "the length measurement error");
    readWhole(r, d.l_a, "the length and age samples per fishery-season");
    r.single(d.ame, "the age measurement error");
    readWhole(r, d.fyrout, "the first year to output");
    readWhole(r, d.lyrout, "the last year to output");
    r.text(d.lnds, "the landings output file");
    r.text(d.ctch, "the catch statistics output file");
    r.text(d.stock, "the stock statistics output file");
    r.text(d.ctch_lng, "the catch length output file");
    r.text(d.incondout, "the file to put initial conditions");
    r.text(d.logf, "the log file for output");
    return r.finish(kFixedListEnds);
}

} // namespace cw
