// A number text of any length, kept in bounded memory: the short text it leaves has the value of
// the whole text.
#include "common/longnumber.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdint>
#include <random>
#include <string>
#include <system_error>

namespace {

using vesk::LongNumber;

// The number of text fed byte by byte, or (runs > 0) in runs of up to that many bytes; `taken`
// is how many bytes it took.
LongNumber numberOf(const std::string& text, std::size_t runs, std::size_t& taken) {
    LongNumber number;
    taken = 0;
    if (runs == 0) {
        while (taken < text.size() && number.add(text[taken]))
            ++taken;
        return number;
    }
    std::mt19937 random(static_cast<unsigned>(text.size()));
    while (taken < text.size()) {
        const std::size_t n = std::min(text.size() - taken, 1 + random() % runs);
        const std::size_t took = number.add(std::string_view(text).substr(taken, n));
        taken += took;
        if (took < n) break;
    }
    return number;
}

std::string repeat(char c, std::size_t n) {
    return std::string(n, c);
}

TEST(LongNumber, KeepsWhatTheValueNeedsAndEndsAtTheFirstOtherByte) {
    struct Case {
        std::string text;
        std::size_t taken; // the bytes that go on with the number
        std::string shortText;
        bool complete, integer;
        std::string integerText;
    };
    const std::string cap = "e1000000000000000";
    const Case cases[] = {
        {"", 0, "", false, false, ""},
        {"-", 1, "", false, false, ""},
        {"+.", 2, "", false, false, ""},
        {"e5", 0, "", false, false, ""},
        {"-0000", 5, "-0", true, true, "-0"},
        {"+0012", 5, "1.2e1", true, true, "12"},
        {"0.00125", 7, "1.25e-3", true, false, ""},
        {"-.5", 3, "-5.e-1", true, false, ""},
        {"5.", 2, "5.e0", true, false, ""},
        {"-0.0e-400", 9, "-0", true, false, ""},
        {"1.5D-3", 6, "1.5e-3", true, false, ""},
        {"12e+04", 6, "1.2e5", true, false, ""},
        // An exponent letter without digits is no part of the leading number.
        {"1e", 2, "1.e0", false, false, ""},
        {"1e+", 3, "1.e0", false, false, ""},
        {"1e+x", 3, "1.e0", false, false, ""},
        {"2.5x9", 3, "2.5e0", true, false, ""},
        {"1..2", 2, "1.e0", true, false, ""},
        {"7 8", 1, "7.e0", true, true, "7"},
        {"1-", 1, "1.e0", true, true, "1"},
        // The exponent held at its cap either way, and far beyond any double.
        {"3e" + repeat('9', 30), 32, "3.e1000000000000000", true, false, ""},
        {"-3e-" + repeat('9', 30), 34, "-3.e-1000000000000000", true, false, ""},
        // The first 800 significant digits, and a 1 for a digit after them that is not 0.
        {"1" + repeat('0', 900), 901, ("1." + repeat('0', 799) + "e900"), true, true,
         ("1" + repeat('0', 799))},
        {"-0." + repeat('0', 900) + "2" + repeat('0', 900) + "3e5", 1807,
         ("-2." + repeat('0', 799) + "1e-896"), true, false, ""},
        {repeat('9', 799) + "." + repeat('9', 5) + "x", 805, ("9." + repeat('9', 799) + "1e798"),
         true, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 30));
        for (const std::size_t runs : {0, 1, 3, 9, 2000}) {
            std::size_t taken = 0;
            const LongNumber number = numberOf(c.text, runs, taken);
            EXPECT_EQ(taken, c.taken) << runs;
            EXPECT_EQ(number.ended(), c.taken < c.text.size()) << runs;
            EXPECT_EQ(number.text(), c.shortText) << runs;
            EXPECT_EQ(number.complete(), c.complete) << runs;
            EXPECT_EQ(number.integer(), c.integer) << runs;
            if (c.integer) {
                EXPECT_EQ(number.integerText(), c.integerText) << runs;
            }
        }
    }
    // Cleared, it starts anew.
    std::size_t taken = 0;
    LongNumber number = numberOf("-1e5x", 0, taken);
    number.clear();
    EXPECT_TRUE(number.add('4'));
    EXPECT_EQ(number.text(), "4.e0");
}

// from_chars reads the short text as it reads the whole one: the nearest double, 0 of the sign
// below the smallest one, out of range beyond the largest.
TEST(LongNumber, TheShortTextReadsAsTheWholeOne) {
    std::mt19937_64 random(20261211);
    const auto below = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
    const auto digits = [&](std::size_t n, char first) {
        std::string d;
        for (std::size_t k = 0; k < n; ++k)
            d += static_cast<char>(first + below(static_cast<std::size_t>('9' - first + 1)));
        return d;
    };
    const auto read = [](const std::string& text) {
        double v = 12345.0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
        EXPECT_EQ(end, text.data() + text.size()) << text.substr(0, 40);
        return std::make_pair(ec, std::bit_cast<std::uint64_t>(v));
    };
    for (int k = 0; k < 3000; ++k) {
        std::string text = below(2) == 0 ? "-" : "";
        text += repeat('0', below(4) == 0 ? below(1500) : 0);
        // Long runs of 0 or 9 put the value close to a halfway point, or right on one.
        const int kind = static_cast<int>(below(4));
        std::string mantissa = digits(1 + below(below(2) == 0 ? 40 : 2500), '0');
        if (kind == 1) mantissa = digits(16, '0') + "5" + repeat('0', below(2000));
        if (kind == 2) mantissa = digits(16, '0') + repeat('9', below(2000)) + digits(3, '0');
        if (below(20) == 0) mantissa = repeat('0', mantissa.size());
        const std::size_t point = below(mantissa.size() + 2);
        if (point <= mantissa.size()) mantissa.insert(point, ".");
        text += mantissa;
        if (below(4) != 0) {
            const auto power = static_cast<long long>(below(1400)) - 700;
            text += 'e' + std::to_string(power);
        }
        SCOPED_TRACE(text.substr(0, 40) + "... " +
                     text.substr(text.size() - std::min<std::size_t>(text.size(), 10)));
        std::size_t taken = 0;
        const LongNumber number = numberOf(text, below(2) == 0 ? 0 : 1 + below(3000), taken);
        ASSERT_EQ(taken, text.size());
        ASSERT_TRUE(number.complete());
        EXPECT_LE(number.text().size(), LongNumber::kKeptDigits + 30);
        EXPECT_EQ(read(number.text()), read(text));
        if (::testing::Test::HasFailure()) break;
    }
}

} // namespace
