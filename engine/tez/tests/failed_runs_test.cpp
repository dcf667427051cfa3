// What a run that ends without results leaves: every output's name as it stood, the hand-over
// copy that another engine is to read, another run's files at the run's names, and the
// protection of the files it replaces.
#include "engine_fixture.h"
#include "own_files.h"
#include "write_fault.h"

#include <gtest/gtest.h>

#include <map>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace tez::testing {
namespace {

const std::string kTableHeader =
    " Yr    Bunfished       TEZ         Btez         Fmult        Fbio\r\n";

class FailedRuns : public ::testing::Test {
  protected:
    void SetUp() override {
        bio = make_biology(6, 1, 1, 1);
        write_text(folder / "t.bio", biology_text(bio));
        write_text(folder / "t.mgt", management_text(0.0, make_blocks(bio, 2000, 3, 1, 1)));
        def.bio = "t.bio";
        def.mgt = "t.mgt";
        def.report = "r.txt";
        def.table = "b.txt";
        def.years = {2001, 2002};
    }
    void TearDown() override {
        files::set_before_removal(nullptr);
        set_write_fault(nullptr);
    }
    RunResult run(const std::string& definition) {
        write_text(folder / "Tez.000", definition);
        engine = std::make_unique<Engine>();
        return run_engine(*engine, folder.path());
    }
    // Every name in the folder with its bytes.
    std::map<std::string, std::string> listing() const {
        std::map<std::string, std::string> files;
        for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
            files[entry.path().filename().string()] = folder.read(entry.path().filename().string());
        return files;
    }
    static unsigned mode_of(const std::filesystem::path& p) {
        return static_cast<unsigned>(std::filesystem::status(p).permissions() &
                                     std::filesystem::perms::all);
    }
    static void set_read_only(const std::filesystem::path& p) {
        std::filesystem::permissions(p, std::filesystem::perms::owner_read |
                                            std::filesystem::perms::group_read |
                                            std::filesystem::perms::others_read);
    }
    static void set_mode(const std::filesystem::path& p, unsigned mode) {
        std::filesystem::permissions(p, static_cast<std::filesystem::perms>(mode));
    }

