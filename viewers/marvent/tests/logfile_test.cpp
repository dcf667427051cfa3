// The token parser and the reader of the simulation log.
#include "viewers/marvent/logfile.h"

#include "viewers/core/tests/viewer_fixtures.h"

#include "common/testing/named_pipe.h"
#include <gtest/gtest.h>

namespace {

using marvent::logtable;

const char* const kHeader =
    "Simulation output\r\nrun a.run\r\nunits\r\n Year Rec SPR SSB B Y F L W A\r\n";

class LogFile : public viewer_test::FolderTest {
  protected:
    std::string log(const std::string& rows) { return write("run.log", kHeader + rows); }
};

TEST(NextNumber, TakesOneTokenAndLeavesTheRest) {
    std::string line = "   1990  12.5\t7e2  ";
    EXPECT_EQ(marvent::nextnumber(line), 1990);
    EXPECT_EQ(line, "  12.5\t7e2  ");
    EXPECT_EQ(marvent::nextnumber(line), 12.5);
    EXPECT_EQ(marvent::nextnumber(line), 700);
    EXPECT_EQ(marvent::nextnumber(line), 0); // run out
    EXPECT_EQ(marvent::nextnumber(line), 0);

    struct Case {
        const char* line;
        double value;
        bool missing;
    } cases[] = {
        {"12.5", 12.5, false}, // a last token without a blank after it is read whole
        {"NaN 3", -1, true},         {"nan", 0, false},      {"abc", 0, false},
        {"12abc", 12, false},        {"-.25", -0.25, false}, {"", 0, false},
        {"0.6221\r", 0.6221, false},
    };
    for (const Case& c : cases) {
        std::string text = c.line;
        bool missing = !c.missing;
        EXPECT_EQ(marvent::nextnumber(text, &missing), c.value) << c.line;
        EXPECT_EQ(missing, c.missing) << c.line;
    }
}

TEST_F(LogFile, EveryRowIsPlottedAndEachColumnEndsAtOne) {
    ASSERT_FALSE(marvent::readlogfile(log("1990 100 0.5 40 80 10 0.2 50 2.0 4\r\n"
                                          "1991 200 0.4 20 40 20 0.4 25 1.0 8\r\n"
                                          "1992  50 0.3 10 20  5 0.1 40 1.5 2\r\n")));
    EXPECT_EQ(logtable.nrows, 3);
    EXPECT_EQ(logtable.year[3], 1992);
    EXPECT_FLOAT_EQ(logtable.value[2][1], 0.5f);
    EXPECT_FLOAT_EQ(logtable.value[2][2], 1.0f);
    EXPECT_FLOAT_EQ(logtable.value[3][1], 0.5f); // the ratio is not divided
    EXPECT_FLOAT_EQ(logtable.value[4][1], 1.0f);
    EXPECT_FLOAT_EQ(logtable.value[7][3], 0.25f);
    EXPECT_DOUBLE_EQ(logtable.value[10][2], 1.0);
    EXPECT_DOUBLE_EQ(logtable.value[10][3], 0.25);
    EXPECT_DOUBLE_EQ(logtable.value[9][3], 0.75); // the last value of the row, read whole
    for (int c = 2; c <= 10; ++c)
        for (int r = 1; r <= 3; ++r) {
            EXPECT_GE(logtable.value[c][r], 0);
            EXPECT_LE(logtable.value[c][r], 1);
        }
}

TEST_F(LogFile, ASecondSmallerFileIsDividedByItsOwnMaxima) {
    ASSERT_FALSE(marvent::readlogfile(log("1990 1000 0.5 400 800 100 2 50 20 40\r\n")));
    ASSERT_FALSE(marvent::readlogfile(write("small.log", std::string(kHeader) +
                                                             "2000 10 0.5 4 8 1 0.02 5 2 4\n"
                                                             "2001  5 0.5 2 4 1 0.01 5 1 2\n")));
    EXPECT_EQ(logtable.nrows, 2);
    EXPECT_FLOAT_EQ(logtable.value[2][1], 1.0f);
    EXPECT_FLOAT_EQ(logtable.value[2][2], 0.5f);
    EXPECT_FLOAT_EQ(logtable.value[7][2], 0.5f);
    EXPECT_DOUBLE_EQ(logtable.value[9][2], 0.5);
}

TEST_F(LogFile, MissingValuesReadMinusOneAndAreMarked) {
    ASSERT_FALSE(marvent::readlogfile(log("1990 100 0.5 40 80 10 0.2 50 2 4\r\n"
                                          "1991 NaN NaN 40 80 10 0.2 NaN 2 NaN\r\n")));
    EXPECT_TRUE(logtable.missing[2][2]);
    EXPECT_TRUE(logtable.missing[8][2]);
    EXPECT_FALSE(logtable.missing[8][1]);
    EXPECT_FLOAT_EQ(logtable.value[8][2], -1.0f / 50);
    EXPECT_FLOAT_EQ(logtable.value[3][2], -1.0f);
    EXPECT_DOUBLE_EQ(logtable.value[10][2], -0.25);
}

TEST_F(LogFile, ShortRowsGiveZerosBlankLinesAndAClosingLineAreNoRows) {
    ASSERT_FALSE(marvent::readlogfile(log("1990 100 0.5 40 80 10 0.2 50 2 4 99 98\n"
                                          "\n"
                                          "1991 50 0.5 20\r\n"
                                          "   \r\n"
                                          "End of simulation\r\n"
                                          "\r\n")));
    EXPECT_EQ(logtable.nrows, 2);
    EXPECT_EQ(logtable.year[2], 1991);
    EXPECT_FLOAT_EQ(logtable.value[4][2], 0.5f);
    EXPECT_FLOAT_EQ(logtable.value[5][2], 0.0f);
    EXPECT_DOUBLE_EQ(logtable.value[10][2], 0.0);
}

TEST_F(LogFile, HundredRowsAreReadAndMoreAreRefused) {
    std::string rows;
    for (int y = 1901; y <= 2000; ++y)
        rows += std::to_string(y) + " 1 1 1 1 1 1 1 1 1\r\n";
    ASSERT_FALSE(marvent::readlogfile(log(rows)));
    EXPECT_EQ(logtable.nrows, 100);
    EXPECT_EQ(logtable.year[100], 2000);

    const auto problem = marvent::readlogfile(log(rows + "2001 1 1 1 1 1 1 1 1 1\r\n"));
    ASSERT_TRUE(problem);
    EXPECT_NE(problem->find("more than 100"), std::string::npos) << *problem;
}

TEST_F(LogFile, FilesItCannotPlotAreNamedByTheirFault) {
    struct Case {
        const char* text;
        const char* says;
    } cases[] = {
        {"", "header"},
        {"a\r\nb\r\nc\r\n", "header"},
        {"", "no rows"}, // header only
        {"40000 1 1 1 1 1 1 1 1 1\r\n", "line 5: the year 40000 lies outside -32768 to 32767"},
        {"1990 1 1 1 1 1 1 1 1 1\r\n1989 1 1 1 1 1 1 1 1 1\r\n", "line 6: the year 1989 comes"},
        {"1990 1 1 1 1 1 1 1 1 1\r\nTotals\r\n1991 1 1 1 1 1 1 1 1 1\r\n",
         "line 6 does not start with a year"},
        {"NaN 1 1 1 1 1 1 1 1 1\r\n", "no rows"},
        {"1990 1e39 1 1 1 1 1 1 1 1\r\n", "too large"},
        {"1990 1e400 1 1 1 1 1 1 1 1\r\n", "line 5: the recruitment 1e400 is too large."},
        {"1990 1 1 1 1 1 1 1 1 -1e999\r\n", "line 5: the mean age -1e999 is too large."},
        {"1e400 1 1 1 1 1 1 1 1 1\r\n", "line 5: the year 1e400 lies outside"},
    };
    int i = 0;
    for (const Case& c : cases) {
        const std::string text = i < 2 ? std::string(c.text) : kHeader + std::string(c.text);
        ++i;
        const auto problem = marvent::readlogfile(write("bad.log", text));
        ASSERT_TRUE(problem) << c.text;
        EXPECT_NE(problem->find(c.says), std::string::npos) << *problem;
    }
    const auto missing = marvent::readlogfile(dir.path().toStdString() + "/none.log");
    ASSERT_TRUE(missing);
    EXPECT_NE(missing->find("cannot be opened"), std::string::npos);
}

TEST_F(LogFile, ColumnsWithoutAPositiveValueAreLeftAsRead) {
    ASSERT_FALSE(marvent::readlogfile(log("1990 100 0.5 40 80 10 0 50 0 -2\r\n"
                                          "1991 100 0.5 40 80 10 0 50 0 -3\r\n")));
    EXPECT_EQ(logtable.maximum[7], 0);
    EXPECT_EQ(logtable.maximum[10], 0);
    EXPECT_FLOAT_EQ(logtable.value[7][1], 0.0f);
    EXPECT_DOUBLE_EQ(logtable.value[10][2], -3.0);
}

TEST_F(LogFile, AMissingLowerCasedNameOpensTheFileOfAnyCase) {
    write("RUN7.LOG", std::string(kHeader) + "1990 1 1 1 1 1 1 1 1 1\r\n");
    EXPECT_FALSE(marvent::readlogfile(dir.path().toStdString() + "/run7.log"));
}

TEST(ExampleLog, ReadsWhole) {
    ASSERT_FALSE(marvent::readlogfile(VESK_EXAMPLES_DIR "/stock.log"));
    EXPECT_EQ(logtable.nrows, 35);
    EXPECT_EQ(logtable.year[1], 1976);
    EXPECT_EQ(logtable.year[35], 2010);
    for (int c = 2; c <= 10; ++c)
        EXPECT_GT(logtable.maximum[c == 3 ? 2 : c], 0);
}

#ifndef _WIN32
TEST_F(LogFile, APipeOrADeviceIsRefusedByWhatItIs) {
    vesktest::NamedPipe pipe(dir.path().toStdString() + "/fifo.log");
    ASSERT_TRUE(pipe.made());
    EXPECT_EQ(marvent::readlogfile(pipe.path()),
              "the file cannot be opened: it is a named pipe, not a file.");
    EXPECT_EQ(marvent::readlogfile("/dev/zero"),
              "the file cannot be opened: it is a device, not a file.");
}
#endif

// Long lines anywhere: text after a row's last column, a long run of blanks, a blank line and a
// number of thousands of digits are read in bounded memory to the same values.
TEST_F(LogFile, ALongLineIsReadAsFarAsItsValuesNeed) {
    const std::string rows = "1990 100 0.5 40 80 10 0.2 50 2.0 4\r\n"
                             "1991 200 0.4 20 40 20 0.4 25 1.0 8\r\n";
    ASSERT_FALSE(marvent::readlogfile(log(rows)));
    const marvent::LogTable plain = logtable;
    const std::string many = std::string(3 << 20, ' ');
    const std::string longRows = "1990 100 0.5 40 80 10 0.2 50 2.0 4 " + std::string(3 << 20, '7') +
                                 " more\r\n" + many + "\n1991" + many + "200 0.4 20 40 20 0.4 25 " +
                                 "1." + std::string(10000, '0') + " 8\r";
    ASSERT_FALSE(marvent::readlogfile(
        write("run.log", std::string(2 << 20, 'h') + "\r\n" + "h\nh\nh\n" + longRows)));
    EXPECT_EQ(logtable.nrows, 2);
    EXPECT_EQ(logtable.year, plain.year);
    EXPECT_EQ(logtable.value, plain.value);
    EXPECT_EQ(logtable.missing, plain.missing);
    // A long closing remark, then a row: the remark's line is named.
    EXPECT_EQ(marvent::readlogfile(log(rows + "Done " + many + "\r\n" + rows)),
              "line 7 does not start with a year, and rows follow it.");
}

TEST_F(LogFile, AQuotedValueShowsItsBytesAndIsCut) {
    EXPECT_EQ(marvent::readlogfile(log("1990 1e999\xE2\x80\xAE\x01 1 1 1 1 1 1 1 1\r\n")),
              "line 5: the recruitment 1e999\\xE2\\x80\\xAE\\x01 is too large.");
    EXPECT_EQ(marvent::readlogfile(log("1e" + std::string(10 << 20, '9') + " 1\r\n")),
              "line 5: the year 1e" + std::string(38, '9') +
                  "\xE2\x80\xA6 (10485762 characters) lies outside -32768 to 32767.");
}

} // namespace
