#include "file_support.h"
#include "platform/numtext.h"
#include "platform/seqfile.h"
#include "platform/testing/scripted_user.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <filesystem>

namespace {

using namespace plat;
namespace fs = std::filesystem;

using plattest::slurp;
using plattest::spit;

class SeqFileTest : public ::testing::Test {
  protected:
    QTemporaryDir tmp;
    fs::path dir() const { return fs::path(tmp.path().toStdString()); }
    std::string at(const char* name) const { return (dir() / name).string(); }
};

TEST_F(SeqFileTest, WritesCrLfAndReadsItBack) {
    SeqFile& f = fileNumber(3);
    ASSERT_TRUE(f.openOutput(at("a.bio")));
    f.printLine("Stock title, with comma");
    f.print(printSingle(0.15f));
    f.print(printSingle(-2.f));
    f.printLine(printInteger(1990));
    f.printLine();
    f.printLine("last");
    ASSERT_TRUE(f.close());
    EXPECT_EQ(slurp(dir() / "a.bio"), "Stock title, with comma\r\n .15 -2  1990 \r\n\r\nlast\r\n");

    ASSERT_TRUE(f.openInput(at("a.bio")));
    EXPECT_EQ(f.lineInput(), "Stock title, with comma");
    EXPECT_EQ(f.inputNumber().value, 0.15);
    EXPECT_EQ(f.inputNumber().value, -2.0);
    NumberItem year = f.inputNumber();
    EXPECT_EQ(year.status, ItemStatus::Ok);
    EXPECT_EQ(year.value, 1990.0);
    EXPECT_EQ(f.inputText().status, ItemStatus::Empty); // the empty line
    EXPECT_EQ(f.inputText().text, "last");
    EXPECT_TRUE(f.eof());
    EXPECT_EQ(f.inputNumber().status, ItemStatus::EndOfFile);
    EXPECT_FALSE(f.lineInput().has_value());
    EXPECT_TRUE(f.close());
}

TEST_F(SeqFileTest, ItemRulesOnLfAndCrLfAlike) {
    for (const char* eol : {"\n", "\r\n"}) {
        const std::string e = eol;
        spit(dir() / "items.txt", "1,2, 3  4" + e + "  a text , next" + e + "\"quoted, text\"" + e +
                                      "5,,6" + e + "x7 8" + e + "whole line  " + e + e);
        SeqFile& f = fileNumber(1);
        ASSERT_TRUE(f.openInput(at("items.txt")));
        for (double want : {1., 2., 3., 4.})
            EXPECT_EQ(f.inputNumber().value, want);
        EXPECT_EQ(f.inputText().text, "a text");
        EXPECT_EQ(f.inputText().text, "next");
        EXPECT_EQ(f.inputText().text, "quoted, text");
        EXPECT_EQ(f.inputNumber().value, 5.);
        EXPECT_EQ(f.inputNumber().status, ItemStatus::Empty);
        EXPECT_EQ(f.inputNumber().value, 6.);
        const NumberItem bad = f.inputNumber();
        EXPECT_EQ(bad.status, ItemStatus::NotANumber);
        EXPECT_EQ(bad.text, "x7");
        EXPECT_EQ(bad.value, 0.);
        EXPECT_EQ(f.inputNumber().value, 8.);
        EXPECT_EQ(f.lineNumber(), 6);
        EXPECT_EQ(f.lineInput(), "whole line  "); // no carriage return in the value
        EXPECT_TRUE(f.eof());                     // only a line end is left
        f.close();
    }
}

TEST_F(SeqFileTest, OutputReplacesTheFileOnlyWhenClosed) {
    spit(dir() / "keep.fst", "old\r\n");
    SeqFile& f = fileNumber(2);
    ASSERT_TRUE(f.openOutput(at("keep.fst")));
    f.printLine("new");
    EXPECT_EQ(slurp(dir() / "keep.fst"), "old\r\n"); // still the old file while writing
    f.discard();                                     // a writer that gave up
    EXPECT_EQ(slurp(dir() / "keep.fst"), "old\r\n");
    ASSERT_TRUE(f.openOutput(at("keep.fst")));
    f.printLine("new");
    ASSERT_TRUE(f.close());
    EXPECT_EQ(slurp(dir() / "keep.fst"), "new\r\n");
    // Nothing but the file itself is left in the folder.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir()), fs::directory_iterator()), 1);
}

TEST_F(SeqFileTest, FailedWriteShowsTheNameAndKeepsTheOldFile) {
    fs::create_directory(dir() / "folder");
    spit(dir() / "folder" / "defs.tez", "good\r\n");
    SeqFile& f = fileNumber(1);
    ASSERT_TRUE(f.openOutput((dir() / "folder" / "defs.tez").string()));
    f.printLine("half");
    // The folder goes away under the writer, so the new file cannot be put in place.
    fs::rename(dir() / "folder", dir() / "moved");
    std::string shown;
    plat::testing::ScriptedUser user;
    user.custom([&](const plat::testing::PromptRecord& r) {
        shown = r.text;
        return "OK";
    });
    EXPECT_FALSE(f.close());
    EXPECT_NE(shown.find("defs.tez"), std::string::npos) << shown;
    EXPECT_EQ(slurp(dir() / "moved" / "defs.tez"), "good\r\n");
    EXPECT_FALSE(f.isOpen());
}

TEST_F(SeqFileTest, OpenFailuresSayWhy) {
    SeqFile& f = fileNumber(4);
    EXPECT_FALSE(f.openInput(at("missing.yoy")));
    EXPECT_FALSE(f.error().empty());
    EXPECT_FALSE(f.isOpen());
    EXPECT_FALSE(f.openOutput(at("no/such/folder/x.yoy")));
    EXPECT_FALSE(f.error().empty());
    EXPECT_FALSE(fs::exists(dir() / "no"));
}

} // namespace
