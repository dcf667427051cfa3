// Finding and reading the definition, the outputs it opens, and the stops of a run.
#include "engine_fixture.h"
#include "file_names.h"

#include <gtest/gtest.h>

namespace tez::testing {
namespace {

class RunFlow : public ::testing::Test {
  protected:
    void SetUp() override {
        bio = make_biology(6, 1, 1, 1);
        blocks = make_blocks(bio, 2000, 6, 1, 1);
        write_text(folder / "t.bio", biology_text(bio));
        write_text(folder / "t.mgt", management_text(0.0, blocks));
        def.bio = "t.bio";
        def.mgt = "t.mgt";
        def.report = "r.txt";
        def.table = "b.txt";
        def.years = {2001};
    }
    RunResult run(const std::string& definition, const std::string& name = "Tez.000",
                  const std::string& console_input = "") {
        write_text(folder / name, definition);
        engine = std::make_unique<Engine>();
        return run_engine(*engine, folder.path(), console_input);
    }
    static int count_lines(const std::string& text) {
        int n = 0;
        for (char c : text)
            n += c == '\n';
        return n;
    }

    TempFolder folder;
    StockBiology bio;
    std::vector<ManagementBlock> blocks;
    RunDefinition def;
    std::unique_ptr<Engine> engine;
};

TEST_F(RunFlow, HandOverFileIsReadAndDeleted) {
    const RunResult r = run(definition_text(def));
    EXPECT_EQ(r.status, 0) << r.console;
    EXPECT_EQ(r.console.rfind("Biological definitions from t.bio       \n", 0), 0u) << r.console;
    EXPECT_FALSE(folder.has("Tez.000"));
    const std::string table = folder.read("b.txt");
    EXPECT_EQ(table.substr(0, 67),
              " Yr    Bunfished       TEZ         Btez         Fmult        Fbio\r\n");
    EXPECT_EQ(count_lines(table), 2);
    EXPECT_EQ(table.substr(67, 4), "2001");
    EXPECT_EQ(folder.read("r.txt").rfind(
                  " TEZ evaluations for selectivities in year         2001\r\n", 0),
              0u);
}

TEST_F(RunFlow, PromptsUntilANamedDefinitionExistsAndLeavesItInPlace) {
    write_text(folder / "mine.tez", definition_text(def));
    engine = std::make_unique<Engine>();
    const RunResult r = run_engine(*engine, folder.path(), "absent.tez\n\n  mine.tez other\n");
    EXPECT_EQ(r.status, 0) << r.console;
    EXPECT_EQ(r.console.rfind("input run file -> input run file -> Biological definitions from", 0),
              0u)
        << r.console;
    EXPECT_TRUE(folder.has("mine.tez"));
    EXPECT_TRUE(folder.has("b.txt"));
}

TEST_F(RunFlow, EndOfConsoleInputAtThePromptStopsWithAMessage) {
    engine = std::make_unique<Engine>();
    const RunResult r = run_engine(*engine, folder.path(), "absent.tez\n");
    EXPECT_EQ(r.status, kExitInputError);
    EXPECT_EQ(r.console, "input run file -> input run file -> \n"
                         "End of console input: no run file was named\n");
}

TEST_F(RunFlow, OutputNamesDecideWhichFilesAreWritten) {
    struct Case {
        const char* report;
        const char* table;
        bool report_written;
        bool table_written;
    };
    for (const Case& c : {Case{"NUL", "b.txt", false, true}, Case{"r.txt", "NUL", true, false},
                          Case{"NUL x", "NUL", true, false}}) {
        std::filesystem::remove(folder / "r.txt");
        std::filesystem::remove(folder / "b.txt");
        std::filesystem::remove(folder / "NUL x");
        def.report = c.report;
        def.table = c.table;
        const RunResult r = run(definition_text(def));
        EXPECT_EQ(r.status, 0) << r.console;
        EXPECT_EQ(folder.has(c.report), c.report_written) << c.report;
        EXPECT_EQ(folder.has(c.table), c.table_written) << c.table;
    }
}

// Windows keeps these names for its devices in every folder; elsewhere they are files.
TEST_F(RunFlow, DeviceNamesAsOutputsAreRefusedOnWindowsAndFilesElsewhere) {
    std::filesystem::create_directory(folder / "sub");
    struct Case {
        const char* report;
        const char* device;
    };
    for (const Case& c : {Case{"nul", "NUL"}, Case{"aux.txt", "AUX"}, Case{"sub/Con.tzo", "CON"},
                          Case{"COM1", "COM1"}, Case{"lpt9 .x", "LPT9"}}) {
        def.report = c.report;
        const RunResult r = run(definition_text(def));
#ifdef _WIN32
        EXPECT_EQ(r.status, kExitInputError) << r.console;
        const std::string message = "\nCannot create the TEZ output table \"" +
                                    std::string(c.report) + "\": it is the device " + c.device +
                                    " on Windows, not a file\n";
        EXPECT_EQ(r.console.find(message), r.console.size() - message.size()) << r.console;
        EXPECT_FALSE(folder.has("b.txt"));
#else
        EXPECT_EQ(r.status, kExitNormal) << r.console;
        EXPECT_NE(folder.read(c.report).find("TEZ evaluations"), std::string::npos) << c.report;
#endif
    }
}

// Nor can a device be an input there: it would read as empty, never end or never answer.
TEST_F(RunFlow, DeviceNamesAsInputsAreRefusedOnWindowsAndFilesElsewhere) {
    struct Case {
        const char* bio;
        const char* mgt;
        const char* what;
        const char* device;
    };
    for (const Case& c : {Case{"nul", "t.mgt", "biology file", "NUL"},
                          Case{"t.bio", "aux", "management file", "AUX"},
                          Case{"CON.bio", "t.mgt", "biology file", "CON"},
                          Case{"t.bio", "com1.mgt", "management file", "COM1"}}) {
        def.bio = c.bio;
        def.mgt = c.mgt;
        const std::string name = def.bio == "t.bio" ? def.mgt : def.bio;
#ifdef _WIN32
        const RunResult r = run(definition_text(def));
        EXPECT_EQ(r.status, kExitInputError) << r.console;
        const std::string message = "\nCannot open the " + std::string(c.what) + " \"" + name +
                                    "\": it is the device " + c.device +
                                    " on Windows, not a file\n";
        EXPECT_EQ(r.console.find(message), r.console.size() - message.size()) << r.console;
        EXPECT_FALSE(folder.has("b.txt"));
#else
        write_text(folder / name, folder.read(def.bio == "t.bio" ? "t.mgt" : "t.bio"));
        const RunResult r = run(definition_text(def));
        EXPECT_EQ(r.status, kExitNormal) << r.console;
        EXPECT_TRUE(folder.has("b.txt")) << name;
#endif
    }
    // The definition itself, as a name typed at the prompt would give it.
    std::filesystem::remove(folder / "Tez.000");
    engine = std::make_unique<Engine>();
    const RunResult typed = run_engine(*engine, folder.path(), "Nul.tez\n");
#ifdef _WIN32
    EXPECT_EQ(typed.status, kExitInputError) << typed.console;
    EXPECT_EQ(typed.console, "input run file -> Cannot open the run file \"Nul.tez\": it is the "
                             "device NUL on Windows, not a file\n");
#else
    EXPECT_EQ(typed.status, kExitInputError) << typed.console;
    EXPECT_EQ(typed.console, "input run file -> input run file -> \nEnd of console input: no run "
                             "file was named\n");
#endif
    FreeReader in;
#ifdef _WIN32
    try {
        in.open_input(folder / "Nul.tez", "Nul.tez", "run file");
        ADD_FAILURE() << "Nul.tez was opened";
    } catch (const InputError& e) {
        EXPECT_STREQ(
            e.what(),
            "Cannot open the run file \"Nul.tez\": it is the device NUL on Windows, not a file");
    }
#else
    write_text(folder / "Nul.tez", definition_text(def));
    in.open_input(folder / "Nul.tez", "Nul.tez", "run file");
    EXPECT_EQ(trim_blanks(in.read_text(12)), def.bio);
#endif
}

TEST(FileNames, WindowsDevicesAreKnownByWhatStandsBeforeTheExtension) {
    struct Case {
        const char* name;
        const char* device;
    };
    const Case cases[] = {
        {"nul", "NUL"},
        {"NUL", "NUL"},
        {"Aux.txt", "AUX"},
        {"a/b\\prn", "PRN"},
        {"con .tzo", "CON"},
        {"nul:", "NUL"},
        {"com0", "COM0"},
        {"LPT9.a.b", "LPT9"},
        {"com\xC2\xB9", "COM\xC2\xB9"},
        {"conout$", "CONOUT$"},
        {"CONIN$.x", "CONIN$"},
        {"NUL x", ""},
        {"null", ""},
        {"com10", ""},
        {"com", ""},
        {"lpt\xC2\xB4", ""},
        {"a.nul", ""},
        {"nul/r.txt", ""},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(windows_device(c.name), c.device) << c.name;
}

// The control window writes the names in a definition as UTF-8 text.
TEST_F(RunFlow, NamesInTheDefinitionAreUtf8) {
    const auto u8file = [&](const std::u8string& name) { return folder.path() / name; };
    write_text(u8file(u8"b\u00f6.bio"), biology_text(bio));
    def.bio = "b\xC3\xB6.bio";
    def.report = "r\xC3\xB6.txt";
    RunResult r = run(definition_text(def));
    EXPECT_EQ(r.status, kExitNormal) << r.console;
    EXPECT_TRUE(std::filesystem::exists(u8file(u8"r\u00f6.txt")));

    // A name in another encoding (here Latin-1) cannot be taken where names are converted.
    def.bio = "b\xF6.bio";
#ifdef _WIN32
    r = run(definition_text(def));
    EXPECT_EQ(r.status, kExitInputError);
    EXPECT_NE(r.console.find("\nThe file name \"b\\xF6.bio\" is not UTF-8 text\n"),
              std::string::npos)
        << r.console;
#else
    write_text(folder.path() / def.bio, biology_text(bio));
    r = run(definition_text(def));
    EXPECT_EQ(r.status, kExitNormal) << r.console;
#endif
}

TEST_F(RunFlow, BothOutputsNulIsNothingToDo) {
    def.report = "NUL";
    def.table = "NUL";
    const RunResult r = run(definition_text(def));
    EXPECT_EQ(r.status, kExitNormal);
    EXPECT_EQ(r.console, "Biological definitions from t.bio       \n"
                         " No output files....Nothing to do\n");
    EXPECT_TRUE(folder.has("Tez.000"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                            std::filesystem::directory_iterator()),
              3);
}

TEST_F(RunFlow, TitleKeepsItsFirstWordAndAnEmptyTitleShiftsTheReads) {
    def.title = "A title of several words";
    def.years = {2001, 2002};
    RunResult r = run(definition_text(def));
    EXPECT_EQ(r.status, 0) << r.console;
    EXPECT_EQ(engine->title.substr(0, 2), "A ");
    EXPECT_EQ(engine->nyears, 2);

    // The count is then taken as the title and the first year as the count.
    def.title = "";
    r = run(definition_text(def));
    EXPECT_EQ(r.status, kExitInputError);
    EXPECT_NE(r.console.find("Error reading Tez.000, line 8: the number of years is 2001, at most "
                             "150 can be evaluated"),
              std::string::npos)
        << r.console;
}

TEST_F(RunFlow, YearCountOfZeroWritesOnlyWhatOpeningWrites) {
    def.years = {};
    const RunResult r = run(definition_text(def));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(folder.read("b.txt"),
              " Yr    Bunfished       TEZ         Btez         Fmult        Fbio\r\n");
    EXPECT_EQ(folder.read("r.txt"), "");
}

TEST_F(RunFlow, BadInputStopsWithOneMessageNamingFileAndLine) {
    struct Case {
        const char* bio_text; // replaces the biology file when set
        const char* definition;
        const char* message;
    };
    const std::string good_def = definition_text(def);
    std::string bad_bio = biology_text(bio);
    bad_bio.replace(bad_bio.find(" 4  5 "), 6, " 4  x ");
    std::string zero_bio = biology_text(bio);
    const std::size_t age3 = zero_bio.rfind("\r\n 3 ") + 2;
    zero_bio.replace(age3, zero_bio.find("\r\n", age3) - age3, " 3  0 ");
    std::string code_bio = biology_text(bio);
    code_bio.replace(code_bio.find(" 4  5 "), 6, " 1  5 ");
    const Case cases[] = {
        {nullptr, "missing.bio\r\nt.mgt\r\n", "Cannot open the biology file \"missing.bio\""},
        {nullptr, "t.bio\r\nmissing.mgt\r\n", "Cannot open the management file \"missing.mgt\""},
        {bad_bio.c_str(), good_def.c_str(),
         "Error reading t.bio, line 4: a number is expected, found \"x\""},
        {code_bio.c_str(), good_def.c_str(),
         "Error reading t.bio, line 4: stock-recruitment option 1 cannot be evaluated (3 Ricker "
         "or 4 Beverton-Holt)"},
        {zero_bio.c_str(), good_def.c_str(),
         "Error reading t.bio, line 27: the mean length at age 3 must be positive"},
        {nullptr, "t.bio\r\nt.mgt\r\n\r\nNUL\r\n",
         "Error reading Tez.000, line 3: the TEZ output "
         "table has no name (NUL stands for none)"},
        {nullptr, "t.bio\r\nt.mgt\r\nNUL\r\nb.txt\r\nx.pmo\r\nTitle\r\n 1 \r\n",
         "Error reading Tez.000: the file ends after line 7 where a value is expected"},
    };
    for (const Case& c : cases) {
        write_text(folder / "t.bio", c.bio_text ? c.bio_text : biology_text(bio));
        const RunResult r = run(c.definition);
        EXPECT_EQ(r.status, kExitInputError) << c.message;
        const std::size_t at = r.console.find(c.message);
        ASSERT_NE(at, std::string::npos) << r.console;
        EXPECT_EQ(r.console.substr(at), std::string(c.message) + "\n");
    }
}

TEST_F(RunFlow, BiologyThatCannotGiveMeaningfulResultsIsRefusedBeforeAnyYear) {
    struct Case {
        StockBiology bio;
        std::string trailer; // added after the file's last line
        const char* message;
    };
    const auto with = [&](auto change) {
        StockBiology b = bio;
        change(b);
        return b;
    };
    std::vector<Case> cases = {
        {with([](StockBiology& b) { b.sr_slope = 1.0; }), "",
         "Error reading t.bio, line 4: the stock-recruitment slope is 1, which leaves no target "
         "SPR: it must be greater than 1"},
        {with([](StockBiology& b) { b.sr_code = 3, b.sr_slope = 1.0; }), "",
         "Error reading t.bio, line 4: the stock-recruitment slope is 1, which leaves no"},
        {with([](StockBiology& b) { b.sr_code = 3, b.sr_slope = 0.5; }), "",
         "Error reading t.bio, line 4: the stock-recruitment slope is 0.5, which leaves no"},
        // 3 * 0.5 * (1 - 1/7) reaches 1: the smallest morph would have no length.
        {with([](StockBiology& b) { b.nmorphs = 7, b.cv[0] = 0.5; }), "",
         "Error reading t.bio, line 21: the length spread of sex 1 is 0.5, which with 7 growth "
         "morphs gives the smallest morph a length factor of -0.28571428571428"},
        {bio, " 7  55.5 \r\n",
         "Error reading t.bio, line 31: the file goes on after its last value"},
        {bio, " \r\n\r\n 7  55.5 \r\n \r\n",
         "Error reading t.bio, line 33: the file goes on after its last value: the counts of its "
         "first line do not match its blocks"},
    };
    // One age fewer on the first line than the blocks hold.
    std::string miscounted = biology_text(bio);
    miscounted.replace(0, 3, " 5 ");
    for (const Case& c : cases) {
        write_text(folder / "t.bio", biology_text(c.bio) + c.trailer);
        std::filesystem::remove(folder / "b.txt");
        const RunResult r = run(definition_text(def));
        EXPECT_EQ(r.status, kExitInputError) << r.console;
        EXPECT_NE(r.console.find("\n" + std::string(c.message)), std::string::npos) << r.console;
        EXPECT_EQ(r.console.find("F mult"), std::string::npos) << r.console;
    }
    write_text(folder / "t.bio", miscounted);
    RunResult r = run(definition_text(def));
    EXPECT_EQ(r.status, kExitInputError) << r.console;
    EXPECT_NE(r.console.find("the file goes on after its last value"), std::string::npos)
        << r.console;
    // Blank lines at the end are no data; a spread just short of the limit is taken.
    write_text(folder / "t.bio",
               biology_text(with([](StockBiology& b) { b.nmorphs = 7, b.cv[0] = 0.38; })) +
                   " \r\n\r\n\t\r\n");
    r = run(definition_text(def));
    EXPECT_EQ(r.status, 0) << r.console;
}

TEST_F(RunFlow, NumberBeyondTheLargestDoubleIsRefusedNamingFileAndLine) {
    struct Case {
        const char* file;
        const char* from;
        const char* to;
        const char* message;
    };
    const std::string bio_text = biology_text(bio);
    const std::string mgt_text = management_text(0.0, blocks);
    const Case cases[] = {
        {"t.bio", " 4  5 ", " 4  1E+400 ",
         "Error reading t.bio, line 4: a number is expected, "
         "found \"1E+400\", which is beyond the largest"},
        {"t.bio", "\r\n 0  .4 ", "\r\n 0  1e999 ",
         "Error reading t.bio, line 14: a number is "
         "expected, found \"1e999\", which is beyond"},
        {"t.mgt", "\r\n 0 \r\n", "\r\n-1e400\r\n",
         "Error reading t.mgt, line 6: a number is "
         "expected, found \"-1e400\", which is beyond"},
    };
    for (const Case& c : cases) {
        std::string text = std::string(c.file) == "t.bio" ? bio_text : mgt_text;
        const std::size_t at = text.find(c.from);
        ASSERT_NE(at, std::string::npos) << c.from;
        text.replace(at, std::string(c.from).size(), c.to);
        write_text(folder / c.file, text);
        const RunResult r = run(definition_text(def));
        EXPECT_EQ(r.status, kExitInputError) << r.console;
        EXPECT_NE(r.console.find(c.message), std::string::npos) << r.console;
        write_text(folder / "t.bio", bio_text);
        write_text(folder / "t.mgt", mgt_text);
    }
}

TEST_F(RunFlow, OutputsThatAreOneFileOrAnInputAreRefusedBeforeAnythingIsOpened) {
    std::filesystem::create_directory(folder / "sub");
    // Windows programs may not make symbolic links; a hard link is another name of the same
    // file everywhere.
    std::error_code no_symlink;
    std::filesystem::create_symlink("t.mgt", folder / "link.mgt", no_symlink);
    std::filesystem::create_hard_link(folder / "t.bio", folder / "hard.bio");
    write_text(folder / "r.txt", "the earlier report\r\n");
    struct Case {
        const char* report;
        const char* table;
        const char* message;
    };
    std::vector<Case> cases = {
        {"r.txt", "r.txt",
         "The TEZ output table \"r.txt\" and the TEZ benchmark table \"r.txt\" are one file"},
        {"r.txt", "./r.txt",
         "The TEZ output table \"r.txt\" and the TEZ benchmark table \"./r.txt\" are one file"},
        {"NUL", "t.mgt", "The TEZ benchmark table \"t.mgt\" is the management file \"t.mgt\""},
        {"hard.bio", "NUL", "The TEZ output table \"hard.bio\" is the biology file \"t.bio\""},
        {"sub/../t.bio", "NUL",
         "The TEZ output table \"sub/../t.bio\" is the biology file \"t.bio\""},
        {"Tez.000", "b.txt", "The TEZ output table \"Tez.000\" is the definition \"Tez.000\""},
    };
    // Read through the link, the management file itself would be replaced by the output.
    if (!no_symlink)
        cases.push_back(
            {"t.mgt", "NUL", "The TEZ output table \"t.mgt\" is the management file \"link.mgt\""});
#ifdef _WIN32
    // Names are told apart without regard to case, for files that exist and files to be made.
    cases.push_back({"R.TXT", "r.txt",
                     "The TEZ output table \"R.TXT\" and the TEZ benchmark table \"r.txt\" are one "
                     "file"});
    cases.push_back({"new.txt", "NEW.txt",
                     "The TEZ output table \"new.txt\" and the TEZ benchmark table \"NEW.txt\" are "
                     "one file"});
#else
    EXPECT_FALSE(no_symlink) << no_symlink.message();
#endif
    for (const Case& c : cases) {
        def.report = c.report;
        def.table = c.table;
        def.mgt = std::string(c.report) == "t.mgt" ? "link.mgt" : "t.mgt";
        const std::string bio_before = folder.read("t.bio");
        const std::string mgt_before = folder.read("t.mgt");
        const RunResult r = run(definition_text(def));
        EXPECT_EQ(r.status, kExitInputError) << r.console;
        EXPECT_NE(r.console.find("\n" + std::string(c.message)), std::string::npos) << r.console;
        EXPECT_EQ(folder.read("t.bio"), bio_before);
        EXPECT_EQ(folder.read("t.mgt"), mgt_before);
        EXPECT_EQ(folder.read("r.txt"), "the earlier report\r\n");
        EXPECT_FALSE(folder.has("b.txt"));
        EXPECT_FALSE(folder.has("r.txt.part"));
    }
}

TEST_F(RunFlow, FoldersAreReportedAsFoldersAndNamesAreShownWhole) {
    std::filesystem::create_directory(folder / "sub");
    struct Case {
        const char* definition;
        const char* message;
    };
    const Case cases[] = {
        {"sub\r\nt.mgt\r\n", "Cannot open the biology file \"sub\": it is a folder, not a file"},
        {"t.bio\r\nsub\r\n", "Cannot open the management file \"sub\": it is a folder, not a file"},
        {"t.bio\r\nt.mgt\r\nsub\r\nNUL\r\n",
         "Cannot create the TEZ output table \"sub\": it is a folder, not a file"},
        // The system's reason follows.
        {"t.bio\r\nt.mgt\r\nNUL\r\nnone/b.txt\r\n",
         "Cannot create the TEZ benchmark table \"none/b.txt\": "},
    };
    for (const Case& c : cases) {
        const RunResult r = run(c.definition);
        EXPECT_EQ(r.status, kExitInputError) << r.console;
        const std::string message(c.message);
        const std::size_t at = r.console.find("\n" + message);
        ASSERT_NE(at, std::string::npos) << r.console;
        const std::string rest = r.console.substr(at + 1 + message.size());
        if (message.back() == ' ')
            EXPECT_GT(rest.find('\n'), 0u) << r.console;
        else
            EXPECT_EQ(rest.front(), '\n') << r.console;
    }
}

TEST_F(RunFlow, ManagementOutOfRangeStopsAndKeepsTheYearsWritten) {
    // Blocks 2000, 2001 and 2003: the year 2002 is missing.
    blocks.erase(blocks.begin() + 2);
    write_text(folder / "t.mgt", management_text(0.0, blocks));
    def.years = {2001, 2001, 2000, 2002};
    const RunResult r = run(definition_text(def));
    EXPECT_EQ(r.status, kExitModelStop);
    EXPECT_NE(r.console.find("\nmanagement data out of range\n"), std::string::npos) << r.console;
    // A repeated or earlier year reuses the block in force.
    const std::string table = folder.read("b.txt");
    EXPECT_EQ(count_lines(table), 4);
    EXPECT_NE(table.find("\r\n2000 "), std::string::npos);
    // A year before the first block stops at once: with no year written, the run leaves the
    // table of the run before.
    def.years = {1990};
    const RunResult first = run(definition_text(def));
    EXPECT_EQ(first.status, kExitModelStop);
    EXPECT_EQ(folder.read("b.txt"), table);
}

TEST_F(RunFlow, BiologyWithoutFiniteWeightsIsRefusedNamingFileAndValue) {
    struct Case {
        const char* a;
        const char* b;
        const char* value;
    };
    for (const Case& c :
         {Case{"1E+300", "3", "a = 1e+300, b = 3"}, Case{"1E-05", "300", "b = 300"}}) {
        std::string text = biology_text(bio);
        const std::size_t at = text.find(" 1E-05  3 ");
        ASSERT_NE(at, std::string::npos);
        text.replace(at, 10, std::string(" ") + c.a + "  " + c.b + " ");
        write_text(folder / "t.bio", text);
        std::filesystem::remove(folder / "b.txt");
        const RunResult r = run(definition_text(def));
        EXPECT_EQ(r.status, kExitInputError) << r.console;
        EXPECT_NE(r.console.find("\nError reading t.bio: the "), std::string::npos) << r.console;
        EXPECT_NE(r.console.find(c.value), std::string::npos) << r.console;
        EXPECT_FALSE(folder.has("b.txt"));
    }
}

TEST_F(RunFlow, YearWhoseResultsTheFieldsCannotPrintStopsBeforeItIsWritten) {
    // Light fish in vast numbers: the biomass fits, the yield in numbers needs three exponent
    // digits.
    std::string text = biology_text(bio);
    text.replace(text.find(" 1000000  .6 "), 13, " 1E+120  .6 ");
    text.replace(text.find(" 1E-05  3 "), 10, " 1E-50  3 ");
    write_text(folder / "t.bio", text);
    def.years = {2001, 2002};
    const RunResult r = run(definition_text(def));
    EXPECT_EQ(r.status, kExitModelStop) << r.console;
    EXPECT_NE(r.console.find("\nThe results of year 2001 cannot be written: the yield in numbers "
                             "is "),
              std::string::npos)
        << r.console;
    EXPECT_FALSE(folder.has("b.txt"));
    EXPECT_FALSE(folder.has("r.txt"));
}

TEST_F(RunFlow, YearTheTableCannotPrintIsRefused) {
    def.years = {2001, 10000};
    RunResult r = run(definition_text(def));
    EXPECT_EQ(r.status, kExitInputError);
    EXPECT_NE(r.console.find("Error reading Tez.000, line 9: the year 10000 does not fit the four "
                             "characters of the table's year field"),
              std::string::npos)
        << r.console;
    // Without a table the year is taken (and the management file has no block for it).
    def.table = "NUL";
    r = run(definition_text(def));
    EXPECT_EQ(r.status, kExitInputError) << r.console;
    EXPECT_EQ(r.console.find("year field"), std::string::npos) << r.console;
}

} // namespace
} // namespace tez::testing
