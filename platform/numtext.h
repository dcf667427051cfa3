#pragma once
// Number text as the windowed programs' files and boxes need it. The standard conversions
// accept "inf", follow the locale and round halves away from zero, so these are our own;
// the decimal point is always ".".
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace plat {

// Print form of the definition files: a blank before a non-negative number or "-" before a
// negative one, one blank after; no decimal point on whole values; no zero before the point
// (0.15 -> " .15 "); exponent form where %G would switch to it (" 1E+07 ").
// Singles carry 7 significant digits of the single value itself, doubles 15.
std::string printSingle(float v);
std::string printDouble(double v);
std::string printInteger(long v);

// Ordinary text form of a box, the run time's plain text of a value: no blanks, and a zero before
// a leading point ("0.5", "-0.25", "12", "1E+07").
std::string strSingle(float v);
std::string strDouble(double v);
std::string strInteger(long v);

// Lenient reading: the leading number of a text (leading blanks skipped), 0 when there is none.
// "12abc" -> 12, "abc" -> 0, ".5" -> 0.5, "-3e2x" -> -300. Never "inf" or "nan".
double val(std::string_view text);

// The leading number of a text as val reads it, but nothing when that number is too large for a
// double (so that "1e400" is not taken for 0).
std::optional<double> leadingNumber(std::string_view text);

// Strict reading: the whole text, blanks around it allowed, must be one number.
std::optional<double> parseNumber(std::string_view text);

// Whole 16-bit number, halves rounded to even; nothing for NaN or values outside -32768..32767.
std::optional<int16_t> toInteger16(double v);

// Picture formats of the plots: "0", "#0", "#00", "#0000", "0.0", "0.00", "0.000", "00",
// "000", "0.0e+0" and the like. "0" is a digit always shown, "#" one shown only when
// significant, "." the point, "e+0" a power of ten with its sign and at least one digit.
// The number is rounded (halves to even on its exact value) to the decimals shown.
std::string formatPicture(double v, std::string_view picture);

} // namespace plat
