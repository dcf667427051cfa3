// The engine's output forms: right-aligned integer, fixed and exponent fields that fill with
// asterisks when the value does not fit, and free-format records.
#pragma once

#include <string>
#include <string_view>

namespace tez {

// Digits with a leading minus sign, in w characters.
std::string int_field(long long value, int w);
// d digits after the point in w characters; a 0 stands before the point when there is room. A
// value too wide for that takes the exponent form in the same width.
std::string fixed_field(double value, int w, int d);
// 0.ddddddE+xx in w characters; the 0 is left out when the field is exactly full, and exponents of
// three digits drop the letter (0.1235+100).
std::string exp_field(double value, int w, int d);
// Whether exp_field shows the value with its exponent letter: finite, and an exponent of at most
// two digits once rounded to d digits.
bool exp_field_fits(double value, int d);
// The shortest text that reads back as the value ("1e+300", "0.25", "inf"), for messages.
std::string shortest_text(double value);

// A free-format record begins with one blank; an integer in it takes 12 characters.
std::string free_record(std::string_view text);
std::string free_integer(long long value);

} // namespace tez
