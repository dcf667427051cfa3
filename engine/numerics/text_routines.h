// Text routines of the error-message stack. Positions are 1-based, as in the messages they serve.
#pragma once

#include <string>
#include <string_view>

namespace tez {

// Position of the first occurrence of key in text, letters compared without regard to case;
// 0 when either is empty, the key is longer, or there is no match.
int search_nocase(std::string_view text, std::string_view key);
// The same with characters compared as they are.
int search_exact(std::string_view text, std::string_view key);
// Position of the first character of text not in set; 0 when all are; 1 when either is empty.
int first_not_in_set(std::string_view text, std::string_view set);
// Copies source positions a..b into destination positions c..d, blank-filling the rest of c..d.
// Returns 0, minus the count left out when c..d is the shorter, -1 when d lies beyond the
// destination, -2 for an inverted range, a start below 1 or b beyond the source.
int move_text(std::string_view source, int a, int b, std::string& dest, int c, int d);
// Writes value right-justified in width columns into out. Returns 0, -1 for a width below 1, or
// the number of characters that did not fit (out is then filled with '*').
int integer_to_text(int value, int width, std::string& out);
// Reads a decimal integer. Returns 0 when the whole text was read, else the position where
// reading stopped (1 for an all-blank text), -1 for an empty text, -2 on overflow.
int text_to_integer(std::string_view text, int& value);
// Character codes: plain, with a..z mapped to A..Z, and back (a negative code gives code 0).
int char_code(char c);
int char_code_upper(char c);
char code_char(int code);

} // namespace tez
