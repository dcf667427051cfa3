#include "platform/numtext.h"

#include <gtest/gtest.h>

#include <bit>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace plat;

TEST(NumberText, PrintFormOfSingles) {
    const std::vector<std::pair<float, std::string>> cases = {
        {0.f, " 0 "},
        {1.f, " 1 "},
        {-1.f, "-1 "},
        {100.f, " 100 "},
        {0.15f, " .15 "},
        {-0.5f, "-.5 "},
        {0.1f, " .1 "}, // the single's own digits, not 0.100000001 of its widened double
        {3.14159274f, " 3.141593 "},
        {1234567.f, " 1234567 "},
        {12345678.f, " 1.234568E+07 "},
        {1e7f, " 1E+07 "},
        {0.0001f, " .0001 "},
        {1e-5f, " 1E-05 "},
        {-2.5e-6f, "-2.5E-06 "},
        {-0.f, " 0 "},
    };
    for (const auto& [v, text] : cases)
        EXPECT_EQ(printSingle(v), text) << v;
}

TEST(NumberText, PrintFormOfDoublesAndIntegers) {
    EXPECT_EQ(printDouble(0.1), " .1 ");
    EXPECT_EQ(printDouble(1.0 / 3.0), " .333333333333333 ");
    EXPECT_EQ(printDouble(double(0.01f)), " .00999999977648258 ");
    EXPECT_EQ(printDouble(123456789012345.0), " 123456789012345 ");
    EXPECT_EQ(printDouble(1e15), " 1E+15 ");
    EXPECT_EQ(printDouble(-1e100), "-1E+100 ");
    EXPECT_EQ(printInteger(0), " 0 ");
    EXPECT_EQ(printInteger(-3), "-3 ");
    EXPECT_EQ(printInteger(1990), " 1990 ");
}

// The print forms of a finite number as the C library's %G gives them, with the zero before the
// point dropped and the blanks put around: what the writers wrote before they formatted numbers
// themselves. The C library writes the locale's decimal sign; the files' is a point.
std::string printfForm(double v, int digits) {
    if (v == 0) return " 0 ";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*G", digits, v);
    std::string s = buf;
    const std::string sign = std::localeconv()->decimal_point;
    if (const auto at = s.find(sign); at != std::string::npos) s.replace(at, sign.size(), ".");
    if (s.rfind("0.", 0) == 0) s.erase(0, 1);
    if (s.rfind("-0.", 0) == 0) s.erase(1, 1);
    return (s[0] == '-' ? s : " " + s) + " ";
}

TEST(NumberText, PrintFormsAreTheCLibrarysOverTheWholeRange) {
    std::mt19937_64 random(21);
    std::vector<double> values;
    // Any finite double (subnormals among them), any single, the products the management export
    // writes, and the edges: a power of ten just missed, and halves at the last digit kept.
    for (int k = 0; k < 100000; ++k) {
        const double any = std::bit_cast<double>(random());
        if (std::isfinite(any)) values.push_back(any);
        const float single = std::bit_cast<float>(uint32_t(random()));
        if (std::isfinite(single)) values.push_back(single);
        std::uniform_real_distribution<float> share(0, 1);
        values.push_back(double(share(random)) * double(share(random)) * double(share(random)));
    }
    for (int e = -320; e <= 308; ++e) {
        const double p = std::pow(10.0, e);
        values.insert(values.end(), {p, std::nextafter(p, 0.0), std::nextafter(p, HUGE_VAL), -p,
                                     p * 1.5, 0.1234567890123455 * p, 9.9999995 * p});
    }
    // Exact halves of the last digit kept, which go to the even digit.
    values.insert(values.end(), {1234567.5, 1234568.5, 123456789012345.5, 123456789012344.5,
                                 0.000123456785, 2.5, 999999950.0, 999999999999999.5});
    for (const double v : values) {
        if (!std::isfinite(v)) continue;
        ASSERT_EQ(printDouble(v), printfForm(v, 15)) << std::hexfloat << v;
        const float single = float(v);
        if (std::isfinite(single)) {
            ASSERT_EQ(printSingle(single), printfForm(single, 7)) << std::hexfloat << v;
        }
    }
    std::string text = "x";
    appendDouble(text, -0.125);
    appendSingle(text, 0.1f);
    EXPECT_EQ(text, "x-.125  .1 ");
}

TEST(NumberText, BoxFormHasNoBlanksAndAZeroBeforeThePoint) {
    EXPECT_EQ(strSingle(-0.5f), "-0.5");
    EXPECT_EQ(strSingle(12.f), "12");
    EXPECT_EQ(strSingle(1e7f), "1E+07");
    EXPECT_EQ(strDouble(0.25), "0.25");
    EXPECT_EQ(strInteger(-7), "-7");
}

TEST(NumberText, LenientReading) {
    const std::vector<std::pair<std::string, double>> cases = {
        {"12abc", 12},     {"abc", 0},  {".5", 0.5},   {"-3e2x", -300}, {"  7", 7},
        {"\t-.25 ", -.25}, {"1e", 1},   {"1e+", 1},    {"+4", 4},       {"1,5", 1},
        {"", 0},           {"-", 0},    {".", 0},      {"inf", 0},      {"nan", 0},
        {"infinity", 0},   {"0x10", 0}, {"1d2", 100},  {"1e999", 0},    {"1e-999", 0},
        {"2.", 2},         {"1 2", 1},  {"0.50", 0.5},
    };
    for (const auto& [text, v] : cases)
        EXPECT_EQ(val(text), v) << "\"" << text << "\"";
}

