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
// Writes value right-justified in width columns into out. Returns 0, -1 for a width below 1, or
// the number of characters that did not fit (out is then filled with '*').
int integer_to_text(int value, int width, std::string& out);
// Reads a decimal integer. Returns 0 when the whole text was read, else the position where
// reading stopped (1 for an all-blank text), -1 for an empty text, -2 on overflow.
int text_to_integer(std::string_view text, int& value);
// Character codes: plain, and with a..z mapped to A..Z.
int char_code(char c);
int char_code_upper(char c);

} // namespace tez
