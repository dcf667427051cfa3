#include "control_window/files/tezfile.h"

#include <cctype>
#include <cmath>
#include <span>

#include "control_window/files/definitionreader.h"
#include "platform/numtext.h"
#include "platform/seqfile.h"

namespace cw {

namespace deffile {

std::string trimmed(const std::string& s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    const auto last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

std::string upper(std::string s) {
    for (char& c : s)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string forceExtension(const std::string& name, const std::string& extension) {
    // The first dot of the file's own name: a dot in a folder name is no extension.
    const auto cut = name.find_last_of("/\\");
    const auto dot = name.find('.', cut == std::string::npos ? 0 : cut + 1);
    if (dot == std::string::npos) return name + "." + extension;
    return name.substr(0, dot + 1) + extension;
}

std::optional<std::string> textProblem(const std::string& text, const std::string& what) {
    if (text.find(',') != std::string::npos)
        return "The " + what + " holds a comma, which ends a text in the file: remove it before " +
               "saving.";
    if (!text.empty() && text.front() == '"')
        return "The " + what + " begins with a double quote, which the file cannot keep: remove " +
               "it before saving.";
    return std::nullopt;
}

std::optional<std::string> yearCountProblem(int nyr) {
    if (nyr >= 1 && nyr <= kMaxDefinitionYears) return std::nullopt;
    return "The number of years to estimate must lie between 1 and " +
           std::to_string(kMaxDefinitionYears) + ".";
}

std::optional<std::string> readText(plat::SeqFile& f, const std::string& kind,
                                    const std::string& fileName, const std::string& what,
                                    std::string& into) {
    const plat::TextItem item = f.inputText();
    if (item.status == plat::ItemStatus::EndOfFile)
        return "The " + kind + " file " + fileName + " ends before the " + what + ".";
    into = item.status == plat::ItemStatus::Ok ? item.text : std::string();
    return std::nullopt;
}

std::optional<std::string> readWhole(plat::SeqFile& f, const std::string& kind,
                                     const std::string& fileName, const std::string& what, int lo,
                                     int hi, int& into) {
    const int line = f.lineNumber();
    const plat::NumberItem item = f.inputNumber();
    const std::string where = "The " + kind + " file " + fileName;
    if (item.status == plat::ItemStatus::EndOfFile) return where + " ends before the " + what + ".";
    if (item.status != plat::ItemStatus::Ok)
        return where + " holds \"" + plat::visibleText(item.text) + "\" on line " +
               std::to_string(line) + " where the " + what + " was expected as a number.";
    const std::optional<int16_t> v = plat::toInteger16(item.value);
    if (!v || *v < lo || *v > hi)
        return where + " gives " + plat::visibleText(item.text) + " on line " +
               std::to_string(line) + " as the " + what + "; it must lie between " +
               std::to_string(lo) + " and " + std::to_string(hi) + ".";
    into = *v;
    return std::nullopt;
}

std::optional<std::string> readYearList(plat::SeqFile& f, const std::string& kind,
                                        const std::string& fileName, int16_t& nyr,
                                        Bounded<int16_t, 1, kMaxDefinitionYears>& years) {
    int n = 0;
    // A list of no years cannot be saved either; the window would show a year of its own.
    if (auto problem = readWhole(f, kind, fileName, "number of years", 1, kMaxDefinitionYears, n))
        return problem;
    nyr = int16_t(n);
    // The positions beyond the file's list keep nothing of an earlier file.
    years = Bounded<int16_t, 1, kMaxDefinitionYears>();
    for (int k = 1; k <= n; ++k) {
        int year = 0;
        if (auto problem = readWhole(f, kind, fileName,
                                     "year " + std::to_string(k) + " of " + std::to_string(n),
                                     INT16_MIN, INT16_MAX, year))
            return problem;
        years(k) = int16_t(year);
    }
    return std::nullopt;
}

} // namespace deffile

using deffile::trimmed;
using deffile::upper;

std::string tezOutputName(const std::string& name) {
    const std::string u = upper(name);
    return u == "NUL" || u == "NULL" ? std::string("NUL") : name;
}

std::string productionTableName(const std::string& name) {
    const std::string u = upper(name);
    if (u == "NUL" || u == "NULL") return "NUL";
    return deffile::forceExtension(name, "pmo");
}

TezData tezSaveForm(const TezData& d) {
    TezData s = d;
    s.bio = trimmed(d.bio);
    s.mgt = trimmed(d.mgt);
    s.tezout = tezOutputName(trimmed(d.tezout));
    s.bnch = tezOutputName(trimmed(d.bnch));
    s.pmo = productionTableName(trimmed(d.pmo));
    s.title = trimmed(d.title);
    return s;
}

namespace {

// A file name longer than the engine reads: it would open a file of the name's first 12
// characters, or none.
std::optional<std::string> longNameProblem(const std::string& name, const std::string& what) {
    if (int(name.size()) <= kEngineNameLength) return std::nullopt;
    return "The " + what + " \"" + plat::visibleName(name) + "\" is longer than " +
           std::to_string(kEngineNameLength) +
           " characters: the equilibrium engine reads a file name only as far as its first " +
           std::to_string(kEngineNameLength) + " characters and would open another file. Use a " +
           "name of at most " + std::to_string(kEngineNameLength) + " characters.";
}

} // namespace

std::optional<std::string> tezSaveProblem(const TezData& d) {
    const std::pair<const std::string*, const char*> texts[] = {
        {&d.bio, "name of the biological data input file"},
        {&d.mgt, "name of the management file"},
        {&d.tezout, "name of the TEZ output table"},
        {&d.bnch, "name of the TEZ benchmark table"},
        {&d.pmo, "name of the equilibrium production table"},
        {&d.title, "title for the run"},
    };
    for (const auto& [text, what] : texts) {
        if (auto problem = deffile::textProblem(*text, what)) return problem;
    }
    // Every name but the title's line is a file name.
    for (const auto& [text, what] : std::span(texts).first(5)) {
        if (auto problem = blankInNameProblem(*text, what)) return problem;
    }
    // The engines read the two input names only as far as their first 12 characters.
    for (const auto& [text, what] : std::span(texts).first(2)) {
        if (auto problem = longNameProblem(*text, what)) return problem;
    }
    return deffile::yearCountProblem(d.nyr);
}

std::optional<std::string> tezEngineProblem(const TezData& d) {
    const std::pair<const std::string*, const char*> names[] = {
        {&d.bio, "name of the biological data input file"},
        {&d.mgt, "name of the management file"},
        {&d.tezout, "name of the TEZ output table"},
        {&d.bnch, "name of the TEZ benchmark table"},
    };
    const std::string refused = "The equilibrium engine cannot read this definition: the ";
    // The engine reads the two input names as free-format items, which skip an empty line: every
    // later value would shift by one.
    for (const auto& [text, what] : {names[0], names[1]}) {
        if (text->empty()) return refused + what + " is empty.";
    }
    for (const auto& [text, what] : names) {
        if (text->find_first_of(" ,/") != std::string::npos)
            return refused + what + " \"" + plat::visibleText(*text) +
                   "\" holds a blank, comma or slash, where " +
                   "the engine ends a name: use a bare file name.";
        if (int(text->size()) > kEngineNameLength)
            return refused + what + " \"" + plat::visibleText(*text) + "\" is longer than " +
                   std::to_string(kEngineNameLength) + " characters, which the engine cuts: use " +
                   "a shorter name of a file in the current folder.";
    }
    if (d.title.empty())
        return refused + "title for the run is empty (the engine skips an empty title line).";
    if (d.nyr > kEngineMaxYears)
        return refused + "number of years to estimate is " + std::to_string(d.nyr) +
               "; it evaluates at most " + std::to_string(kEngineMaxYears) + ".";
    return std::nullopt;
}

std::string tezFileText(const TezData& d) {
    std::string s;
    for (const std::string* text : {&d.bio, &d.mgt, &d.tezout, &d.bnch, &d.pmo, &d.title})
        s += *text + "\r\n";
    s += plat::printInteger(d.nyr) + "\r\n";
    for (int k = 1; k <= d.nyr && k <= kMaxDefinitionYears; ++k)
        s += plat::printInteger(d.years(k)) + "\r\n";
    return s;
}

std::optional<std::string> readTezFile(plat::SeqFile& f, const std::string& fileName,
                                       TezData& into) {
    static const std::string kKind = "TEZ";
    TezData d = into;
    const std::pair<std::string*, const char*> texts[] = {
        {&d.bio, "biological data input file name"},   {&d.mgt, "management file name"},
        {&d.tezout, "TEZ output table name"},          {&d.bnch, "TEZ benchmark table name"},
        {&d.pmo, "equilibrium production table name"}, {&d.title, "title"},
    };
    for (const auto& [text, what] : texts) {
        if (auto problem = deffile::readText(f, kKind, fileName, what, *text)) return problem;
    }
    if (auto problem = deffile::readYearList(f, kKind, fileName, d.nyr, d.years)) return problem;
    if (auto problem =
            trailingDataProblem(f, "The " + kKind + " file " + fileName, kYearsDoNotMatch))
        return problem;
    into = d;
    return std::nullopt;
}

} // namespace cw
