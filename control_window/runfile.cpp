#include "control_window/runfile.h"

#include <cfloat>
#include <cmath>
#include <cstddef>
#include <limits>

#include "platform/numtext.h"
#include "platform/seqfile.h"

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
        // A comma ends a text for the reader and a double quote starts a quoted one, so either
        // would shift every later value.
        if (v.find(',') != std::string::npos) {
            return "The name in " + field + " must not hold a comma." + nothingSaved;
        }
        if (v.find('"') != std::string::npos) {
            return "The name in " + field + " must not hold a double quote." + nothingSaved;
        }
        // The reader drops blanks around a text.
        if (!v.empty() && (isBlank(v.front()) || isBlank(v.back()))) {
            return "The name in " + field + " must not begin or end with a blank." + nothingSaved;
        }
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

// Reads the file item by item; the first problem ends the reading with a message.
class RunReader {
  public:
    RunReader(plat::SeqFile& f, const std::string& fileName)
        : f_(f), file_("The run definition file " + fileName) {}

    const std::optional<std::string>& problem() const { return problem_; }

    void text(std::string& out, const char* what) {
        if (problem_) return;
        const plat::TextItem item = f_.inputText();
        if (item.status == plat::ItemStatus::EndOfFile) {
            problem_ = file_ + " ends before the " + what + ".";
            return;
        }
        out = item.status == plat::ItemStatus::Ok ? item.text : std::string();
    }

    template <class T> void whole(T& out, const char* what) {
        double v = 0;
        if (!number(v, what)) return;
        // Whole numbers as the field holds them: halves to even, within the field's range.
        const double r = std::nearbyint(v);
        if (r < double(std::numeric_limits<T>::min()) ||
            r > double(std::numeric_limits<T>::max())) {
            problem_ = file_ + " holds " + plat::strDouble(v) + " as the " + what +
                       ", which is outside " + std::to_string(std::numeric_limits<T>::min()) +
                       " to " + std::to_string(std::numeric_limits<T>::max()) + ".";
            return;
        }
        out = T(r);
    }

    void single(float& out, const char* what) {
        double v = 0;
        if (!number(v, what)) return;
        if (std::fabs(v) > double(FLT_MAX)) {
            problem_ = file_ + " holds " + plat::strDouble(v) + " as the " + what +
                       ", which is too large.";
            return;
        }
        out = float(v);
    }

  private:
    bool number(double& out, const char* what) {
        if (problem_) return false;
        const int line = f_.lineNumber();
        const plat::NumberItem item = f_.inputNumber();
        if (item.status == plat::ItemStatus::EndOfFile) {
            problem_ = file_ + " ends before the " + what + ".";
            return false;
        }
        if (item.status != plat::ItemStatus::Ok || !std::isfinite(item.value)) {
            problem_ =
                file_ + " holds " +
                (item.text.empty() ? std::string("an empty item") : "\"" + item.text + "\"") +
                " on line " + std::to_string(line) + " where the " + what + " was expected.";
            return false;
        }
        out = item.value;
        return true;
    }

    plat::SeqFile& f_;
    std::string file_;
    std::optional<std::string> problem_;
};

} // namespace

std::optional<std::string> readRunFile(plat::SeqFile& f, const std::string& fileName, RunData& d) {
    // Every read does nothing once a problem was found, so the steps need no checks between them.
    RunReader r(f, fileName);
    r.whole(d.reps, "number of replications");
    r.text(d.bio, "biological data input file");
    r.text(d.yoy, "recruitment data file");
    r.text(d.refpoints, "prior known reference points file");
    r.text(d.incond, "initial conditions input file");
    r.text(d.mgt, "management file");
    r.text(d.ndx, "index definition file");
    r.whole(d.lngs, "lengths per fishery per season");
    r.single(d.lme, "length measurement error");
    r.whole(d.l_a, "length and age samples per fishery-season");
    r.single(d.ame, "age measurement error");
    r.whole(d.fyrout, "first year to output");
    r.whole(d.lyrout, "last year to output");
    r.text(d.lnds, "landings output file");
    r.text(d.ctch, "catch statistics output file");
    r.text(d.stock, "stock statistics output file");
    r.text(d.ctch_lng, "catch length output file");
    r.text(d.incondout, "file to put initial conditions");
    r.text(d.logf, "log file for output");
    return r.problem();
}

} // namespace cw
