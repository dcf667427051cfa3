// The free-format reader and the output forms.
#include "engine_fixture.h"
#include "free_format.h"
#include "text_forms.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <functional>
#include <random>
#include <sstream>

namespace tez {
namespace {

struct Source {
    std::istringstream text;
    FreeReader in;
    explicit Source(const std::string& s) : text(s) { in.attach(text, "test.bio"); }
};

TEST(FreeReader, SplitsOnBlanksCommasAndLineEndsAndSkipsEmptyLines) {
    Source src(
        " 25  .15 \r\n\r\n  \n-.5,1E+07 , 1.5D2\r\n+3 7 9\n\"two words\", 'it''s' rest/\nlast");
    FreeReader& in = src.in;
    int i = 0;
    double a = 0, b = 0, c = 0, d = 0;
    in.begin_read();
    in.integer(i);
    in.real(a);
    EXPECT_EQ(i, 25);
    EXPECT_DOUBLE_EQ(a, 0.15);
    // A read starts on a new line: the empty lines are skipped.
    in.begin_read();
    in.real(b);
    in.real(c);
    in.real(d);
    EXPECT_DOUBLE_EQ(b, -0.5);
    EXPECT_DOUBLE_EQ(c, 1e7);
    EXPECT_DOUBLE_EQ(d, 150.0);
    // Only the first value of the line is taken.
    EXPECT_EQ(in.read_integer(), 3);
    in.begin_read();
    std::string t1, t2, t3 = "unchanged";
    in.text(t1, 12);
    in.text(t2, 3);
    EXPECT_EQ(t1, "two words   ");
    EXPECT_EQ(t2, "it'");
    EXPECT_EQ(in.read_text(4), "last");
}

TEST(FreeReader, ReadNeedingMoreValuesGoesOnToTheNextLine) {
    Source src(" 1\r\n\r\n 2  3\r\n 4\r\n");
    int a = 0, b = 0, c = 0;
    src.in.begin_read();
    src.in.integer(a);
    src.in.integer(b);
    src.in.integer(c);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 2);
    EXPECT_EQ(c, 3);
    // The rest of the line that ended the read is skipped.
    EXPECT_EQ(src.in.read_integer(), 4);
}

TEST(FreeReader, TextItemsEndAtBlankCommaOrSlashAndAreCut) {
    Source src("Tez.000 more\nsnapper.bio,x\nab/cd\nlongername.bio\n");
    EXPECT_EQ(src.in.read_text(12), "Tez.000     ");
    EXPECT_EQ(src.in.read_text(12), "snapper.bio ");
    EXPECT_EQ(src.in.read_text(12), "ab          ");
    EXPECT_EQ(src.in.read_text(12), "longername.b");
}

TEST(FreeReader, WholeLineReadsTakeEmptyLinesToo) {
    Source src("NUL\r\n\r\nNUL other\r\n");
    std::string s;
    src.in.whole_line(s, 12);
    EXPECT_EQ(s, "NUL         ");
    src.in.whole_line(s, 12);
    EXPECT_EQ(s, "            ");
    src.in.whole_line(s, 12);
    EXPECT_EQ(s, "NUL other   ");
}

TEST(FreeReader, ErrorsNameTheFileAndTheLine) {
    {
        Source src(" 4\n abc\n");
        EXPECT_EQ(src.in.read_integer(), 4);
        try {
            src.in.read_real();
            FAIL();
        } catch (const InputError& err) {
            EXPECT_STREQ(err.what(),
                         "Error reading test.bio, line 2: a number is expected, found \"abc\"");
        }
    }
    {
        Source src(" 4\n\n");
        src.in.read_integer();
        try {
            src.in.read_integer();
            FAIL();
        } catch (const InputError& err) {
            EXPECT_STREQ(err.what(), "Error reading test.bio: the file ends after line 2 where a "
                                     "value is expected");
        }
    }
    // A whole number field does not take a fraction.
    Source src(" 2.5\n");
    EXPECT_THROW(src.in.read_integer(), InputError);
}

TEST(NumberParsing, RefusesWhatIsNotADecimalNumber) {
    double v = 0;
    for (const char* bad : {"inf", "nan", "0x10", "1.5e", "--1", ".", "1,5", "e5"})
        EXPECT_FALSE(parse_real(bad, v)) << bad;
    for (const auto& [text, value] : std::initializer_list<std::pair<const char*, double>>{
             {"5.", 5.0},
             {"-.5", -0.5},
             {"+2", 2.0},
             {"1d-3", 1e-3},
             {".150000005960464", 0.150000005960464}}) {
        ASSERT_TRUE(parse_real(text, v)) << text;
        EXPECT_DOUBLE_EQ(v, value) << text;
    }
}

TEST(NumberParsing, ExponentsOfManyDigitsOverflowOrUnderflowByTheirSign) {
    struct Case {
        const char* text;
        bool read;
        double value;
    };
    // Exponents beyond 32 bits must neither wrap round nor turn a huge number into a tiny one.
    const Case cases[] = {
        {"3.09e2999999999", false, 0.0},
        {"1e-2999999999", true, 0.0},
        {"123e-4294967299", true, 0.0},
        {"0.00001e-9999999999", true, 0.0},
        {"1e-99999999999999999999999", true, 0.0},
        {"1e+00000000000000000308", true, 1e308},
        {"1e00000000000000000309", false, 0.0},
        {"0.000000000000000000001e+4294967296", false, 0.0},
    };
    for (const Case& c : cases) {
        double v = -1.0;
        bool too_large = false;
        EXPECT_EQ(parse_real(c.text, v, &too_large), c.read) << c.text;
        EXPECT_EQ(too_large, !c.read) << c.text;
        if (c.read) {
            EXPECT_EQ(v, c.value) << c.text;
        }
    }
}

// What from_chars reads the text as: the reader must read the same double, bit for bit; a number
// that underflows reads as 0 of its sign, one beyond the largest double is refused.
void expect_as_from_chars(const std::string& text) {
    double wanted = 0.0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), wanted);
    ASSERT_EQ(end, text.data() + text.size()) << text;
    double v = 1.0;
    bool too_large = false;
    const bool read = parse_real(text, v, &too_large);
    if (ec == std::errc()) {
        ASSERT_TRUE(read) << text;
        EXPECT_EQ(std::bit_cast<std::uint64_t>(v), std::bit_cast<std::uint64_t>(wanted))
            << text << " read as " << v << ", from_chars gives " << wanted;
        return;
    }
    ASSERT_EQ(ec, std::errc::result_out_of_range) << text;
    if (read) {
        EXPECT_EQ(v, 0.0) << text;
        EXPECT_EQ(std::signbit(v), text.front() == '-') << text;
    } else {
        EXPECT_TRUE(too_large) << text;
    }
}

