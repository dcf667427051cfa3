#include "platform/numtext.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace plat {

namespace {

// Room for the longest number text: a sign, 15 digits, the point and "E-308", or a sign, "0.0000"
// and 15 digits.
constexpr std::size_t kNumberChars = 32;

// v rounded to `digits` significant digits (at most 15) in the layout of %G, from the shortest
// digits that read back as v, which to_chars finds several times faster than it rounds v itself.
// Those digits lie within half a unit of v's last bit, far less than half a unit of the 15th
// digit, and no nearer half of the last digit kept lies between them and v (it would have been
// chosen as the shorter or nearer text), so they round as v rounds. Only when they end in that
// half itself is v's own side of it unknown: then 0 comes back and the caller rounds v exactly.
std::size_t roundedShortest(char* buf, double v, int digits) {
    char sci[kNumberChars];
    const char* const sciEnd =
        std::to_chars(sci, sci + kNumberChars, v, std::chars_format::scientific).ptr;
    const char* c = sci;
    const bool negative = *c == '-';
    if (negative) ++c;
    char d[kNumberChars]; // the significant digits, without the point
    int n = 0;
    for (; *c != 'e'; ++c)
        if (*c != '.') d[n++] = *c;
    int exponent = 0;
    std::from_chars(c + (c[1] == '+' ? 2 : 1), sciEnd, exponent);
    if (n > digits) {
        if (n == digits + 1 && d[digits] == '5') return 0;
        const bool up = d[digits] >= '5';
        n = digits;
        if (up) {
            int at = n - 1;
            while (at >= 0 && d[at] == '9')
                d[at--] = '0';
            if (at >= 0) {
                ++d[at];
            } else {
                d[0] = '1';
                ++exponent;
            }
        }
    }
    while (n > 1 && d[n - 1] == '0')
        --n;
    char* out = buf;
    if (negative) *out++ = '-';
    if (exponent < -4 || exponent >= digits) {
        *out++ = d[0];
        if (n > 1) {
            *out++ = '.';
            out = std::copy(d + 1, d + n, out);
        }
        *out++ = 'E';
        *out++ = exponent < 0 ? '-' : '+';
        const int power = exponent < 0 ? -exponent : exponent;
        if (power < 10) *out++ = '0';
        out = std::to_chars(out, buf + kNumberChars, power).ptr;
    } else if (exponent >= 0) {
        const int whole = exponent + 1;
        for (int k = 0; k < whole; ++k)
            *out++ = k < n ? d[k] : '0';
        if (n > whole) {
            *out++ = '.';
            out = std::copy(d + whole, d + n, out);
        }
    } else {
        // No zero before the point: ".0015".
        *out++ = '.';
        out = std::fill_n(out, -exponent - 1, '0');
        out = std::copy(d, d + n, out);
    }
    return std::size_t(out - buf);
}

// %G with the given significant digits (at most 15), written into buf, then the old desktop's
// habits: no zero before the point, and a two-digit exponent at least (which %G already gives).
// Returns the length. An export writes millions of numbers, so this is our own: to_chars with a
// precision writes what printf's %.*g writes in the "C" locale, without printf's locale look-ups
// and in a third of its time, and the rounded shortest digits take a third of that again.
std::size_t numberChars(char* buf, double v, int digits) {
    const auto word = [buf](std::string_view w) {
        w.copy(buf, w.size());
        return w.size();
    };
    if (std::isnan(v)) return word("NaN");
    if (std::isinf(v)) return word(v < 0 ? "-Infinity" : "Infinity");
    if (v == 0) return word("0");
    // Below the normal range the last bit outweighs the 15th digit.
    if (std::fabs(v) >= std::numeric_limits<double>::min()) {
        if (const std::size_t n = roundedShortest(buf, v, digits)) return n;
    }
    char* end = std::to_chars(buf, buf + kNumberChars, v, std::chars_format::general, digits).ptr;
    for (char* c = buf; c != end; ++c)
        if (*c == 'e') *c = 'E';
    // "0.15" -> ".15", "-0.15" -> "-.15".
    char* const at = buf + (buf[0] == '-' ? 1 : 0);
    if (at[0] == '0' && at + 1 != end && at[1] == '.') {
        std::memmove(at, at + 1, std::size_t(end - at - 1));
        --end;
    }
    return std::size_t(end - buf);
}

std::string numberText(double v, int digits) {
    char buf[kNumberChars];
    return std::string(buf, numberChars(buf, v, digits));
}

// The print form: a blank before a number without sign, one blank after.
void appendPrinted(std::string& text, double v, int digits) {
    char buf[kNumberChars + 2];
    buf[0] = ' ';
    const std::size_t n = numberChars(buf + 1, v, digits);
    buf[n + 1] = ' ';
    const char* const from = buf[1] == '-' ? buf + 1 : buf;
    text.append(from, std::size_t(buf + n + 2 - from));
}

// One conversion with a precision, in a string as long as the conversion needs: a picture may ask
// for more digits than a small buffer holds. to_chars writes what printf writes in the "C" locale,
// whatever the program's locale: a point, never the user's decimal comma.
std::string charsText(double v, std::chars_format format, int precision) {
    // The longest fixed form of a double has 309 digits before the point.
    std::string s(std::size_t(330 + std::max(precision, 0)), '\0');
    const auto res = std::to_chars(s.data(), s.data() + s.size(), v, format, precision);
    s.resize(std::size_t(res.ptr - s.data()));
    return s;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Length of the longest number at the start of text: sign, digits with an optional point (at
// least one digit), an optional exponent with at least one digit. 0 when there is none.
std::size_t numberPrefix(std::string_view t) {
    std::size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < t.size() && isDigit(t[i]))
        ++i, ++digits;
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && isDigit(t[i]))
            ++i, ++digits;
    }
    if (digits == 0) return 0;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E' || t[i] == 'd' || t[i] == 'D')) {
        std::size_t j = i + 1;
        if (j < t.size() && (t[j] == '+' || t[j] == '-')) ++j;
        std::size_t expDigits = 0;
        while (j < t.size() && isDigit(t[j]))
            ++j, ++expDigits;
        if (expDigits > 0) i = j;
    }
    return i;
}

