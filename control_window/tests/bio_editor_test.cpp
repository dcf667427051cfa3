// The biology editor's boxes, clamps and refresh, natural mortality, and its sub-window buttons.
#include "bio_test_support.h"

#include <gmock/gmock.h>

#include "control_window/windows/editors/definebio.h"
#include "control_window/windows/editors/fecfrm.h"
#include "control_window/windows/editors/growthfrm.h"
#include "control_window/windows/editors/lngfrm.h"

namespace {

using biotest::BioTest;
using biotest::closeWindow;
using biotest::dragTo;
using biotest::User;
using cw::mc;
using plat::MsgAnswer;

class BioEditorTest : public BioTest {
  protected:
    cw::DefineBio& bio() { return plat::instance<cw::DefineBio>(); }
};

TEST_F(BioEditorTest, AFreshWindowShowsTheDefaults) {
    cw::DefineBio& b = bio();
    EXPECT_EQ(b.caption(), "Biological Data");
    EXPECT_EQ(b.nages.text(), "25");
    EXPECT_EQ(mc.nages, 25);
    EXPECT_EQ(b.IRecruitCV.text(), "0");
    for (plat::TextBox* box : {&b.Nspecies, &b.nsexes, &b.nszns, &b.Ispszn, &b.IRecruitszn,
                               &b.ISRoption, &b.ISRslope, &b.ITEZrecruitment}) {
        EXPECT_EQ(box->text(), "") << box->name();
    }
    EXPECT_EQ(mc.nsexes, 0);
    EXPECT_EQ(mc.nszns, 0);
    EXPECT_EQ(b.M_sex_1.caption(), "Male");
    EXPECT_TRUE(b.M_sex_2.enabled());
    EXPECT_FALSE(plat::isLoaded<cw::Growthfrm>());
}

TEST_F(BioEditorTest, CountsAreClampedOrRefusedAsTyped) {
    struct Case {
        plat::TextBox cw::DefineBio::*box;
        const char* typed;
        int16_t cw::Maincode::*var;
        int16_t stored;
        const char* shown;
        // Beyond the 16-bit range: the text stays until the box is left, which puts the value
        // back with a message.
        bool refused = false;
    };
    const Case cases[] = {
        {&cw::DefineBio::nages, "150", &cw::Maincode::nages, 100, "100"},
        {&cw::DefineBio::nages, "", &cw::Maincode::nages, 25, "25"},
        {&cw::DefineBio::nages, "12.5", &cw::Maincode::nages, 12, "12"},
        {&cw::DefineBio::nages, "-5", &cw::Maincode::nages, 25, "25"},
        {&cw::DefineBio::nages, "40000", &cw::Maincode::nages, 25, "25", true},
        {&cw::DefineBio::nsexes, "3", &cw::Maincode::nsexes, 2, "2"},
        {&cw::DefineBio::nsexes, "0", &cw::Maincode::nsexes, 1, "1"},
        {&cw::DefineBio::nsexes, "99999", &cw::Maincode::nsexes, 1, "1", true},
        {&cw::DefineBio::nszns, "13", &cw::Maincode::nszns, 12, "12"},
        {&cw::DefineBio::nszns, "-2", &cw::Maincode::nszns, 1, "1"},
        {&cw::DefineBio::ISRoption, "7", &cw::Maincode::isroption, 4, "4"},
        {&cw::DefineBio::ISRoption, "0", &cw::Maincode::isroption, 1, "1"},
        {&cw::DefineBio::ISRoption, "2x", &cw::Maincode::isroption, 2, "2x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string((bio().*c.box).name()) + " typed " + c.typed);
        plat::unloadAll();
        cw::resetMaincode();
        cw::DefineBio& b = bio();
        (b.*c.box).setText(c.typed);
        if (c.refused) {
            EXPECT_EQ((b.*c.box).text(), c.typed);
            plat::testing::ScriptedUser user;
            cwtest::messageWith(user, {c.typed, "out of range"});
            plat::showStoredValues();
            EXPECT_TRUE(user.finished());
        }
        EXPECT_EQ(mc.*c.var, c.stored);
        EXPECT_EQ((b.*c.box).text(), c.shown);
    }
}

TEST_F(BioEditorTest, OneSexMakesTheFirstButtonUnisexAndDisablesTheSecond) {
    cw::DefineBio& b = bio();
    b.nsexes.setText("1");
    EXPECT_EQ(b.M_sex_1.caption(), "Unisex");
    EXPECT_FALSE(b.M_sex_2.enabled());
    b.nsexes.setText("2");
    EXPECT_EQ(b.M_sex_1.caption(), "Male");
    EXPECT_TRUE(b.M_sex_2.enabled());
}

TEST_F(BioEditorTest, SeasonClampsFollowTheNumberOfSeasons) {
    cw::DefineBio& b = bio();
    b.nszns.setText("4");
    b.Ispszn.setText("6");
    EXPECT_EQ(mc.ispszn, 1);
    EXPECT_EQ(b.Ispszn.text(), "1");
    // An accepted spawning season does not refresh the window.
    mc.nspecies = "changed behind the window";
    b.Ispszn.setText("3");
    EXPECT_EQ(mc.ispszn, 3);
    EXPECT_EQ(b.Nspecies.text(), "");
    b.IRecruitszn.setText("2");
    EXPECT_EQ(mc.irecruitszn, 3);
    EXPECT_EQ(b.IRecruitszn.text(), "3");
    b.IRecruitszn.setText("9");
    EXPECT_EQ(mc.irecruitszn, 4);
    EXPECT_EQ(b.IRecruitszn.text(), "4");
}

TEST_F(BioEditorTest, ASpawningSeasonAboveTheSeasonsNeverLoopsTheRefresh) {
    // Typed first on a fresh window, with no seasons yet.
    {
        cw::DefineBio& b = bio();
        b.Ispszn.setText("3");
        b.IRecruitszn.setText("1");
        EXPECT_EQ(mc.ispszn, 1);
        EXPECT_EQ(mc.irecruitszn, 1);
        EXPECT_EQ(b.IRecruitszn.text(), "1");
    }
    // After the seasons were lowered below the spawning season.
    plat::unloadAll();
    cw::resetMaincode();
    cw::DefineBio& b = bio();
    b.nszns.setText("12");
    b.Ispszn.setText("6");
    b.IRecruitszn.setText("8");
    b.nszns.setText("4");
    b.IRecruitszn.setText("5");
    EXPECT_EQ(mc.irecruitszn, 6);
    EXPECT_EQ(b.IRecruitszn.text(), "6");
    // A loaded state of the same kind settles at the next refresh as well.
    mc.irecruitszn = 2;
    b.update();
    EXPECT_EQ(mc.irecruitszn, 6);
}

TEST_F(BioEditorTest, AnEqualNumberKeepsTheTypedText) {
    cw::DefineBio& b = bio();
    b.ITEZrecruitment.setText("0.50");
    b.IRecruitCV.setText("0.30");
    b.ISRslope.setText("2.0");
    b.nsexes.setText("2");
    EXPECT_EQ(mc.itezrecruitment, 0.5);
    EXPECT_EQ(b.ITEZrecruitment.text(), "0.50");
    EXPECT_EQ(b.IRecruitCV.text(), "0.30");
    EXPECT_EQ(b.ISRslope.text(), "2.0");
    // A value changed behind the window is shown in its ordinary text form.
    mc.irecruitcv = 0.25;
    b.update();
    EXPECT_EQ(b.IRecruitCV.text(), "0.25");
}

TEST_F(BioEditorTest, SetToMeanWithOneSexFillsEveryAge) {
    cw::DefineBio& b = bio();
    b.nages.setText("5");
    b.nsexes.setText("1");
    mc.natmort(6, 1) = 0.9f;
    User user;
    user.message("Set to Mean", MsgAnswer::Yes).input("Mean rate", "0.2");
    b.M_sex_1.click();
    ASSERT_EQ(user.seen().size(), 2u);
    EXPECT_EQ(user.seen()[0].title, std::optional<std::string>("UniSex"));
    EXPECT_EQ(user.seen()[1].title, std::optional<std::string>("Natural Mortality UniSex"));
    EXPECT_EQ(user.proposals[0], "0.15");
    for (int a = 0; a <= 5; ++a)
        EXPECT_EQ(mc.natmort(a, 1), 0.2f) << a;
    EXPECT_EQ(mc.natmort(6, 1), 0.9f);
    EXPECT_EQ(mc.isex, 1);
}

TEST_F(BioEditorTest, UnusableAnswersLeaveMortalityUnchanged) {
    cw::DefineBio& b = bio();
    b.nages.setText("3");
    b.nsexes.setText("2");
    struct Case {
        MsgAnswer question;
        const char* prompt;
        const char* answer;
    };
    const Case cases[] = {
        {MsgAnswer::Yes, "Mean rate", ""},
        {MsgAnswer::Yes, "Mean rate", "abc"},
        {MsgAnswer::No, "Scale of Y for input", ""},
        {MsgAnswer::No, "Scale of Y for input", "0"},
        {MsgAnswer::No, "Scale of Y for input", "-1"},
        {MsgAnswer::No, "Scale of Y for input", "one"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.prompt) + " answered '" + c.answer + "'");
        User user;
        user.message("Set to Mean", c.question).input(c.prompt, c.answer);
        b.M_sex_1.click();
        for (int a = 0; a <= 3; ++a)
            EXPECT_EQ(mc.natmort(a, 1), 0.0f);
        EXPECT_FALSE(plat::isLoaded<cw::frmPlot>());
    }
    User user;
    user.message("Set to Mean", MsgAnswer::Cancel);
    b.M_sex_1.click();
}

TEST_F(BioEditorTest, MortalityIsDraggedOnTheGraph) {
    cw::DefineBio& b = bio();
    b.nages.setText("3");
    b.nsexes.setText("2");
    mc.natmort(0, 2) = 0.4f;
    User user;
    user.message("Make same as males", MsgAnswer::No)
        .message("Set to Mean", MsgAnswer::No)
        .input("Scale of Y for input", "1")
        .act([] {
            EXPECT_EQ(mc.npts, 4);
            EXPECT_EQ(mc.xmax, 3);
            EXPECT_EQ(mc.ymax, 1);
            EXPECT_EQ(mc.ytitle, "Natural Mortality (M)");
            EXPECT_EQ(mc.xtitle, "Age");
            EXPECT_EQ(mc.yplot(1), 0.4f);
        })
        .act(dragTo({0.5f, 0.3f, 0.2f, 0.1f}));
    b.M_sex_2.click();
    EXPECT_EQ(user.seen()[1].title, std::optional<std::string>("Female"));
    EXPECT_EQ(user.proposals[0], "0.6");
    EXPECT_EQ(mc.natmort(0, 2), 0.5f);
    EXPECT_EQ(mc.natmort(3, 2), 0.1f);
    EXPECT_EQ(mc.natmort(0, 1), 0.0f);
    EXPECT_EQ(mc.isex, 2);
    // With no mortality yet the scale proposes 0.5.
    User again;
    again.message("Set to Mean", MsgAnswer::No).input("Scale of Y for input", "");
    b.M_sex_1.click();
    EXPECT_EQ(again.proposals[0], "0.5");
}

TEST_F(BioEditorTest, MakeSameAsMalesCopiesTheAgesInUseOnly) {
    cw::DefineBio& b = bio();
    b.nages.setText("3");
    b.nsexes.setText("2");
    for (int a = 0; a <= 3; ++a)
        mc.natmort(a, 1) = 0.3f;
    mc.natmort(4, 1) = 0.3f;
    mc.natmort(4, 2) = 0.9f;
    User user;
    user.message("Make same as males", MsgAnswer::Yes);
    b.M_sex_2.click();
    EXPECT_EQ(user.seen()[0].title, std::optional<std::string>(""));
    for (int a = 0; a <= 3; ++a)
        EXPECT_EQ(mc.natmort(a, 2), 0.3f);
    EXPECT_EQ(mc.natmort(4, 2), 0.9f);
    EXPECT_EQ(mc.isex, 2);
    user.message("Make same as males", MsgAnswer::Cancel);
    mc.natmort(0, 1) = 0.7f;
    b.M_sex_2.click();
    EXPECT_EQ(mc.natmort(0, 2), 0.3f);
}

TEST_F(BioEditorTest, TheSubWindowButtonsWaitAndThenRefresh) {
    cw::DefineBio& b = bio();
    User user;
    user.act([] {
        cw::Growthfrm& g = plat::instance<cw::Growthfrm>();
        EXPECT_TRUE(g.visible());
        // The growth window's defaults apply when it opens.
        EXPECT_EQ(mc.nsexes, 1);
        EXPECT_EQ(mc.nszns, 12);
        g.closeBox();
    });
    b.LGrow.click();
    EXPECT_FALSE(plat::isLoaded<cw::Growthfrm>());
    EXPECT_EQ(b.nsexes.text(), "1");
    EXPECT_EQ(b.nszns.text(), "12");
    EXPECT_EQ(b.M_sex_1.caption(), "Unisex");

    user.act([] {
        cw::Fecfrm& f = plat::instance<cw::Fecfrm>();
        EXPECT_TRUE(f.visible());
        mc.nages = 7;
        f.closeBox();
    });
    b.LoadFecundity.click();
    EXPECT_EQ(b.nages.text(), "7");
}

TEST_F(BioEditorTest, CaptionsFollowTheFileWithoutLoadingWindows) {
    cw::DefineBio& b = bio();
    plat::instance<cw::lngfrm>();
    mc.biofile = "/data/stock.bio";
    b.update();
    EXPECT_EQ(b.caption(), "/data/stock.bio");
    EXPECT_EQ(plat::instance<cw::lngfrm>().caption(), "/data/stock.bio");
    EXPECT_FALSE(plat::isLoaded<cw::Growthfrm>());
    EXPECT_FALSE(plat::isLoaded<cw::Fecfrm>());
    EXPECT_EQ(mc.nsexes, 0);
    // A window loaded later takes the caption then.
    EXPECT_EQ(plat::instance<cw::Growthfrm>().caption(), "/data/stock.bio");
    EXPECT_EQ(plat::instance<cw::Fecfrm>().caption(), "/data/stock.bio");
}

TEST_F(BioEditorTest, ACancelledDialogSaysSoAndDoesNothingMore) {
    cw::DefineBio& b = bio();
    mc.biofile = "old.bio";
    User user;
    user.fileDialog("Load biological data", "").message("No input data were loaded");
    b.Loadbio.click();
    EXPECT_EQ(mc.biofile, "");
    EXPECT_EQ(mc.nages, 25);
}

} // namespace