    TempFolder folder;
    StockBiology bio;
    RunDefinition def;
    std::unique_ptr<Engine> engine;
};

TEST_F(FailedRuns, RunThatWritesNoYearLeavesEveryOutputsNameAsItStood) {
    struct Case {
        const char* what;
        std::string definition;
        std::string biology;
        int status;
    };
    const std::string good = definition_text(def);
    std::string bad_year = good;
    bad_year.replace(bad_year.rfind(" 2002 "), 6, " 20x0 ");
    // The definition ends after line 8: the second year is missing.
    const std::string cut_short = good.substr(0, good.rfind(" 2002 "));
    RunDefinition many = def;
    many.years.assign(151, 2001);
    std::string no_fecundity = biology_text(bio);
    no_fecundity.erase(no_fecundity.find("\r\nA\r\n") + 5);
    RunDefinition early = def;
    early.years = {1990, 2001};
    const Case cases[] = {
        {"a bad year", bad_year, biology_text(bio), kExitInputError},
        {"a definition cut short", cut_short, biology_text(bio), kExitInputError},
        {"151 years", definition_text(many), biology_text(bio), kExitInputError},
        {"a biology without fecundity", good, no_fecundity, kExitInputError},
        {"a stop in the first year", definition_text(early), biology_text(bio), kExitModelStop},
    };
    for (const Case& c : cases) {
        for (const bool earlier : {true, false}) {
            std::filesystem::remove(folder / "r.txt");
            std::filesystem::remove(folder / "b.txt");
            if (earlier) {
                write_text(folder / "r.txt", "the earlier report\r\n");
                write_text(folder / "b.txt", kTableHeader + "the earlier table\r\n");
            }
            write_text(folder / "t.bio", c.biology);
            const std::map<std::string, std::string> before = listing();
            const RunResult r = run(c.definition);
            EXPECT_EQ(r.status, c.status) << c.what << "\n" << r.console;
            // Beside the hand-over copy (consumed once read), nothing changes, nothing is added.
            std::map<std::string, std::string> after = listing();
            after.erase("Tez.000");
            std::map<std::string, std::string> expected = before;
            expected.erase("Tez.000");
            EXPECT_EQ(after, expected) << c.what << (earlier ? ", earlier outputs" : "");
        }
    }
}

// The first engine has read its hand-over copy when the control window hands over the next one
// for a second engine: the first removes only its own copy, and the second finds its own.
TEST_F(FailedRuns, HandOverCopyIsRemovedOnlyWhileItIsTheCopyThatWasRead) {
    static std::filesystem::path second_copy;
    static std::filesystem::path hand_over;
    RunDefinition second = def;
    second.report = "r2.txt";
    second.table = "b2.txt";
    second_copy = folder / "second.tez";
    hand_over = folder / "Tez.000";
    write_text(second_copy, definition_text(second));
    // As the control window copies: written beside the name and renamed into place.
    files::set_before_removal([](const std::filesystem::path& p) {
        if (p.filename() == "Tez.000" && std::filesystem::exists(second_copy))
            std::filesystem::rename(second_copy, hand_over);
    });
    const RunResult first = run(definition_text(def));
    EXPECT_EQ(first.status, kExitNormal) << first.console;
    files::set_before_removal(nullptr);
    ASSERT_TRUE(folder.has("Tez.000"));
    EXPECT_EQ(folder.read("Tez.000"), definition_text(second));

    engine = std::make_unique<Engine>();
    const RunResult r = run_engine(*engine, folder.path());
    EXPECT_EQ(r.status, kExitNormal) << r.console;
    EXPECT_EQ(r.console.find("input run file"), std::string::npos) << r.console;
    EXPECT_EQ(folder.read("b2.txt").rfind(kTableHeader + "2001 ", 0), 0u);
    EXPECT_FALSE(folder.has("Tez.000"));
}

// A failing run is held just as it removes its temporary file; meanwhile another program puts a
// file of its own at that temporary name and another run puts its whole table at the output's
// name. Both stay.
TEST_F(FailedRuns, FailingRunRemovesNoFileThatAnotherPutAtItsNames) {
    static TempFolder* where = nullptr;
    where = &folder;
    write_text(folder / "other.txt", "another program's file\r\n");
    write_text(folder / "theirs.txt", "another run's whole table\r\n");
    files::set_before_removal([](const std::filesystem::path& p) {
        if (p.extension() != ".part") return;
        std::filesystem::rename(*where / "other.txt", p);
        std::filesystem::rename(*where / "theirs.txt", *where / "b.txt");
    });
    set_write_fault([](const std::filesystem::path& p) { return p.filename() == "b.txt"; });
    const RunResult r = run(definition_text(def));
    EXPECT_EQ(r.status, kExitOutputError) << r.console;
    EXPECT_NE(r.console.find("\nCannot write the TEZ benchmark table \"b.txt\" ("),
              std::string::npos)
        << r.console;
    EXPECT_NE(r.console.find("): the file now of that name was put there by another program "
                             "during the run\n"),
              std::string::npos)
        << r.console;
    EXPECT_EQ(folder.read("b.txt"), "another run's whole table\r\n");
    const std::filesystem::path temp = OutputFile::temporary_path(folder / "b.txt", 0);
    EXPECT_EQ(folder.read(temp.filename().string()), "another program's file\r\n");
    // The report was written whole.
    EXPECT_NE(folder.read("r.txt").find("TEZ evaluations"), std::string::npos);
}

TEST_F(FailedRuns, ReadOnlyOutputIsKeptAndEndsTheRunAsAFailedWrite) {
    // Read-only from the start: the run ends before any year, leaving both names as they stood.
    write_text(folder / "r.txt", "the earlier report\r\n");
    write_text(folder / "b.txt", "the earlier table\r\n");
    set_read_only(folder / "b.txt");
    RunResult r = run(definition_text(def));
    EXPECT_EQ(r.status, kExitOutputError) << r.console;
    EXPECT_NE(r.console.find("\nCannot write the TEZ benchmark table \"b.txt\" (it is read-only): "
                             "the file as it was before the run is kept\n"),
              std::string::npos)
        << r.console;
    EXPECT_EQ(r.console.find("F mult"), std::string::npos) << r.console;
    EXPECT_EQ(folder.read("b.txt"), "the earlier table\r\n");
    EXPECT_EQ(folder.read("r.txt"), "the earlier report\r\n");

    // Made read-only while the run writes: that output stays, the other is written.
    std::filesystem::permissions(folder / "b.txt", std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    static std::filesystem::path report;
    report = folder / "r.txt";
    set_write_fault([](const std::filesystem::path& p) {
        if (p.filename() == "r.txt") set_read_only(report);
        return false;
    });
    r = run(definition_text(def));
    EXPECT_EQ(r.status, kExitOutputError) << r.console;
    EXPECT_NE(r.console.find("\nCannot write the TEZ output table \"r.txt\" (it is read-only): "
                             "the file as it was before the run is kept\n"),
              std::string::npos)
        << r.console;
    EXPECT_EQ(folder.read("r.txt"), "the earlier report\r\n");
    EXPECT_EQ(folder.read("b.txt").rfind(kTableHeader + "2001 ", 0), 0u);
    for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
        EXPECT_NE(entry.path().extension(), ".part") << entry.path();
    std::filesystem::permissions(folder / "r.txt", std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
}

#ifndef _WIN32
// Windows keeps no mode bits beyond the read-only attribute.
TEST_F(FailedRuns, ReplacedOutputKeepsTheModeOfTheFileItReplaces) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    const unsigned fresh = 0666u & ~static_cast<unsigned>(mask);
    struct Case {
        unsigned before; // 0: no file before
        unsigned after;
    };
    for (const Case& c : {Case{0600, 0600}, Case{0640, 0640}, Case{0664, 0664}, Case{0, fresh}}) {
        std::filesystem::remove(folder / "r.txt");
        if (c.before != 0) {
            write_text(folder / "r.txt", "the earlier report\r\n");
            set_mode(folder / "r.txt", c.before);
        }
        const RunResult r = run(definition_text(def));
        EXPECT_EQ(r.status, kExitNormal) << r.console;
        EXPECT_NE(folder.read("r.txt").find("TEZ evaluations"), std::string::npos);
        EXPECT_EQ(mode_of(folder / "r.txt"), c.after) << std::oct << c.before;
    }
    // A private report is private while it is written, too.
    static std::filesystem::path report;
    static unsigned seen = 0;
    report = folder / "r.txt";
    set_mode(report, 0600);
    set_write_fault([](const std::filesystem::path& p) {
        if (p == report)
            for (int n = 0; n < 100; ++n)
                if (std::filesystem::exists(OutputFile::temporary_path(report, n)))
                    seen = mode_of(OutputFile::temporary_path(report, n));
        return false;
    });
    run(definition_text(def));
    EXPECT_EQ(seen, 0600u);
}

// The check reads the mode bits, so that it holds for root too, who could write the file anyway.
TEST_F(FailedRuns, WriteBitsOfTheUsersClassDecideReadOnly) {
    write_text(folder / "f.txt", "x");
    struct Case {
        unsigned mode;
        bool read_only;
    };
    for (const Case& c : {Case{0444, true}, Case{0400, true}, Case{0644, false}, Case{0200, false},
                          Case{0466, true}}) {
        set_mode(folder / "f.txt", c.mode);
        EXPECT_EQ(files::look_at(folder / "f.txt").read_only, c.read_only) << std::oct << c.mode;
    }
    set_mode(folder / "f.txt", 0644);
}

// A link at an output's name is replaced by the output; what it names is never written, an input
// included.
TEST_F(FailedRuns, LinkAtAnOutputsNameThatNamesAnInputIsReplacedAndTheInputKept) {
    std::filesystem::create_symlink("t.mgt", folder / "r.txt");
    const std::string mgt = folder.read("t.mgt");
    const RunResult r = run(definition_text(def));
    EXPECT_EQ(r.status, kExitNormal) << r.console;
    EXPECT_FALSE(std::filesystem::is_symlink(std::filesystem::symlink_status(folder / "r.txt")));
    EXPECT_NE(folder.read("r.txt").find("TEZ evaluations"), std::string::npos);
    EXPECT_EQ(folder.read("t.mgt"), mgt);
}
#endif

} // namespace
} // namespace tez::testing
