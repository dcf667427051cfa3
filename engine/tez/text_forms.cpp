#include "text_forms.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace tez {

namespace {

std::string fit_right(const std::string& text, int w) {
    if (w <= 0) return {};
    if (static_cast<int>(text.size()) > w) return std::string(static_cast<std::size_t>(w), '*');
    return std::string(static_cast<std::size_t>(w) - text.size(), ' ') + text;
}

} // namespace

std::string int_field(long long value, int w) {
    return fit_right(std::to_string(value), w);
}

std::string fixed_field(double value, int w, int d) {
    if (!std::isfinite(value)) return std::string(static_cast<std::size_t>(w > 0 ? w : 0), '*');
    char buf[400];
    auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::fixed, d);
    if (res.ec != std::errc()) return std::string(static_cast<std::size_t>(w > 0 ? w : 0), '*');
    std::string digits(buf, res.ptr);
    if (d == 0) digits.push_back('.');
    // A value that rounds to zero is shown without a sign.
    const bool negative = value < 0.0 && digits.find_first_not_of("0.") != std::string::npos;
    const int sign = negative ? 1 : 0;
    if (digits.size() > 1 && digits[0] == '0' && digits[1] == '.' &&
        static_cast<int>(digits.size()) + sign > w)
        digits.erase(0, 1);
    const std::string text = negative ? "-" + digits : digits;
    if (static_cast<int>(text.size()) > w) {
        // A finite value too wide for the field is shown in exponent form in the same width
        // rather than as asterisks, so that a large stock still reads; only what even that form
        // cannot hold is starred.
        // "0.ddE+xx" takes six characters besides its digits; a narrow field drops the 0.
        int digits_left = w - 6 - sign;
        if (digits_left < 1) digits_left = w - 5 - sign;
        if (digits_left >= 1 && exp_field_fits(value, digits_left))
            return exp_field(value, w, digits_left);
    }
    return fit_right(text, w);
}

std::string exp_field(double value, int w, int d) {
    if (!std::isfinite(value) || d < 1)
        return std::string(static_cast<std::size_t>(w > 0 ? w : 0), '*');
    std::string mantissa;
    int exponent = 0;
    if (value == 0.0) {
        mantissa.assign(static_cast<std::size_t>(d), '0');
    } else {
        char buf[64];
        auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value),
                                 std::chars_format::scientific, d - 1);
        const std::string s(buf, res.ptr); // d.dddde+xx
        const std::size_t e = s.find('e');
        mantissa.push_back(s[0]);
        if (d > 1) mantissa += s.substr(2, e - 2);
        exponent = std::atoi(s.c_str() + e + 1) + 1;
    }
    std::string text = "0." + mantissa;
    const int mag = std::abs(exponent);
    if (mag <= 99) {
        text += exponent < 0 ? "E-" : "E+";
        if (mag < 10) text.push_back('0');
        text += std::to_string(mag);
    } else {
        text += exponent < 0 ? "-" : "+";
        text += std::to_string(mag);
    }
    const bool negative = value < 0.0;
    if (static_cast<int>(text.size()) + (negative ? 1 : 0) > w) text.erase(0, 1);
    return fit_right(negative ? "-" + text : text, w);
}

bool exp_field_fits(double value, int d) {
    if (!std::isfinite(value) || d < 1) return false;
    if (value == 0.0) return true;
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific,
                             d - 1);
    const std::string s(buf, res.ptr);
    const int exponent = std::atoi(s.c_str() + s.find('e') + 1) + 1;
    return std::abs(exponent) <= 99;
}

std::string shortest_text(double value) {
    if (std::isnan(value)) return "nan";
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, res.ptr);
}

std::string free_record(std::string_view text) {
    return " " + std::string(text);
}

std::string free_integer(long long value) {
    return int_field(value, 12);
}

} // namespace tez
