#include "control_window/files/woxfile.h"

#include <cfloat>
#include <cmath>

#include "control_window/files/definitionreader.h"
#include "platform/numtext.h"
#include "platform/seqfile.h"

namespace cw {

using deffile::trimmed;

std::string plotTableName(const std::string& name) {
    return deffile::forceExtension(name, "yro");
}

WoxData woxSaveForm(const WoxData& d) {
    WoxData s = d;
    s.bio = trimmed(d.bio);
    s.mgt = trimmed(d.mgt);
    s.fmaxfil = trimmed(d.fmaxfil);
    s.woxout = plotTableName(trimmed(d.woxout));
    return s;
}

std::optional<std::string> woxSaveProblem(const WoxData& d) {
    const std::pair<const std::string*, const char*> texts[] = {
        {&d.bio, "name of the biological data input file"},
        {&d.mgt, "name of the management file"},
        {&d.fmaxfil, "name of the output file for F0.1 & Fmax"},
        {&d.woxout, "name of the output file for plots"},
    };
    for (const auto& [text, what] : texts) {
        if (auto problem = deffile::textProblem(*text, what)) return problem;
        if (auto problem = blankInNameProblem(*text, what)) return problem;
    }
    if (auto problem = deffile::yearCountProblem(d.nyr)) return problem;
    return std::nullopt;
}

std::string woxFileText(const WoxData& d) {
    std::string s;
    for (const std::string* text : {&d.bio, &d.mgt, &d.fmaxfil, &d.woxout})
        s += *text + "\r\n";
    for (const float v : {d.fmin, d.fmax, d.finc})
        s += plat::printSingle(v) + "\r\n";
    s += plat::printInteger(d.nyr) + "\r\n";
    for (int k = 1; k <= d.nyr && k <= kMaxDefinitionYears; ++k)
        s += plat::printInteger(d.years(k)) + "\r\n";
    return s;
}

std::optional<std::string> readWoxFile(plat::SeqFile& f, const std::string& fileName,
                                       WoxData& into) {
    static const std::string kKind = "WOX";
    WoxData d = into;
    const std::pair<std::string*, const char*> texts[] = {
        {&d.bio, "biological data input file name"},
        {&d.mgt, "management file name"},
        {&d.fmaxfil, "name of the output file for F0.1 & Fmax"},
        {&d.woxout, "name of the output file for plots"},
    };
    for (const auto& [text, what] : texts) {
        if (auto problem = deffile::readText(f, kKind, fileName, what, *text)) return problem;
    }
    const std::pair<float*, const char*> numbers[] = {
        {&d.fmin, "minimum F"}, {&d.fmax, "maximum F"}, {&d.finc, "F increment"}};
    for (const auto& [value, what] : numbers) {
        const int line = f.lineNumber();
        const plat::NumberItem item = f.inputNumber();
        const std::string where = "The " + kKind + " file " + fileName;
        if (item.status == plat::ItemStatus::EndOfFile)
            return where + " ends before the " + what + ".";
        if (item.status != plat::ItemStatus::Ok || std::fabs(item.value) > double(FLT_MAX))
            return where + " holds \"" + plat::visibleText(item.text) + "\" on line " +
                   std::to_string(line) + " where the " + what + " was expected as a number.";
        *value = float(item.value);
    }
    if (auto problem = deffile::readYearList(f, kKind, fileName, d.nyr, d.years)) return problem;
    if (auto problem =
            trailingDataProblem(f, "The " + kKind + " file " + fileName, kYearsDoNotMatch))
        return problem;
    into = d;
    return std::nullopt;
}

} // namespace cw
