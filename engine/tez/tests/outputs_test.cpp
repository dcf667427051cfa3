// The outputs of a run: two runs in one folder, whatever stands at the temporary names, links at
// the outputs' names, and a full disk.
#include "engine_fixture.h"
#include "own_files.h"
#include "write_fault.h"

#include "common/testing/small_disk.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <optional>

namespace tez::testing {
namespace {

const std::string kTableHeader =
    " Yr    Bunfished       TEZ         Btez         Fmult        Fbio\r\n";
const std::string kReportHead = " TEZ evaluations for selectivities in year         2001\r\n";

class Outputs : public ::testing::Test {
  protected:
    void SetUp() override { write_inputs(folder.path()); }
    void write_inputs(const std::filesystem::path& where) {
        const StockBiology bio = make_biology(6, 1, 1, 1);
        write_text(where / "t.bio", biology_text(bio));
        write_text(where / "t.mgt", management_text(0.0, make_blocks(bio, 2000, 3, 1, 1)));
        def.bio = "t.bio";
        def.mgt = "t.mgt";
        def.report = "r.txt";
        def.table = "b.txt";
        def.years = {2001};
    }
    RunResult run() {
        write_text(folder / "Tez.000", definition_text(def));
        engine = std::make_unique<Engine>();
        return run_engine(*engine, folder.path());
    }
    // The temporary files left in the folder.
    std::vector<std::string> parts() const {
        std::vector<std::string> left;
        for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
            if (entry.path().extension() == ".part")
                left.push_back(entry.path().filename().string());
        return left;
    }
    // A symbolic link, where the system lets the test make one.
    static bool make_link(const std::filesystem::path& target, const std::filesystem::path& at) {
        std::error_code ec;
        std::filesystem::create_symlink(target, at, ec);
        return !ec;
    }
    static bool is_link(const std::filesystem::path& p) {
        return std::filesystem::is_symlink(std::filesystem::symlink_status(p));
    }

    TempFolder folder;
    RunDefinition def;
    std::unique_ptr<Engine> engine;
};

TEST_F(Outputs, TwoRunsInOneFolderLeaveOneRunsWholeFileEach) {
    for (const bool earlier : {false, true}) {
        std::filesystem::remove(folder / "r.txt");
        std::filesystem::remove(folder / "b.txt");
        if (earlier) {
            write_text(folder / "r.txt", "the earlier report\r\n");
            write_text(folder / "b.txt", "the earlier table\r\n");
        }
        // The first run has opened its outputs and is writing them when a second runs whole.
        OutputFile report, table;
        report.open(folder / "r.txt", "TEZ output table", "r.txt");
        table.open(folder / "b.txt", "TEZ benchmark table", "b.txt");
        report.write("the first run's report\r\n");
        const RunResult second = run();
        EXPECT_EQ(second.status, kExitNormal) << second.console;
        EXPECT_EQ(folder.read("r.txt").rfind(kReportHead, 0), 0u);
        EXPECT_EQ(folder.read("b.txt").rfind(kTableHeader + "2001 ", 0), 0u);
        EXPECT_EQ(folder.read("b.txt").size(), kTableHeader.size() + 71);
        table.write("the first run's table\r\n");
        EXPECT_EQ(report.finish(), "");
        EXPECT_EQ(table.finish(), "");
        // The run that finished last leaves its own file whole, with nothing of the other.
        EXPECT_EQ(folder.read("r.txt"), "the first run's report\r\n");
        EXPECT_EQ(folder.read("b.txt"), "the first run's table\r\n");
        EXPECT_TRUE(parts().empty());
    }
}

TEST_F(Outputs, RunThatFailsBesideAnotherRemovesNothingItDidNotWrite) {
    for (const bool earlier : {false, true}) {
        std::filesystem::remove(folder / "b.txt");
        if (earlier) write_text(folder / "b.txt", "the earlier table\r\n");
        OutputFile table;
        table.open(folder / "b.txt", "TEZ benchmark table", "b.txt");
        table.write("the first run's table\r\n");
        const RunResult second = run();
        ASSERT_EQ(second.status, kExitNormal) << second.console;
        const std::string seconds = folder.read("b.txt");
        // The first run's file goes before it is moved into place.
        std::filesystem::remove(table.temporary());
        const std::string message = table.finish();
        EXPECT_EQ(message.rfind("Cannot write the TEZ benchmark table \"b.txt\" (", 0), 0u)
            << message;
        EXPECT_NE(message.find("): the file now of that name was put there by another program "
                               "during the run"),
                  std::string::npos)
            << message;
        EXPECT_EQ(folder.read("b.txt"), seconds);
        EXPECT_TRUE(parts().empty());
    }
}

TEST_F(Outputs, WhatStandsAtATemporaryNameIsNeitherWrittenNorRemoved) {
    TempFolder outside;
    write_text(outside / "kept.txt", "outside the folder\r\n");
    write_text(OutputFile::temporary_path(folder / "r.txt", 1), "a file of someone else's\r\n");
    const bool links =
        make_link(outside / "kept.txt", OutputFile::temporary_path(folder / "r.txt", 0)) &&
        make_link(outside / "none.txt", OutputFile::temporary_path(folder / "b.txt", 0));
    if (!links) write_text(OutputFile::temporary_path(folder / "r.txt", 0), "another\r\n");
    const RunResult r = run();
    EXPECT_EQ(r.status, kExitNormal) << r.console;
    EXPECT_EQ(folder.read("r.txt").rfind(kReportHead, 0), 0u);
    EXPECT_EQ(folder.read("b.txt").rfind(kTableHeader + "2001 ", 0), 0u);
    EXPECT_EQ(folder.read(OutputFile::temporary_path(folder / "r.txt", 1).filename().string()),
              "a file of someone else's\r\n");
    if (links) {
        EXPECT_TRUE(is_link(OutputFile::temporary_path(folder / "r.txt", 0)));
        EXPECT_TRUE(is_link(OutputFile::temporary_path(folder / "b.txt", 0)));
        EXPECT_EQ(outside.read("kept.txt"), "outside the folder\r\n");
        EXPECT_FALSE(outside.has("none.txt"));
    }
    EXPECT_EQ(parts().size(), links ? 3u : 2u);
}

TEST_F(Outputs, RunThatFindsEveryTemporaryNameTakenCreatesNothing) {
    for (int n = 0; n < 100; ++n)
        write_text(OutputFile::temporary_path(folder / "b.txt", n), "taken\r\n");
    const RunResult r = run();
    EXPECT_EQ(r.status, kExitInputError) << r.console;
    const std::string pid = std::to_string(files::process_number());
    const std::string message = "\nCannot create the TEZ benchmark table \"b.txt\": every "
                                "temporary name of this run for it is taken, from \"b.txt." +
                                pid + "-0.part\" to \"b.txt." + pid + "-99.part\"\n";
    EXPECT_EQ(r.console.substr(r.console.size() - std::min(r.console.size(), message.size())),
              message)
        << r.console;
    EXPECT_FALSE(folder.has("b.txt"));
    EXPECT_EQ(folder.read(OutputFile::temporary_path(folder / "b.txt", 99).filename().string()),
              "taken\r\n");
    EXPECT_EQ(parts().size(), 100u);
}

// Windows lets only privileged users make links, and a run there meets none that it did not make.
#ifndef _WIN32
TEST_F(Outputs, LinkAtAnOutputsNameIsReplacedAndWhatItNamesIsNotTouched) {
    TempFolder outside;
    write_text(outside / "kept.txt", "outside the folder\r\n");
    if (!make_link(outside / "kept.txt", folder / "r.txt") ||
        !make_link(outside / "none.txt", folder / "b.txt"))
        GTEST_SKIP() << "the system does not let the test make links";
    const RunResult r = run();
    EXPECT_EQ(r.status, kExitNormal) << r.console;
    for (const char* name : {"r.txt", "b.txt"})
        EXPECT_FALSE(is_link(folder / name)) << name;
    EXPECT_EQ(folder.read("r.txt").rfind(kReportHead, 0), 0u);
    EXPECT_EQ(folder.read("b.txt").rfind(kTableHeader + "2001 ", 0), 0u);
    // Nothing is left outside the folder: the dangling link's target was never created.
    EXPECT_EQ(outside.read("kept.txt"), "outside the folder\r\n");
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(outside / "none.txt")));
    EXPECT_TRUE(parts().empty());
}
#endif

