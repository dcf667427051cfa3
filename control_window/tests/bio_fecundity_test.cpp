// The fecundity window and its length-interval dialog: the option box, the frames, the table from
// the equation and the graph edits by age and by length.
#include "bio_test_support.h"

#include <gmock/gmock.h>

#include <QFont>
#include <QWidget>

#include "control_window/windows/editors/definebio.h"
#include "control_window/windows/editors/fecfrm.h"
#include "control_window/windows/editors/lngfrm.h"

namespace {

using biotest::BioTest;
using biotest::dragTo;
using biotest::User;
using cw::mc;
using ::testing::HasSubstr;

class FecundityTest : public BioTest {
  protected:
    cw::Fecfrm& fec() { return plat::instance<cw::Fecfrm>(); }
};

TEST_F(FecundityTest, TheOptionBoxTakesOnlyAOrL) {
    cw::Fecfrm& f = fec();
    EXPECT_FALSE(f.Frame2.visible());
    f.show();
    f.IFecOpt.setText("x");
    EXPECT_EQ(mc.ifecopt, "");
    EXPECT_EQ(f.IFecOpt.text(), "");
    f.IFecOpt.setText("l");
    EXPECT_EQ(mc.ifecopt, "L");
    EXPECT_EQ(f.IFecOpt.text(), "L");
    EXPECT_TRUE(f.Frame2.visible());
    EXPECT_TRUE(f.use_equation.visible());
    EXPECT_FALSE(f.Frame1.visible());
    f.use_equation.click();
    EXPECT_TRUE(f.Frame1.visible());
    f.IFecOpt.setText("a");
    EXPECT_EQ(mc.ifecopt, "A");
    EXPECT_FALSE(f.Frame2.visible());
    EXPECT_FALSE(f.Frame1.visible());
    f.IFecOpt.setText("Q");
    EXPECT_EQ(mc.ifecopt, "A");
    EXPECT_EQ(f.IFecOpt.text(), "A");
}

TEST_F(FecundityTest, TheEquationFrameReadsAsTheFormula) {
    mc.ifecopt = "L";
    cw::Fecfrm& f = fec();
    f.use_equation.setValue(1);
    f.show();
    const QWidget* a = f.a_fec.widget();
    const QWidget* l = f.Label10.widget();
    const QWidget* b = f.b_fec.widget();
    // a_fec, a large L and the exponent raised beside it, on one line.
    EXPECT_GT(l->font().pointSizeF(), a->font().pointSizeF());
    EXPECT_LT(a->geometry().right(), l->geometry().left());
    EXPECT_LT(l->geometry().right(), b->geometry().left());
    EXPECT_LT(b->geometry().top(), a->geometry().top());
    EXPECT_GT(f.Option1.widget()->geometry().top(), a->geometry().bottom());
}

TEST_F(FecundityTest, IntervalCountsAreCappedAndNegativeOnesRefused) {
    mc.ifecopt = "L";
    mc.nfeclng = 10;
    cw::Fecfrm& f = fec();
    f.nfeclng.setText("150");
    EXPECT_EQ(mc.nfeclng, 100);
    EXPECT_EQ(f.nfeclng.text(), "100");
    f.nfeclng.setText("-3");
    EXPECT_EQ(mc.nfeclng, 100);
    EXPECT_EQ(f.nfeclng.text(), "100");
    cw::lngfrm& d = plat::instance<cw::lngfrm>();
    d.Lng_intervals.setText("150");
    EXPECT_EQ(mc.nfeclng, 100);
    EXPECT_EQ(d.Lng_intervals.text(), "100");
    d.Lng_intervals.setText("70000");
    EXPECT_EQ(mc.nfeclng, 100);
    d.Lng_intervals.setText("30");
    d.Lowest_included_size.setText("5");
    d.Maximum_included_size.setText("90");
    EXPECT_EQ(mc.nfeclng, 30);
    EXPECT_EQ(mc.minsiz, 5);
    EXPECT_EQ(mc.maxlng, 90);
}

TEST_F(FecundityTest, UpdateComputesTheTableFromTheEquationOnEveryClick) {
    mc.ifecopt = "L";
    cw::Fecfrm& f = fec();
    f.use_equation.click();
    f.minsiz.setText("1");
    f.maxlng.setText("6");
    f.nfeclng.setText("5");
    f.a_fec.setText("2");
    f.b_fec.setText("2");
    f.Option1.click();
    const float expected[] = {2, 8, 18, 32, 50};
    for (int k = 1; k <= 5; ++k)
        EXPECT_EQ(mc.fec(k), expected[k - 1]) << k;
    EXPECT_FALSE(f.Option1.value());
    f.a_fec.setText("1");
    f.Option1.click();
    EXPECT_EQ(mc.fec(5), 25);
    EXPECT_EQ(f.a_fec.text(), "1");
    f.update();
    EXPECT_EQ(f.a_fec.text(), " 1");
    EXPECT_TRUE(f.Option1.visible());
    f.maxlng.setText("0");
    f.update();
    EXPECT_FALSE(f.Option1.visible());
}

TEST_F(FecundityTest, AnEquationWithoutAValueLeavesTheTableAlone) {
    mc.ifecopt = "L";
    mc.fec(1) = 7;
    cw::Fecfrm& f = fec();
    struct Case {
        const char* lower;
        const char* exponent;
    };
    for (const Case& c : {Case{"-2", "0.5"}, Case{"0", "-1"}, Case{"1", "400"}}) {
        SCOPED_TRACE(std::string(c.lower) + " ^ " + c.exponent);
        f.minsiz.setText(c.lower);
        f.maxlng.setText("10");
        f.nfeclng.setText("4");
        f.a_fec.setText("1");
        f.b_fec.setText(c.exponent);
        std::string shown;
        User user;
        cwtest::keepText(user, shown);
        f.Option1.click();
        EXPECT_THAT(shown, HasSubstr("the fecundity table was not changed"));
        EXPECT_EQ(mc.fec(1), 7);
        EXPECT_EQ(mc.fec(2), 0);
    }
}

TEST_F(FecundityTest, EditByAgeDragsFecundityAtEveryAge) {
    mc.ifecopt = "A";
    mc.nages = 3;
    mc.fec(3) = 1000;
    cw::Fecfrm& f = fec();
    {
        User user;
        user.input("Scale of fecundity for input", "");
        f.LoadFecundity.click();
        EXPECT_EQ(user.proposals[0], "1200");
        EXPECT_EQ(user.seen()[0].title, std::optional<std::string>("Maximum Fecundity"));
        EXPECT_EQ(mc.fec(3), 1000);
    }
    User user;
    user.input("Scale of fecundity for input", "1500")
        .act([] {
            EXPECT_EQ(mc.npts, 4);
            EXPECT_EQ(mc.xplot(1), 0);
            EXPECT_EQ(mc.ymax, 1500);
            EXPECT_EQ(mc.xtitle, "Age");
            EXPECT_EQ(mc.ytitle, "Fecundity");
        })
        .act(dragTo({0, 100, 500, 1400}));
    f.LoadFecundity.click();
    EXPECT_EQ(mc.fec(0), 0);
    EXPECT_EQ(mc.fec(2), 500);
    EXPECT_EQ(mc.fec(3), 1400);
}

TEST_F(FecundityTest, EditByLengthProposesIntervalsUpToTheOldestMeanLength) {
    mc.ifecopt = "L";
    mc.nages = 10;
    mc.nsexes = 2;
    mc.meanlng(10, 2) = 80;
    cw::Fecfrm& f = fec();
    User user;
    user.act([] {
            cw::lngfrm& d = plat::instance<cw::lngfrm>();
            EXPECT_TRUE(d.visible());
            EXPECT_EQ(d.Lng_intervals.text(), "50");
            EXPECT_EQ(d.Lowest_included_size.text(), "0");
            EXPECT_EQ(d.Maximum_included_size.text(), "80");
            EXPECT_EQ(d.Maxfecundity.text(), " 0");
            d.Maxfecundity.setText("1000");
            d.OKButton.click();
        })
        .act([] {
            EXPECT_EQ(mc.npts, 50);
            EXPECT_FLOAT_EQ(mc.xplot(1), 0);
            EXPECT_FLOAT_EQ(mc.xplot(2), 1.6f);
            EXPECT_FLOAT_EQ(mc.xplot(50), 78.4f);
            EXPECT_FLOAT_EQ(mc.xmax, 78.4f);
            EXPECT_EQ(mc.ymin, 0);
            EXPECT_EQ(mc.ymax, 1200);
            EXPECT_EQ(mc.xtitle, "Length");
        })
        .act(dragTo(std::vector<float>(50, 300)));
    f.LoadFecundity.click();
    EXPECT_EQ(mc.nfeclng, 50);
    EXPECT_EQ(mc.maxlng, 80);
    EXPECT_EQ(mc.fec(1), 300);
    EXPECT_EQ(mc.fec(50), 300);
    EXPECT_EQ(f.nfeclng.text(), "50");
    EXPECT_EQ(f.maxlng.text(), "80");
    // The dialog only hid itself and is there for the next use.
    EXPECT_TRUE(plat::isLoaded<cw::lngfrm>());
}

TEST_F(FecundityTest, BeforeTheSexesAreSetTheFirstSexProposesTheUpperSize) {
    mc.ifecopt = "L";
    mc.nages = 4;
    mc.meanlng(4, 1) = 70;
    cw::Fecfrm& f = fec();
    User user;
    user.act([] {
        cw::lngfrm& d = plat::instance<cw::lngfrm>();
        EXPECT_EQ(d.Maximum_included_size.text(), "70");
        d.Maxfecundity.setText("0");
        d.OKButton.click();
    });
    f.LoadFecundity.click();
    EXPECT_EQ(mc.maxlng, 70);
}

TEST_F(FecundityTest, TheDialogsCloseBoxActsAsItsCancel) {
    mc.ifecopt = "L";
    mc.nfeclng = 4;
    mc.maxlng = 40;
    mc.fec(4) = 10;
    cw::Fecfrm& f = fec();
    User user;
    user.act([] {
            cw::lngfrm& d = plat::instance<cw::lngfrm>();
            d.Maxfecundity.setText("500");
            d.Lowest_included_size.setText("20");
            d.closeBox();
        })
        .act([] {
            EXPECT_EQ(mc.ymax, 600);
            EXPECT_FLOAT_EQ(mc.xplot(1), 20);
            EXPECT_FLOAT_EQ(mc.xplot(4), 35);
        })
        .act(dragTo({1, 2, 3, 4}));
    f.LoadFecundity.click();
    EXPECT_EQ(mc.minsiz, 20);
    EXPECT_EQ(mc.fec(4), 4);
}

TEST_F(FecundityTest, EditByLengthEndsUnchangedWithoutAUsableGraph) {
    mc.ifecopt = "L";
    mc.fec(1) = 5;
    cw::Fecfrm& f = fec();
    struct Case {
        const char* intervals;
        const char* lower;
        const char* upper;
        const char* top;
        const char* message; // "" when none is shown
    };
    const Case cases[] = {
        {"10", "0", "50", "0", ""},
        {"10", "0", "50", "-5", ""},
        {"1", "0", "50", "100", "at least 2 length intervals"},
        {"10", "50", "50", "100", "upper size must be greater"},
        {"10", "60", "50", "100", "upper size must be greater"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.intervals) + " " + c.lower + ".." + c.upper + " " + c.top);
        std::string shown;
        User user;
        user.act([&c] {
            cw::lngfrm& d = plat::instance<cw::lngfrm>();
            d.Lng_intervals.setText(c.intervals);
            d.Lowest_included_size.setText(c.lower);
            d.Maximum_included_size.setText(c.upper);
            d.Maxfecundity.setText(c.top);
            d.CancelButton.click();
        });
        if (*c.message) {
            cwtest::keepText(user, shown);
        }
        f.LoadFecundity.click();
        EXPECT_THAT(shown, HasSubstr(c.message));
        EXPECT_FALSE(plat::isLoaded<cw::frmPlot>());
        EXPECT_EQ(mc.fec(1), 5);
    }
}

TEST_F(FecundityTest, AnOpenWindowShowsAFileLoadedMeanwhile) {
    mc.ifecopt = "A";
    cw::DefineBio& bio = plat::instance<cw::DefineBio>();
    User user;
    user.act([&bio, &user, this] {
        cw::Fecfrm& f = plat::instance<cw::Fecfrm>();
        EXPECT_EQ(f.IFecOpt.text(), "A");
        biotest::writeFile(path("in.bio"), biotest::fixture("bio_one_sex_l.bio"));
        user.fileDialog("Load biological data", path("in.bio"));
        bio.Loadbio.click();
        EXPECT_EQ(f.IFecOpt.text(), "L");
        EXPECT_EQ(f.maxlng.text(), "80");
        EXPECT_EQ(f.a_fec.text(), " .002");
        EXPECT_TRUE(f.Frame2.visible());
        f.closeBox();
    });
    bio.LoadFecundity.click();
    EXPECT_EQ(mc.ifecopt, "L");
}

} // namespace
