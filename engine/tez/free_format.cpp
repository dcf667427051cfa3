#include "free_format.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

#include "common/filekind.h"
#include "common/visibletext.h"

namespace tez {

namespace {

bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}
bool ends_item(char c) {
    return is_blank(c) || c == ',' || c == '/';
}
bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

std::string fit_text(std::string_view text, std::size_t length) {
    std::string out(text.substr(0, length));
    out.resize(length, ' ');
    return out;
}

std::string_view trim_blanks(std::string_view text) {
    while (!text.empty() && is_blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && is_blank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool parse_integer(std::string_view text, int& value) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty() || (text.front() == '-' && text.size() == 1)) return false;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end;
}

namespace {

// The powers of ten that a double holds exactly.
constexpr std::array<double, 23> kExactPowers = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                 1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                                 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Digits that make a whole number of at most 2^53 scaled by a power of ten that a double holds
// exactly: one rounded product or quotient of two exact doubles is the nearest double to the
// number, which from_chars gives too. Only where doubles are computed at their own width, so that
// no wider intermediate rounds twice.
bool exact_real(std::uint64_t digits, std::int64_t power, bool negative, double& value) {
#if defined(FLT_EVAL_METHOD) && FLT_EVAL_METHOD == 0
    if (digits > (std::uint64_t{1} << 53) || power < -22 || power > 22) return false;
    const double whole = static_cast<double>(digits);
    const double v = power < 0 ? whole / kExactPowers[static_cast<std::size_t>(-power)]
                               : whole * kExactPowers[static_cast<std::size_t>(power)];
    value = negative ? -v : v;
    return true;
#else
    (void)digits, (void)power, (void)negative, (void)value;
    return false;
#endif
}

} // namespace

bool parse_real(std::string_view text, double& value, bool* too_large) {
    if (too_large) *too_large = false;
    // Checked by hand first: from_chars would also take "inf", "nan" and hexadecimal forms.
    std::size_t i = 0;
    bool plus = false;
    bool minus = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        plus = text[i] == '+';
        minus = !plus;
        ++i;
    }
    // The digits as a whole number while it stays small enough to be exact.
    std::uint64_t whole = 0;
    bool whole_exact = true;
    const auto add_digit = [&](char c) {
        if (whole > ((std::uint64_t{1} << 53) - 9) / 10)
            whole_exact = false;
        else
            whole = whole * 10 + static_cast<std::uint64_t>(c - '0');
    };
    std::int64_t fraction_digits = 0;
    std::size_t digits = 0;
    // The power of ten of the leading significant digit, before the exponent part: it tells an
    // overflow from an underflow, which from_chars reports alike.
    std::int64_t lead_power = 0;
    bool seen_significant = false;
    std::size_t int_digits = 0;
    while (i < text.size() && is_digit(text[i])) {
        if (text[i] != '0' && !seen_significant) seen_significant = true;
        if (seen_significant) ++int_digits;
        add_digit(text[i]);
        ++i, ++digits;
    }
    if (seen_significant) lead_power = static_cast<std::int64_t>(int_digits) - 1;
    if (i < text.size() && text[i] == '.') {
        ++i;
        std::int64_t place = 0;
        while (i < text.size() && is_digit(text[i])) {
            --place;
            if (text[i] != '0' && !seen_significant) {
                seen_significant = true;
                lead_power = place;
            }
            add_digit(text[i]);
            ++i, ++digits;
        }
        fraction_digits = -place;
    }
    if (digits == 0) return false;
    // 64 bits on every platform (a long has 32 on some), and capped: far beyond any double either
    // way, the sign is all that counts.
    constexpr std::int64_t kExponentCap = 1000000000;
    std::int64_t exponent = 0;
    std::size_t letter = std::string_view::npos;
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
        letter = i++;
        bool negative = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
        std::size_t exp_digits = 0;
        while (i < text.size() && is_digit(text[i])) {
            if (exponent < kExponentCap) exponent = exponent * 10 + (text[i] - '0');
            ++i, ++exp_digits;
        }
        if (exp_digits == 0) return false;
        exponent = std::min(exponent, kExponentCap);
        if (negative) exponent = -exponent;
    }
    if (i != text.size()) return false;
    if (whole_exact && exact_real(whole, exponent - fraction_digits, minus, value)) return true;
    // from_chars takes neither a plus sign nor the exponent letter D: those are read from a copy.
    std::string copy;
    std::string_view number = text;
    if (plus ||
        (letter != std::string_view::npos && (text[letter] == 'D' || text[letter] == 'd'))) {
        copy.assign(text.substr(plus ? 1 : 0));
        if (letter != std::string_view::npos) copy[letter - (plus ? 1 : 0)] = 'e';
        number = copy;
    }
    const char* end = number.data() + number.size();
    double v = 0.0;
    auto [ptr, ec] = std::from_chars(number.data(), end, v);
    if (ec == std::errc::result_out_of_range) {
        // Underflow reads as 0; a magnitude beyond the largest double is refused.
        if (lead_power + exponent < 0) {
            value = 0.0;
            return true;
        }
        if (too_large) *too_large = true;
        return false;
    }
    if (ec != std::errc() || ptr != end) return false;
    value = v;
    return true;
}

bool FreeReader::open(const std::filesystem::path& path, std::string display_name) {
    close();
    file_.open(path, std::ios::in | std::ios::binary);
    name_ = vesk::visibleName(display_name);
    if (!file_) return false;
    in_ = &file_;
    return true;
}

