// The fishery definition file through the fishery editor: the layout written byte for byte,
// loading it back, refusing to save what would not read back, and bad files that leave
// everything as it was.
#include "fishery_test_support.h"

#include <gmock/gmock.h>

#include <filesystem>
#include <memory>

#include "control_window/files/fisheryfile.h"
#include "control_window/windows/main/start.h"
#include "platform/system.h"

namespace {

using cw::mc;
using fisherytest::dragTo;
using fisherytest::FisheryTest;
using fisherytest::fixture;
using fisherytest::lines;
using fisherytest::User;
using ::testing::HasSubstr;

// Every value a fishery file holds, compared exactly over the ranges the file covers.
void expectSameFishery(const cw::FisheryData& a, const cw::FisheryData& b) {
    ASSERT_EQ(a.fyr, b.fyr);
    ASSERT_EQ(a.lyr, b.lyr);
    ASSERT_EQ(a.nsexes, b.nsexes);
    ASSERT_EQ(a.nszns, b.nszns);
    ASSERT_EQ(a.nages, b.nages);
    ASSERT_EQ(a.ngear, b.ngear);
    EXPECT_EQ(a.fcv, b.fcv);
    const int n = a.lyr - a.fyr + 1;
    for (int k = 1; k <= a.ngear; ++k) {
        SCOPED_TRACE("fishery " + std::to_string(k));
        EXPECT_EQ(a.f_seltyp(k), b.f_seltyp(k));
        EXPECT_EQ(a.f_minvulsiz(k), b.f_minvulsiz(k));
        EXPECT_EQ(a.f_nlng(k), b.f_nlng(k));
        EXPECT_EQ(a.f_minlng(k), b.f_minlng(k));
        EXPECT_EQ(a.f_mxlng(k), b.f_mxlng(k));
        for (int y = 1; y <= n; ++y) {
            EXPECT_EQ(a.f_tac(y, k), b.f_tac(y, k));
            EXPECT_EQ(a.f_annf(y, k), b.f_annf(y, k));
            for (int r = 1; r <= 3; ++r)
                EXPECT_EQ(a.f_regs(r, k, y), b.f_regs(r, k, y));
            for (int q = 1; q <= a.nszns; ++q)
                EXPECT_EQ(a.f_sznfract(k, q, y), b.f_sznfract(k, q, y));
            for (int x = 0; x <= cw::kMaxAge; ++x)
                for (int s = 1; s <= a.nsexes; ++s)
                    EXPECT_EQ(a.f_sel(k, x, s, y), b.f_sel(k, x, s, y)) << x << " " << s;
        }
    }
}

class FisheryFstTest : public FisheryTest {
  protected:
    // Saves through the editor's button under name; returns the file's text.
    std::string saveAs(const std::string& name) {
        User user;
        user.fileDialog("Save fishery data", path(name));
        editor().savefisherydefinition.click();
        EXPECT_TRUE(user.finished());
        return readFile(path(name));
    }
    bool loadFrom(const std::string& name) {
        User user;
        user.fileDialog("Load fishery data", path(name));
        editor().loadfishery.click();
        EXPECT_TRUE(user.finished());
        return user.finished();
    }
};

TEST_F(FisheryFstTest, OneSexByAgeIsWrittenLineByLine) {
    fisherytest::setOneSexA();
    const std::string text = saveAs("one.fst");
    EXPECT_EQ(text, fixture("fishery_one_sex_a.fst"));
    EXPECT_EQ(lines(text).size(), 23u);
    EXPECT_EQ(mc.fstfile, path("one.fst"));
    EXPECT_EQ(editor().caption(), path("one.fst"));
    EXPECT_EQ(mc.npts, 2);
}

TEST_F(FisheryFstTest, TwoSexesByLengthCarryTheBinsAndTwoValuesALine) {
    fisherytest::setTwoSexesL();
    EXPECT_EQ(saveAs("two.fst"), fixture("fishery_two_sexes_l.fst"));
}

TEST_F(FisheryFstTest, AFisheryOfNoTypeHasOnlyItsTypeSeasonAndLimitLines) {
    fisherytest::setOneSexA();
    mc.f_seltyp(1) = " ";
    const std::vector<std::string> l = lines(saveAs("blank.fst"));
    ASSERT_EQ(l.size(), 7u + 2 * 2 + 1 + 2 * 2);
    EXPECT_EQ(l[11], " ");
    EXPECT_EQ(l[12], " .4  .6 ");
}

TEST_F(FisheryFstTest, SaveAndLoadGiveBackEveryValue) {
    // Two sexes, three fisheries: by age, by length with a lower length never entered, none.
    cwtest::setDimensions(
        {.fyr = 1995, .lyr = 1998, .nsexes = 2, .nszns = 3, .nages = 4, .ngear = 3});
    mc.fcv = -0.25f;
    mc.f_seltyp(1) = "A";
    mc.f_minvulsiz(1) = 12.5f;
    mc.f_seltyp(2) = "L";
    mc.f_nlng(2) = 5;
    mc.f_mxlng(2) = 95;
    mc.f_seltyp(3) = " ";
    for (int y = 1; y <= 4; ++y) {
        for (int k = 1; k <= 3; ++k) {
            mc.f_tac(y, k) = float(1000 * k + y);
            mc.f_annf(y, k) = 0.05f * float(y + k);
            mc.f_regs(1, k, y) = float(20 + y);
            mc.f_regs(2, k, y) = float(90 - k);
            mc.f_regs(3, k, y) = 0.125f * float(k);
            for (int q = 1; q <= 3; ++q)
                mc.f_sznfract(k, q, y) = 0.25f * float(q) / 1.5f > 0.5f ? 0.5f : 0.25f;
        }
        for (int s = 1; s <= 2; ++s) {
            for (int a = 0; a <= 4; ++a)
                mc.f_sel(1, a, s, y) = 0.2f * float(a + s - 1);
            for (int b = 1; b <= 5; ++b)
                mc.f_sel(2, b, s, y) = 0.0625f * float(b * s + y);
        }
    }
    editor().Fishery_ID.setText("2");
    editor().F_yr.setText("1997");
    saveAs("all.fst");
    EXPECT_EQ(mc.fishery_id, 1) << "the save makes fishery 1 current";
    const auto saved = std::make_unique<cw::FisheryData>(cw::fisheryDataFrom(mc));
    EXPECT_TRUE(saved->f_minlng(2).isEmpty());

    plat::unloadAll();
    cw::resetMaincode();
    mc.fishery_id = 3;
    mc.yr = 1990;
    ASSERT_TRUE(loadFrom("all.fst"));
    expectSameFishery(*saved, cw::fisheryDataFrom(mc));
    EXPECT_TRUE(mc.f_minlng(2).isEmpty()) << "an empty lower length reads back as no value";
    EXPECT_EQ(mc.fishery_id, 1);
    EXPECT_EQ(mc.yr, 1995);
    EXPECT_EQ(mc.npts, 4);
    EXPECT_EQ(editor().F_yr.text(), "1995");
    EXPECT_EQ(editor().caption(), path("all.fst"));
}

TEST_F(FisheryFstTest, SavingWhatWouldNotReadBackIsRefusedWithoutTouchingTheFile) {
    struct Case {
        const char* what;
        std::function<void()> spoil;
        const char* says;
    };
    const Case cases[] = {
        {"years reversed", [] { mc.lyr = 2000; }, "last year lies before the first"},
        {"too many years", [] { mc.lyr = 2300; }, "at most 250"},
        {"too many seasons", [] { mc.nszns = 13; }, "number of seasons is 13"},
        {"too many bins",
         [] {
             mc.f_seltyp(1) = "L";
             mc.f_nlng(1) = 150;
         },
         "150 length bins"},
        // A quoted type may hold a tab, which the reader passes over like a blank.
        {"a tab as the type", [] { mc.f_seltyp(1) = "\t"; }, "give it type A or L"},
        {"a comma as the type", [] { mc.f_seltyp(1) = ","; }, "give it type A or L"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        plat::unloadAll();
        cw::resetMaincode();
        fisherytest::setOneSexA();
        writeFile(path("kept.fst"), "old");
        mc.fstfile = path("kept.fst");
        editor();
        c.spoil();
        User user;
        std::string said;
        cwtest::keepText(user, said);
        // Called directly: the refresh would clamp some of these before any save.
        editor().savefisherydefinition_Click();
        EXPECT_TRUE(user.finished());
        EXPECT_THAT(said, HasSubstr(c.says));
        EXPECT_THAT(said, HasSubstr("Nothing was saved"));
        EXPECT_EQ(readFile(path("kept.fst")), "old");
        EXPECT_EQ(mc.fstfile, path("kept.fst"));
    }
}

TEST_F(FisheryFstTest, ACancelledDialogWritesNothing) {
    fisherytest::setOneSexA();
    User user;
    user.fileDialog("Save fishery data", "").message("No output data were saved");
    editor().savefisherydefinition.click();
    EXPECT_TRUE(user.finished());
    EXPECT_TRUE(mc.fstfile.empty());
    EXPECT_TRUE(std::filesystem::is_empty(folder_));
}

class FisheryBadFstTest : public FisheryFstTest {};

TEST_F(FisheryBadFstTest, ABadFileLeavesEverythingAsItWas) {
    struct Case {
        const char* what;
        const char* fixtureName;
        int line; // 0-based line to replace, -1 to cut the last three lines
        const char* replacement;
        const char* says;
    };
    const Case cases[] = {
        {"a catch line of another year", "fishery_one_sex_a.fst", 8, " 2003  120 ",
         "gives the year 2003 on line 9 where the year 2002 was expected"},
        {"a file that ends early", "fishery_one_sex_a.fst", -1, "",
         "ends before the minimum size of fishery 1 in 2001"},
        {"text where a number belongs", "fishery_one_sex_a.fst", 14, " abc ",
         "\"abc\" on line 15 where the selectivity of fishery 1 at age 1 in 2001"},
        {"too many fisheries", "fishery_one_sex_a.fst", 5, " 11 ", "11 as the number of fisheries"},
        {"too many seasons", "fishery_one_sex_a.fst", 3, " 13 ", "13 as the number of seasons"},
        {"three sexes", "fishery_one_sex_a.fst", 2, " 3 ", "3 as the number of sexes"},
        {"too many years", "fishery_one_sex_a.fst", 1, " 2300 ", "2001 to 2300"},
        {"a year beyond 16 bits", "fishery_one_sex_a.fst", 1, " 40000 ", "not a whole number"},
        {"too many bins", "fishery_two_sexes_l.fst", 12, " 120 ", "120 length bins"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        plat::unloadAll();
        cw::resetMaincode();
        fisherytest::setTwoSexesL();
        mc.f_tac(1, 1) = 777;
        mc.fstfile = "earlier.fst";
        mc.fishery_id = 1;
        mc.yr = 2002;
        editor();
        const auto before = std::make_unique<cw::FisheryData>(cw::fisheryDataFrom(mc));

        std::vector<std::string> l = lines(fixture(c.fixtureName));
        if (c.line < 0)
            l.resize(l.size() - 3);
        else
            l[size_t(c.line)] = c.replacement;
        std::string text;
        for (const std::string& s : l)
            text += s + "\r\n";
        writeFile(path("bad.fst"), text);

        User user;
        std::string said;
        user.fileDialog("Load fishery data", path("bad.fst"));
        cwtest::keepText(user, said);
        editor().loadfishery.click();
        EXPECT_TRUE(user.finished());
        EXPECT_THAT(said, HasSubstr(path("bad.fst")));
        EXPECT_THAT(said, HasSubstr(c.says));
        expectSameFishery(*before, cw::fisheryDataFrom(mc));
        EXPECT_EQ(mc.fstfile, "earlier.fst");
        EXPECT_EQ(mc.yr, 2002);
        EXPECT_EQ(editor().F_ngear.text(), "1");
    }
}

TEST_F(FisheryFstTest, ACommandLineFileOpensTheEditorOnIt) {
    writeFile(path("stock.fst"), fixture("fishery_one_sex_a.fst"));
    mc.startfile = "stock.fst";
    cw::DefineFishery& e = editor();
    EXPECT_EQ(mc.fstfile, path("stock.fst"));
    EXPECT_EQ(e.caption(), path("stock.fst"));
    EXPECT_EQ(e.F_FYR.text(), "2001");
    EXPECT_EQ(e.F_seltyp.text(), "A");
    EXPECT_EQ(mc.f_sel(1, 1, 1, 1), 0.5f);
}

TEST_F(FisheryFstTest, ABadCommandLineFileIsReportedAndNothingIsLoaded) {
    std::vector<std::string> l = lines(fixture("fishery_one_sex_a.fst"));
    l.resize(10);
    std::string text;
    for (const std::string& s : l)
        text += s + "\r\n";
    writeFile(path("cut.fst"), text);
    mc.startfile = "cut.fst";
    User user;
    std::string said;
    cwtest::keepText(user, said);
    cw::DefineFishery& e = editor();
    EXPECT_TRUE(user.finished());
    EXPECT_THAT(said, HasSubstr("ends before the annual F of fishery 1 in 2002"));
    EXPECT_TRUE(mc.fstfile.empty());
    EXPECT_EQ(e.caption(), "Fishery Data");
    EXPECT_EQ(mc.fyr, 0);
}

TEST_F(FisheryFstTest, TheMenuEntryAndTheExtensionOpenTheFishery) {
    cw::start& s = plat::instance<cw::start>();
    EXPECT_EQ(s.fishery.caption(), "Fishery  ");
    s.fishery.click();
    ASSERT_TRUE(plat::isLoaded<cw::DefineFishery>());
    EXPECT_TRUE(editor().visible());
    EXPECT_EQ(editor().caption(), "Fishery Data");
    plat::unloadAll();
    cw::showEditor(cw::editorForName("a.fst"));
    EXPECT_TRUE(plat::isLoaded<cw::DefineFishery>());
}

} // namespace
