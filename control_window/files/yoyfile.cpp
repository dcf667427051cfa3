#include "control_window/files/yoyfile.h"

#include "control_window/files/definitionreader.h"
#include "platform/numtext.h"

namespace cw {

YoyData yoyDataFrom(const Maincode& m, int16_t byr, int16_t eyr) {
    YoyData d;
    d.byr = byr;
    d.eyr = eyr;
    d.vgflag = m.vgflag;
    d.myoy = m.myoy.number();
    d.yoyrec = m.yoyrec;
    d.yoygro = m.yoygro;
    return d;
}

void storeYoyData(Maincode& m, const YoyData& d) {
    m.vgflag = d.vgflag;
    m.myoy = d.myoy;
    m.yoyrec = d.yoyrec;
    m.yoygro = d.yoygro;
}

std::string yoyFileText(const YoyData& d) {
    using plat::printDouble;
    using plat::printInteger;
    using plat::printSingle;
    const std::string eol = "\r\n";
    std::string t;
    t += printInteger(d.byr) + printInteger(d.eyr) + eol;
    t += printInteger(d.vgflag) + printDouble(d.myoy) + eol;
    const int n = std::min(yearCount(d.byr, d.eyr), kMaxYears);
    for (int i = 1; i <= n; ++i)
        t += printSingle(d.yoyrec(i)) + printSingle(d.yoygro(i)) + eol;
    return t;
}

std::optional<std::string> readYoyFile(plat::SeqFile& f, const std::string& fileName, YoyData& d) {
    // Every read does nothing once a problem was found, so the steps need no checks between them.
    DefinitionReader r(f, "The recruitment data file " + fileName);
    r.whole(d.byr, "the first year");
    r.whole(d.eyr, "the last year");
    r.whole(d.vgflag, "the variable growth flag");
    r.number(d.myoy, "the mean recruitment");
    if (r.problem()) return r.problem();

    // The arrays hold 250 years: a longer range is refused before any year line is read.
    const int n = yearCount(d.byr, d.eyr);
    if (n > kMaxYears) {
        r.fail("covers " + std::to_string(n) + " years (" + std::to_string(d.byr) + " to " +
               std::to_string(d.eyr) + "); at most " + std::to_string(kMaxYears) + " can be read.");
        return r.problem();
    }
    for (int i = 1; i <= n && !r.problem(); ++i) {
        const std::string year = std::to_string(int(d.byr) + i - 1);
        r.single(d.yoyrec(i), "the recruitment of " + year);
        r.single(d.yoygro(i), "the growth multiplier of " + year);
    }
    return r.finish(kYearRangeDoesNotMatch);
}

} // namespace cw
