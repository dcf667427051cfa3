// The recruitment editor: its boxes, the year-range check, and the two series edits by year.
#include "yoy_support.h"

#include "control_window/files/yoyfile.h"
#include "control_window/windows/editors/defineyoy.h"
#include "control_window/windows/main/start.h"
#include "cw_fixture.h"

namespace {

using cw::mc;
using plat::MsgAnswer;
using yoytest::dragTo;
using yoytest::User;

class YoyEditorTest : public cwtest::CwTest {
  protected:
    cw::DefineYOY& yoy() { return plat::instance<cw::DefineYOY>(); }
    // A window with the years and (when not empty) the mean typed in.
    cw::DefineYOY& typed(const char* first, const char* last, const char* mean = "") {
        cw::DefineYOY& w = yoy();
        w.i_byr.setText(first);
        w.i_eyr.setText(last);
        if (*mean) w.i_myoy.setText(mean);
        return w;
    }
};

TEST_F(YoyEditorTest, TheMenuEntryOpensAFreshWindow) {
    plat::instance<cw::start>().yoymu.click();
    ASSERT_TRUE(plat::isLoaded<cw::DefineYOY>());
    cw::DefineYOY& w = yoy();
    EXPECT_TRUE(w.visible());
    EXPECT_EQ(w.caption(), "Set Recruitment");
    EXPECT_EQ(w.i_byr.text(), "0");
    EXPECT_EQ(w.i_eyr.text(), "0");
    EXPECT_EQ(w.i_myoy.text(), "");
    EXPECT_TRUE(mc.myoy.isEmpty());
    EXPECT_EQ(w.c_vg.value(), 0);
    EXPECT_EQ(w.c_setgto1.caption(), "Check2");
}

TEST_F(YoyEditorTest, BoxesStoreWithoutRefreshing) {
    cw::DefineYOY& w = typed("1990.5", "2001.5", "0.50");
    EXPECT_EQ(w.byr, 1990); // halves to even
    EXPECT_EQ(w.eyr, 2002);
    EXPECT_EQ(w.i_byr.text(), "1990.5");
    EXPECT_DOUBLE_EQ(mc.myoy.number(), 0.5);
    EXPECT_EQ(w.i_myoy.text(), "0.50");
    w.i_myoy.setText("abc");
    EXPECT_DOUBLE_EQ(mc.myoy.number(), 0);
    w.c_vg.click();
    EXPECT_EQ(mc.vgflag, 1);
    w.c_vg.click();
    EXPECT_EQ(mc.vgflag, 0);
}

TEST_F(YoyEditorTest, AYearBeyondTheSixteenBitRangeIsRefused) {
    cw::DefineYOY& w = typed("1991", "2000");
    w.i_eyr.setText("99999");
    EXPECT_EQ(w.eyr, 2000);
    plat::testing::ScriptedUser user;
    cwtest::messageWith(user, {"99999", "out of range"});
    plat::showStoredValues();
    EXPECT_TRUE(user.finished());
    EXPECT_EQ(w.eyr, 2000);
    EXPECT_EQ(w.i_eyr.text(), "2000");
}

TEST_F(YoyEditorTest, OneYearOrMoreThan250AreOutOfRangeEverywhere) {
    const std::pair<const char*, const char*> ranges[] = {{"1990", "1990"}, {"1750", "2000"}};
    for (const auto& [first, last] : ranges) {
        SCOPED_TRACE(std::string(first) + ".." + last);
        plat::unloadAll();
        cw::resetMaincode();
        cw::DefineYOY& w = typed(first, last);
        mc.yoygro(1) = 7;
        User user;
        for (int k = 0; k < 4; ++k)
            user.message("Years are out of range");
        w.saveyoy.click();
        w.I_yoy.click();
        w.I_growth.click();
        w.c_setgto1.click();
        EXPECT_TRUE(user.finished());
        EXPECT_EQ(mc.yoygro(1), 7);
        EXPECT_EQ(mc.npts, cw::yearCount(w.byr, w.eyr));
        EXPECT_FALSE(plat::isLoaded<cw::frmPlot>());
    }
    // 250 years are in range.
    cw::DefineYOY& w = typed("1751", "2000");
    w.c_setgto1.click();
    EXPECT_EQ(mc.yoygro(250), 1);
}

TEST_F(YoyEditorTest, ResetGrowthActsOnEveryClick) {
    cw::DefineYOY& w = typed("1991", "1993");
    mc.yoygro(1) = 2;
    mc.yoygro(3) = 3;
    mc.yoygro(4) = 4;
    w.c_setgto1.click();
    EXPECT_EQ(mc.yoygro(1), 1);
    EXPECT_EQ(mc.yoygro(3), 1);
    EXPECT_EQ(mc.yoygro(4), 4); // beyond the years
    mc.yoygro(2) = 5;
    w.c_setgto1.click(); // the box is cleared by this click, and still resets
    EXPECT_EQ(w.c_setgto1.value(), 0);
    EXPECT_EQ(mc.yoygro(2), 1);
}

TEST_F(YoyEditorTest, RecruitmentOnTheGraphProposesTwiceTheMean) {
    cw::DefineYOY& w = typed("1991", "2000", "500");
    User user;
    user.message("Set to Mean", MsgAnswer::No)
        .input("Scale of Y for input", "1200")
        .act([] {
            EXPECT_EQ(mc.xmin, 1991);
            EXPECT_EQ(mc.xmax, 2000);
            EXPECT_EQ(mc.ymin, 0);
            EXPECT_EQ(mc.ymax, 1200);
            EXPECT_EQ(mc.npts, 10);
            EXPECT_EQ(mc.xplot(1), 1991);
            EXPECT_EQ(mc.xplot(10), 2000);
            EXPECT_EQ(mc.ytitle, "Recruitment");
            EXPECT_EQ(mc.xtitle, "Year");
        })
        .act(dragTo({100, 200, 300, 400, 500, 600, 700, 800, 900, 1000}));
    w.I_yoy.click();
    EXPECT_TRUE(user.finished());
    EXPECT_EQ(user.proposals, std::vector<std::string>{"1000"});
    EXPECT_EQ(user.titles, std::vector<std::string>{"Recruitment"});
    EXPECT_EQ(mc.yoyrec(1), 100);
    EXPECT_EQ(mc.yoyrec(10), 1000);
    EXPECT_EQ(mc.yoyrec(11), 0);
    EXPECT_DOUBLE_EQ(mc.myoy.number(), 500);
}

TEST_F(YoyEditorTest, AScaleThatIsNotAPositiveNumberEndsTheEditUnchanged) {
    // No mean, a zero mean and a negative one all propose 0.
    for (const char* mean : {"", "0", "-5"}) {
        for (const char* answer : {"", "0", "-3", "abc"}) {
            SCOPED_TRACE(std::string("mean '") + mean + "', answer '" + answer + "'");
            plat::unloadAll();
            cw::resetMaincode();
            cw::DefineYOY& w = typed("1991", "1995", mean);
            mc.yoyrec(2) = 42;
            User user;
            user.message("Set to Mean", MsgAnswer::No).input("Scale of Y for input", answer);
            w.I_yoy.click();
            EXPECT_TRUE(user.finished());
            EXPECT_EQ(user.proposals, std::vector<std::string>{"0"});
            EXPECT_EQ(mc.yoyrec(2), 42);
            EXPECT_FALSE(plat::isLoaded<cw::frmPlot>());
        }
    }
}

TEST_F(YoyEditorTest, SetToMeanSetsTheMeanAndEveryYear) {
    cw::DefineYOY& w = typed("1991", "1994", "0.5");
    mc.yoyrec(5) = 9;
    {
        User user;
        user.message("Set to Mean", MsgAnswer::Yes).input("Mean rate", "0");
        w.I_yoy.click();
        EXPECT_TRUE(user.finished());
        EXPECT_EQ(user.proposals, std::vector<std::string>{"0.5"});
        EXPECT_EQ(user.titles, std::vector<std::string>{"Recruitment "});
    }
    for (int k = 1; k <= 4; ++k)
        EXPECT_EQ(mc.yoyrec(k), 0);
    EXPECT_EQ(mc.yoyrec(5), 9);
    EXPECT_DOUBLE_EQ(mc.myoy.number(), 0);
    EXPECT_EQ(w.i_myoy.text(), "0");

    // Cancel, an empty answer and one that is not a number change nothing.
    mc.yoyrec(1) = 3;
    User user;
    user.message("Set to Mean", MsgAnswer::Cancel)
        .message("Set to Mean", MsgAnswer::Yes)
        .input("Mean rate", "")
        .message("Set to Mean", MsgAnswer::Yes)
        .input("Mean rate", "lots");
    w.I_yoy.click();
    w.I_yoy.click();
    w.I_yoy.click();
    EXPECT_TRUE(user.finished());
    EXPECT_EQ(mc.yoyrec(1), 3);
    EXPECT_DOUBLE_EQ(mc.myoy.number(), 0);

    // The mean keeps the answer as typed, not its single-precision neighbour.
    User again;
    again.message("Set to Mean", MsgAnswer::Yes).input("Mean rate", "0.1");
    w.I_yoy.click();
    EXPECT_TRUE(again.finished());
    EXPECT_EQ(mc.myoy.number(), 0.1);
    EXPECT_EQ(w.i_myoy.text(), "0.1");
    EXPECT_EQ(mc.yoyrec(4), 0.1f);
}

TEST_F(YoyEditorTest, GrowthMultipliersLeaveTheMeanAlone) {
    cw::DefineYOY& w = typed("1991", "1993", "200");
    {
        User user;
        user.message("Set to constant", MsgAnswer::Yes).input("Mean rate", "1.5");
        w.I_growth.click();
        EXPECT_TRUE(user.finished());
        EXPECT_EQ(user.proposals, std::vector<std::string>{"1"});
        EXPECT_EQ(user.titles, std::vector<std::string>{"Recruitment "});
    }
    EXPECT_EQ(mc.yoygro(1), 1.5f);
    EXPECT_EQ(mc.yoygro(3), 1.5f);
    EXPECT_DOUBLE_EQ(mc.myoy.number(), 200);

    User user;
    user.message("Set to constant", MsgAnswer::No)
        .input("Scale of Y for input", "3")
        .act([] {
            EXPECT_EQ(mc.ymax, 3);
            EXPECT_EQ(mc.yplot(2), 1.5f);
            EXPECT_EQ(mc.ytitle, "Recruitment");
        })
        .act(dragTo({0.5f, 1, 2}));
    w.I_growth.click();
    EXPECT_TRUE(user.finished());
    EXPECT_EQ(user.proposals, std::vector<std::string>{"2"});
    EXPECT_EQ(user.titles, std::vector<std::string>{"Year-class growth multiplier"});
    EXPECT_EQ(mc.yoygro(1), 0.5f);
    EXPECT_EQ(mc.yoygro(3), 2);
    EXPECT_EQ(mc.yoyrec(1), 0);
}

TEST_F(YoyEditorTest, ALastYearBeforeTheFirstGivesNoGraph) {
    cw::DefineYOY& w = typed("2000", "1990");
    User user;
    user.message("Years are out of range").message("Years are out of range");
    w.I_yoy.click();
    w.I_growth.click();
    EXPECT_TRUE(user.finished());
    EXPECT_EQ(mc.npts, -9);
    // The reset passes the range check and has no year to reset.
    w.c_setgto1.click();
}

TEST_F(YoyEditorTest, ASecondEditWhileTheGraphIsUpOnlyBringsItForward) {
    cw::DefineYOY& w = typed("1991", "1992");
    User user;
    user.message("Set to Mean", MsgAnswer::No)
        .input("Scale of Y for input", "10")
        .act([&w] {
            w.I_growth.click(); // no question: the graph is in use
            EXPECT_EQ(mc.ytitle, "Recruitment");
        })
        .act(dragTo({4, 5}));
    w.I_yoy.click();
    EXPECT_TRUE(user.finished());
    EXPECT_EQ(mc.yoyrec(2), 5);
}

} // namespace