// The power of ten of the leading significant digit of a number text that numberPrefix accepted
// (exponent included, saturated far beyond any double), to tell an overflow from an underflow:
// the conversion reports both alike. A long exponent must not wrap around into the other.
long long magnitude(std::string_view t) {
    long long lead = 0, place = 0;
    bool significant = false, point = false;
    std::size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    for (; i < t.size() && (isDigit(t[i]) || t[i] == '.'); ++i) {
        if (t[i] == '.') {
            point = true;
            continue;
        }
        if (point) --place;
        if (!significant && t[i] != '0') {
            significant = true;
            lead = point ? place : 0;
        } else if (significant && !point) {
            ++lead;
        }
    }
    long long exponent = 0;
    bool negative = false;
    if (i < t.size()) {
        ++i; // the exponent letter
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
        for (; i < t.size(); ++i)
            if (exponent < 1000000000) exponent = exponent * 10 + (t[i] - '0');
    }
    return lead + (negative ? -exponent : exponent);
}

// Converts a text that numberPrefix accepted as a whole; nothing when it is out of range.
std::optional<double> convert(std::string_view t) {
    std::string s(t);
    for (char& c : s)
        if (c == 'd' || c == 'D') c = 'e';
    const char* b = s.data();
    if (*b == '+') ++b;
    double v = 0;
    const auto res = std::from_chars(b, s.data() + s.size(), v);
    if (res.ec == std::errc::result_out_of_range) {
        // Underflow is a zero; overflow has no value.
        if (magnitude(t) < 0) return (s[0] == '-') ? -0.0 : 0.0;
        return std::nullopt;
    }
    if (res.ec != std::errc() || !std::isfinite(v)) return std::nullopt;
    return v;
}

} // namespace

// The plain text of a box keeps the zero before the point that the print form drops.
std::string withLeadingZero(std::string text) {
    const std::size_t at = text[0] == '-' ? 1 : 0;
    if (at < text.size() && text[at] == '.') text.insert(at, "0");
    return text;
}

std::string strSingle(float v) {
    return withLeadingZero(numberText(double(v), 7));
}
std::string strDouble(double v) {
    return withLeadingZero(numberText(v, 15));
}
std::string strInteger(long v) {
    return std::to_string(v);
}

void appendSingle(std::string& text, float v) {
    appendPrinted(text, double(v), 7);
}
void appendDouble(std::string& text, double v) {
    appendPrinted(text, v, 15);
}
std::string printSingle(float v) {
    std::string s;
    appendSingle(s, v);
    return s;
}
std::string printDouble(double v) {
    std::string s;
    appendDouble(s, v);
    return s;
}
std::string printInteger(long v) {
    const std::string s = strInteger(v);
    return (s[0] == '-' ? s : " " + s) + " ";
}

double val(std::string_view text) {
    // A number too large for a double has no value either.
    return leadingNumber(text).value_or(0.0);
}

std::optional<double> leadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (isBlank(text[i]) || text[i] == '\r' || text[i] == '\n'))
        ++i;
    const std::string_view rest = text.substr(i);
    const std::size_t n = numberPrefix(rest);
    if (n == 0) return 0.0;
    return convert(rest.substr(0, n));
}

