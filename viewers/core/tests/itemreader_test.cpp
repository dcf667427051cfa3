// What the readers keep of an item: the value and the quoted form of the whole item, however
// long it is, from its first bytes, its length and its bounded number.
#include "viewers/core/itemreader.h"

#include "platform/numtext.h"

#include "common/visibletext.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>

namespace {

// The item made of text byte by byte, or (runs > 0) in runs of up to that many bytes, as the
// readers hand over the bytes they have read ahead.
viewers::Item itemOf(const std::string& text, std::size_t runs = 0) {
    viewers::Item item;
    if (runs == 0) {
        for (const char c : text)
            item.add(c);
        return item;
    }
    std::mt19937 random(unsigned(text.size()));
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t n = std::min(text.size() - at, 1 + random() % runs);
        item.addRun(std::string_view(text).substr(at, n));
        at += n;
    }
    return item;
}

// Equal to the bit, so that -0 is not 0.
bool same(std::optional<double> a, std::optional<double> b) {
    if (a.has_value() != b.has_value()) return false;
    return !a || std::memcmp(&*a, &*b, sizeof(double)) == 0;
}

std::string repeat(char c, std::size_t n) {
    return std::string(n, c);
}

TEST(Item, ALongNumberHasTheValueOfTheWholeText) {
    const std::size_t kLong = viewers::Item::kHeadBytes + 3000;
    const std::string digits = [] {
        std::string d;
        std::mt19937 random(7);
        for (int k = 0; k < 9000; ++k)
            d += char('0' + random() % 10);
        return d;
    }();
    const std::string cases[] = {
        "1" + repeat('0', kLong) + "e-" + std::to_string(kLong),    // 1
        "-0." + repeat('0', kLong) + "25e" + std::to_string(kLong), // -0.025
        "0." + repeat('0', kLong) + "1",                            // below every double: 0
        "-" + repeat('0', kLong),                                   // -0
        "1" + repeat('0', kLong),                                   // beyond every double
        "+." + digits + "e3",
        digits + "e-8990",
        "0.1" + repeat('0', kLong) + "1", // just above 0.1
        "2.5" + repeat('x', kLong),       // a number, then text
        repeat('9', 400) + "." + repeat('9', kLong) + "d-100",
        "1" + repeat('0', kLong) + "e-" + repeat('9', 30),
        "1." + repeat('0', kLong) + "e",   // an exponent letter without digits
        "1." + repeat('0', kLong) + "e+x", // nor here
        repeat('.', kLong),
        "-" + repeat('x', kLong),
    };
    for (const std::string& text : cases) {
        SCOPED_TRACE(text.substr(0, 20) + "... " + text.substr(text.size() - 20));
        for (const std::size_t runs : {0, 1, 7, 5000})
            EXPECT_TRUE(same(itemOf(text, runs).number(), plat::leadingNumber(text))) << runs;
    }
    // A number that ends where the bytes kept end, the exponent just after them.
    for (std::size_t at = viewers::Item::kHeadBytes - 4; at <= viewers::Item::kHeadBytes + 2;
         ++at) {
        for (const std::string tail : {"e5", "e-5", "5", "x1", "e+12x"}) {
            const std::string text = "1." + repeat('0', at - 2) + tail + repeat('z', 10);
            SCOPED_TRACE(std::to_string(at) + tail);
            EXPECT_TRUE(same(itemOf(text).number(), plat::leadingNumber(text)));
            EXPECT_TRUE(same(itemOf(text, 300).number(), plat::leadingNumber(text)));
        }
    }
}

// The quoted form counts the characters of the whole item as the shared escape counts them:
// well-formed UTF-8 sequences, and each byte of a broken one.
TEST(Item, ALongItemIsQuotedAsItsWholeText) {
    std::mt19937 random(11);
    const char* pieces[] = {"a",
                            "\xC3\xA9",
                            "\xE2\x82\xAC",
                            "\xF0\x9F\x90\x9F",
                            "\xE2\x80\xAE",
                            "\xC3",
                            "\xE2\x82",
                            "\xF0\x9F\x90",
                            "\x80",
                            "\xFF",
                            "\xC0\xAF",
                            "\xED\xA0\x80",
                            "\xF4\x90\x80\x80",
                            "\xE0\x80\x80",
                            "\x01",
                            "\xF5"};
    for (int k = 0; k < 40; ++k) {
        std::string text;
        const std::size_t length = viewers::Item::kHeadBytes - 50 + random() % 9000;
        while (text.size() < length)
            text += pieces[random() % std::size(pieces)];
        SCOPED_TRACE(k);
        EXPECT_EQ(itemOf(text).visible(), vesk::visibleText(text));
        EXPECT_EQ(itemOf(text, 2000).visible(), vesk::visibleText(text));
        viewers::Item item = itemOf(text);
        item.clear();
        item.add('7');
        EXPECT_EQ(item.visible(), "7");
        EXPECT_EQ(item.number(), 7.0);
    }
}

} // namespace
