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
