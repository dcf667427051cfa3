// The production-table reader: layout, normalisation, the percent at maximum yield, and the
// files it refuses.
#include "viewers/sulbrin/pmofile.h"

#include "viewers/core/tests/viewer_fixtures.h"

#include "common/testing/named_pipe.h"
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <sstream>
#include <vector>

namespace {

using Row = std::array<double, 5>;
using Rows = std::vector<Row>;

// A table shaped like the engine's: F up to 0.8, biomass falling, yield = F * biomass.
Rows shapedRows(double scale = 1.0) {
    Rows rows;
    for (int i = 0; i <= 100; ++i) {
        double f = 0.008 * i;
        double b = scale * 5000.0 * (1.0 - i / 100.0);
        rows.push_back({f, 0.5, 100.0, b, f * b});
    }
    return rows;
}

std::string blankLayout(const Rows& rows) {
    std::ostringstream out;
    out << "header line 1 12 34\r\nF x x B Y\r\n";
    for (const Row& r : rows)
        out << r[0] << ' ' << r[1] << ' ' << r[2] << ' ' << r[3] << ' ' << r[4] << "\r\n";
    return out.str();
}

class PmoFile : public viewer_test::FolderTest {
  protected:
    sulbrin::ProductionTable table;
    std::string error;
};

TEST_F(PmoFile, ReadsTheExampleAndNormalisesEveryColumn) {
    ASSERT_TRUE(sulbrin::readpmofile(VESK_EXAMPLES_DIR "/snapper.pmo", table, error)) << error;
    EXPECT_EQ(table.nrows, 100);
    EXPECT_FLOAT_EQ(table.f[100], 1.0f);
    EXPECT_FLOAT_EQ(table.biomass[0], 1.0f);
    float ymax = 0;
    for (int i = 0; i <= 100; ++i) {
        EXPECT_GE(table.yield[i], 0.0f);
        EXPECT_LE(table.yield[i], 1.0f);
        EXPECT_LE(table.f[i], 1.0f);
        ymax = std::max(ymax, table.yield[i]);
    }
    EXPECT_EQ(ymax, 1.0f);
    EXPECT_EQ(table.pct, 48); // biomass 23234.57 of 48250 at the row of maximum yield
}

TEST_F(PmoFile, CommasAndLineBreaksSeparateLikeBlanks) {
    const Rows rows = shapedRows();
    ASSERT_TRUE(sulbrin::readpmofile(write("rows.pmo", blankLayout(rows)), table, error)) << error;
    const sulbrin::ProductionTable byRows = table;

    // The same values seven to a line, separated by commas with and without blanks, LF only.
    std::ostringstream out;
    out << "a, header, line\nanother\n";
    int k = 0;
    for (const Row& r : rows)
        for (double v : r) {
            out << v << (++k % 7 == 0 ? ",\n" : (k % 2 ? " , " : ","));
        }
    ASSERT_TRUE(sulbrin::readpmofile(write("free.pmo", out.str()), table, error)) << error;
    EXPECT_EQ(table.f, byRows.f);
    EXPECT_EQ(table.biomass, byRows.biomass);
    EXPECT_EQ(table.yield, byRows.yield);
    EXPECT_EQ(table.pct, byRows.pct);

    // Lines ended by a carriage return alone, the header's too.
    std::string crOnly = blankLayout(rows);
    for (std::size_t at; (at = crOnly.find("\r\n")) != std::string::npos;)
        crOnly.erase(at + 1, 1);
    ASSERT_TRUE(sulbrin::readpmofile(write("cr.pmo", crOnly), table, error)) << error;
    EXPECT_EQ(table.f, byRows.f);
    EXPECT_EQ(table.yield, byRows.yield);
}

TEST_F(PmoFile, TextWhereANumberIsExpectedReadsLeniently) {
    Rows rows = shapedRows();
    std::string text = blankLayout(rows);
    // Column 2 of row 0 is "0.5"; make it text that starts with a number, and column 3 plain text.
    text.replace(text.find("0 0.5 100"), 9, "0 7abc zz");
    ASSERT_TRUE(sulbrin::readpmofile(write("text.pmo", text), table, error)) << error;
    EXPECT_FLOAT_EQ(table.col2[0], 7.0f);
    EXPECT_FLOAT_EQ(table.col3[0], 0.0f);
}

TEST_F(PmoFile, ASecondSmallerFileNormalisesByItsOwnMaxima) {
    ASSERT_TRUE(
        sulbrin::readpmofile(write("big.pmo", blankLayout(shapedRows(10.0))), table, error));
    EXPECT_FLOAT_EQ(table.bmax, 50000.0f);
    ASSERT_TRUE(
        sulbrin::readpmofile(write("small.pmo", blankLayout(shapedRows(0.1))), table, error));
    EXPECT_FLOAT_EQ(table.bmax, 500.0f);
    EXPECT_FLOAT_EQ(table.biomass[0], 1.0f);
    EXPECT_FLOAT_EQ(*std::max_element(table.yield.begin(), table.yield.end()), 1.0f);
}

TEST_F(PmoFile, PercentIsTheBiomassAtTheFirstRowOfMaximumYield) {
    Rows rows = shapedRows();
    for (Row& r : rows)
        r[4] = 10.0;
    rows[37][4] = 50.0;
    rows[37][3] = 2100.0; // 0.42 of the maximum biomass, 5000 at row 0
    rows[60][4] = 50.0;   // an equal maximum later on does not move the mark
    ASSERT_TRUE(sulbrin::readpmofile(write("tie.pmo", blankLayout(rows)), table, error)) << error;
    EXPECT_EQ(table.pct, 42);
    EXPECT_FLOAT_EQ(table.yield[60], 1.0f);
}

struct Broken {
    const char* what;
    std::function<std::string(Rows&)> make; // returns the file text
    const char* inMessage;
};

TEST_F(PmoFile, RefusesFilesThatBreakTheLayoutAndKeepsTheTable) {
    const Broken cases[] = {
        {"too few numbers",
         [](Rows& r) {
             std::string t = blankLayout(r);
             return t.substr(0, t.rfind(' ')); // drops the last yield: 504 numbers
         },
         "504 numbers"},
        {"only a header", [](Rows&) { return std::string("one line only\r\n"); }, "0 numbers"},
        {"no positive biomass",
         [](Rows& r) {
             for (Row& x : r)
                 x[3] = 0;
             return blankLayout(r);
         },
         "biomass"},
        {"no positive yield",
         [](Rows& r) {
             for (Row& x : r)
                 x[4] = -1;
             return blankLayout(r);
         },
         "yield"},
        {"zero F in row 100",
         [](Rows& r) {
             r[100][0] = 0;
             return blankLayout(r);
         },
         "row 100"},
        {"a value beyond a single",
         [](Rows& r) {
             std::string t = blankLayout(r);
             return t.replace(t.rfind("\r\n") - 1, 1, "1e39");
         },
         "out of range"},
        {"a value beyond a double",
         [](Rows& r) {
             std::string t = blankLayout(r);
             return t.replace(t.find("\r\n", t.find("\r\n") + 2) + 2, 1, "1e400 ");
         },
         "the value 1e400 on line 3 is out of range"},
        {"an F too large to divide by a tiny F of row 100",
         [](Rows& r) {
             r[100][0] = 1e-30;
             r[50][0] = 1e30;
             return blankLayout(r);
         },
         "row 50 cannot be plotted: its F"},
        {"a negative biomass too large to divide by a tiny maximum",
         [](Rows& r) {
             for (Row& x : r)
                 x[3] = 1e-30;
             r[7][3] = -1e30;
             return blankLayout(r);
         },
         "row 7 cannot be plotted: its biomass"},
    };
    ASSERT_TRUE(sulbrin::readpmofile(write("good.pmo", blankLayout(shapedRows())), table, error));
    const sulbrin::ProductionTable before = table;
    for (const Broken& c : cases) {
        SCOPED_TRACE(c.what);
        Rows rows = shapedRows();
        EXPECT_FALSE(sulbrin::readpmofile(write("bad.pmo", c.make(rows)), table, error));
        EXPECT_NE(error.find(c.inMessage), std::string::npos) << error;
        EXPECT_EQ(table.yield, before.yield);
    }
    EXPECT_FALSE(sulbrin::readpmofile(dir.path().toStdString() + "/missing.pmo", table, error));
    EXPECT_EQ(error, "the file cannot be opened: No such file or directory.");
}

TEST_F(PmoFile, ValuesAfterTheLastRowAreNotRead) {
    std::string text = blankLayout(shapedRows()) + "999 999 999 999999 999999\r\nnotes\r\n";
    ASSERT_TRUE(sulbrin::readpmofile(write("long.pmo", text), table, error)) << error;
    EXPECT_FLOAT_EQ(table.bmax, 5000.0f);
}

// Long lines anywhere: in the header, a run of blanks between two values, a value whose number
// runs on for thousands of digits, and text after a number. The file is read only as far as the
// values wanted: a gigabyte after them is never read.
TEST_F(PmoFile, ALongLineIsReadAsFarAsItsValuesNeed) {
    const Rows rows = shapedRows();
    std::string text = blankLayout(rows);
    // Where row k starts (row 0 on the third line).
    const auto rowStart = [&](int k) {
        std::size_t at = text.find("\r\n", text.find("\r\n") + 2) + 2;
        for (int i = 0; i < k; ++i)
            at = text.find("\r\n", at) + 2;
        return at;
    };
    // From the last row up, so that the places above stay where they were.
    // Row 60's second column: 0.5 followed by text.
    text.insert(text.find(' ', rowStart(60)) + 4, std::string(1 << 20, 'x'));
    // Row 50's third column: 100 written with 10000 zeros more and an exponent to match.
    const std::size_t third50 = text.find(" 100 ", rowStart(50)) + 1;
    text.replace(third50, 3, "100" + std::string(10000, '0') + "e-10000");
    // A run of blanks after row 10's first value, and a long second header line.
    text.insert(text.find(' ', rowStart(10)), std::string(3 << 20, ' '));
    text.insert(rowStart(0) - 2, std::string(3 << 20, 'h'));
    const std::string path = write("long.pmo", text);
#ifndef _WIN32
    // A hole of a gigabyte after the last row.
    std::filesystem::resize_file(path, text.size() + (std::uintmax_t(1) << 30));
#endif
    ASSERT_TRUE(sulbrin::readpmofile(path, table, error)) << error;
    sulbrin::ProductionTable plain;
    ASSERT_TRUE(sulbrin::readpmofile(write("plain.pmo", blankLayout(rows)), plain, error));
    EXPECT_EQ(table.f, plain.f);
    EXPECT_EQ(table.col2, plain.col2);
    EXPECT_EQ(table.col3, plain.col3);
    EXPECT_EQ(table.biomass, plain.biomass);
    EXPECT_EQ(table.yield, plain.yield);
    EXPECT_EQ(table.pct, plain.pct);
}

#ifndef _WIN32
// A pipe would wait for a writer and /dev/zero never ends: both are refused before they are opened.
TEST_F(PmoFile, APipeOrADeviceIsRefusedByWhatItIs) {
    vesktest::NamedPipe pipe(dir.path().toStdString() + "/fifo.pmo");
    ASSERT_TRUE(pipe.made());
    EXPECT_FALSE(sulbrin::readpmofile(pipe.path(), table, error));
    EXPECT_EQ(error, "the file cannot be opened: it is a named pipe, not a file.");
    EXPECT_FALSE(sulbrin::readpmofile("/dev/zero", table, error));
    EXPECT_EQ(error, "the file cannot be opened: it is a device, not a file.");
}
#endif

// A value quoted in a message shows every byte and at most its first few dozen characters.
TEST_F(PmoFile, AQuotedValueShowsItsBytesAndIsCut) {
    const std::string rows = blankLayout(shapedRows());
    const std::string cut = rows.substr(0, rows.find("\r\n", rows.find("\r\n") + 2) + 2);
    EXPECT_FALSE(
        sulbrin::readpmofile(write("odd.pmo", cut + "1e999\xE2\x80\xAE\xFF\r\n"), table, error));
    EXPECT_EQ(error, "the value 1e999\\xE2\\x80\\xAE\\xFF on line 3 is out of range.");
    EXPECT_FALSE(sulbrin::readpmofile(write("huge.pmo", cut + "1e" + std::string(10 << 20, '9')),
                                      table, error));
    EXPECT_EQ(error, "the value 1e" + std::string(38, '9') +
                         "\xE2\x80\xA6 (10485762 characters) on line 3 is out of range.");
}

} // namespace
