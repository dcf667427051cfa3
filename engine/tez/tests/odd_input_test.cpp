// Inputs that are not what the engine's files should be: a named pipe or a device for a name,
// bytes a message cannot show as they stand, an item of megabytes, a line of hundreds of
// megabytes, a byte-order mark, lines that end in a carriage return alone, and a zero byte in a
// name.
#include "engine_fixture.h"

#include "common/testing/named_pipe.h"

#include <gtest/gtest.h>

#include <fstream>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

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

// The whole file is one line when its lines end in a carriage return alone; the message says so,
// not that the file ends after its first line.
TEST_F(OddInput, LinesEndingInACarriageReturnAloneAreNamedInEachFile) {
    const auto cr_alone = [](std::string text) {
        for (std::size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos;)
            text.erase(at + 1, 1);
        return text;
    };
    const std::string message =
        ", line 1: its lines end in a carriage return alone (CR); lines must end in CR LF or LF";
    expectStop(run(cr_alone(definition_text(def))), "Error reading Tez.000" + message);
    write_text(folder / "cr.bio", cr_alone(biology_text(bio)));
    write_text(folder / "cr.mgt", cr_alone(management_text(0.0, make_blocks(bio, 2000, 6, 1, 1))));
    def.bio = "cr.bio";
    expectStop(run(definition_text(def)), "Error reading cr.bio" + message);
    def.bio = "t.bio";
    def.mgt = "cr.mgt";
    expectStop(run(definition_text(def)), "Error reading cr.mgt" + message);
}

// The system would take a name only as far as its zero byte: the folder itself, or another file.
TEST_F(OddInput, ANameWithANulByteIsRefusedNamingIt) {
    const auto nul_name = [](const char* text, std::size_t size) {
        return std::string(text, size);
    };
    struct Case {
        std::string bio, mgt, report;
        std::string message;
    };
    const Case cases[] = {
        {nul_name("\0.bio", 5), "t.mgt", "NUL",
         "The file name \"\\x00.bio\" holds a NUL byte (\\x00), which no file name can hold"},
        {"t.bio", nul_name("t.mgt\0x", 7), "NUL",
         "The file name \"t.mgt\\x00x\" holds a NUL byte (\\x00), which no file name can hold"},
        {"t.bio", "t.mgt", nul_name("t.bio\0", 6),
         "The file name \"t.bio\\x00\" holds a NUL byte (\\x00), which no file name can hold"},
    };
    for (const Case& c : cases) {
        def.bio = c.bio;
        def.mgt = c.mgt;
        def.report = c.report;
        expectStop(run(definition_text(def)), c.message);
        EXPECT_FALSE(folder.has("b.txt"));
    }
    // A definition named at the prompt.
    def.bio = "t.bio";
    def.mgt = "t.mgt";
    def.report = "NUL";
    write_text(folder / "mine.tez", definition_text(def));
    std::filesystem::remove(folder / "Tez.000");
    engine = std::make_unique<Engine>();
    expectStop(run_engine(*engine, folder.path(), nul_name("mine.tez\0x\n", 11)),
               "Cannot open the run file \"mine.tez\\x00x\": a file name cannot hold a NUL byte "
               "(\\x00)");
}

#ifndef _WIN32
// A file with a run of `hole` zero bytes between `head` and `tail` that takes no room on the disk.
void write_with_hole(const std::filesystem::path& path, const std::string& head, std::size_t hole,
                     const std::string& tail) {
    std::ofstream out(path, std::ios::binary);
    out << head;
    out.seekp(static_cast<std::streamoff>(head.size() + hole));
    out << tail;
    ASSERT_TRUE(out.flush()) << path;
}

struct ProgramRun {
    int status = -1;
    long peak_kilobytes = 0; // the most memory the program held at once
};