// The quick path for short numbers against the standard library's reading.
TEST(NumberParsing, ReadsEveryNumberAsFromCharsDoes) {
    const std::string many_nines(400, '9');
    const std::vector<std::string> edges = {
        // 2^53 and its neighbours, scaled by the powers of ten a double holds exactly and the
        // first ones it does not.
        "9007199254740991", "9007199254740992", "9007199254740993", "-9007199254740993",
        "9007199254740992e22", "9007199254740992e23", "9007199254740993e22", "9007199254740991e-22",
        "9007199254740992e-23", "900719925474099.2e8", "1e22", "1e23", "-1e23", "1e-22", "1e-23",
        "-1e-23", "3e22", "3e23", "58.982e26", "4.5e-21", "12345e18", "12345e19",
        "0.000000000000000000001e45",
        // Long digit strings, whose last digits still decide the rounding.
        "123456789012345678901234567890", "0.1000000000000000055511151231257827",
        "0.1000000000000000055511151231257828", "9007199254740993.0000000000000000000001",
        many_nines, "-" + many_nines + "e-400", "0." + std::string(300, '0') + many_nines,
        // Subnormals, the smallest normal and the largest double.
        "4.9e-324", "-4.9e-324", "2.4703282292062328e-324", "2.2250738585072011e-308",
        "2.2250738585072014e-308", "1e-310", "1.7976931348623157e308", "-1.7976931348623158e308",
        // Beyond either end, and zeros with their signs.
        "1e-400", "-1e-400", "-2.4703282292062327e-324", "1.7976931348623159e308", "-1e309", "0",
        "-0", "-0.0e-400", "0e999", ".5", "-.5", "5.", "1E5", "1e+5", "1e-0"};
    for (const std::string& text : edges)
        expect_as_from_chars(text);

    // A seeded sample: up to 20 digits with the point anywhere, and exponents that bring the
    // scale mostly within the exactly held powers and sometimes far beyond.
    std::mt19937_64 random(20241211);
    const auto below = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    std::string text;
    for (int i = 0; i < 300000; ++i) {
        text.clear();
        if (below(2) == 0) text += '-';
        const int digits = 1 + below(below(4) == 0 ? 20 : 16);
        const int point = below(digits + 2) - 1;
        for (int k = 0; k < digits; ++k) {
            if (k == point) text += '.';
            text += static_cast<char>('0' + below(10));
        }
        if (below(4) != 0) {
            const int exponent = below(8) == 0 ? below(700) - 350 : below(61) - 30;
            text += 'e' + std::to_string(exponent);
        }
        expect_as_from_chars(text);
        if (::testing::Test::HasFailure()) break;
    }
}

