// The per-recruit reader: layout, maxima, and the files and modes it refuses.
#include "viewers/tovrask/yrofile.h"

#include "viewers/core/tests/viewer_fixtures.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

class YroFile : public viewer_test::FolderTest {
  protected:
    tovrask::PerRecruitTable table;
    std::string error;
};

TEST_F(YroFile, ReadsTheExampleWithItsMaxima) {
    ASSERT_TRUE(tovrask::readyrofile(VESK_EXAMPLES_DIR "/snapper.yro", table, error)) << error;
    EXPECT_FLOAT_EQ(table.maxFmult, 2.0f);
    EXPECT_FLOAT_EQ(table.maxRealizedF, 0.4235f);
    EXPECT_FLOAT_EQ(table.maxYpr, 0.9089f);
    EXPECT_FLOAT_EQ(table.spr[0], 1.0f);
    EXPECT_FLOAT_EQ(table.ypr[30], 0.9089f); // nothing is normalised
    EXPECT_EQ(table.nrows, 100);
}

TEST_F(YroFile, CommasAndLineBreaksSeparateAndMaximaRestartAtEachRead) {
    std::ostringstream out;
    out << "1 2 3 4\r\n5 6 7 8\r\n"; // numbers in the header are not data
    for (int i = 0; i <= 100; ++i)
        out << 0.01 * i << ",\n"
            << 0.002 * i << " , " << 0.001 * i * (100 - i) << ',' << 1 - 0.01 * i
            << (i % 3 ? "\n" : " ");
    ASSERT_TRUE(tovrask::readyrofile(VESK_EXAMPLES_DIR "/snapper.yro", table, error)) << error;
    ASSERT_TRUE(tovrask::readyrofile(write("free.yro", out.str()), table, error)) << error;
    EXPECT_FLOAT_EQ(table.maxFmult, 1.0f);
    EXPECT_FLOAT_EQ(table.maxRealizedF, 0.2f);
    EXPECT_FLOAT_EQ(table.maxYpr, 2.5f);
    EXPECT_FLOAT_EQ(table.realizedF[50], 0.1f);
    EXPECT_FLOAT_EQ(table.spr[100], 0.0f);
}

TEST_F(YroFile, ACarriageReturnAloneEndsALineAndAValueBeyondADoubleIsRefused) {
    std::ostringstream out;
    out << "1 2 3 4\r5 6 7 8\r";
    for (int i = 0; i <= 100; ++i)
        out << 0.01 * i << ' ' << 0.002 * i << ' ' << 0.5 << ' ' << 1 - 0.01 * i << '\r';
    ASSERT_TRUE(tovrask::readyrofile(write("cr.yro", out.str()), table, error)) << error;
    EXPECT_FLOAT_EQ(table.fmult[0], 0.0f);
    EXPECT_FLOAT_EQ(table.maxFmult, 1.0f);

    const std::string text = out.str();
    const std::string huge = text.substr(0, text.rfind(' ')) + " -1e400\r";
    EXPECT_FALSE(tovrask::readyrofile(write("huge.yro", huge), table, error));
    EXPECT_EQ(error, "the value -1e400 on line 103 is out of range.");
    EXPECT_FLOAT_EQ(table.maxFmult, 1.0f);
}

TEST_F(YroFile, RefusesTooFewNumbersAndKeepsTheTable) {
    ASSERT_TRUE(tovrask::readyrofile(VESK_EXAMPLES_DIR "/snapper.yro", table, error));
    std::ostringstream out;
    out << "h\nh\n";
    for (int i = 0; i < 403; ++i)
        out << "0.5 ";
    EXPECT_FALSE(tovrask::readyrofile(write("short.yro", out.str()), table, error));
    EXPECT_NE(error.find("holds 403 numbers"), std::string::npos) << error;
    EXPECT_FLOAT_EQ(table.maxFmult, 2.0f);
    EXPECT_FALSE(tovrask::readyrofile(dir.path().toStdString() + "/none.yro", table, error));
    EXPECT_EQ(error, "the file cannot be opened: No such file or directory.");
}

TEST_F(YroFile, AModeWithAnEmptyRangeIsNamed) {
    tovrask::PerRecruitTable t;
    t.maxFmult = 2;
    t.maxYpr = 0.3f;
    EXPECT_EQ(tovrask::emptyRangeError(t, 1), "");
    EXPECT_NE(tovrask::emptyRangeError(t, 2).find("no positive realized F"), std::string::npos);
    t.maxRealizedF = 0.4f;
    t.maxYpr = 0;
    EXPECT_NE(tovrask::emptyRangeError(t, 2).find("no positive yield per recruit"),
              std::string::npos);
    t.maxFmult = 0;
    EXPECT_NE(tovrask::emptyRangeError(t, 1).find("F multiplier"), std::string::npos);
}

} // namespace
