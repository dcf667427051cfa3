// The index editor's boxes, clamps and refresh, navigation by index and year, the sex buttons,
// and how the window is opened from the menu and the command line.
#include "index_test_support.h"

#include "control_window/windows/main/start.h"
#include "platform/system.h"

namespace {

using cw::mc;
using indextest::IndexTest;
using indextest::User;

class IndexEditorTest : public IndexTest {};

TEST_F(IndexEditorTest, ANewWindowShowsTheDefaultsOfIndexOne) {
    cw::Defineindex& e = ed();
    EXPECT_EQ(e.caption(), "Index Data");
    EXPECT_EQ(e.nindices, 1);
    EXPECT_EQ(e.curindex, 1);
    EXPECT_EQ(e.I_nindices.text(), "1");
    EXPECT_EQ(e.Index_ID.text(), "1");
    EXPECT_EQ(e.I_type.text(), "W");
    EXPECT_EQ(mc.i_type(1), "W");
    EXPECT_EQ(e.I_outfile.text(), "sample.ndx");
    EXPECT_EQ(mc.i_outfile(1), "sample.ndx");
    EXPECT_EQ(e.II_nlngs.text(), "50");
    EXPECT_EQ(e.I_seltyp.text(), "A");
    EXPECT_EQ(mc.i_seltyp(1), "A");
    EXPECT_TRUE(e.minvul_label.visible());
    EXPECT_TRUE(e.I_Minvulsiz.visible());
    EXPECT_FALSE(e.Frame4.visible());
    EXPECT_TRUE(e.Frame2.visible());
    EXPECT_TRUE(e.Frame6.visible());
    // The never-set age sample size ends as a number.
    EXPECT_EQ(e.A_sampsize.text(), "0");
    EXPECT_EQ(mc.a_sampsize(1).number(), 0);
    EXPECT_FALSE(mc.a_sampsize(1).isEmpty());
    EXPECT_EQ(mc.nsexes, 1);
    EXPECT_EQ(mc.nszns, 1);
    EXPECT_EQ(e.L_sex1.caption(), "UniSex");
    EXPECT_FALSE(e.L_sex2.enabled());
    EXPECT_FALSE(e.s_sexeq.enabled());
    EXPECT_FALSE(e.Matchother.enabled());
}

TEST_F(IndexEditorTest, CountsAndYearsAreClampedOrRefusedAsTyped) {
    struct Case {
        plat::TextBox cw::Defineindex::*box;
        const char* typed;
        int expected;
        const char* shown;
        std::function<int()> value;
    };
    const auto nszns = [] { return int(mc.nszns); };
    const auto nsexes = [] { return int(mc.nsexes); };
    const auto nages = [] { return int(mc.nages); };
    const auto fyr = [] { return int(mc.fyr); };
    const auto nindices = [this] { return int(ed().nindices); };
    const Case cases[] = {
        {&cw::Defineindex::I_nszns, "0", 1, "1", nszns},
        {&cw::Defineindex::I_nszns, "15", 12, "12", nszns},
        {&cw::Defineindex::I_nsexes, "3", 2, "2", nsexes},
        {&cw::Defineindex::I_nsexes, "0", 1, "1", nsexes},
        {&cw::Defineindex::I_Nages, "150", 100, "100", nages},
        {&cw::Defineindex::I_Nages, "-4", 0, "0", nages},
        {&cw::Defineindex::I_Nages, "7.5", 8, "8", nages},
        {&cw::Defineindex::I_nindices, "0", 1, "1", nindices},
        {&cw::Defineindex::I_nindices, "14", 10, "10", nindices},
        {&cw::Defineindex::I_nindices, "4", 4, "4", nindices},
        {&cw::Defineindex::I_FYR, "1990x", 1990, "1990", fyr},
        // Beyond the 16-bit range: refused, the box gets the year back.
        {&cw::Defineindex::I_FYR, "40000", 0, "0", fyr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string((ed().*c.box).name()) + " typed " + c.typed);
        plat::unloadAll();
        cw::resetMaincode();
        cw::Defineindex& e = ed();
        (e.*c.box).setText(c.typed);
        EXPECT_EQ(c.value(), c.expected);
        EXPECT_EQ((e.*c.box).text(), c.shown);
    }
}

TEST_F(IndexEditorTest, IndexTypeIsNOrW) {
    cw::Defineindex& e = ed();
    e.I_type.setText("n");
    EXPECT_EQ(mc.i_type(1), "N");
    EXPECT_EQ(e.I_type.text(), "N");
    for (const char* typed : {"x", "", "nw"}) {
        SCOPED_TRACE(typed);
        e.I_type.setText("N");
        e.I_type.setText(typed);
        EXPECT_EQ(mc.i_type(1), "W");
        EXPECT_EQ(e.I_type.text(), "W");
    }
}

TEST_F(IndexEditorTest, SelectivityTypeTakesOnlyAOrL) {
    cw::Defineindex& e = ed();
    e.I_seltyp.setText("lx");
    EXPECT_EQ(e.I_seltyp.text(), "L");
    EXPECT_EQ(mc.i_seltyp(1), "L");
    EXPECT_TRUE(e.Frame4.visible());
    EXPECT_FALSE(e.I_Minvulsiz.visible());
    EXPECT_FALSE(e.minvul_label.visible());
    // Another letter leaves the type in force, and the box shows it again.
    e.I_seltyp.setText("q");
    EXPECT_EQ(mc.i_seltyp(1), "L");
    EXPECT_EQ(e.I_seltyp.text(), "L");
    e.I_seltyp.setText("a");
    EXPECT_EQ(mc.i_seltyp(1), "A");
    EXPECT_TRUE(e.I_Minvulsiz.visible());
    EXPECT_FALSE(e.Frame4.visible());
}

TEST_F(IndexEditorTest, ABlankTypeTakesTheLetterInTheBoxAndOtherwiseHidesBothSettings) {
    cw::Defineindex& e = ed();
    e.I_nindices.setText("2");
    // An index of type "A" leaves its letter in the box, and an index of blank type shown next
    // takes it: that is how an index never set gets the age type.
    e.Index_ID.setText("2");
    EXPECT_EQ(mc.i_seltyp(2), "A");
    // With a blank type, a letter other than A or L empties the box and keeps the blank.
    mc.i_seltyp(2) = " ";
    e.I_seltyp.setText("x");
    EXPECT_EQ(e.I_seltyp.text(), "");
    EXPECT_EQ(mc.i_seltyp(2), " ");
    EXPECT_FALSE(e.minvul_label.visible());
    EXPECT_FALSE(e.I_Minvulsiz.visible());
    EXPECT_FALSE(e.Frame4.visible());
}

TEST_F(IndexEditorTest, LengthIntervalsAreAtLeastFiftyAndAtMostWhatTheArraysHold) {
    cw::Defineindex& e = ed();
    e.II_nlngs.setText("20");
    EXPECT_EQ(e.II_nlngs.text(), "50");
    EXPECT_EQ(mc.i_nlngs(1), 50);
    e.II_nlngs.setText("80");
    EXPECT_EQ(mc.i_nlngs(1), 80);
    e.II_nlngs.setText("120");
    EXPECT_EQ(e.II_nlngs.text(), "100");
    EXPECT_EQ(mc.i_nlngs(1), 100);
}

TEST_F(IndexEditorTest, AFisheryAssociationHidesThePopulationFrames) {
    cw::Defineindex& e = ed();
    e.I_assoc.setText("2");
    EXPECT_EQ(mc.i_assoc(1), 2);
    EXPECT_FALSE(e.Frame2.visible());
    EXPECT_FALSE(e.Frame6.visible());
    e.I_assoc.setText("0");
    EXPECT_TRUE(e.Frame2.visible());
    EXPECT_TRUE(e.Frame6.visible());
}

TEST_F(IndexEditorTest, NavigationShowsEachIndexsOwnValues) {
    cw::Defineindex& e = ed();
    e.I_nindices.setText("3");
    e.I_err.setText("0.50");
    // A typed 0.50 that equals the stored value stays as typed.
    EXPECT_EQ(e.I_err.text(), "0.50");
    EXPECT_FLOAT_EQ(mc.i_err(1), 0.5f);
    e.I_outfile.setText("first.ndx");
    e.Index_ID.setText("7");
    EXPECT_EQ(e.curindex, 3);
    EXPECT_EQ(e.Index_ID.text(), "3");
    EXPECT_EQ(e.HScroll3.value(), 3);
    EXPECT_EQ(e.I_err.text(), "0");
    EXPECT_EQ(e.I_outfile.text(), "sample.ndx");
    e.I_err.setText("0.25");
    e.Index_ID.setText("0");
    EXPECT_EQ(e.curindex, 1);
    EXPECT_EQ(e.I_err.text(), "0.5");
    EXPECT_EQ(e.I_outfile.text(), "first.ndx");
    EXPECT_FLOAT_EQ(mc.i_err(3), 0.25f);
    e.HScroll3.setValue(2);
    EXPECT_EQ(e.curindex, 2);
    EXPECT_EQ(e.Index_ID.text(), "2");
    // Fewer indices bring the shown one into range, bar included.
    e.HScroll3.setValue(3);
    e.I_nindices.setText("2");
    EXPECT_EQ(e.curindex, 2);
    EXPECT_EQ(e.HScroll3.value(), 2);
}

TEST_F(IndexEditorTest, YearBarsFollowTheYearOnlyInsideTheRange) {
    cw::Defineindex& e = ed();
    e.I_FYR.setText("2000");
    EXPECT_EQ(mc.yr, 2000);
    e.I_LYR.setText("2010");
    EXPECT_EQ(mc.nyrs, 11);
    e.HScroll2.setValue(2004);
    EXPECT_EQ(mc.yr, 2004);
    EXPECT_EQ(e.I_yr.text(), "2004");
    EXPECT_EQ(e.yr2.text(), "2004");
    EXPECT_EQ(e.HScroll1.value(), 2004);
    e.yr2.setText("2020");
    EXPECT_EQ(mc.yr, 2020);
    EXPECT_EQ(e.I_yr.text(), "2020");
    EXPECT_EQ(e.HScroll1.value(), 2004);
    EXPECT_EQ(e.HScroll2.value(), 2004);
    // A narrower range moves the bars into it without changing the year.
    e.I_LYR.setText("2002");
    EXPECT_EQ(e.HScroll2.value(), 2002);
    EXPECT_EQ(mc.yr, 2020);
}

TEST_F(IndexEditorTest, SexButtonsFollowTheSexesAndTheSexesEqualBox) {
    cw::Defineindex& e = ed();
    e.I_nsexes.setText("2");
    EXPECT_EQ(e.L_sex1.caption(), "Male");
    EXPECT_TRUE(e.L_sex2.enabled());
    EXPECT_TRUE(e.s_sexeq.enabled());
    EXPECT_TRUE(e.Matchother.enabled());
    e.s_sexeq.click();
    EXPECT_TRUE(e.sexeqflag);
    EXPECT_EQ(e.L_sex1.caption(), "UniSex");
    EXPECT_TRUE(e.L_sex1.enabled());
    EXPECT_FALSE(e.L_sex2.enabled());
    EXPECT_FALSE(e.Matchother.enabled());
    EXPECT_TRUE(e.s_sexeq.enabled());
}

TEST_F(IndexEditorTest, TheMinimumVulnerableSizeIsTheIndexsOwn) {
    cw::Defineindex& e = ed();
    mc.f_minvulsiz(1) = 12;
    e.I_nindices.setText("2");
    e.I_Minvulsiz.setText("30");
    EXPECT_FLOAT_EQ(mc.i_minvulsiz(1), 30);
    EXPECT_FLOAT_EQ(mc.f_minvulsiz(1), 12);
    e.Index_ID.setText("2");
    EXPECT_EQ(e.I_Minvulsiz.text(), "0");
    e.Index_ID.setText("1");
    EXPECT_EQ(e.I_Minvulsiz.text(), "30");
}

TEST_F(IndexEditorTest, DimensionsAreSharedWithTheOtherEditors) {
    mc.fyr = 1995;
    mc.lyr = 1999;
    mc.nages = 12;
    cw::Defineindex& e = ed();
    EXPECT_EQ(e.I_FYR.text(), "1995");
    EXPECT_EQ(e.I_Nages.text(), "12");
    EXPECT_EQ(mc.yr, 1995);
    e.I_nszns.setText("4");
    EXPECT_EQ(mc.nszns, 4);
}

TEST_F(IndexEditorTest, TheIndexMenuWaitsWhileAnyWindowIsShownAndThenUnloadsTheEditor) {
    cw::start& s = plat::instance<cw::start>();
    s.show();
    User user;
    user.act([&s] {
        ASSERT_TRUE(plat::isLoaded<cw::Defineindex>());
        EXPECT_TRUE(plat::instance<cw::Defineindex>().visible());
        s.closeBox();
    });
    user.act([] { plat::instance<cw::Defineindex>().hide(); });
    s.indxmenu.click();
    EXPECT_TRUE(user.finished());
    EXPECT_FALSE(plat::isLoaded<cw::Defineindex>());
}

TEST_F(IndexEditorTest, ACommandLineFileIsLoadedAndNamesTheWindow) {
    writeFile(path("survey.ndf"), "1\r\n2000\r\n2001\r\n1\r\n1\r\n1\r\n"
                                  "3\r\n .5 \r\nbt.ndx\r\nN\r\n 0 \r\n 0 \r\n 0 \r\n 0 \r\n"
                                  " 25 \r\n 0 \r\n 2000 \r\n .4 \r\n 2001 \r\n .6 \r\n");
    mc.startfile = "survey.ndf";
    cw::Defineindex& e = ed();
    EXPECT_EQ(mc.ndffile, path("survey.ndf"));
    EXPECT_EQ(e.caption(), path("survey.ndf"));
    EXPECT_EQ(e.I_assoc.text(), "3");
    EXPECT_EQ(e.I_type.text(), "N");
    EXPECT_EQ(e.I_outfile.text(), "bt.ndx");
    EXPECT_EQ(e.A_sampsize.text(), "25");
    EXPECT_FLOAT_EQ(mc.i_q(1, 2), 0.6f);
    EXPECT_EQ(mc.yr, 2000);
}

TEST_F(IndexEditorTest, TheProgramOpensANamedIndexFileAndEndsWhenTheEditorIsClosed) {
    writeFile(path("survey.ndf"), "1\r\n2000\r\n2001\r\n1\r\n1\r\n1\r\n"
                                  "3\r\n .5 \r\nbt.ndx\r\nN\r\n 0 \r\n 0 \r\n 0 \r\n 0 \r\n"
                                  " 25 \r\n 0 \r\n 2000 \r\n .4 \r\n 2001 \r\n .6 \r\n");
    plat::setCommandLine(std::string("\"C:\\Data Files\\Survey.NDF\""));
    User user;
    user.act([this] {
        ASSERT_TRUE(plat::isLoaded<cw::Defineindex>());
        cw::Defineindex& e = plat::instance<cw::Defineindex>();
        EXPECT_TRUE(e.visible());
        EXPECT_EQ(e.caption(), path("survey.ndf"));
        EXPECT_EQ(e.I_outfile.text(), "bt.ndx");
        EXPECT_FALSE(plat::instance<cw::start>().visible());
        e.closeBox();
    });
    EXPECT_EQ(cw::Main(), 0);
    EXPECT_TRUE(user.finished());
    EXPECT_TRUE(plat::loadedForms().empty());
}

TEST_F(IndexEditorTest, AnUnreadableCommandLineFileIsReported) {
    mc.startfile = "gone.ndf";
    User user;
    user.custom([](const plat::testing::PromptRecord& r) {
        EXPECT_EQ(r.kind, plat::testing::PromptRecord::Kind::Message);
        EXPECT_NE(r.text.find("gone.ndf"), std::string::npos) << r.text;
        return std::string("OK");
    });
    cw::Defineindex& e = ed();
    EXPECT_TRUE(user.finished());
    EXPECT_EQ(mc.ndffile, "");
    EXPECT_EQ(e.caption(), "Index Data");
}

} // namespace
