// The growth window: defaults, the one-sex layout, von Bertalanffy lengths, the graph edits of
// mean lengths, first-year lengths and seasonal growth fractions.
#include "bio_test_support.h"

#include <initializer_list>

#include <QLabel>

#include "control_window/windows/editors/definebio.h"
#include "control_window/windows/editors/fecfrm.h"
#include "control_window/windows/editors/growthfrm.h"

namespace {

using biotest::BioTest;
using biotest::dragTo;
using biotest::User;
using cw::mc;
using plat::MsgAnswer;

const std::string kRejected =
    "Negative growth not allowed\nLast szn length may be longer than age 1";

class GrowthTest : public BioTest {
  protected:
    cw::Growthfrm& growth() { return plat::instance<cw::Growthfrm>(); }
};

TEST_F(GrowthTest, OpeningDefaultsTheCountsThatAreStill0) {
    mc.lwa(2) = 0.5f;
    mc.vbt0(1) = -0.5;
    cw::Growthfrm& g = growth();
    EXPECT_EQ(mc.nsexes, 1);
    EXPECT_EQ(mc.nages, 10);
    EXPECT_EQ(mc.nszns, 12);
    EXPECT_EQ(mc.nmorphs, 1);
    EXPECT_EQ(g.nmorphs.text(), "1");
    EXPECT_EQ(g.t0_sex1.text(), "-0.5");
    EXPECT_EQ(g.a_sex2.text(), " .5");
    EXPECT_EQ(g.L_sex1.text(), "0");
    EXPECT_FALSE(g.VB_equations.visible());
    g.use_VB.click();
    EXPECT_TRUE(g.VB_equations.visible());
    // Only a count of 0 is replaced.
    plat::unloadAll();
    mc.nages = 3;
    mc.nszns = 4;
    mc.nsexes = 2;
    mc.nmorphs = 7;
    growth();
    EXPECT_EQ(mc.nages, 3);
    EXPECT_EQ(mc.nszns, 4);
    EXPECT_EQ(mc.nsexes, 2);
    EXPECT_EQ(mc.nmorphs, 7);
}

// The field labels shown in the growth window with the given text.
int shownLabels(cw::Growthfrm& g, const QString& text) {
    int n = 0;
    for (QLabel* l : g.widget()->findChildren<QLabel*>())
        if (l->text() == text && l->isVisibleTo(g.widget())) ++n;
    return n;
}

TEST_F(GrowthTest, OneSexShowsUniSexAndHidesTheSecondSex) {
    mc.nsexes = 1;
    cw::Growthfrm& g = growth();
    g.show();
    g.use_VB.click();
    for (const std::string& c :
         {g.FYG_1.caption(), g.G_sex_1.caption(), g.Label5.caption(), g.Label6.caption()}) {
        EXPECT_EQ(c, "UniSex");
    }
    EXPECT_FALSE(g.fyg_2.enabled());
    EXPECT_FALSE(g.G_sex_2.enabled());
    for (plat::Control* c : std::initializer_list<plat::Control*>{
             &g.L_sex2, &g.K_sex2, &g.t0_sex2, &g.a_sex2, &g.b_sex2, &g.CV_sex2, &g.Label4,
             &g.Label7, &g.Option2}) {
        EXPECT_FALSE(c->visible()) << c->name();
    }
    EXPECT_TRUE(g.L_sex1.visible());
    // The boxes' labels go with them.
    for (const char* label : {"Loo", "K", "t0", "a", "b", "CV"})
        EXPECT_EQ(shownLabels(g, label), 1) << label;
    mc.nsexes = 2;
    g.update();
    EXPECT_EQ(g.G_sex_1.caption(), "Male");
    EXPECT_TRUE(g.G_sex_2.enabled());
    EXPECT_TRUE(g.CV_sex2.visible());
    for (const char* label : {"Loo", "K", "t0", "a", "b", "CV"})
        EXPECT_EQ(shownLabels(g, label), 2) << label;
}

TEST_F(GrowthTest, VonBertalanffyLengthsWhenAButtonBecomesSelected) {
    mc.nages = 3;
    mc.nsexes = 2;
    cw::Growthfrm& g = growth();
    g.L_sex1.setText("100");
    g.K_sex1.setText("0.2");
    g.t0_sex1.setText("0");
    g.Option1.click();
    EXPECT_NEAR(mc.meanlng(1, 1), 18.127, 5e-4);
    EXPECT_NEAR(mc.meanlng(2, 1), 32.968, 5e-4);
    EXPECT_NEAR(mc.meanlng(3, 1), 45.119, 5e-4);
    EXPECT_EQ(mc.meanlng(4, 1), 0);
    EXPECT_TRUE(g.Option1.value());
    // The button stays selected: a second click on it recomputes nothing.
    mc.meanlng(1, 1) = 1;
    g.Option1.click();
    EXPECT_EQ(mc.meanlng(1, 1), 1);
    // A changed parameter clears it, so that selecting it again recomputes.
    g.L_sex1.setText("50");
    EXPECT_FALSE(g.Option1.value());
    g.Option1.click();
    EXPECT_NEAR(mc.meanlng(1, 1), 9.0635, 5e-4);
    // Without a growth rate nothing changes.
    g.L_sex2.setText("100");
    mc.meanlng(1, 2) = 7;
    g.Option2.click();
    EXPECT_EQ(mc.meanlng(1, 2), 7);
    EXPECT_EQ(mc.isex, 2);
}

TEST_F(GrowthTest, MeanLengthsOnTheGraphEditSex1WithOneSex) {
    mc.nages = 3;
    mc.nsexes = 1;
    mc.meanlng(3, 1) = 40;
    cw::Growthfrm& g = growth();
    mc.isex = 2;
    User user;
    user.input("Scale of Y for input", "60")
        .act([] {
            EXPECT_EQ(mc.npts, 3);
            EXPECT_EQ(mc.xplot(1), 1);
            EXPECT_EQ(mc.xmax, 3);
            EXPECT_EQ(mc.ymax, 60);
            EXPECT_EQ(mc.ytitle, "Mean Length");
        })
        .act(dragTo({10, 20, 30}));
    g.loadgrowth();
    EXPECT_EQ(user.seen()[0].title, std::optional<std::string>("Size at Age"));
    EXPECT_EQ(user.proposals[0], "50");
    EXPECT_EQ(mc.meanlng(1, 1), 10);
    EXPECT_EQ(mc.meanlng(3, 1), 30);
    EXPECT_EQ(mc.isex, 1);
}

TEST_F(GrowthTest, MakeSameAsMalesCopiesLengthsAndFirstYearLengths) {
    mc.nages = 2;
    mc.nszns = 2;
    mc.nsexes = 2;
    mc.meanlng(1, 1) = 11;
    mc.meanlng(2, 1) = 22;
    mc.meanlng(3, 2) = 33;
    mc.fyg(1, 1) = 3;
    mc.fyg(2, 1) = 6;
    mc.fyg(3, 2) = 9;
    cw::Growthfrm& g = growth();
    User user;
    user.message("Make same as males", MsgAnswer::Yes)
        .message("Make same as males", MsgAnswer::Yes);
    g.G_sex_2.click();
    g.fyg_2.click();
    EXPECT_EQ(mc.meanlng(2, 2), 22);
    EXPECT_EQ(mc.meanlng(3, 2), 33);
    EXPECT_EQ(mc.fyg(2, 2), 6);
    EXPECT_EQ(mc.fyg(3, 2), 9);
    EXPECT_EQ(mc.isex, 2);
}

TEST_F(GrowthTest, FirstYearLengthsAreRejectedUntilTheyGrow) {
    mc.nages = 2;
    mc.nszns = 3;
    mc.nsexes = 1;
    cw::Growthfrm& g = growth();
    {
        User user;
        user.message("Mean sizes at age must be entered first");
        g.FYG_1.click();
    }
    mc.meanlng(1, 1) = 20;
    mc.fyg(1, 1) = 1;
    {
        // A decrease, then a last season above age 1, then level values ending at age 1.
        User user;
        user.input("Scale of Y for input", "25")
            .act(dragTo({5, 4, 10}))
            .message(kRejected, MsgAnswer::OK)
            .input("Scale of Y for input", "25")
            .act([] {
                // The rejected drag is dropped: the points start from the stored lengths again.
                EXPECT_EQ(mc.yplot(1), 1);
                dragTo({5, 10, 21})();
            })
            .message(kRejected, MsgAnswer::OK)
            .input("Scale of Y for input", "25")
            .act(dragTo({5, 5, 20}));
        g.FYG_1.click();
        EXPECT_EQ(user.seen()[0].title, std::optional<std::string>("FIRST YEAR LENGTHS BY SEASON"));
        EXPECT_EQ(user.proposals[0], "20");
    }
    EXPECT_EQ(mc.fyg(1, 1), 5);
    EXPECT_EQ(mc.fyg(2, 1), 5);
    EXPECT_EQ(mc.fyg(3, 1), 20);
    EXPECT_EQ(mc.xmax, 4);
    {
        User user;
        user.input("Scale of Y for input", "25")
            .act(dragTo({9, 8, 7}))
            .message(kRejected, MsgAnswer::Cancel);
        g.FYG_1.click();
    }
    EXPECT_EQ(mc.fyg(1, 1), 5);
    EXPECT_EQ(mc.fyg(3, 1), 20);
}

TEST_F(GrowthTest, SeasonalGrowthFractionsAddUpTo1) {
    mc.nszns = 4;
    cw::Growthfrm& g = growth();
    struct Case {
        std::vector<float> dragged;
        std::vector<float> expected;
    };
    const Case cases[] = {
        {{0.1f, 0.2f, 0.3f, 0.4f}, {0.1f, 0.2f, 0.3f, 0.4f}},
        {{1, 1, 2, 0}, {0.25f, 0.25f, 0.5f, 0}},
        {{0, 0, 0, 0}, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        User user;
        user.message("Set to Mean", MsgAnswer::No)
            .input("Scale of Y for input", "2")
            .act([] {
                EXPECT_EQ(mc.ytitle, "Fraction of Annual Growth ");
                EXPECT_EQ(mc.xtitle, "Season");
                EXPECT_EQ(mc.xmax, 5);
            })
            .act(dragTo(c.dragged));
        g.LoadSznGro.click();
        EXPECT_EQ(user.seen()[1].title, std::optional<std::string>("Growth fractions by season"));
        EXPECT_EQ(user.proposals[0], "0.5");
        for (int s = 1; s <= 4; ++s)
            EXPECT_FLOAT_EQ(mc.szngro(s), c.expected[size_t(s - 1)]);
    }
    User user;
    user.message("Set to Mean", MsgAnswer::Yes);
    g.LoadSznGro.click();
    for (int s = 1; s <= 4; ++s)
        EXPECT_EQ(mc.szngro(s), 0.25f);
    user.message("Set to Mean", MsgAnswer::Cancel);
    mc.szngro(1) = 0.7f;
    g.LoadSznGro.click();
    EXPECT_EQ(mc.szngro(1), 0.7f);
}

TEST_F(GrowthTest, AScaleOf0OrBelowOrNotANumberChangesNothing) {
    mc.nages = 2;
    mc.nszns = 2;
    mc.nsexes = 1;
    mc.meanlng(1, 1) = 20;
    cw::Growthfrm& g = growth();
    for (const char* answer : {"", "0", "-3", "big"}) {
        SCOPED_TRACE(answer);
        User user;
        user.input("Scale of Y for input", answer)
            .input("Scale of Y for input", answer)
            .message("Set to Mean", MsgAnswer::No)
            .input("Scale of Y for input", answer);
        g.G_sex_1.click();
        g.FYG_1.click();
        g.LoadSznGro.click();
        EXPECT_FALSE(plat::isLoaded<cw::frmPlot>());
        EXPECT_EQ(mc.meanlng(1, 1), 20);
        EXPECT_EQ(mc.fyg(1, 1), 0);
        EXPECT_EQ(mc.szngro(1), 0);
    }
}

TEST_F(GrowthTest, DimensionsLeftOutOfRangeElsewhereAreRefusedBeforeAnyEdit) {
    cw::Growthfrm& g = growth();
    mc.nages = -3;
    User user;
    user.message("The growth data need 1 to 100 ages, 1 or 2 sexes and 1 to 12 seasons.")
        .message("The growth data need 1 to 100 ages, 1 or 2 sexes and 1 to 12 seasons.");
    g.G_sex_1.click();
    g.LoadSznGro.click();
    EXPECT_FALSE(plat::isLoaded<cw::frmPlot>());
}

TEST_F(GrowthTest, TheNumberOfMorphsIsCappedAndDefaultedAtTheRefresh) {
    cw::Growthfrm& g = growth();
    g.nmorphs.setText("250");
    EXPECT_EQ(mc.nmorphs, 100);
    EXPECT_EQ(g.nmorphs.text(), "100");
    g.nmorphs.setText("0");
    EXPECT_EQ(mc.nmorphs, 0);
    g.nmorphs.setText("-4");
    EXPECT_EQ(mc.nmorphs, 0);
    EXPECT_EQ(g.nmorphs.text(), "0");
    g.update();
    EXPECT_EQ(mc.nmorphs, 1);
    EXPECT_EQ(g.nmorphs.text(), "1");
}

TEST_F(GrowthTest, ReopeningALoadedWindowShowsTheCurrentValues) {
    cw::DefineBio& bio = plat::instance<cw::DefineBio>();
    growth(); // loaded, not shown
    mc.vblinf(1) = 55;
    User user;
    user.act([] {
            cw::Growthfrm& g = plat::instance<cw::Growthfrm>();
            EXPECT_EQ(g.L_sex1.text(), "55");
            g.closeBox();
        })
        .act([] {
            cw::Fecfrm& f = plat::instance<cw::Fecfrm>();
            EXPECT_EQ(f.IFecOpt.text(), "L");
            f.closeBox();
        });
    bio.LGrow.click();
    plat::instance<cw::Fecfrm>(); // loaded while the option was still unset
    mc.ifecopt = "L";
    bio.LoadFecundity.click();
}

TEST_F(GrowthTest, AnOpenWindowShowsAFileLoadedMeanwhile) {
    mc.nsexes = 1;
    cw::DefineBio& bio = plat::instance<cw::DefineBio>();
    cw::Growthfrm& g = growth();
    g.show();
    EXPECT_EQ(g.L_sex1.text(), "0");
    biotest::writeFile(path("in.bio"), biotest::fixture("bio_one_sex_l.bio"));
    User user;
    user.fileDialog("Load biological data", path("in.bio"));
    bio.Loadbio.click();
    EXPECT_EQ(g.L_sex1.text(), "80");
    EXPECT_EQ(g.t0_sex1.text(), "-0.5");
    EXPECT_EQ(g.a_sex1.text(), "1E-05");
    EXPECT_EQ(g.caption(), path("in.bio"));
}

} // namespace
