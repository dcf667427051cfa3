#include "control_window/files/definitionreader.h"

#include <cfloat>
#include <cmath>
#include <utility>

#include "platform/numtext.h"
#include "platform/seqfile.h"

namespace cw {

DefinitionReader::DefinitionReader(plat::SeqFile& f, std::string subject)
    : f_(f), subject_(std::move(subject)) {}

int DefinitionReader::line() const {
    return f_.lineNumber();
}

void DefinitionReader::fail(const std::string& text) {
    if (!problem_) problem_ = subject_ + " " + text;
}

bool DefinitionReader::number(double& out, const std::string& what) {
    if (problem_) return false;
    const int at = f_.lineNumber();
    const plat::NumberItem item = f_.inputNumber();
    if (item.status == plat::ItemStatus::EndOfFile) {
        fail("ends before " + what + ".");
        return false;
    }
    if (item.status != plat::ItemStatus::Ok || !std::isfinite(item.value)) {
        return found(at, item.text, what);
    }
    if (std::fabs(item.value) > kLargestSavedDouble) {
        fail("holds " + plat::visibleText(item.text) + " on line " + std::to_string(at) + " as " +
             what + ", which is too large to be saved again.");
        return false;
    }
    out = item.value;
    return true;
}

bool DefinitionReader::single(float& out, const std::string& what) {
    double v = 0;
    if (!number(v, what)) return false;
    if (std::fabs(v) > double(FLT_MAX)) {
        fail("holds " + plat::strDouble(v) + " as " + what + ", which is too large.");
        return false;
    }
    out = float(v);
    return true;
}

bool DefinitionReader::whole(int16_t& out, const std::string& what) {
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

bool DefinitionReader::count(int16_t& out, const std::string& what, int min, int max) {
    if (!whole(out, what)) return false;
    if (out < min || out > max) {
        fail("gives " + std::to_string(out) + " as " + what + "; it must be " +
             std::to_string(min) + " to " + std::to_string(max) + ".");
        return false;
    }
    return true;
}

bool DefinitionReader::text(std::string& out, const std::string& what) {
    if (problem_) return false;
    const plat::TextItem item = f_.inputText();
    if (item.status == plat::ItemStatus::EndOfFile) {
        fail("ends before " + what + ".");
        return false;
    }
    out = item.status == plat::ItemStatus::Ok ? item.text : std::string();
    return true;
}

bool DefinitionReader::numberOrEmpty(Variant& out, const std::string& what) {
    if (problem_) return false;
    const int at = f_.lineNumber();
    std::string t;
    if (!text(t, what)) return false;
    if (t.empty()) {
        out.clear();
        return true;
    }
    const std::optional<double> v = plat::parseNumber(t);
    if (!v || !std::isfinite(*v)) return found(at, t, what);
    if (std::fabs(*v) > kLargestSavedDouble) {
        fail("holds " + plat::visibleText(t) + " on line " + std::to_string(at) + " as " + what +
             ", which is too large to be saved again.");
        return false;
    }
    out = *v;
    return true;
}

bool DefinitionReader::skip(const std::string& what) {
    double ignored = 0;
    return number(ignored, what);
}

const std::optional<std::string>& DefinitionReader::finish(std::string_view why) {
    if (!problem_) problem_ = trailingDataProblem(f_, subject_, why);
    return problem_;
}

bool DefinitionReader::found(int at, const std::string& text, const std::string& what) {
    fail("holds " +
         (text.empty() ? std::string("an empty item") : "\"" + plat::visibleText(text) + "\"") +
         " on line " + std::to_string(at) + " where " + what + " was expected.");
    return false;
}

std::optional<std::string> trailingDataProblem(plat::SeqFile& f, const std::string& subject,
                                               std::string_view why) {
    if (f.eof()) return std::nullopt;
    // The rest of the line the last value stood on comes first; blank lines are passed over.
    for (;;) {
        const int at = f.lineNumber();
        const std::optional<std::string> line = f.lineInput();
        if (!line) return std::nullopt;
        if (line->find_first_not_of(" \t") != std::string::npos)
            return subject + " holds data after its last value, from line " + std::to_string(at) +
                   " on: " + std::string(why);
    }
}

std::optional<std::string> commaOrQuoteProblem(const std::string& name, const std::string& what) {
    if (name.find(',') != std::string::npos) return "The " + what + " must not hold a comma.";
    if (name.find('"') != std::string::npos)
        return "The " + what + " must not hold a double quote.";
    return std::nullopt;
}

std::optional<std::string> blankInNameProblem(const std::string& name, const std::string& what) {
    if (name.find_first_of(" \t") == std::string::npos) return std::nullopt;
    return "The " + what + " \"" + plat::visibleName(name) +
           "\" holds a blank: the engines read a file name only up to its first blank and would "
           "open another file. Use a name without blanks.";
}

std::optional<std::string> countRangeProblem(const std::string& what, int value, int min, int max) {
    if (value >= min && value <= max) return std::nullopt;
    return "The " + what + " is " + std::to_string(value) + "; it must be " + std::to_string(min) +
           " to " + std::to_string(max) + ".";
}

} // namespace cw
