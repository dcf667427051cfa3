// Every definition reader refuses a file that still holds data after its last value, as one
// whose counts do not match its blocks does; blank lines and blanks at its end are fine.
#include "cw_fixture.h"

#include <memory>
#include <optional>

#include "control_window/files/biofile.h"
#include "control_window/files/fisheryfile.h"
#include "control_window/files/indexfile.h"
#include "control_window/files/runfile.h"
#include "control_window/files/tezfile.h"
#include "control_window/files/woxfile.h"
#include "control_window/files/yoyfile.h"
#include "platform/seqfile.h"

namespace {

using ::testing::HasSubstr;

class TrailingDataTest : public cwtest::CwTest {};

using Reader = std::function<std::optional<std::string>(plat::SeqFile&, const std::string&)>;

template <class Data, auto read> Reader reader() {
    return [](plat::SeqFile& f, const std::string& name) {
        auto d = std::make_unique<Data>();
        return read(f, name, *d);
    };
}

std::optional<std::string> readText(const Reader& read, const std::string& file,
                                    const std::string& text) {
    cwtest::writeFile(file, text);
    plat::SeqFile f;
    EXPECT_TRUE(f.openInput(file));
    std::optional<std::string> problem = read(f, file);
    f.close();
    return problem;
}

int lineCount(const std::string& text) {
    return int(std::count(text.begin(), text.end(), '\n'));
}

TEST_F(TrailingDataTest, EveryReaderRefusesDataAfterItsLastValue) {
    struct Case {
        const char* fixture;
        Reader read;
        // What is wrong with such a file: a count, the years, or (a run definition, which has no
        // count) only the data itself.
        const char* why;
        bool endsInNumber = true; // a text item takes the rest of its line
    };
    const char* const count = "a count in it does not match the values that follow.";
    const char* const years = "its number of years does not match the years that follow.";
    const Case cases[] = {
        {"bio_two_sexes_a.bio", reader<cw::BioData, cw::readBioFile>(), count},
        {"yoy/three_years.yoy", reader<cw::YoyData, cw::readYoyFile>(),
         "its first and last year do not match the year lines that follow."},
        {"fishery/fishery_one_sex_a.fst", reader<cw::FisheryData, cw::readFstFile>(), count},
        {"index/two_indices.ndf", reader<cw::IndexData, cw::readIndexFile>(), count},
        {"run/full.run", reader<cw::RunData, cw::readRunFile>(),
         "a run definition ends with the name of the log file for output.", false},
        {"tez/three_years.tez", reader<cw::TezData, cw::readTezFile>(), years},
        {"tez/three_years.wox", reader<cw::WoxData, cw::readWoxFile>(), years},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fixture);
        const std::string text = cwtest::dataFile(c.fixture);
        const std::string file = path("file");
        const int lines = lineCount(text);
        EXPECT_EQ(readText(c.read, file, text), std::nullopt);
        EXPECT_EQ(readText(c.read, file, text + "\r\n  \r\n\t\n   "), std::nullopt);

        const std::optional<std::string> after = readText(c.read, file, text + "\r\n 7 \r\n");
        ASSERT_TRUE(after.has_value());
        EXPECT_THAT(*after, HasSubstr(file + " holds data after its last value, from line " +
                                      std::to_string(lines + 2) + " on: " + c.why));
        if (!c.endsInNumber) continue;
        // Data on the last value's own line.
        const std::string sameLine = text.substr(0, text.size() - 2) + " 9\r\n";
        const std::optional<std::string> onLine = readText(c.read, file, sameLine);
        ASSERT_TRUE(onLine.has_value());
        EXPECT_THAT(*onLine, HasSubstr("from line " + std::to_string(lines) + " on"));
    }
}

TEST_F(TrailingDataTest, ACountThatDoesNotMatchItsBlocksIsRefused) {
    // Fourteen ages where the tables hold fifteen, and a year range one year short of its lines.
    const std::string bio = cwtest::dataFile("bio_two_sexes_a.bio");
    const std::optional<std::string> shortAges =
        readText(reader<cw::BioData, cw::readBioFile>(), path("short.bio"), " 24" + bio.substr(3));
    ASSERT_TRUE(shortAges.has_value());
    EXPECT_THAT(*shortAges, HasSubstr("short.bio holds data after its last value"));

    const std::optional<std::string> shortYears =
        readText(reader<cw::YoyData, cw::readYoyFile>(), path("short.yoy"),
                 " 1991  1992 \r\n 1  200 \r\n 100  1 \r\n 200  1.5 \r\n 300  1 \r\n");
    EXPECT_EQ(shortYears, "The recruitment data file " + path("short.yoy") +
                              " holds data after its last value, from line 5 on: its first and "
                              "last year do not match the year lines that follow.");
}

} // namespace
