// The index file through the index editor: the layout written byte for byte, loading it back,
// refusing to save what would not read back, and bad files that leave everything as it was.
#include "index_test_support.h"

#include <gmock/gmock.h>

#include "control_window/files/indexfile.h"
#include "platform/seqfile.h"

namespace {

using cw::mc;
using indextest::IndexTest;
using indextest::User;
using ::testing::HasSubstr;

std::string fixture(const std::string& name) {
    return cwtest::dataFile("index/" + name);
}

// The definition of the fixture two_indices.ndf: a population index by age and an index of
// fishery 3, years 2000 and 2001, one sex, ages 0..2, two seasons.
void setTwoIndices() {
    cwtest::setDimensions({.fyr = 2000, .lyr = 2001, .nsexes = 1, .nszns = 2, .nages = 2});
    mc.i_assoc(1) = 0;
    mc.i_meanq(1) = 0.3f;
    mc.i_outfile(1) = "sample.ndx";
    mc.i_type(1) = "W";
    mc.i_err(1) = 0.2f;
    mc.i_ferr(1) = 0.1f;
    mc.l_sampsize(1) = 100;
    mc.l_err(1) = 0.05f;
    mc.a_sampsize(1) = 50.0;
    mc.a_err(1) = 0.1f;
    mc.i_seltyp(1) = "A";
    const float q1[] = {0.25f, 0.35f};
    const float szn[2][2] = {{0.4f, 0.6f}, {0.5f, 0.5f}};
    for (int j = 1; j <= 2; ++j) {
        mc.i_q(1, j) = q1[j - 1];
        mc.i_sel(1, 0, 1, j) = 0;
        mc.i_sel(1, 1, 1, j) = 0.5f;
        mc.i_sel(1, 2, 1, j) = 1;
        mc.i_sznfract(1, 1, j) = szn[j - 1][0];
        mc.i_sznfract(1, 2, j) = szn[j - 1][1];
        mc.i_q(2, j) = float(j);
        // Data of an associated index that the file has no place for.
        mc.i_sel(2, 1, 1, j) = 0.7f;
        mc.i_sznfract(2, 1, j) = 0.9f;
    }
    mc.i_assoc(2) = 3;
    mc.i_meanq(2) = 1.5f;
    mc.i_outfile(2) = "trawl.ndx";
    mc.i_type(2) = "N";
    mc.l_err(2) = -1;
    mc.a_sampsize(2) = 0.0;
}

class IndexFileTest : public IndexTest {
  protected:
    // Saves the window's definition to name through the save button.
    void save(const std::string& name) {
        User user;
        user.fileDialog("Save Index data", path(name));
        ed().saveindex.click();
        EXPECT_TRUE(user.finished());
    }
    void load(const std::string& name) {
        User user;
        user.fileDialog("Load Index data", path(name));
        ed().loadindex.click();
        EXPECT_TRUE(user.finished());
    }
};

TEST_F(IndexFileTest, TheFileIsWrittenLineByLineInThePrintForm) {
    setTwoIndices();
    cw::Defineindex& e = ed();
    e.I_nindices.setText("2");
    e.Index_ID.setText("2");
    mc.yr = 2001;
    save("two.ndf");
    EXPECT_EQ(readFile(path("two.ndf")), fixture("two_indices.ndf"));
    EXPECT_EQ(mc.ndffile, path("two.ndf"));
    EXPECT_EQ(e.caption(), path("two.ndf"));
    EXPECT_EQ(e.curindex, 1);
    EXPECT_EQ(mc.yr, 2000);
    EXPECT_EQ(e.I_outfile.text(), "sample.ndx");
}

TEST_F(IndexFileTest, ALoadedFileGivesBackEveryValueAndShowsIndexOne) {
    writeFile(path("in.ndf"), fixture("two_indices.ndf"));
    cw::Defineindex& e = ed();
    e.I_nindices.setText("5");
    e.Index_ID.setText("4");
    mc.yr = 1990;
    mc.i_sel(2, 1, 1, 1) = 0.7f;
    mc.i_sznfract(2, 1, 1) = 0.9f;
    load("in.ndf");
    const cw::IndexData got = cw::indexDataFrom(mc, e.nindices);
    setTwoIndices();
    // The refresh gives the index shown its length-interval default.
    mc.i_nlngs(1) = 50;
    const cw::IndexData want = cw::indexDataFrom(mc, 2);
    EXPECT_EQ(got.nindices, 2);
    EXPECT_EQ(e.curindex, 1);
    EXPECT_EQ(mc.yr, 2000);
    EXPECT_EQ(e.caption(), path("in.ndf"));
    EXPECT_EQ(e.I_assoc.text(), "0");
    EXPECT_EQ(e.A_sampsize.text(), "50");
    const auto same = [](const cw::IndexData& a, const cw::IndexData& b) {
        // Everything that the writer turns into text, compared as that text.
        return cw::indexFileText(a) == cw::indexFileText(b) && a.i_nlngs(1) == b.i_nlngs(1);
    };
    EXPECT_TRUE(same(got, want));
    // The associated index's selectivity and seasons are neither written nor read.
    EXPECT_FLOAT_EQ(mc.i_sel(2, 1, 1, 1), 0.7f);
    EXPECT_FLOAT_EQ(mc.i_sznfract(2, 1, 1), 0.9f);
}

TEST_F(IndexFileTest, SaveThenLoadGivesTheSameDefinitionForEveryTypeAndSex) {
    cw::Defineindex& e = ed();
    e.I_FYR.setText("1990");
    e.I_LYR.setText("1992");
    e.I_nsexes.setText("2");
    e.I_Nages.setText("3");
    e.I_nszns.setText("4");
    e.I_nindices.setText("3");
    // Index 1 by length, index 2 of blank type, index 3 never shown.
    e.I_seltyp.setText("L");
    e.I_minlng.setText("10");
    e.I_mxlng.setText("60");
    e.II_nlngs.setText("51");
    e.A_err.setText("0.125");
    for (int j = 1; j <= 3; ++j) {
        mc.i_q(1, j) = 0.001f * float(j);
        for (int b = 1; b <= 51; ++b) {
            mc.i_sel(1, b, 1, j) = 0.01f * float(b);
            mc.i_sel(1, b, 2, j) = 0.005f * float(b) + float(j);
        }
        for (int s = 1; s <= 4; ++s) {
            mc.i_sznfract(1, s, j) = 0.25f;
            mc.i_sznfract(2, s, j) = 0.1f * float(s);
        }
    }
    e.Index_ID.setText("2");
    e.I_outfile.setText("second_index.ndx");
    e.Index_ID.setText("1");
    // As a file may give it; the editor offers no way to type a blank type.
    mc.i_seltyp(2) = " ";
    save("round.ndf");
    const std::string text = readFile(path("round.ndf"));
    // A blank type stands on a line holding one blank, followed by its season lines.
    EXPECT_THAT(text, HasSubstr("\r\n \r\n .1 \r\n .2 \r\n .3 \r\n .4 \r\n"));
    // An index never shown is written with what it holds: empty lines for its output file name,
    // its type and its age sample size.
    EXPECT_EQ(mc.i_outfile(3), "");
    EXPECT_EQ(mc.i_type(3), "");
    EXPECT_TRUE(mc.a_sampsize(3).isEmpty());
    EXPECT_THAT(text, HasSubstr(" 0 \r\n 0 \r\n\r\n\r\n"));

    const cw::IndexData saved = cw::indexDataFrom(mc, 3);
    plat::unloadAll();
    cw::resetMaincode();
    load("round.ndf");
    const cw::IndexData got = cw::indexDataFrom(mc, ed().nindices);
    EXPECT_EQ(cw::indexFileText(got), cw::indexFileText(saved));
    EXPECT_EQ(mc.i_seltyp(2), " ");
    EXPECT_EQ(mc.i_outfile(2), "second_index.ndx");
    EXPECT_FLOAT_EQ(mc.i_sel(1, 51, 2, 3), 0.255f + 3);
    EXPECT_FLOAT_EQ(mc.a_err(1), 0.125f);
    EXPECT_EQ(ed().I_seltyp.text(), "L");

    // Showing the untyped index leaves it untyped, and the next save writes it as it was; so does
    // showing it in a window opened again.
    ed().Index_ID.setText("2");
    EXPECT_EQ(ed().I_seltyp.text(), "");
    EXPECT_EQ(mc.i_seltyp(2), " ");
    ed().Index_ID.setText("1");
    EXPECT_EQ(mc.i_seltyp(1), "L");
    save("again.ndf");
    EXPECT_EQ(readFile(path("again.ndf")), text);
    ed().unload();
    ed().I_nindices.setText("3");
    ed().Index_ID.setText("2");
    EXPECT_EQ(mc.i_seltyp(2), " ");
}

TEST_F(IndexFileTest, ALengthIndexRepeatsItsLengthSettingsInEveryYear) {
    cw::IndexData d;
    d.nindices = 1;
    d.fyr = 2000;
    d.lyr = 2001;
    d.nsexes = 2;
    d.nages = 0;
    d.nszns = 1;
    d.i_outfile(1) = "a";
    d.i_type(1) = "W";
    d.a_sampsize(1) = 0.0;
    d.i_seltyp(1) = "L";
    d.i_nlngs(1) = 2;
    d.i_minlng(1) = 10;
    d.i_mxlng(1) = 20;
    d.i_sel(1, 1, 1, 1) = 0.5f;
    d.i_sel(1, 1, 2, 1) = 0.25f;
    d.i_sel(1, 2, 1, 1) = 1;
    d.i_sel(1, 2, 2, 1) = -0.5f;
    d.i_sznfract(1, 1, 1) = 1;
    const std::string year2000 = " 2000 \r\n 0 \r\nL\r\n 2 \r\n 10 \r\n 20 \r\n"
                                 " .5 \r\n .25 \r\n 1 \r\n-.5 \r\n 1 \r\n";
    const std::string year2001 = " 2001 \r\n 0 \r\nL\r\n 2 \r\n 10 \r\n 20 \r\n"
                                 " 0 \r\n 0 \r\n 0 \r\n 0 \r\n 0 \r\n";
    EXPECT_THAT(cw::indexFileText(d), ::testing::EndsWith(year2000 + year2001));
}

TEST_F(IndexFileTest, SavesThatWouldNotReadBackAreRefusedWithoutTouchingTheFile) {
    struct Case {
        const char* what;
        std::function<void(cw::Defineindex&)> set;
        const char* message;
    };
    const Case cases[] = {
        {"a comma in a name", [](cw::Defineindex& e) { e.I_outfile.setText("a,b.ndx"); },
         "must not hold a comma"},
        {"a leading blank", [](cw::Defineindex& e) { e.I_outfile.setText(" a.ndx"); },
         "must not begin or end with a blank"},
        {"a blank name", [](cw::Defineindex& e) { e.I_outfile.setText("   "); },
         "Enter the output file name of index 1"},
        // A loaded file can give the type and the name what no box would: a quoted text with a
        // blank or a tab at its end, or a comma.
        {"a type ending in a blank", [](cw::Defineindex&) { mc.i_type(1) = "W "; },
         "The type of index 1 must not begin or end with a blank"},
        {"a comma in a type", [](cw::Defineindex&) { mc.i_type(1) = "W,x"; },
         "The type of index 1 must not hold a comma"},
        {"a name ending in a tab", [](cw::Defineindex&) { mc.i_outfile(1) = "a.ndx\t"; },
         "must not begin or end with a blank"},
        {"a tab as the selectivity type", [](cw::Defineindex&) { mc.i_seltyp(1) = "\t"; },
         "give it type A or L"},
        {"too many years",
         [](cw::Defineindex& e) {
             e.I_FYR.setText("1700");
             e.I_LYR.setText("2000");
         },
         "at most 250"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        plat::unloadAll();
        cw::resetMaincode();
        writeFile(path("kept.ndf"), "old");
        cw::Defineindex& e = ed();
        c.set(e);
        User user;
        user.custom([&c](const plat::testing::PromptRecord& r) {
            EXPECT_EQ(r.kind, plat::testing::PromptRecord::Kind::Message);
            EXPECT_THAT(r.text, HasSubstr(c.message));
            EXPECT_THAT(r.text, HasSubstr("Nothing was saved."));
            return std::string("OK");
        });
        mc.ndffile = path("kept.ndf");
        e.saveindex.click();
        EXPECT_TRUE(user.finished());
        EXPECT_EQ(readFile(path("kept.ndf")), "old");
        EXPECT_EQ(mc.ndffile, path("kept.ndf"));
    }
}

TEST_F(IndexFileTest, ACancelledSaveWritesNothingAndLeavesNoCurrentFile) {
    cw::Defineindex& e = ed();
    mc.ndffile = "before.ndf";
    User user;
    user.fileDialog("Save Index data", "");
    user.message("No output data were saved");
    e.saveindex.click();
    EXPECT_TRUE(user.finished());
    EXPECT_EQ(mc.ndffile, "");
}

TEST_F(IndexFileTest, BadFilesLeaveEverythingAsItWas) {
    const std::string good = fixture("two_indices.ndf");
    const auto replaceLine = [&good](int line, const std::string& with) {
        return cwtest::replaceLine(good, line, with);
    };
    const auto removeLine = [&good](int line) { return cwtest::removeLine(good, line); };
    struct Case {
        const char* what;
        std::string content;
        const char* message;
    };
    const Case cases[] = {
        {"ends early", good.substr(0, good.size() - 5),
         "ends before the catchability of index 2 in 2001"},
        {"text for a number", replaceLine(8, "abc"),
         "\"abc\" on line 8 where the mean catchability of index 1 was expected"},
        {"too many indices", replaceLine(1, " 11 "), "the number of indices; it must be 0 to 10"},
        {"too many ages", replaceLine(5, " 101 "), "the number of ages; it must be 0 to 100"},
        {"too many years", replaceLine(3, " 2300 "), "covers 301 years"},
        {"a year beyond 16 bits", replaceLine(2, " 99999 "), "not a whole number in range"},
        {"an age sample size of text", replaceLine(15, "many"),
         "\"many\" on line 15 where the age sample size of index 1 was expected"},
        // A missing selectivity line shifts the rest: the next year line shows it.
        {"a missing line", removeLine(31), "where the year line of 2001 was expected"},
        {"a shifted year line", replaceLine(36, " 2002 "), "year line of 2001"},
        {"too many length bins", replaceLine(29, "L\r\n 150 \r\n 1 \r\n 2"),
         "number of length intervals of index 1 in 2000; it must be 0 to 100"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        plat::unloadAll();
        cw::resetMaincode();
        setTwoIndices();
        mc.nsexes = 2;
        mc.nszns = 4;
        mc.nages = 7;
        mc.i_outfile(1) = "mine.ndx";
        cw::Defineindex& e = ed();
        e.I_nindices.setText("3");
        e.Index_ID.setText("2");
        mc.ndffile = "mine.ndf";
        const std::string before = cw::indexFileText(cw::indexDataFrom(mc, 3));
        writeFile(path("bad.ndf"), c.content);
        User user;
        user.fileDialog("Load Index data", path("bad.ndf"));
        user.custom([&c, this](const plat::testing::PromptRecord& r) {
            EXPECT_THAT(r.text, HasSubstr("The index data file " + path("bad.ndf")));
            EXPECT_THAT(r.text, HasSubstr(c.message));
            return std::string("OK");
        });
        e.loadindex.click();
        EXPECT_TRUE(user.finished());
        EXPECT_EQ(cw::indexFileText(cw::indexDataFrom(mc, e.nindices)), before);
        EXPECT_EQ(e.curindex, 2);
        EXPECT_EQ(mc.ndffile, "mine.ndf");
        EXPECT_EQ(mc.nszns, 4);
    }
}

// The count is the window's own; the indices' data outlive it. A window closed and opened again
// must show every index of its file, and a save must keep them all.
TEST_F(IndexFileTest, AWindowOpenedAgainShowsAndSavesEveryIndexOfItsFile) {
    writeFile(path("in.ndf"), fixture("two_indices.ndf"));
    load("in.ndf");
    ASSERT_EQ(ed().I_nindices.text(), "2");
    plat::unloadAll();
    cw::Defineindex& e = ed();
    EXPECT_EQ(e.caption(), path("in.ndf"));
    EXPECT_EQ(e.I_nindices.text(), "2");
    save("again.ndf");
    EXPECT_EQ(readFile(path("again.ndf")), fixture("two_indices.ndf"));
}

} // namespace