// The engine's program in `folder`, on its hand-over file, its console in "console.out".
ProgramRun run_program(const std::filesystem::path& folder) {
    const pid_t pid = fork();
    if (pid == 0) {
        const int in = open("/dev/null", O_RDONLY);
        const int out = open((folder / "console.out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in < 0 || out < 0 || chdir(folder.c_str()) != 0 || dup2(in, 0) < 0 ||
            dup2(out, 1) < 0 || dup2(out, 2) < 0)
            _exit(126);
        execl(TEZ_PROGRAM, "tez", static_cast<char*>(nullptr));
        _exit(127);
    }
    ProgramRun run;
    int status = 0;
    rusage usage{};
    if (pid > 0 && wait4(pid, &status, 0, &usage) == pid && WIFEXITED(status)) {
        run.status = WEXITSTATUS(status);
        run.peak_kilobytes = usage.ru_maxrss;
    }
    return run;
}

// A line of 96 MB in any of the three files costs the program no more memory than a short one:
// it reads a line only as far as a value needs, and the run gives the same table. (The peak of a
// child counts what it shared with this process when it started, so the runs are compared with a
// plain one started the same way.)
TEST_F(OddInput, AHugeLineInAnyFileIsReadInBoundedMemory) {
    constexpr std::size_t kHole = std::size_t{96} << 20;
    constexpr long kMarginKilobytes = 32 << 10;
    const std::string definition = definition_text(def);
    write_text(folder / "Tez.000", definition);
    const ProgramRun plain = run_program(folder.path());
    ASSERT_EQ(plain.status, kExitNormal) << folder.read("console.out");
    const std::string table = folder.read("b.txt");

    // Text items: the title, the species, a fishery's type.
    const std::string biology = biology_text(bio);
    const std::string management = management_text(0.0, make_blocks(bio, 2000, 6, 1, 1));
    const std::size_t title = definition.find(def.title);
    const std::size_t species = biology.find("\r\n" + bio.species + "\r\n");
    const std::size_t type = management.find("\r\nA\r\n");
    ASSERT_NE(title, std::string::npos);
    ASSERT_NE(species, std::string::npos);
    ASSERT_NE(type, std::string::npos);
    const auto split = [](const std::string& text, std::size_t at) {
        return std::pair{text.substr(0, at), text.substr(at)};
    };
    struct Case {
        const char* file;
        std::pair<std::string, std::string> parts;
    };
    const Case cases[] = {
        {"Tez.000", split(definition, title + 1)},
        {"t.bio", split(biology, species + 3)},
        {"t.mgt", split(management, type + 3)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        write_text(folder / "Tez.000", definition);
        write_with_hole(folder / c.file, c.parts.first, kHole, c.parts.second);
        std::filesystem::remove(folder / "b.txt");
        const ProgramRun huge = run_program(folder.path());
        EXPECT_EQ(huge.status, kExitNormal) << folder.read("console.out");
        EXPECT_EQ(folder.read("b.txt"), table);
        EXPECT_LT(huge.peak_kilobytes, plain.peak_kilobytes + kMarginKilobytes)
            << "plain run " << plain.peak_kilobytes << " kB";
    }
    write_text(folder / "t.bio", biology);
    write_text(folder / "t.mgt", management);

    // A number item: its message comes with its length.
    const std::size_t years = definition.find("\r\n 1 \r\n") + 4;
    write_with_hole(folder / "Tez.000", definition.substr(0, years), kHole,
                    definition.substr(years));
    const ProgramRun refused = run_program(folder.path());
    EXPECT_EQ(refused.status, kExitInputError);
    std::string zeros;
    for (int i = 0; i < 39; ++i)
        zeros += "\\x00";
    const std::string console = folder.read("console.out");
    EXPECT_NE(console.find("Error reading Tez.000, line 7: a whole number is expected, found \"1" +
                           zeros + "\xE2\x80\xA6 (" + std::to_string(kHole + 1) +
                           " characters)\"\n"),
              std::string::npos)
        << console;
    EXPECT_LT(refused.peak_kilobytes, plain.peak_kilobytes + kMarginKilobytes);
}
#endif

} // namespace
} // namespace tez::testing
