#include "common/visibletext.h"

#include "common/eightbytes.h"

namespace vesk {

namespace {

// One character of a text: a whole, well-formed UTF-8 sequence, or a single byte that is not
// part of one.
struct Character {
    std::size_t bytes = 1;
    char32_t code = 0;
    bool wellFormed = false;
};

// What a byte starts: a sequence of `bytes` bytes in all (0: none, the byte stands alone), with
// the bits of the code it holds and the least code such a sequence may stand for.
struct Lead {
    std::size_t bytes = 0;
    char32_t code = 0, least = 0;
};
Lead leadOf(unsigned char b) {
    if (b < 0x80) return {1, b, 0};
    if (b >= 0xC2 && b <= 0xDF) return {2, char32_t(b & 0x1F), 0x80};
    if (b >= 0xE0 && b <= 0xEF) return {3, char32_t(b & 0x0F), 0x800};
    if (b >= 0xF0 && b <= 0xF4) return {4, char32_t(b & 0x07), 0x10000};
    return {};
}
// Overlong forms, the halves of surrogate pairs and codes beyond Unicode are not UTF-8.
bool isWellFormed(char32_t code, char32_t least) {
    return code >= least && !(code >= 0xD800 && code <= 0xDFFF) && code <= 0x10FFFF;
}

Character characterAt(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[at + k]); };
    const Lead lead = leadOf(byte(0));
    if (lead.bytes == 1) return {1, lead.code, true};
    if (lead.bytes == 0 || at + lead.bytes > text.size()) return {};
    char32_t code = lead.code;
    for (std::size_t k = 1; k < lead.bytes; ++k) {
        if ((byte(k) & 0xC0) != 0x80) return {};
        code = (code << 6) | (byte(k) & 0x3F);
    }
    if (!isWellFormed(code, lead.least)) return {};
    return {lead.bytes, code, true};
}

// Characters that show nothing, break or reorder the text around them: controls, format
// characters (the byte-order mark, zero-width characters, direction marks, embeddings, overrides
// and isolates, the tags), fillers, variation selectors, separators and noncharacters.
bool invisible(char32_t c) {
    const auto in = [c](char32_t from, char32_t to) { return c >= from && c <= to; };
    return c < 0x20 || in(0x7F, 0x9F) || c == 0xAD || c == 0x34F || c == 0x61C ||
           in(0x115F, 0x1160) || in(0x17B4, 0x17B5) || in(0x180B, 0x180F) || in(0x200B, 0x200F) ||
           in(0x2028, 0x202E) || in(0x2060, 0x206F) || c == 0x3164 || in(0xFDD0, 0xFDEF) ||
           in(0xFE00, 0xFE0F) || c == 0xFEFF || c == 0xFFA0 || in(0xFFF0, 0xFFFB) ||
           (c & 0xFFFE) == 0xFFFE || in(0x1BCA0, 0x1BCA3) || in(0x1D173, 0x1D17A) ||
           in(0xE0000, 0xE0FFF);
}

void escape(std::string& out, std::string_view bytes) {
    static const char* const digits = "0123456789ABCDEF";
    for (const char b : bytes) {
        const auto c = static_cast<unsigned char>(b);
        out += "\\x";
        out += digits[c >> 4];
        out += digits[c & 15];
    }
}

// Appends the visible form of at most `most` characters of text; the number of characters of
// the whole text when it had more, else 0.
std::size_t appendVisible(std::string& out, std::string_view text, std::size_t most,
                          bool keepLayout) {
    std::size_t shown = 0, at = 0;
    for (; at < text.size() && shown < most; ++shown) {
        const Character ch = characterAt(text, at);
        const std::string_view bytes = text.substr(at, ch.bytes);
        at += ch.bytes;
        if (keepLayout && (ch.code == '\n' || ch.code == '\t'))
            out += bytes;
        else if (!ch.wellFormed || invisible(ch.code))
            escape(out, bytes);
        else
            out += bytes;
    }
    if (at >= text.size()) return 0;
    std::size_t whole = shown;
    while (at < text.size()) {
        at += characterAt(text, at).bytes;
        ++whole;
    }
    return whole;
}

// The mark of a cut text: the count of the whole text's characters.
void appendCut(std::string& out, std::size_t whole) {
    out += "\xE2\x80\xA6 (" + std::to_string(whole) + " characters)";
}

} // namespace

std::string visibleName(std::string_view name) {
    std::string out;
    appendVisible(out, name, std::string_view::npos, false);
    return out;
}

std::string visibleText(std::string_view text) {
    std::string out;
    if (const std::size_t whole = appendVisible(out, text, kQuotedCharacters, false))
        appendCut(out, whole);
    return out;
}

std::string visibleStart(std::string_view start, std::size_t characters) {
    std::string out;
    appendVisible(out, start, kQuotedCharacters, false);
    appendCut(out, characters);
    return out;
}

std::string visibleMessage(std::string_view message) {
    std::string out;
    appendVisible(out, message, std::string_view::npos, true);
    return out;
}

void CharacterCount::add(std::string_view bytes) {
    const char* const at = bytes.data();
    const std::size_t size = bytes.size();
    for (std::size_t i = 0; i < size;) {
        if (need_ == 0) {
            const std::size_t from = i;
            while (i + 8 <= size && allAscii(eightBytes(at + i)))
                i += 8;
            while (i < size && static_cast<unsigned char>(at[i]) < 0x80)
                ++i;
            count_ += i - from;
            if (i == size) return;
        }
        addByte(static_cast<unsigned char>(at[i++]));
    }
}

void CharacterCount::addByte(unsigned char b) {
    if (need_ > 0) {
        if ((b & 0xC0) == 0x80) {
            code_ = (code_ << 6) | (b & 0x3F);
            ++pending_;
            if (--need_ == 0) {
                count_ += isWellFormed(code_, least_) ? 1 : 1 + pending_;
                pending_ = 0;
            }
            return;
        }
        // A sequence cut short: each of its bytes is a character, and this byte starts anew.
        count_ += 1 + pending_;
        need_ = 0;
        pending_ = 0;
    }
    const Lead lead = leadOf(b);
    if (lead.bytes > 1) {
        need_ = lead.bytes - 1, code_ = lead.code, least_ = lead.least;
    } else {
        ++count_;
    }
}

} // namespace vesk
