// The free-format reader and the output forms.
#include "free_format.h"
#include "text_forms.h"

#include <gtest/gtest.h>

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
