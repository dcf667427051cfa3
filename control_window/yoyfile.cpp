#include "control_window/yoyfile.h"

#include <cfloat>
#include <cmath>

#include "platform/numtext.h"
#include "platform/seqfile.h"

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

namespace {

// Reads the file item by item; the first problem ends the reading with a message.
class YoyReader {
  public:
    YoyReader(plat::SeqFile& f, const std::string& fileName)
        : f_(f), file_("The recruitment data file " + fileName) {}

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
            fail("holds " +
                 (item.text.empty() ? std::string("an empty item") : "\"" + item.text + "\"") +
                 " on line " + std::to_string(line) + " where " + what + " was expected.");
            return false;
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

  private:
    plat::SeqFile& f_;
    std::string file_;
    std::optional<std::string> problem_;
};

} // namespace

std::optional<std::string> readYoyFile(plat::SeqFile& f, const std::string& fileName, YoyData& d) {
    // Every read does nothing once a problem was found, so the steps need no checks between them.
    YoyReader r(f, fileName);
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
    return r.problem();
}

} // namespace cw
