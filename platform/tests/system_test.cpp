#include "file_support.h"
#include "platform/system.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <filesystem>

namespace {

using namespace plat;
namespace fs = std::filesystem;

using plattest::slurp;
using plattest::spit;

// The control window passes no ending and takes whatever name is left; a viewer passes its own
// and takes the same name only when it ends so. Both read the line the same way.
TEST(System, CommandLineFileIsTheSameBareNameForTheControlWindowAndTheViewers) {
    const struct {
        const char* line;
        const char* name;   // the control window's
        const char* ending; // a viewer's
        const char* file;   // that viewer's
    } cases[] = {
        {"", "", "log", ""},
        {"   ", "", "log", ""},
        {R"("C:\Data Files\Stock.BIO")", "stock.bio", "log", ""},
        {R"("C:\Data\RUN1.LOG")", "run1.log", "log", "run1.log"},
        {R"(""run1.log"")", "run1.log", "log", "run1.log"},
        {"  Stock.LOG \t", "stock.log", "log", "stock.log"}, // the blanks are the shell's
        {R"(" a.yro")", " a.yro", "yro", " a.yro"},       // a blank inside the quotes is the name's
        {R"(D:\X\CATALOG)", "catalog", "log", "catalog"}, // only the last letters count
        {"/home/ana/runs/Plaice.TEZ", "plaice.tez", "pmo", ""},
        {R"(C:\mixed/sep\Name.PMO)", "name.pmo", "pmo", "name.pmo"},
        {R"(C:\Data\)", "", "log", ""},
        {"\"", "", "log", ""},
        {"lo", "lo", "log", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(commandLineFile(c.line), c.name) << c.line;
        EXPECT_EQ(commandLineFile(c.line, c.ending), c.file) << c.line;
    }
}

TEST(System, CommandLineJoinsTheArguments) {
    char prog[] = "vesk", a[] = "C:\\Data Files\\Stock.BIO", b[] = "x";
    char* argv[] = {prog, a, b};
    setCommandLine(3, argv);
    EXPECT_EQ(commandLine(), "C:\\Data Files\\Stock.BIO x");
    setCommandLine(1, argv);
    EXPECT_EQ(commandLine(), "");
}

TEST(System, EnvironmentAndCurrentFolder) {
    qputenv("VESK_TEST_VARIABLE", "D:\\eng\\");
    EXPECT_EQ(environmentVariable("VESK_TEST_VARIABLE"), "D:\\eng\\");
    EXPECT_EQ(environmentVariable("VESK_TEST_UNSET_VARIABLE"), "");
    QTemporaryDir tmp;
    const std::string before = currentFolder();
    ASSERT_TRUE(setCurrentFolder(tmp.path().toStdString()));
    EXPECT_EQ(fs::canonical(currentFolder()), fs::canonical(tmp.path().toStdString()));
    EXPECT_NE(currentFolder().back(), '/');
    EXPECT_FALSE(setCurrentFolder(tmp.filePath("missing").toStdString()));
    setCurrentFolder(before);
}

TEST(System, ResolvesANameWithoutRegardToCase) {
    QTemporaryDir tmp;
    const fs::path dir = tmp.path().toStdString();
    spit(dir / "Stock.BIO", "x");
    const std::string wanted = (dir / "stock.bio").string();
    EXPECT_EQ(resolveWithoutCase(wanted), (dir / "Stock.BIO").string());
    EXPECT_EQ(resolveWithoutCase((dir / "other.bio").string()), (dir / "other.bio").string());
    spit(dir / "stock.bio", "y");
    EXPECT_EQ(resolveWithoutCase(wanted), wanted); // an exact match wins
    const std::string before = currentFolder();
    setCurrentFolder(dir.string());
    fs::remove(dir / "stock.bio");
    EXPECT_EQ(resolveWithoutCase("STOCK.bio"), "Stock.BIO"); // a bare name, in the current folder
    setCurrentFolder(before);
}

TEST(System, CopyFileOverwrites) {
    QTemporaryDir tmp;
    const fs::path dir = tmp.path().toStdString();
    spit(dir / "a.tez", "new");
    spit(dir / "Tez.000", "old");
    EXPECT_TRUE(copyFile((dir / "a.tez").string(), (dir / "Tez.000").string()));
    EXPECT_EQ(slurp(dir / "Tez.000"), "new");
    EXPECT_FALSE(copyFile((dir / "missing").string(), (dir / "Tez.000").string()));
    EXPECT_EQ(slurp(dir / "Tez.000"), "new");
}

TEST(System, ScreenWidthCanBeSetForTests) {
    EXPECT_GT(screenWidthTwips(), 0);
    EXPECT_EQ(screenWidthTwips() % 15, 0);
    setScreenWidthTwipsForTesting(15750);
    EXPECT_EQ(screenWidthTwips(), 15750);
    setScreenWidthTwipsForTesting(0);
}

#ifndef _WIN32
TEST(System, RegistryStandInFindsNoKey) {
    uintptr_t handle = 1;
    EXPECT_NE(registry().openKey(kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Shared Tools Location",
                                 0x20019, &handle),
              0);
    EXPECT_EQ(handle, 0u);
}
#endif

} // namespace