// Runs `check` on a reader of `text` from a file, which is read in blocks, and on one from a
// stream, read byte by byte.
void on_both_readers(const std::string& text, const std::function<void(FreeReader&)>& check) {
    testing::TempFolder folder;
    testing::write_text(folder / "t.bio", text);
    FreeReader file;
    file.open_input(folder / "t.bio", "t.bio", "biology file");
    check(file);
    std::istringstream stream(text);
    FreeReader byte_by_byte;
    byte_by_byte.attach(stream, "t.bio");
    check(byte_by_byte);
}

std::string message_of(const std::function<void()>& read) {
    try {
        read();
    } catch (const InputError& e) {
        return e.what();
    }
    return "no error";
}

// However long a line or an item, the reader reads what it needs of it as a short one.
TEST(FreeReader, HugeLinesAndItemsReadAsShortOnes) {
    // Each run is longer than an item the reader holds and than a block it reads.
    const std::size_t run = 200000;
    const std::string xs(run, 'x');
    const std::string count = std::to_string(run + 1) + " characters)";
    const std::string zeros(5000, '0');
    // Digits beyond the ones that can decide the rounding still decide it: just above, at and
    // just below the halfway point between 2^53 and the next double.
    const std::string above = "9007199254740993" + zeros + "1e-5001";
    const std::string halfway = "9007199254740993" + zeros + "e-5000";
    const std::string below_half = "9007199254740992" + std::string(5000, '9') + "e-5000";
    const std::string tiny = "-0." + std::string(run, '0') + "1e" + std::to_string(run);
    const std::string big_count = "+" + std::string(run, '0') + "42";
    const std::string text = "Snapper" + xs + xs + " 2\r\n" + std::string(run, ' ') + " 7 \r\n" +
                             above + " " + halfway + "\n" + below_half + "," + tiny + "\r\n" +
                             big_count + "\r\n'quoted" + xs + "' 5\r\n" + xs + "\r\n" + "1" + xs +
                             "\r\n9" + xs + "\n";
    on_both_readers(text, [&](FreeReader& in) {
        EXPECT_EQ(in.read_text(15), "Snapperxxxxxxxx");
        EXPECT_EQ(in.read_integer(), 7);
        double a = 0, b = 0, c = 0, d = 1;
        in.begin_read();
        in.real(a);
        in.real(b);
        in.real(c);
        in.real(d);
        EXPECT_EQ(a, 9007199254740994.0);
        EXPECT_EQ(b, 9007199254740992.0);
        EXPECT_EQ(c, 9007199254740992.0);
        EXPECT_EQ(d, -1e-1);
        EXPECT_EQ(std::bit_cast<std::uint64_t>(d), std::bit_cast<std::uint64_t>(-0.1));
        EXPECT_EQ(in.read_integer(), 42);
        EXPECT_EQ(in.read_text(8), "quotedxx");
        std::string line;
        in.whole_line(line, 12);
        EXPECT_EQ(line, "xxxxxxxxxxxx");
        EXPECT_EQ(message_of([&] { in.read_integer(); }),
                  "Error reading t.bio, line 8: a whole number is expected, found \"1" +
                      std::string(39, 'x') + "\xE2\x80\xA6 (" + count + "\"");
        EXPECT_EQ(message_of([&] { in.read_real(); }),
                  "Error reading t.bio, line 9: a number is expected, found \"9" +
                      std::string(39, 'x') + "\xE2\x80\xA6 (" + count + "\"");
    });
    // A huge number counts its characters as a message does, bytes that are not UTF-8 included.
    on_both_readers(" 1" + std::string(run, '7') + "e99999 \xC3\xA9\xE2\x82" + xs + "\xFF\n",
                    [&](FreeReader& in) {
                        in.begin_read();
                        EXPECT_EQ(message_of([&] { in.read_real(); }),
                                  "Error reading t.bio, line 1: a number is expected, found \"1" +
                                      std::string(39, '7') + "\xE2\x80\xA6 (" +
                                      std::to_string(run + 7) +
                                      " characters)\", which is beyond the "
                                      "largest number (about 1.8E+308)");
                    });
    on_both_readers(std::string(3, ' ') + "\xC3\xA9\xE2\x82" + xs + "\xFF\xC3\n",
                    [&](FreeReader& in) {
                        EXPECT_EQ(message_of([&] { in.read_real(); }),
                                  "Error reading t.bio, line 1: a number is expected, found "
                                  "\"\xC3\xA9\\xE2\\x82" +
                                      std::string(37, 'x') + "\xE2\x80\xA6 (" +
                                      std::to_string(run + 5) + " characters)\"");
                    });
}

