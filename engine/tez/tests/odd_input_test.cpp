// Inputs that are not what the engine's files should be: a named pipe or a device for a name,
// bytes a message cannot show as they stand, an item of megabytes, and a byte-order mark.
#include "engine_fixture.h"

#include "common/testing/named_pipe.h"

#include <gtest/gtest.h>

namespace tez::testing {
namespace {

class OddInput : public ::testing::Test {
  protected:
    void SetUp() override {
        bio = make_biology(6, 1, 1, 1);
        write_text(folder / "t.bio", biology_text(bio));
        write_text(folder / "t.mgt", management_text(0.0, make_blocks(bio, 2000, 6, 1, 1)));
        def.bio = "t.bio";
        def.mgt = "t.mgt";
        def.report = "NUL";
        def.table = "b.txt";
        def.years = {2001};
    }
    RunResult run(const std::string& definition) {
        write_text(folder / "Tez.000", definition);
        engine = std::make_unique<Engine>();
        return run_engine(*engine, folder.path());
    }
    // The run stopped with `message` as its last console line.
    void expectStop(const RunResult& r, const std::string& message) {
        EXPECT_EQ(r.status, kExitInputError) << r.console;
        ASSERT_GE(r.console.size(), message.size() + 1) << r.console;
        EXPECT_EQ(r.console.substr(r.console.size() - message.size() - 1), message + "\n")
            << r.console;
    }

    TempFolder folder;
    StockBiology bio;
    RunDefinition def;
    std::unique_ptr<Engine> engine;
};

#ifndef _WIN32
TEST_F(OddInput, APipeOrADeviceIsRefusedByWhatItIsAndNothingWaits) {
    vesktest::NamedPipe pipe(folder / "fifo.bio");
    ASSERT_TRUE(pipe.made());
    std::filesystem::create_symlink("/dev/zero", folder / "zero.mgt");
    expectStop(run("fifo.bio\r\nt.mgt\r\n"),
               "Cannot open the biology file \"fifo.bio\": it is a named pipe, not a file");
    expectStop(run("t.bio\r\nzero.mgt\r\n"),
               "Cannot open the management file \"zero.mgt\": it is a device, not a file");

    // The definition itself.
    std::filesystem::remove(folder / "Tez.000");
    vesktest::NamedPipe handOver(folder / "Tez.000");
    ASSERT_TRUE(handOver.made());
    engine = std::make_unique<Engine>();
    expectStop(run_engine(*engine, folder.path()),
               "Cannot open the run file \"Tez.000\": it is a named pipe, not a file");
}
#endif

TEST_F(OddInput, MessagesShowEveryByteAndCutAHugeItem) {
    std::string odd = biology_text(bio);
    odd.replace(odd.find(" 4  5 "), 6, std::string(" 4  x\0y\xE2\x80\xAE\xFF ", 12));
    write_text(folder / "odd.bio", odd);
    std::string huge = biology_text(bio);
    huge.replace(huge.find(" 4  5 "), 6, " 4  " + std::string(10 << 20, 'x') + " ");
    write_text(folder / "huge.bio", huge);
    expectStop(run("odd.bio\r\nt.mgt\r\n"),
               "Error reading odd.bio, line 4: a number is expected, found "
               "\"x\\x00y\\xE2\\x80\\xAE\\xFF\"");
    expectStop(run("huge.bio\r\nt.mgt\r\n"),
               "Error reading huge.bio, line 4: a number is expected, found \"" +
                   std::string(40, 'x') + "\xE2\x80\xA6 (10485760 characters)\"");
    // A name read from the definition: a direction mark would turn the line around.
    expectStop(run("a\xE2\x80\xAE"
                   "b.bio\r\nt.mgt\r\n"),
               "Cannot open the biology file \"a\\xE2\\x80\\xAEb.bio\"");
}

// The control window reads a byte-order mark as no part of the first value; so does the engine,
// in every file it reads.
TEST_F(OddInput, AByteOrderMarkBeforeTheFirstLineIsNoPartOfItsValue) {
    const RunResult plain = run(definition_text(def));
    ASSERT_EQ(plain.status, 0) << plain.console;
    const std::string table = folder.read("b.txt");
    const std::string bom = "\xEF\xBB\xBF";
    write_text(folder / "t.bio", bom + biology_text(bio));
    write_text(folder / "t.mgt", bom + management_text(0.0, make_blocks(bio, 2000, 6, 1, 1)));
    const RunResult marked = run(bom + definition_text(def));
    EXPECT_EQ(marked.status, 0) << marked.console;
    EXPECT_EQ(marked.console, plain.console);
    EXPECT_EQ(folder.read("b.txt"), table);
}

} // namespace
} // namespace tez::testing
