// The visible form of names and file text that every program's messages use.
#include "common/visibletext.h"

#include <gtest/gtest.h>

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

} // namespace