// A file whose lines end in a carriage return alone reads as one line: the message says why.
TEST(FreeReader, LinesEndingInACarriageReturnAloneAreNamed) {
    on_both_readers(" 1\r 2\r 3\r", [](FreeReader& in) {
        EXPECT_EQ(in.read_integer(), 1);
        EXPECT_EQ(message_of([&] { in.read_integer(); }),
                  "Error reading t.bio, line 1: its lines end in a carriage return alone (CR); "
                  "lines must end in CR LF or LF");
    });
    // A carriage return before the line feed, doubled or not, is no such line end.
    on_both_readers(" 1\r\r\n 2\r\n", [](FreeReader& in) {
        EXPECT_EQ(in.read_integer(), 1);
        EXPECT_EQ(in.read_integer(), 2);
        EXPECT_EQ(message_of([&] { in.read_integer(); }),
                  "Error reading t.bio: the file ends after line 2 where a value is expected");
    });
}

struct FieldCase {
    char kind; // 'F' fixed, 'E' exponent, 'I' integer
    double value;
    int w;
    int d;
    const char* text;
};

TEST(TextForms, FieldsAreRightAlignedWithTheirExactRules) {
    const FieldCase cases[] = {
        {'F', 0.5, 7, 5, "0.50000"},
        {'F', 1.0, 7, 5, "1.00000"},
        {'F', -0.5, 7, 5, "-.50000"},
        {'F', -0.5, 8, 5, "-0.50000"},
        {'F', 0.5, 6, 5, ".50000"},
        {'F', 12.34567, 9, 4, "  12.3457"},
        {'F', 123456.0, 9, 4, "0.123E+06"},
        {'F', 2499999.9, 8, 4, "0.25E+07"},
        {'F', -123456.0, 9, 4, "-0.12E+06"},
        {'F', 123456.0, 6, 4, ".1E+06"},
        {'F', -123456.0, 7, 3, "-.1E+06"},
        {'F', 123456.0, 5, 4, "*****"},
        {'F', 1e120, 9, 4, "*********"},
        {'F', -0.00001, 7, 3, "  0.000"},
        {'F', 0.0, 6, 4, "0.0000"},
        {'E', 1234.567, 12, 6, "0.123457E+04"},
        {'E', -1234.567, 12, 6, "-.123457E+04"},
        {'E', -1234.567, 13, 6, "-0.123457E+04"},
        {'E', 1234.567, 13, 6, " 0.123457E+04"},
        {'E', 0.0, 12, 6, "0.000000E+00"},
        {'E', 1e10, 10, 2, "  0.10E+11"},
        {'E', -1.0, 10, 2, " -0.10E+01"},
        {'E', 0.99999999, 11, 4, " 0.1000E+01"},
        {'E', 1.23456e-5, 11, 4, " 0.1235E-04"},
        {'E', 1.23456e99, 10, 4, "0.1235+100"},
        {'E', 1.23456e-101, 11, 4, " 0.1235-100"},
        {'E', -1.23456e99, 10, 4, "-.1235+100"},
        {'E', -1.23456e99, 9, 4, "*********"},
        {'I', 2001, 4, 0, "2001"},
        {'I', 12345, 4, 0, "****"},
        {'I', -7, 3, 0, " -7"},
    };
    for (const FieldCase& c : cases) {
        std::string got = c.kind == 'F'   ? fixed_field(c.value, c.w, c.d)
                          : c.kind == 'E' ? exp_field(c.value, c.w, c.d)
                                          : int_field(static_cast<long long>(c.value), c.w);
        EXPECT_EQ(got, c.text) << c.kind << c.w << "." << c.d << " of " << c.value;
    }
    EXPECT_EQ(free_record("Yr"), " Yr");
    EXPECT_EQ(free_integer(2001), "        2001");
}

} // namespace
} // namespace tez
