#pragma once
// What a message shows of a text that came from outside the program (a file's contents, a file
// name): every byte visible and the text in its order. Shared by every program, the engine
// included, so it needs nothing but the standard library.
#include <cstddef>
#include <string>
#include <string_view>

namespace vesk {

// How many characters of a file's text a message quotes before it cuts the rest.
constexpr std::size_t kQuotedCharacters = 40;

// A file name as a message shows it: control bytes, bytes that are not UTF-8, and characters
// that show nothing or turn the text around on screen (the byte-order mark, zero-width
// characters, direction marks and overrides) are written as \xHH, byte by byte, so that what is
// there can be seen and a message is never cut short by a zero byte. Any other character, in
// any script, stands as it is.
std::string visibleName(std::string_view name);

// A text read from a file as a message quotes it: as visibleName, and cut after
// kQuotedCharacters characters, then marked "… (N characters)" with its whole length, so that
// a huge item neither floods a message nor takes long to lay out.
std::string visibleText(std::string_view text);

// A whole message that may carry such texts: as visibleName, but its line breaks and tabs stay.
std::string visibleMessage(std::string_view message);

} // namespace vesk
