// The visible form of names and file text that every program's messages use.
#include "common/visibletext.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

using vesk::visibleMessage;
using vesk::visibleName;
using vesk::visibleText;

TEST(VisibleText, EscapesWhatShowsNothingOrIsNotUtf8AndKeepsEveryScript) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Snapper 1.5e3", "Snapper 1.5e3"},
        // Other scripts and signs, in two, three and four bytes; a no-break space shows.
        {"\xC3\xA9 \xE6\x97\xA5 \xF0\x9F\x90\x9F \xC2\xA0",
         "\xC3\xA9 \xE6\x97\xA5 \xF0\x9F\x90\x9F \xC2\xA0"},
        {std::string("a\0b\x01\x7F\t\r\n", 8), "a\\x00b\\x01\\x7F\\x09\\x0D\\x0A"},
        // Not UTF-8: a stray byte, a lone continuation, a cut sequence, overlong forms, a
        // surrogate half, a code beyond Unicode.
        {"\xFF"
         "1",
         "\\xFF1"},
        {"\x80", "\\x80"},
        {"x\xC3", "x\\xC3"},
        {"\xC0\xAF", "\\xC0\\xAF"},
        {"\xE0\x80\xAF", "\\xE0\\x80\\xAF"},
        {"\xED\xA0\x80", "\\xED\\xA0\\x80"},
        {"\xF4\x90\x80\x80", "\\xF4\\x90\\x80\\x80"},
        // Invisible: the byte-order mark, a C1 control, a soft hyphen, zero-width space and
        // joiner, the right-to-left override and an isolate, a tag.
        {"\xEF\xBB\xBF"
         "1",
         "\\xEF\\xBB\\xBF1"},
        {"\xC2\x85", "\\xC2\\x85"},
        {"a\xC2\xAD"
         "b",
         "a\\xC2\\xADb"},
        {"a\xE2\x80\x8B\xE2\x80\x8D"
         "b",
         "a\\xE2\\x80\\x8B\\xE2\\x80\\x8Db"},
        {"gnp.\xE2\x80\xAE"
         "oib",
         "gnp.\\xE2\\x80\\xAEoib"},
        {"\xE2\x81\xA6x", "\\xE2\\x81\\xA6x"},
        {"\xF3\xA0\x81\x81", "\\xF3\\xA0\\x81\\x81"},
    };
    for (const auto& [text, shown] : cases) {
        EXPECT_EQ(visibleText(text), shown) << text;
        EXPECT_EQ(visibleName(text), shown) << text;
    }
}

TEST(VisibleText, CutsALongTextAfterItsFirstCharactersAndGivesItsLength) {
    const std::string forty(40, '7');
    EXPECT_EQ(visibleText(forty), forty);
    EXPECT_EQ(visibleText(forty + "8"), forty + "\xE2\x80\xA6 (41 characters)");
    // Characters, not bytes: a letter of two bytes counts once, and so does a stray byte.
    std::string accents;
    for (int k = 0; k < 45; ++k)
        accents += "\xC3\xA9";
    EXPECT_EQ(visibleText(accents + "\xFF"),
              accents.substr(0, 80) + "\xE2\x80\xA6 (46 characters)");
    // An escaped character counts once too.
    std::string zeros;
    for (int k = 0; k < 40; ++k)
        zeros += "\\x00";
    EXPECT_EQ(visibleText(std::string(50, '\0')), zeros + "\xE2\x80\xA6 (50 characters)");
    EXPECT_EQ(visibleText(std::string(10 << 20, '1')),
              std::string(40, '1') + "\xE2\x80\xA6 (10485760 characters)");
}

TEST(VisibleText, NamesAreWholeAndMessagesKeepTheirLines) {
    const std::string longName = "/home/fisher/" + std::string(300, 'a') + ".bio";
    EXPECT_EQ(visibleName(longName), longName);
    EXPECT_EQ(visibleMessage("Cannot plot a.pmo:\n\tthe value 1\xE2\x80\xAE"
                             "2\r."),
              "Cannot plot a.pmo:\n\tthe value 1\\xE2\\x80\\xAE2\\x0D.");
    EXPECT_EQ(visibleMessage(std::string("x\0y", 3)), "x\\x00y");
}

// The count of a text given a piece at a time is the one visibleText gives it: well-formed UTF-8
// sequences, and each byte of a broken one, a sequence cut at the text's end included.
TEST(CharacterCount, CountsAsVisibleTextWhereverThePiecesBreak) {
    std::mt19937 random(11);
    // A code as UTF-8 would write it, surrogate halves and codes beyond Unicode too, or only its
    // first bytes.
    const auto encoded = [&](char32_t code) {
        std::string bytes;
        const int n = code < 0x80 ? 1 : code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
        constexpr unsigned char kLead[] = {0, 0, 0xC0, 0xE0, 0xF0};
        bytes += static_cast<char>(n == 1 ? code : kLead[n] | (code >> (6 * (n - 1))));
        for (int k = n - 2; k >= 0; --k)
            bytes += static_cast<char>(0x80 | ((code >> (6 * k)) & 0x3F));
        if (random() % 4 == 0) bytes.resize(1 + random() % bytes.size());
        return bytes;
    };
    for (int k = 0; k < 300; ++k) {
        std::string text;
        // Each step adds one character at least: the text is cut and its count shown.
        for (std::size_t n = vesk::kQuotedCharacters + 1 + random() % 300; n > 0; --n) {
            switch (random() % 4) {
            case 0:
                text += std::string(1 + random() % 20, 'a');
                break;
            case 1:
                text += static_cast<char>(random() % 256);
                break;
            case 2:
                text += encoded(random() % 0x800);
                break;
            default:
                text += encoded(random() % 0x110100);
                break;
            }
        }
        const std::string shown = visibleText(text);
        const std::size_t from = shown.rfind(" (") + 2;
        const std::string expected = shown.substr(from, shown.find(' ', from) - from);
        SCOPED_TRACE(shown);
        vesk::CharacterCount bytes, runs;
        for (std::size_t at = 0; at < text.size();) {
            const std::size_t n = std::min<std::size_t>(text.size() - at, random() % 20);
            runs.add(std::string_view(text).substr(at, n));
            for (std::size_t i = at; i < at + n; ++i)
                bytes.add(text[i]);
            at += n;
        }
        EXPECT_EQ(std::to_string(bytes.count()), expected);
        EXPECT_EQ(std::to_string(runs.count()), expected);
    }
}

} // namespace