void FreeReader::open_input(const std::filesystem::path& path, std::string display_name,
                            std::string_view what) {
    std::string message =
        "Cannot open the " + std::string(what) + " \"" + vesk::visibleName(display_name) + "\"";
    // A folder opens as a stream that reads nothing and would pass for an empty file; a named
    // pipe waits for a writer before it opens, and a device may never end.
    if (!display_name.empty())
        if (const std::optional<std::string> kind = vesk::notRegularFile(path))
            throw InputError(message + ": it is " + *kind + ", not a file");
    if (display_name.empty() || !open(path, std::move(display_name))) throw InputError(message);
}

void FreeReader::attach(std::istream& in, std::string display_name) {
    close();
    in_ = &in;
    name_ = vesk::visibleName(display_name);
}

void FreeReader::close() {
    if (file_.is_open()) file_.close();
    file_.clear();
    in_ = nullptr;
    line_.clear();
    pos_ = 0;
    line_no_ = 0;
    in_read_ = false;
    have_line_ = false;
    ended_ = false;
}

void FreeReader::fail(std::string_view what) const {
    std::string msg = "Error reading " + name_;
    if (line_no_ > 0) msg += ", line " + std::to_string(line_no_);
    msg += ": ";
    msg += what;
    throw InputError(msg);
}

void FreeReader::expect_end(std::string_view what) {
    while (next_line())
        for (char c : line_)
            if (!is_blank(c)) fail(what);
}

bool FreeReader::next_line() {
    if (in_ == nullptr || !std::getline(*in_, line_)) {
        return false;
    }
    // A carriage return is never part of a value, whatever the line ends of the file.
    if (!line_.empty() && line_.back() == '\r') line_.pop_back();
    // Nor is a byte-order mark that an editor put before the first line.
    if (line_no_ == 0 && line_.rfind("\xEF\xBB\xBF", 0) == 0) line_.erase(0, 3);
    ++line_no_;
    pos_ = 0;
    return true;
}

void FreeReader::begin_read() {
    in_read_ = true;
    have_line_ = false;
    ended_ = false;
}

bool FreeReader::next_value() {
    if (!in_read_) begin_read();
    if (ended_) return false;
    for (;;) {
        if (!have_line_) {
            if (!next_line()) {
                std::string msg = "Error reading " + name_;
                msg += line_no_ > 0 ? ": the file ends after line " + std::to_string(line_no_)
                                    : std::string(": the file is empty");
                msg += " where a value is expected";
                throw InputError(msg);
            }
            have_line_ = true;
        }
        while (pos_ < line_.size() && is_blank(line_[pos_]))
            ++pos_;
        if (pos_ >= line_.size()) {
            // The line end separates values; a read that needs more goes on to the next line.
            have_line_ = false;
            continue;
        }
        const char c = line_[pos_];
        if (c == '/') {
            ended_ = true;
            ++pos_;
            return false;
        }
        if (c == ',') {
            ++pos_;
            while (pos_ < line_.size() && is_blank(line_[pos_]))
                ++pos_;
            return false; // a null value
        }
        return true;
    }
}

std::string_view FreeReader::take_token() {
    const std::size_t start = pos_;
    while (pos_ < line_.size() && !ends_item(line_[pos_]))
        ++pos_;
    return std::string_view(line_).substr(start, pos_ - start);
}

void FreeReader::after_value() {
    while (pos_ < line_.size() && is_blank(line_[pos_]))
        ++pos_;
    if (pos_ < line_.size() && line_[pos_] == ',') {
        ++pos_;
    } else if (pos_ < line_.size() && line_[pos_] == '/') {
        ++pos_;
        ended_ = true;
    }
}

void FreeReader::integer(int& value) {
    if (!next_value()) return;
    const std::string_view token = take_token();
    int v = 0;
    if (!parse_integer(token, v))
        fail("a whole number is expected, found \"" + vesk::visibleText(token) + "\"");
    value = v;
    after_value();
}

void FreeReader::real(double& value) {
    if (!next_value()) return;
    const std::string_view token = take_token();
    double v = 0.0;
    bool too_large = false;
    if (!parse_real(token, v, &too_large))
        fail("a number is expected, found \"" + vesk::visibleText(token) + "\"" +
             (too_large ? ", which is beyond the largest number (about 1.8E+308)" : ""));
    value = v;
    after_value();
}

void FreeReader::text(std::string& value, std::size_t length) {
    if (!next_value()) return;
    std::string item;
    const char c = line_[pos_];
    if (c == '\'' || c == '"') {
        ++pos_;
        while (pos_ < line_.size()) {
            if (line_[pos_] == c) {
                if (pos_ + 1 < line_.size() && line_[pos_ + 1] == c) {
                    item.push_back(c);
                    pos_ += 2;
                    continue;
                }
                ++pos_;
                break;
            }
            item.push_back(line_[pos_++]);
        }
    } else {
        item = std::string(take_token());
    }
    value = fit_text(item, length);
    after_value();
}

void FreeReader::whole_line(std::string& value, std::size_t length) {
    if (!next_line()) {
        std::string msg = "Error reading " + name_ + ": the file ends after line " +
                          std::to_string(line_no_) + " where a line is expected";
        throw InputError(msg);
    }
    value = fit_text(line_, length);
    // The next read starts on a new line.
    have_line_ = false;
    in_read_ = false;
}

int FreeReader::read_integer() {
    begin_read();
    int v = 0;
    integer(v);
    return v;
}

double FreeReader::read_real() {
    begin_read();
    double v = 0.0;
    real(v);
    return v;
}

std::string FreeReader::read_text(std::size_t length) {
    begin_read();
    std::string v(length, ' ');
    text(v, length);
    return v;
}

} // namespace tez
