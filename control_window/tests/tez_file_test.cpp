// The equilibrium definition file through its editor: the layout written byte for byte, the
// names normalised on saving, loading back, refusing to save what would not read back, and bad
// files that leave everything as it was.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "common/testing/small_disk.h"
#include "control_window/files/tezfile.h"
#include "control_window/windows/editors/definetez.h"
#include "control_window/windows/editors/definewox.h"
#include "cw_fixture.h"
#include "platform/system.h"
#include "platform/testing/scripted_user.h"

namespace {

using cw::mc;
using ::testing::HasSubstr;
using User = plat::testing::ScriptedUser;

std::string fixture(const std::string& name) {
    return cwtest::dataFile("tez/" + name);
}

class TezFileTest : public cwtest::CwTest {
  protected:
    cw::DefineTEZ& tez() { return plat::instance<cw::DefineTEZ>(); }

    // Types the definition of the fixture three_years.tez, names still as the user gives them.
    void typeThreeYears() {
        cw::DefineTEZ& w = tez();
        w.I_bio.setText("snapper.bio");
        w.I_mgt.setText("snapper.mgt");
        w.i_TEZ.setText("null");
        w.i_bnch.setText("snapper.tzb");
        w.i_pmo.setText("C:\\my.dir\\out");
        w.I_title.setText("Snapper run");
        w.I_nyr.setText("3");
        w.I_valyr.setText("1990");
        w.Option1.click();
    }
    void save(const std::string& name) {
        User user;
        user.fileDialog("Save tez data", path(name));
        tez().writetez.click();
    }
    // Loads the file into a window opened anew, with no current file.
    void loadAnew(const std::string& name) {
        tez().unload();
        mc.tezfile.clear();
        User user;
        user.fileDialog("Load TEZ data", path(name));
        tez().readtez.click();
    }
};

TEST_F(TezFileTest, SavesTheLayoutByteForByteAndShowsTheNormalisedNames) {
    typeThreeYears();
    save("a.tez");
    EXPECT_EQ(readFile(path("a.tez")), fixture("three_years.tez"));
    cw::DefineTEZ& w = tez();
    EXPECT_EQ(mc.tezfile, path("a.tez"));
    EXPECT_EQ(w.caption(), path("a.tez"));
    EXPECT_EQ(w.i_TEZ.text(), "NUL");
    EXPECT_EQ(w.i_pmo.text(), "C:\\my.dir\\out.pmo");
    EXPECT_EQ(w.data.pmo, "C:\\my.dir\\out.pmo");
    EXPECT_TRUE(w.clean);
}

TEST_F(TezFileTest, OutputAndProductionTableNamesAreNormalised) {
    const std::pair<const char*, const char*> pmo[] = {{"result", "result.pmo"},
                                                       {"result.txt", "result.pmo"},
                                                       {"a.b.c", "a.pmo"},
                                                       {"C:\\my.dir\\out", "C:\\my.dir\\out.pmo"},
                                                       {"/tmp/my.dir/out", "/tmp/my.dir/out.pmo"},
                                                       {"/tmp/my.dir/a.b", "/tmp/my.dir/a.pmo"},
                                                       {"nul", "NUL"},
                                                       {"Null", "NUL"},
                                                       {"", ".pmo"},
                                                       {"nulls", "nulls.pmo"}};
    for (const auto& [typed, saved] : pmo)
        EXPECT_EQ(cw::productionTableName(typed), saved) << typed;
    const std::pair<const char*, const char*> out[] = {{"null", "NUL"},    {"Nul", "NUL"},
                                                       {"NULL", "NUL"},    {"", ""},
                                                       {"nullx", "nullx"}, {"a.tzo", "a.tzo"}};
    for (const auto& [typed, saved] : out)
        EXPECT_EQ(cw::tezOutputName(typed), saved) << typed;
}

TEST_F(TezFileTest, AnEmptyOutputNameIsSavedAsAnEmptyLineAndReadsBackEmpty) {
    typeThreeYears();
    tez().i_TEZ.setText("");
    tez().i_bnch.setText(" nul ");
    save("a.tez");
    const std::string text = readFile(path("a.tez"));
    EXPECT_THAT(text, HasSubstr("snapper.mgt\r\n\r\nNUL\r\nC:\\my.dir\\out.pmo\r\n"));

    plat::instance<cw::DefineTEZ>().unload();
    User user;
    user.fileDialog("Load TEZ data", path("a.tez"));
    tez().readtez.click();
    EXPECT_EQ(tez().data.tezout, "");
    EXPECT_EQ(tez().data.bnch, "NUL");
    EXPECT_EQ(tez().data.title, "Snapper run");
}

TEST_F(TezFileTest, ASavedFileLoadsBackIntoTheSameValues) {
    typeThreeYears();
    save("a.tez");
    const cw::TezData saved = tez().data;
    loadAnew("a.tez");
    cw::DefineTEZ& w = tez();
    EXPECT_EQ(w.data.bio, saved.bio);
    EXPECT_EQ(w.data.mgt, saved.mgt);
    EXPECT_EQ(w.data.tezout, "NUL");
    EXPECT_EQ(w.data.bnch, saved.bnch);
    EXPECT_EQ(w.data.pmo, saved.pmo);
    EXPECT_EQ(w.data.title, saved.title);
    ASSERT_EQ(w.data.nyr, 3);
    for (int k = 1; k <= 3; ++k)
        EXPECT_EQ(w.data.years(k), 1989 + k);
    EXPECT_EQ(w.I_title.text(), "Snapper run");
    EXPECT_EQ(w.I_nyr.text(), "3");
    EXPECT_EQ(w.caption(), path("a.tez"));
    EXPECT_EQ(mc.tezfile, path("a.tez"));
    EXPECT_TRUE(w.clean);
}

// Each of these would come back different from the control window's reader.
TEST_F(TezFileTest, RefusesToSaveWhatWouldNotReadBackAndLeavesTheFileAlone) {
    writeFile(path("a.tez"), "old\r\n");
    using Edit = void (*)(cw::DefineTEZ&);
    const std::pair<Edit, const char*> cases[] = {
        {[](cw::DefineTEZ& w) { w.I_title.setText("Snapper, 3 years"); }, "holds a comma"},
        {[](cw::DefineTEZ& w) { w.i_pmo.setText("a,b"); }, "holds a comma"},
        {[](cw::DefineTEZ& w) { w.I_bio.setText("\"q.bio"); }, "double quote"},
        // The engine would open a file of the name's first 12 characters.
        {[](cw::DefineTEZ& w) { w.I_bio.setText("snapper1.bio1"); },
         "biological data input file \"snapper1.bio1\" is longer than 12 characters"},
        {[](cw::DefineTEZ& w) { w.I_mgt.setText("abcdefghijklmnopqrst"); },
         "management file \"abcdefghijklmnopqrst\" is longer than 12 characters"},
    };
    for (const auto& [edit, problem] : cases) {
        tez().unload();
        typeThreeYears();
        edit(tez());
        {
            User user;
            user.custom([problem = std::string(problem)](const plat::testing::PromptRecord& r) {
                EXPECT_EQ(r.kind, plat::testing::PromptRecord::Kind::Message);
                EXPECT_THAT(r.text, HasSubstr(problem));
                return std::string("OK");
            });
            tez().writetez.click();
        }
        EXPECT_EQ(readFile(path("a.tez")), "old\r\n") << problem;
        EXPECT_FALSE(tez().clean) << problem;
    }
}

// What the equilibrium engine cannot read is still a definition: it is saved as it stands (the
// production engine takes it), and only "TEZ" refuses it, before anything is copied or started.
TEST_F(TezFileTest, WhatOnlyTheEngineCannotReadIsSavedAndRefusedByTheTezButton) {
    using Edit = void (*)(cw::DefineTEZ&);
    const struct {
        Edit edit;
        const char* problem;
    } cases[] = {
        {[](cw::DefineTEZ& w) { w.I_bio.setText(""); }, "biological data input file is empty"},
        {[](cw::DefineTEZ& w) { w.I_mgt.setText("run/fish.mgt"); }, "blank, comma or slash"},
        {[](cw::DefineTEZ& w) { w.i_TEZ.setText("snapper1.tzo1"); }, "longer than 12"},
        {[](cw::DefineTEZ& w) { w.i_bnch.setText("benchmark.tzb"); }, "longer than 12"},
        {[](cw::DefineTEZ& w) { w.I_title.setText("   "); }, "title for the run is empty"},
        {[](cw::DefineTEZ& w) { w.I_nyr.setText("151"); }, "at most 150"},
    };
    mc.installdir = path("engines") + "/";
    for (const auto& [edit, problem] : cases) {
        tez().unload();
        mc.tezfile.clear();
        typeThreeYears();
        edit(tez());
        save("a.tez");
        ASSERT_TRUE(tez().clean) << problem;
        const cw::TezData saved = tez().data;
        loadAnew("a.tez");
        cw::DefineTEZ& w = tez();
        EXPECT_EQ(cw::tezFileText(w.data), cw::tezFileText(saved)) << problem;
        {
            User user;
            user.custom([problem = std::string(problem)](const plat::testing::PromptRecord& r) {
                EXPECT_EQ(r.kind, plat::testing::PromptRecord::Kind::Message);
                EXPECT_THAT(r.text, HasSubstr("equilibrium engine cannot read"));
                EXPECT_THAT(r.text, HasSubstr(problem));
                return std::string("OK");
            });
            w.dotez.click();
        }
        EXPECT_FALSE(plat::fileExists(path("Tez.000"))) << problem;
        EXPECT_EQ(mc.taskid, 0) << problem;
    }
    // Twelve characters are what the engine takes whole; the list holds up to 1000 years.
    tez().unload();
    typeThreeYears();
    tez().I_bio.setText("snapper1.bio");
    tez().I_nyr.setText("1000");
    save("a.tez");
    const std::string text = readFile(path("a.tez"));
    EXPECT_EQ(text.substr(0, 14), "snapper1.bio\r\n");
    EXPECT_NE(text.find("Snapper run\r\n 1000 \r\n 1990 \r\n"), std::string::npos);
    tez().I_nyr.setText("150");
    EXPECT_EQ(cw::tezEngineProblem(cw::tezSaveForm(tez().data)), std::nullopt);
}

// A file written elsewhere with an input name longer than the engine reads is read, but neither
// launch hands it over.
TEST_F(TezFileTest, ALongInputNameReadFromAFileIsNotHandedOver) {
    writeFile(path("long.tez"),
              "snapper.bio\r\nsnapper_2021.mgt\r\nNUL\r\nb.tzb\r\nNUL\r\nTitle\r\n"
              " 1 \r\n 2018 \r\n");
    {
        User user;
        user.fileDialog("Load TEZ data", path("long.tez"));
        tez().readtez.click();
        ASSERT_TRUE(tez().clean);
    }
    mc.installdir = path("engines") + "/";
    for (plat::CommandButton* launch : {&tez().dotez, &tez().dokuv}) {
        SCOPED_TRACE(launch->name());
        User user;
        cwtest::messageWith(user,
                            {"management file \"snapper_2021.mgt\" is longer than 12 characters",
                             "at most 12 characters"});
        launch->click();
        EXPECT_TRUE(user.finished());
    }
    EXPECT_FALSE(plat::fileExists(path("Tez.000")));
    EXPECT_FALSE(plat::fileExists(path("tez.000")));
    EXPECT_EQ(mc.taskid, 0);
}

TEST_F(TezFileTest, ABadFileLeavesTheWindowAndItsFileAsTheyWere) {
    writeFile(path("good.tez"), fixture("three_years.tez"));
    {
        User user;
        user.fileDialog("Load TEZ data", path("good.tez"));
        tez().readtez.click();
    }
    const std::string head = "b.bio\r\nb.mgt\r\nb.tzo\r\nb.tzb\r\nb.pmo\r\nB title\r\n";
    const std::pair<std::string, const char*> files[] = {
        {head + " 3 \r\n 2000 \r\n 2001 \r\n", "ends before the year 3 of 3"},
        {"b.bio\r\nb.mgt\r\nb.tzo\r\n", "ends before the TEZ benchmark table name"},
        {head + "three\r\n 2000 \r\n", "\"three\" on line 7 where the number of years"},
        {head + " 1001 \r\n", "between 1 and 1000"},
        {head + "-1\r\n", "between 1 and 1000"},
        // No years: the save refuses such a list, and the window would show one of its own.
        {head + " 0 \r\n", "gives 0 on line 7 as the number of years; it must lie between 1"},
        {head + " 2 \r\n 2000 \r\n 40000 \r\n", "year 2 of 2"},
        {head + " 2 \r\n 2000 \r\n x \r\n", "year 2 of 2 was expected as a number"},
    };
    for (const auto& [content, problem] : files) {
        writeFile(path("bad.tez"), content);
        tez().I_title.setText("Edited");
        {
            User user;
            user.fileDialog("Load TEZ data", path("bad.tez"));
            user.custom(
                [problem = std::string(problem), this](const plat::testing::PromptRecord& r) {
                    EXPECT_THAT(r.text, HasSubstr(path("bad.tez")));
                    EXPECT_THAT(r.text, HasSubstr(problem));
                    return std::string("OK");
                });
            tez().readtez.click();
        }
        cw::DefineTEZ& w = tez();
        EXPECT_EQ(mc.tezfile, path("good.tez")) << problem;
        EXPECT_EQ(w.data.title, "Edited") << problem;
        EXPECT_EQ(w.data.bio, "snapper.bio") << problem;
        EXPECT_EQ(w.data.nyr, 3) << problem;
        EXPECT_EQ(w.data.years(3), 1992) << problem;
        EXPECT_FALSE(w.clean) << problem;
    }
}

// A shorter list read after a longer one keeps none of the longer one's years.
TEST_F(TezFileTest, PositionsBeyondTheFilesListKeepNoEarlierYear) {
    writeFile(path("three.tez"), fixture("three_years.tez"));
    writeFile(path("one.tez"), "b.bio\r\nb.mgt\r\nNUL\r\nb.tzb\r\nNUL\r\nOne\r\n 1 \r\n 2018 \r\n");
    for (const char* file : {"three.tez", "one.tez"}) {
        User user;
        user.fileDialog("Load TEZ data", path(file));
        tez().readtez.click();
    }
    cw::DefineTEZ& w = tez();
    EXPECT_EQ(w.data.years(1), 2018);
    EXPECT_EQ(w.data.years(2), 0);
    EXPECT_EQ(w.data.years(3), 0);
    // A count raised by hand shows no year of the earlier file.
    w.I_nyr.setText("3");
    w.i_yr.setText("2");
    EXPECT_EQ(w.I_valyr.text(), "0");
}

// A file that cannot be opened for writing keeps the window's file, on disk and by name.
TEST_F(TezFileTest, ASaveThatCannotOpenItsFileKeepsTheCurrentFile) {
    typeThreeYears();
    save("a.tez");
    ASSERT_TRUE(tez().clean);
    const std::string blocked = path("no/such/folder/b.tez");
    {
        User user;
        user.fileDialog("Save tez data", blocked);
        user.custom([&](const plat::testing::PromptRecord& r) {
            EXPECT_THAT(r.text, HasSubstr("Cannot write the file " + blocked));
            return std::string("OK");
        });
        tez().writetez.click();
    }
    EXPECT_EQ(mc.tezfile, path("a.tez"));
    EXPECT_EQ(tez().caption(), path("a.tez"));
    EXPECT_TRUE(tez().clean);
    EXPECT_EQ(readFile(path("a.tez")), fixture("three_years.tez"));
}

TEST_F(TezFileTest, CancelledDialogsChangeNothingButTheFileName) {
    typeThreeYears();
    save("a.tez");
    tez().I_title.setText("Edited");
    {
        User user;
        user.fileDialog("Save tez data", "").message("No output data were saved");
        tez().writetez.click();
    }
    EXPECT_EQ(mc.tezfile, "");
    EXPECT_EQ(readFile(path("a.tez")), fixture("three_years.tez"));
    EXPECT_EQ(tez().i_pmo.text(), "C:\\my.dir\\out.pmo");
    {
        User user;
        user.fileDialog("Load TEZ data", "").message("No input data were loaded");
        tez().readtez.click();
    }
    EXPECT_EQ(mc.tezfile, "");
    EXPECT_EQ(tez().data.title, "Edited");
    // The caption keeps the last path until a refresh finds a file again.
    EXPECT_EQ(tez().caption(), path("a.tez"));
}

// A save that fails on a full disk has kept the earlier file under the window's name: a clean
// window stays clean, so that the next launch hands that file over without asking for another.
TEST_F(TezFileTest, AFailedSaveKeepsAWindowClean) {
    vesktest::SmallDisk disk(128 * 1024);
    VESK_NEED_SMALL_DISK(disk);
    writeFile(disk.path("a.tez"), fixture("three_years.tez"));
    writeFile(disk.path("a.wox"), fixture("three_years.wox"));
    disk.fill();
    struct Editor {
        plat::Form& form;
        plat::CommandButton& load;
        plat::CommandButton& save;
        const bool& clean;
        std::string& file;
        const char* name;
        const char* loadTitle;
        const char* saveTitle;
    };
    cw::DefineWOX& wox = plat::instance<cw::DefineWOX>();
    const Editor editors[] = {
        {tez(), tez().readtez, tez().writetez, tez().clean, mc.tezfile, "a.tez", "Load TEZ data",
         "Save tez data"},
        {wox, wox.readwox, wox.writewox, wox.clean, mc.woxfile, "a.wox", "Load wox data",
         "Save wox data"},
    };
    for (const Editor& e : editors) {
        SCOPED_TRACE(e.name);
        User user;
        user.fileDialog(e.loadTitle, disk.path(e.name)).fileDialog(e.saveTitle, disk.path(e.name));
        cwtest::messageWith(user, {"No space left on device"});
        e.load.click();
        ASSERT_TRUE(e.clean);
        e.save.click();
        EXPECT_TRUE(user.finished());
        EXPECT_TRUE(e.clean);
        EXPECT_EQ(e.file, disk.path(e.name));
    }
    EXPECT_EQ(readFile(disk.path("a.tez")), fixture("three_years.tez"));
}

} // namespace
