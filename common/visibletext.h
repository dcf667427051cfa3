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

// A text too long to keep as visibleText quotes it, from its first bytes (more than
// kQuotedCharacters characters of them) and the count of its characters (CharacterCount).
std::string visibleStart(std::string_view start, std::size_t characters);

// The characters of a text as visibleText counts them, the text given a piece at a time: a whole,
// well-formed UTF-8 sequence is one, and so is each byte that is not part of one.
class CharacterCount {
  public:
    void add(char c) {
        const auto b = static_cast<unsigned char>(c);
        if (need_ == 0 && b < 0x80)
            ++count_;
        else
            addByte(b);
    }
    // The same as add() for each byte, a long run of plain text eight bytes at a time.
    void add(std::string_view bytes);
    // The characters so far; a sequence not yet whole counts one for each of its bytes.
    std::size_t count() const { return count_ + (need_ > 0 ? 1 + pending_ : 0); }

  private:
    void addByte(unsigned char b);
    std::size_t count_ = 0;
    std::size_t need_ = 0;    // continuation bytes still to come
    std::size_t pending_ = 0; // continuation bytes taken so far
    char32_t code_ = 0, least_ = 0;
};

// A whole message that may carry such texts: as visibleName, but its line breaks and tabs stay.
std::string visibleMessage(std::string_view message);

} // namespace vesk