std::optional<double> parseNumber(std::string_view text) {
    std::size_t b = 0, e = text.size();
    while (b < e && isBlank(text[b]))
        ++b;
    while (e > b && isBlank(text[e - 1]))
        --e;
    const std::string_view t = text.substr(b, e - b);
    if (t.empty() || numberPrefix(t) != t.size()) return std::nullopt;
    return convert(t);
}

std::optional<int16_t> toInteger16(double v) {
    if (!std::isfinite(v)) return std::nullopt;
    double r = std::floor(v);
    const double frac = v - r;
    if (frac > 0.5 || (frac == 0.5 && std::fmod(r, 2.0) != 0)) r += 1;
    if (r < -32768.0 || r > 32767.0) return std::nullopt;
    return static_cast<int16_t>(r);
}

std::string formatPicture(double v, std::string_view picture) {
    // Split the picture: integer digits, point, decimal digits, exponent part.
    std::size_t i = 0;
    std::string prefix, suffix;
    while (i < picture.size() && picture[i] != '0' && picture[i] != '#' && picture[i] != '.')
        prefix += picture[i++];
    int intZeros = 0, intDigits = 0;
    while (i < picture.size() && (picture[i] == '0' || picture[i] == '#')) {
        ++intDigits;
        if (picture[i] == '0') ++intZeros;
        ++i;
    }
    int decZeros = 0, decDigits = 0;
    bool point = false;
    if (i < picture.size() && picture[i] == '.') {
        point = true;
        ++i;
        while (i < picture.size() && (picture[i] == '0' || picture[i] == '#')) {
            if (picture[i] == '0' && decDigits == decZeros) ++decZeros;
            ++decDigits;
            ++i;
        }
    }
    bool exponent = false, expPlus = false;
    char expChar = 'e';
    int expDigits = 0;
    if (i + 1 < picture.size() && (picture[i] == 'e' || picture[i] == 'E') &&
        (picture[i + 1] == '+' || picture[i + 1] == '-')) {
        exponent = true;
        expChar = picture[i];
        expPlus = picture[i + 1] == '+';
        i += 2;
        while (i < picture.size() && (picture[i] == '0' || picture[i] == '#'))
            ++expDigits, ++i;
        expDigits = std::max(expDigits, 1);
    }
    suffix = std::string(picture.substr(i));
    if (!std::isfinite(v))
        return prefix + (std::isnan(v) ? "NaN" : v < 0 ? "-Infinity" : "Infinity") + suffix;

    const bool negative = std::signbit(v) && v != 0;
    double a = std::fabs(v);
    int exp10 = 0;
    std::string digits; // the mantissa's digits with its point, rounded
    if (exponent) {
        // Mantissa with as many integer digits as the picture has (at least one).
        const int lead = std::max(intDigits, 1);
        if (a == 0) {
            digits = charsText(0.0, std::chars_format::fixed, decDigits);
        } else {
            const std::string s = charsText(a, std::chars_format::scientific, lead - 1 + decDigits);
            const auto ePos = s.find('e');
            const char* const power = s.c_str() + ePos + (s[ePos + 1] == '+' ? 2 : 1);
            std::from_chars(power, s.c_str() + s.size(), exp10);
            exp10 -= lead - 1;
            std::string m = s.substr(0, ePos);
            std::string raw;
            for (char c : m)
                if (c != '.') raw += c;
            std::string out = raw.substr(0, std::size_t(lead));
            if (decDigits > 0) out += "." + raw.substr(std::size_t(lead));
            digits = out;
        }
    } else {
        digits = charsText(a, std::chars_format::fixed, decDigits);
    }

    // Integer part: drop leading zeros beyond the picture's "0" count.
    std::string intPart = digits, decPart;
    const auto dot = digits.find('.');
    if (dot != std::string::npos) {
        intPart = digits.substr(0, dot);
        decPart = digits.substr(dot + 1);
    }
    while (!intPart.empty() && intPart[0] == '0' && int(intPart.size()) > intZeros)
        intPart.erase(0, 1);
    while (int(intPart.size()) < intZeros)
        intPart.insert(0, "0");
    // Optional decimals ("#") are dropped when they are trailing zeros.
    while (int(decPart.size()) > decZeros && !decPart.empty() && decPart.back() == '0')
        decPart.pop_back();

    std::string out = intPart;
    // The point stands unless every decimal was optional and none was left.
    if (point && (!decPart.empty() || decZeros > 0 || decDigits == 0)) out += "." + decPart;
    if (exponent) {
        std::string e = std::to_string(std::abs(exp10));
        while (int(e.size()) < expDigits)
            e.insert(0, "0");
        out += expChar;
        if (exp10 < 0)
            out += '-';
        else if (expPlus)
            out += '+';
        out += e;
    }
    const bool allZero = out.find_first_of("123456789") == std::string::npos;
    return prefix + (negative && !allZero ? "-" : "") + out + suffix;
}

} // namespace plat
