// The engine's output forms: right-aligned integer, fixed and exponent fields that fill with
// asterisks when the value does not fit, and free-format records.
#pragma once

#include <string>
#include <string_view>

namespace tez {

// Digits with a leading minus sign, in w characters.
std::string int_field(long long value, int w);
// d digits after the point in w characters; a 0 stands before the point when there is room.
std::string fixed_field(double value, int w, int d);
// 0.ddddddE+xx in w characters; the 0 is left out when the field is exactly full, and exponents of
// three digits drop the letter (0.1235+100).
std::string exp_field(double value, int w, int d);
// Cut to w characters, or preceded by blanks.
std::string text_field(std::string_view text, int w);

// A free-format record begins with one blank; an integer in it takes 12 characters.
std::string free_record(std::string_view text);
std::string free_integer(long long value);

} // namespace tez
