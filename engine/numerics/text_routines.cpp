#include "text_routines.h"

namespace tez {

int search_nocase(std::string_view, std::string_view) { return 0; }
int search_exact(std::string_view, std::string_view) { return 0; }
int first_not_in_set(std::string_view, std::string_view) { return 0; }
int move_text(std::string_view, int, int, std::string&, int, int) { return 0; }
int integer_to_text(int, int, std::string&) { return 0; }
int text_to_integer(std::string_view, int&) { return 0; }
int char_code(char c) { return static_cast<unsigned char>(c); }
int char_code_upper(char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : char_code(c); }
char code_char(int code) { return static_cast<char>(code < 0 ? 0 : code); }

} // namespace tez