// Every write to the run's outputs fails as on a full disk: the writer's stand-in for one, where
// no small disk can be had (on Windows, or without root outside CI).
struct FullDiskStandIn {
    FullDiskStandIn() {
        set_write_fault([](const std::filesystem::path&) { return true; });
    }
    ~FullDiskStandIn() { set_write_fault(nullptr); }
};

TEST_F(Outputs, FailedWriteIsReportedAndKeepsTheEarlierOutput) {
    std::optional<vesktest::SmallDisk> disk;
    std::optional<FullDiskStandIn> stand_in;
    std::filesystem::path where = folder.path();
#ifdef __linux__
    disk.emplace(256 * 1024, folder / "disk");
    // Under CI, where the tests run as root, a disk that cannot be mounted means something broke.
    if (!disk->available() && vesktest::smallDiskRequired()) FAIL() << disk->reason();
    if (disk->available()) where = disk->folder();
#endif
    if (!disk || !disk->available()) stand_in.emplace();
    write_inputs(where);
    def.years = {2001, 2002};
    // Named at the prompt, the definition stays and frees no room.
    write_text(where / "mine.tez", definition_text(def));
    write_text(where / "r.txt", "the earlier report\r\n");
    if (disk && disk->available()) disk->fill();
    engine = std::make_unique<Engine>();
    const RunResult r = run_engine(*engine, where, "mine.tez\n");
    EXPECT_EQ(r.status, kExitOutputError) << r.console;
    const std::string full = std::strerror(ENOSPC);
    EXPECT_NE(r.console.find("\nCannot write the TEZ output table \"r.txt\" (" + full +
                             "): the file as it was before the run is kept\n"),
              std::string::npos)
        << r.console;
    EXPECT_NE(r.console.find("\nCannot write the TEZ benchmark table \"b.txt\" (" + full +
                             "): no file of that name is left, as there was none before the run\n"),
              std::string::npos)
        << r.console;
    std::ifstream earlier(where / "r.txt", std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(earlier)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "the earlier report\r\n");
    EXPECT_FALSE(std::filesystem::exists(where / "b.txt"));
    for (const auto& entry : std::filesystem::directory_iterator(where))
        EXPECT_NE(entry.path().extension(), ".part") << entry.path();
}

} // namespace
} // namespace tez::testing
