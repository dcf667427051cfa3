// The fishery editor's boxes, clamps and refresh: what a new window shows, the selectivity type
// and its settings, navigation by fishery and year, the sex controls and the scalars.
#include "fishery_test_support.h"

#include "control_window/windows/editors/definebio.h"

namespace {

using cw::mc;
using fisherytest::FisheryTest;

class FisheryEditorTest : public FisheryTest {};

TEST_F(FisheryEditorTest, ANewWindowShowsFishery1WithNoTypeAnd50Bins) {
    cw::DefineFishery& e = editor();
    EXPECT_EQ(e.caption(), "Fishery Data");
    EXPECT_EQ(e.F_ngear.text(), "0");
    EXPECT_EQ(e.Fishery_ID.text(), "1");
    EXPECT_EQ(mc.fishery_id, 1);
    EXPECT_EQ(e.F_nlng.text(), "50");
    EXPECT_EQ(mc.f_nlng(1), 50);
    EXPECT_EQ(e.F_Fscaler.text(), "1.0");
    EXPECT_TRUE(mc.f_fscaler.isEmpty()) << "showing the scaler stores nothing";
    EXPECT_EQ(e.F_seltyp.text(), " ");
    EXPECT_FALSE(e.F_Minvulsiz.visible());
    EXPECT_FALSE(e.minvul_label.visible());
    EXPECT_FALSE(e.Frame4.visible());
    EXPECT_FALSE(e.ProgressBar1.visible());
    EXPECT_EQ(mc.nsexes, 1);
    EXPECT_EQ(e.F_nsexes.text(), "1");
    EXPECT_EQ(e.L_sex1.caption(), "UniSex");
    EXPECT_EQ(e.F_minlng.text(), "") << "a lower length never entered shows an empty box";
    EXPECT_EQ(e.Txt_fcv.text(), "0");
}

TEST_F(FisheryEditorTest, TheTypeLetterChoosesTheSettingsShown) {
    cw::DefineFishery& e = editor();
    e.F_seltyp.setText("a");
    EXPECT_EQ(e.F_seltyp.text(), "A");
    EXPECT_EQ(mc.f_seltyp(1), "A");
    EXPECT_TRUE(e.F_Minvulsiz.visible());
    EXPECT_TRUE(e.minvul_label.visible());
    EXPECT_FALSE(e.Frame4.visible());
    e.F_seltyp.setText("l");
    EXPECT_EQ(mc.f_seltyp(1), "L");
    EXPECT_TRUE(e.Frame4.visible());
    EXPECT_FALSE(e.F_Minvulsiz.visible());
    EXPECT_EQ(e.F_nlng.text(), "50");
    e.F_seltyp.setText("x");
    EXPECT_EQ(mc.f_seltyp(1), " ");
    EXPECT_EQ(e.F_seltyp.text(), "X") << "the box keeps the letter until the next refresh";
    e.update();
    EXPECT_EQ(e.F_seltyp.text(), " ");
    EXPECT_FALSE(e.Frame4.visible());
    EXPECT_FALSE(e.F_Minvulsiz.visible());
}

TEST_F(FisheryEditorTest, BoxesAreClampedOrRefusedAsTyped) {
    struct Case {
        plat::TextBox cw::DefineFishery::*box;
        const char* typed;
        std::function<double()> stored;
        double want;
        const char* shown;
        const char* left = nullptr; // shown once the box is left, when not `shown`
    };
    const auto bins = [] { return double(mc.f_nlng(mc.fishery_id)); };
    const auto gears = [] { return double(mc.ngear); };
    const Case cases[] = {
        {&cw::DefineFishery::F_nlng, "0", bins, 50, "50"},
        {&cw::DefineFishery::F_nlng, "120", bins, 50, "50"},
        {&cw::DefineFishery::F_nlng, "100", bins, 100, "100"},
        // A number being typed stays as long as it reads as the value stored.
        {&cw::DefineFishery::F_nlng, "5.", bins, 5, "5."},
        {&cw::DefineFishery::F_nlng, "12.5", bins, 12, "12"},
        {&cw::DefineFishery::F_nlng, "-4", bins, 50, "50"},
        {&cw::DefineFishery::F_ngear, "15", gears, 10, "10"},
        {&cw::DefineFishery::F_ngear, "-1", gears, 3, "3"},
        {&cw::DefineFishery::F_ngear, "40000", gears, 3, "3"},
        {&cw::DefineFishery::F_Nages, "150", [] { return double(mc.nages); }, 100, "100"},
        {&cw::DefineFishery::F_Nages, "-2", [] { return double(mc.nages); }, 5, "5"},
        {&cw::DefineFishery::F_nszns, "20", [] { return double(mc.nszns); }, 12, "12"},
        {&cw::DefineFishery::F_nsexes, "3", [] { return double(mc.nsexes); }, 2, "2"},
        {&cw::DefineFishery::F_nsexes, "0", [] { return double(mc.nsexes); }, 1, "1"},
        {&cw::DefineFishery::Fishery_ID, "7", [] { return double(mc.fishery_id); }, 3, "3"},
        {&cw::DefineFishery::Fishery_ID, "0", [] { return double(mc.fishery_id); }, 1, "1"},
        {&cw::DefineFishery::F_mxlng, "0.50", [] { return double(mc.f_mxlng(1)); }, 0.5, "0.50"},
        {&cw::DefineFishery::F_minlng, "20abc", [] { return mc.f_minlng(1).number(); }, 20, "20abc",
         "20"},
        {&cw::DefineFishery::F_FYR, "99999", [] { return double(mc.fyr); }, 2001, "2001"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string((editor().*c.box).name()) + " typed " + c.typed);
        plat::unloadAll();
        cw::resetMaincode();
        mc.fyr = 2001;
        mc.lyr = 2005;
        mc.ngear = 3;
        mc.nages = 5;
        mc.nszns = 4;
        cw::DefineFishery& e = editor();
        (e.*c.box).setText(c.typed);
        EXPECT_EQ(c.stored(), c.want);
        EXPECT_EQ((e.*c.box).text(), c.shown);
        plat::showStoredValues();
        EXPECT_EQ((e.*c.box).text(), c.left ? c.left : c.shown);
        EXPECT_EQ(c.stored(), c.want);
    }
}

TEST_F(FisheryEditorTest, TheDimensionsAreSharedWithTheBiologyEditor) {
    cw::DefineFishery& e = editor();
    e.F_nsexes.setText("2");
    e.F_nszns.setText("4");
    cw::DefineBio& b = plat::instance<cw::DefineBio>();
    EXPECT_EQ(b.nsexes.text(), "2");
    EXPECT_EQ(b.nszns.text(), "4");
}

TEST_F(FisheryEditorTest, TheSexControlsFollowTheSexesAndSexesEqual) {
    cw::DefineFishery& e = editor();
    EXPECT_EQ(e.L_sex1.caption(), "UniSex");
    EXPECT_TRUE(e.L_sex1.enabled());
    EXPECT_FALSE(e.L_sex2.enabled());
    EXPECT_FALSE(e.s_sexeq.enabled());
    EXPECT_FALSE(e.Matchother.enabled());
    e.F_nsexes.setText("2");
    EXPECT_EQ(e.L_sex1.caption(), "Male");
    EXPECT_TRUE(e.L_sex2.enabled());
    EXPECT_TRUE(e.s_sexeq.enabled());
    EXPECT_TRUE(e.Matchother.enabled());
    e.s_sexeq.click();
    EXPECT_TRUE(e.sexeqflag);
    EXPECT_EQ(e.L_sex1.caption(), "UniSex");
    EXPECT_FALSE(e.L_sex2.enabled());
    EXPECT_FALSE(e.Matchother.enabled());
    EXPECT_TRUE(e.s_sexeq.enabled()) << "so that it can be unticked";
    e.s_sexeq.click();
    EXPECT_EQ(e.L_sex1.caption(), "Male");
    EXPECT_TRUE(e.L_sex2.enabled());
}

TEST_F(FisheryEditorTest, YearsMoveTogetherAndAYearOutsideKeepsTheBars) {
    cw::DefineFishery& e = editor();
    e.F_FYR.setText("2001");
    EXPECT_EQ(mc.yr, 2001) << "the first year becomes the current one";
    e.F_LYR.setText("2010");
    EXPECT_EQ(mc.nyrs, 10);
    EXPECT_EQ(e.HScroll2.min(), 2001);
    EXPECT_EQ(e.HScroll2.max(), 2010);
    e.HScroll2.setValue(2004);
    EXPECT_EQ(mc.yr, 2004);
    EXPECT_EQ(e.F_yr.text(), "2004");
    EXPECT_EQ(e.yr2.text(), "2004");
    EXPECT_EQ(e.HScroll1.value(), 2004);
    e.F_yr.setText("2030");
    EXPECT_EQ(e.yr2.text(), "2030");
    EXPECT_EQ(e.HScroll1.value(), 2004);
    EXPECT_EQ(e.HScroll2.value(), 2004);
    // A range that no longer holds the bars' position moves them, but not the year.
    e.F_yr.setText("2008");
    e.F_LYR.setText("2006");
    EXPECT_EQ(e.HScroll2.value(), 2006);
    EXPECT_EQ(mc.yr, 2008);
    e.F_LYR.setText("2001");
    EXPECT_EQ(mc.nyrs, 1);
    e.testrange();
    EXPECT_FALSE(e.rangeok) << "a range of one year is refused";
    e.F_LYR.setText("2000");
    EXPECT_EQ(mc.nyrs, 0);
    e.testrange();
    EXPECT_FALSE(e.rangeok) << "a range of no years is refused too";
}

TEST_F(FisheryEditorTest, TheFisheryBarShowsTheFisheryShown) {
    mc.ngear = 4;
    mc.f_seltyp(3) = "L";
    mc.f_nlng(3) = 8;
    cw::DefineFishery& e = editor();
    EXPECT_EQ(e.HScroll3.max(), 4);
    e.Fishery_ID.setText("3");
    EXPECT_EQ(e.HScroll3.value(), 3);
    EXPECT_EQ(e.F_seltyp.text(), "L");
    EXPECT_EQ(e.F_nlng.text(), "8");
    e.HScroll3.setValue(4);
    EXPECT_EQ(mc.fishery_id, 4);
    EXPECT_EQ(e.Fishery_ID.text(), "4");
    e.F_ngear.setText("2");
    EXPECT_EQ(mc.fishery_id, 2);
}

TEST_F(FisheryEditorTest, TheRandomizationScalarIsReadStrictlyWithoutARefresh) {
    cw::DefineFishery& e = editor();
    e.Txt_fcv.setText("0.25");
    EXPECT_EQ(mc.fcv, 0.25f);
    e.Txt_fcv.setText("0.250");
    EXPECT_EQ(e.Txt_fcv.text(), "0.250") << "no refresh rewrites the box";
    e.Txt_fcv.setText("");
    EXPECT_EQ(mc.fcv, 0.25f) << "an empty box keeps the scalar";
    e.Txt_fcv.setText("abc");
    EXPECT_EQ(mc.fcv, 0.25f);
    e.update();
    EXPECT_EQ(e.Txt_fcv.text(), "0.25");
}

TEST_F(FisheryEditorTest, ChangingTheScalerClearsExecute) {
    cw::DefineFishery& e = editor();
    e.Option4.setValue(true);
    ASSERT_TRUE(e.Option4.value());
    e.F_Fscaler.setText("0.5");
    EXPECT_FALSE(e.Option4.value());
    EXPECT_EQ(mc.f_fscaler.number(), 0.5);
    EXPECT_EQ(e.F_Fscaler.text(), "0.5");
}

} // namespace