// A file's value that overflows a double has no value, where a box takes it as 0; underflow and
// text without a number read as they always did.
TEST(NumberText, LenientFileReadingRefusesOverflow) {
    // Exponents too long for an int, which must not wrap around into an underflow, and the
    // magnitude of the digits before one.
    const std::string nines(40, '9');
    for (const std::string& text :
         {std::string("1e400"), std::string("-1e400"), std::string("1e309x"), std::string("1D999"),
          std::string(" 17976931348623159e292"), "1e" + nines, std::string("1e4294967296"),
          "1" + std::string(400, '0') + std::string("e-50")})
        EXPECT_FALSE(leadingNumber(text).has_value()) << text;
    const std::vector<std::pair<std::string, double>> cases = {
        {"1e-400", 0},
        {"abc", 0},
        {"", 0},
        {"1e39", 1e39},
        {"-2.5e3q", -2500},
        {"1e308", 1e308},
        {"1e-" + nines, 0},
        {"0." + std::string(400, '0') + "1e50", 0}};
    for (const auto& [text, v] : cases) {
        ASSERT_TRUE(leadingNumber(text).has_value()) << text;
        EXPECT_EQ(*leadingNumber(text), v) << text;
        EXPECT_EQ(val(text), v) << text;
    }
}

TEST(NumberText, StrictReading) {
    EXPECT_EQ(parseNumber(" 12 "), 12.0);
    EXPECT_EQ(parseNumber("-.5"), -0.5);
    EXPECT_EQ(parseNumber("1E+07"), 1e7);
    EXPECT_EQ(parseNumber("1e-400"), 0.0);
    for (const char* bad : {"", " ", "12abc", "inf", "nan", "1e999", "1 2", "--1", ".", "e5"})
        EXPECT_FALSE(parseNumber(bad).has_value()) << "\"" << bad << "\"";
}

TEST(NumberText, SixteenBitRoundsHalvesToEven) {
    const std::vector<std::pair<double, std::optional<int16_t>>> cases = {
        {2.5, 2},           {3.5, 4},
        {-2.5, -2},         {-3.5, -4},
        {0.49, 0},          {0.51, 1},
        {-0.5, 0},          {32767.4, 32767},
        {32767.5, {}},      {-32768.5, -32768},
        {-32768.6, {}},     {1e10, {}},
        {std::nan(""), {}}, {std::numeric_limits<double>::infinity(), {}},
    };
    for (const auto& [v, want] : cases)
        EXPECT_EQ(toInteger16(v), want) << v;
}

TEST(NumberText, PictureFormats) {
    struct Case {
        double v;
        const char* picture;
        const char* text;
    };
    const std::vector<Case> cases = {
        {0, "#0", "0"},
        {5, "#0", "5"},
        {7, "#00", "07"},
        {1994, "#0000", "1994"},
        {20000, "#00000", "20000"},
        {0.4f, "0.00", "0.40"},
        {0.8f, "0.00", "0.80"},
        {1.2f, "0.0", "1.2"},
        {0.5, "0.0", "0.5"},
        {-0.5, "0.0", "-0.5"},
        {-0.04, "0.0", "0.0"},
        {0.001f, "0.000", "0.001"},
        {5, "00", "05"},
        {250, "000", "250"},
        {0, "0", "0"},
        {2.5, "#0", "2"}, // halves to even
        {0.25, "0.0", "0.2"},
        {0.35, "0.0", "0.3"}, // 0.35 is a little below its decimal text
        {24, "0.0e+0", "2.4e+1"},
        {0.5, "0.0e+0", "5.0e-1"},
        {1500, "0.0e+0", "1.5e+3"},
        {2000000, "0.0e+0", "2.0e+6"},
        {9.96, "0.0e+0", "1.0e+1"},
        {0.0005, "0.0e+0", "5.0e-4"},
        {-1200, "0.0e+0", "-1.2e+3"},
        {0, "0.0e+0", "0.0e+0"},
        {1500, "0.00E+00", "1.50E+03"},
        {1500, "0.0e-0", "1.5e3"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatPicture(c.v, c.picture), c.text) << c.v << " in " << c.picture;
}

// A picture or a value may need more digits than any fixed buffer holds; the digits must still be
// all there (a long exponent picture once read past the start of its text).
TEST(NumberText, PicturesOfManyDigits) {
    const std::string zeros(600, '0');
    EXPECT_EQ(formatPicture(5, zeros + "e+0"), "5" + zeros.substr(1) + "e-599");
    EXPECT_EQ(formatPicture(1.5, "0." + zeros + "e+0"), "1.5" + zeros.substr(1) + "e+0");
    EXPECT_EQ(formatPicture(1.5, "0." + zeros), "1.5" + zeros.substr(1));
    const std::string huge = formatPicture(1e300, "0");
    EXPECT_EQ(huge.size(), 301u);
    EXPECT_EQ(huge.substr(0, 3), "100");
}

} // namespace
