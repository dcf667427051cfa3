// The index editor's series on the graph window: catchability by year with its mean, season
// fractions, selectivity by age and length, and the copy and set handlers.
#include "index_test_support.h"

#include <gmock/gmock.h>

#include "platform/surface.h"

namespace {

using cw::mc;
using indextest::closeGraph;
using indextest::dragTo;
using indextest::IndexTest;
using indextest::User;
using plat::MsgAnswer;

class IndexSeriesTest : public IndexTest {};

// ---- Catchability ---------------------------------------------------------------------------

TEST_F(IndexSeriesTest, CatchabilityIsDraggedByYearAndItsMeanKept) {
    cw::Defineindex& e = fiveYears();
    for (int j = 1; j <= 5; ++j)
        mc.i_q(1, j) = 0.1f * float(j);
    User user;
    user.message("Set to Mean", MsgAnswer::No);
    user.input("Scale of Y for input", "2");
    user.act([] {
        EXPECT_EQ(mc.npts, 5);
        EXPECT_FLOAT_EQ(mc.xmin, 2000);
        EXPECT_FLOAT_EQ(mc.xmax, 2004);
        EXPECT_FLOAT_EQ(mc.xplot(5), 2004);
        EXPECT_FLOAT_EQ(mc.ymax, 2);
        EXPECT_EQ(mc.ytitle, "Catchability (Q)");
        EXPECT_EQ(mc.xtitle, "Year");
    });
    user.act(dragTo({0, 2, 4, 0, 0}));
    e.I_Q.click();
    EXPECT_TRUE(user.finished());
    // Twice the largest value when no mean was set.
    EXPECT_EQ(user.proposals, std::vector<std::string>{"1"});
    EXPECT_EQ(user.titles, std::vector<std::string>{"Catchability by year"});
    // "Set to Mean" has an empty title, the other messages the application's.
    ASSERT_FALSE(user.seen().empty());
    EXPECT_EQ(user.seen()[0].title, std::optional<std::string>(""));
    EXPECT_FLOAT_EQ(mc.i_q(1, 2), 2);
    EXPECT_FLOAT_EQ(mc.i_q(1, 3), 4);
    // The mean of the positive values only.
    EXPECT_FLOAT_EQ(mc.i_meanq(1), 3);
}

TEST_F(IndexSeriesTest, AnAcceptedMeanStaysWhenTheScaleIsRefused) {
    for (const char* scale : {"", "0", "-1", "abc"}) {
        SCOPED_TRACE(std::string("scale ") + scale);
        plat::unloadAll();
        cw::resetMaincode();
        cw::Defineindex& e = fiveYears();
        for (int j = 1; j <= 5; ++j)
            mc.i_q(1, j) = float(j);
        User user;
        user.message("Set to Mean", MsgAnswer::Yes);
        user.input("Time series mean", "0.5");
        user.input("Scale of Y for input", scale);
        user.message("Upper value must be greater than lower");
        e.I_Q.click();
        EXPECT_TRUE(user.finished());
        EXPECT_EQ(user.proposals, (std::vector<std::string>{"3", "1"}));
        for (int j = 1; j <= 5; ++j)
            EXPECT_FLOAT_EQ(mc.i_q(1, j), 0.5f);
        EXPECT_FLOAT_EQ(mc.i_meanq(1), 0.5f);
        EXPECT_FALSE(plat::isLoaded<cw::frmPlot>());
    }
}

TEST_F(IndexSeriesTest, CatchabilityEditsThatEndEarlyChangeNothing) {
    struct Case {
        const char* what;
        std::function<void(User&)> script;
    };
    const Case cases[] = {
        {"cancel", [](User& u) { u.message("Set to Mean", MsgAnswer::Cancel); }},
        {"empty mean",
         [](User& u) {
             u.message("Set to Mean", MsgAnswer::Yes);
             u.input("Time series mean", "");
         }},
        {"mean not a number",
         [](User& u) {
             u.message("Set to Mean", MsgAnswer::Yes);
             u.input("Time series mean", "lots");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        plat::unloadAll();
        cw::resetMaincode();
        cw::Defineindex& e = fiveYears();
        for (int j = 1; j <= 5; ++j)
            mc.i_q(1, j) = float(j);
        mc.i_meanq(1) = 7;
        User user;
        c.script(user);
        e.I_Q.click();
        EXPECT_TRUE(user.finished());
        for (int j = 1; j <= 5; ++j)
            EXPECT_FLOAT_EQ(mc.i_q(1, j), float(j));
        // The mean follows the series of every index.
        EXPECT_FLOAT_EQ(mc.i_meanq(1), 3);
    }
}

TEST_F(IndexSeriesTest, YearRangesThatCannotBeEditedAreRefused) {
    for (const auto& [first, last] : std::vector<std::pair<const char*, const char*>>{
             {"2000", "2000"}, {"2000", "1990"}, {"1700", "2000"}}) {
        SCOPED_TRACE(std::string(first) + " to " + last);
        plat::unloadAll();
        cw::resetMaincode();
        cw::Defineindex& e = ed();
        e.I_FYR.setText(first);
        e.I_LYR.setText(last);
        User user;
        user.message("Years are out of range");
        e.I_Q.click();
        EXPECT_TRUE(user.finished());
    }
}

TEST_F(IndexSeriesTest, EditsOfAYearOutsideTheRangeAreRefused) {
    struct Case {
        const char* what;
        const char* first;
        const char* last;
        int16_t year;
        std::function<void(cw::Defineindex&)> press;
    };
    const auto szn = [](cw::Defineindex& e) { e.II_szn.click(); };
    const auto sel = [](cw::Defineindex& e) { e.L_sex1.click(); };
    const auto sznAll = [](cw::Defineindex& e) {
        e.sznyrCheck.click();
        e.II_szn.click();
    };
    const auto selAll = [](cw::Defineindex& e) {
        e.s_yrseq.click();
        e.L_sex1.click();
    };
    const Case cases[] = {
        {"season, year after the last", "2000", "2004", 2010, szn},
        {"selectivity, year before the first", "2000", "2004", 1999, sel},
        {"season, no years", "2000", "1990", 2000, szn},
        {"selectivity, no years", "2000", "1990", 2000, sel},
        {"season for every year, too many years", "1700", "2000", 1800, sznAll},
        {"selectivity for every year, no years", "2000", "1990", 2000, selAll},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        plat::unloadAll();
        cw::resetMaincode();
        cw::Defineindex& e = ed();
        e.I_FYR.setText(c.first);
        e.I_LYR.setText(c.last);
        e.I_nszns.setText("2");
        e.I_Nages.setText("3");
        mc.yr = c.year;
        User user;
        user.message("Years are out of range");
        c.press(e);
        EXPECT_TRUE(user.finished());
        EXPECT_FALSE(plat::isLoaded<cw::frmPlot>());
    }
    // The copies of a year outside the range copy nothing.
    cw::Defineindex& e = ed();
    mc.yr = 2001;
    for (int s = 1; s <= 2; ++s)
        mc.i_sznfract(1, s, 1) = 0.5f;
    e.cpyszntlyr.click();
    e.cpysznpyr.click();
    EXPECT_FALSE(e.cpyszntlyr.value());
    EXPECT_FLOAT_EQ(mc.i_sznfract(1, 1, 2), 0);
    e.cursex = 1;
    User user;
    user.message("Are you sure", MsgAnswer::Yes);
    user.message("Years are out of range");
    e.cpyforward.click();
    EXPECT_TRUE(user.finished());
    EXPECT_FALSE(e.cpyforward.value());
}

TEST_F(IndexSeriesTest, TheMeanCatchabilityOfEveryIndexFollowsItsPositiveValues) {
    cw::Defineindex& e = ed();
    e.I_FYR.setText("2000");
    e.I_LYR.setText("2002");
    e.I_nindices.setText("2");
    mc.i_q(2, 1) = 0;
    mc.i_q(2, 2) = 2;
    mc.i_q(2, 3) = 4;
    mc.i_meanq(1) = 9; // index 1 has no positive value: its mean stays
    e.get_meanq();
    EXPECT_FLOAT_EQ(mc.i_meanq(2), 3);
    EXPECT_FLOAT_EQ(mc.i_meanq(1), 9);
}

// ---- Season fractions -----------------------------------------------------------------------

TEST_F(IndexSeriesTest, OneSeasonIsTheWholeYearWithoutAQuestion) {
    cw::Defineindex& e = fiveYears();
    e.I_nszns.setText("1");
    mc.yr = 2001;
    e.II_szn.click();
    EXPECT_FLOAT_EQ(mc.i_sznfract(1, 1, 2), 1);
    EXPECT_FLOAT_EQ(mc.i_sznfract(1, 1, 1), 0);
}

TEST_F(IndexSeriesTest, SeasonFractionsAreDraggedAndScaledToSumOne) {
    cw::Defineindex& e = fiveYears();
    mc.yr = 2002;
    User user;
    user.message("Set to mean this year", MsgAnswer::No);
    user.input("Scale of Y for input", "1.5");
    user.act([] {
        EXPECT_EQ(mc.ytitle, "Fraction of Annual Q ");
        EXPECT_EQ(mc.xtitle, "Season");
        EXPECT_FLOAT_EQ(mc.xmax, 4);
        EXPECT_FLOAT_EQ(mc.ymax, 1.5f);
    });
    user.act(dragTo({1, 1, 2}));
    e.II_szn.click();
    EXPECT_TRUE(user.finished());
    EXPECT_EQ(user.titles, std::vector<std::string>{"Fractions of annual F by season"});
    EXPECT_EQ(user.proposals, std::vector<std::string>{"0.5"});
    EXPECT_FLOAT_EQ(mc.i_sznfract(1, 1, 3), 0.25f);
    EXPECT_FLOAT_EQ(mc.i_sznfract(1, 3, 3), 0.5f);
    EXPECT_FLOAT_EQ(mc.i_sznfract(1, 1, 2), 0);

    // All zeros stay zeros.
    User again;
    again.message("Set to mean this year", MsgAnswer::No);
    again.input("Scale of Y for input", "1");
    again.act(dragTo({0, 0, 0}));
    e.II_szn.click();
    EXPECT_TRUE(again.finished());
    EXPECT_FLOAT_EQ(mc.i_sznfract(1, 3, 3), 0);
}

TEST_F(IndexSeriesTest, SeasonMeanWithYearsEqualFillsEveryYear) {
    cw::Defineindex& e = fiveYears();
    e.I_nszns.setText("4");
    e.sznyrCheck.click();
    User user;
    user.message("Set to mean this year", MsgAnswer::Yes);
    e.II_szn.click();
    EXPECT_TRUE(user.finished());
    for (int j = 1; j <= 5; ++j)
        for (int s = 1; s <= 4; ++s)
            EXPECT_FLOAT_EQ(mc.i_sznfract(1, s, j), 0.25f);
    EXPECT_EQ(e.yearidx, 6);
}

TEST_F(IndexSeriesTest, SeasonEditsThatEndEarlyChangeNothing) {
    cw::Defineindex& e = fiveYears();
    mc.i_sznfract(1, 1, 1) = 0.7f;
    for (const char* scale : {"", "0", "-2", "x"}) {
        User user;
        user.message("Set to mean this year", MsgAnswer::No);
        user.input("Scale of Y for input", scale);
        e.II_szn.click();
        EXPECT_TRUE(user.finished());
    }
    User cancel;
    cancel.message("Set to mean this year", MsgAnswer::Cancel);
    e.II_szn.click();
    EXPECT_TRUE(cancel.finished());
    EXPECT_FLOAT_EQ(mc.i_sznfract(1, 1, 1), 0.7f);
    EXPECT_FALSE(plat::isLoaded<cw::frmPlot>());
}

TEST_F(IndexSeriesTest, SeasonCopiesAndTheMeanSet) {
    cw::Defineindex& e = fiveYears();
    for (int s = 1; s <= 3; ++s)
        mc.i_sznfract(1, s, 3) = 0.1f * float(s);
    mc.yr = 2002;
    e.cpyszntlyr.click();
    EXPECT_FALSE(e.cpyszntlyr.value());
    EXPECT_FLOAT_EQ(mc.i_sznfract(1, 2, 5), 0.2f);
    EXPECT_FLOAT_EQ(mc.i_sznfract(1, 2, 2), 0);
    mc.yr = 2001;
    e.cpysznpyr.click();
    EXPECT_FLOAT_EQ(mc.i_sznfract(1, 2, 2), 0);
    mc.i_sznfract(1, 2, 1) = 0.9f;
    e.cpysznpyr.click();
    EXPECT_FLOAT_EQ(mc.i_sznfract(1, 2, 2), 0.9f);
    // At the first year there is no previous one.
    mc.yr = 2000;
    e.cpysznpyr.click();
    EXPECT_FLOAT_EQ(mc.i_sznfract(1, 2, 1), 0.9f);

    User user;
    user.message("Are you sure", MsgAnswer::Yes);
    user.message("All values set equal");
    e.Option2.click();
    EXPECT_TRUE(user.finished());
    EXPECT_FALSE(e.Option2.value());
    EXPECT_FLOAT_EQ(mc.i_sznfract(1, 3, 4), float(1.0 / 3));
}

// ---- Selectivity ----------------------------------------------------------------------------

TEST_F(IndexSeriesTest, ASelectivityCurveIsScaledSoThatItsTopIsOne) {
    cw::Defineindex& e = fiveYears();
    mc.yr = 2001;
    User user;
    user.act([] {
        EXPECT_EQ(mc.npts, 4);
        EXPECT_EQ(mc.xtitle, "Age");
        EXPECT_EQ(mc.ytitle, "Selectivity");
        EXPECT_FLOAT_EQ(mc.ymax, 1.2f);
        EXPECT_FLOAT_EQ(mc.xmax, 3);
        // The reference line of full selectivity is red.
        plat::Surface& s = plat::instance<cw::frmPlot>().surface();
        EXPECT_EQ(s.point(1.5f, 1.0f), int64_t(plat::rgb(255, 0, 0)));
    });
    user.act(dragTo({0.1f, 0.4f, 0.8f, 0.6f}));
    e.L_sex2.click();
    EXPECT_TRUE(user.finished());
    EXPECT_EQ(e.cursex, 2);
    EXPECT_FLOAT_EQ(mc.i_sel(1, 0, 2, 2), 0.125f);
    EXPECT_FLOAT_EQ(mc.i_sel(1, 2, 2, 2), 1);
    EXPECT_FLOAT_EQ(mc.i_sel(1, 3, 2, 2), 0.75f);
    EXPECT_FLOAT_EQ(mc.i_sel(1, 2, 1, 2), 0);
    EXPECT_FLOAT_EQ(mc.i_sel(1, 2, 2, 1), 0);
}

TEST_F(IndexSeriesTest, YearsAndSexesEqualSpreadOneEdit) {
    cw::Defineindex& e = fiveYears();
    e.s_yrseq.click();
    e.s_sexeq.click();
    User user;
    user.act(dragTo({0, 0.5f, 1, 1}));
    e.L_sex1.click();
    EXPECT_TRUE(user.finished());
    for (int j = 1; j <= 5; ++j)
        for (int s = 1; s <= 2; ++s) {
            EXPECT_FLOAT_EQ(mc.i_sel(1, 1, s, j), 0.5f) << j << " " << s;
            EXPECT_FLOAT_EQ(mc.i_sel(1, 3, s, j), 1) << j << " " << s;
        }
    EXPECT_EQ(e.yearidx, 6);
}

TEST_F(IndexSeriesTest, ALengthSelectivityUsesTheIntervalGrid) {
    cw::Defineindex& e = fiveYears();
    e.I_seltyp.setText("L");
    e.I_minlng.setText("10");
    e.I_mxlng.setText("110");
    e.II_nlngs.setText("50");
    mc.ymin = 5; // left by an earlier graph
    mc.yr = 2000;
    User user;
    user.act([] {
        EXPECT_EQ(mc.npts, 50);
        EXPECT_EQ(mc.xtitle, "Length");
        EXPECT_FLOAT_EQ(mc.xplot(1), 10);
        EXPECT_FLOAT_EQ(mc.xplot(50), 108);
        EXPECT_FLOAT_EQ(mc.ymin, 0);
    });
    user.act([] {
        for (int p = 1; p <= 50; ++p)
            mc.yplot(p) = 0.02f * float(p);
        plat::instance<cw::frmPlot>().closeBox();
    });
    e.L_sex1.click();
    EXPECT_TRUE(user.finished());
    EXPECT_FLOAT_EQ(mc.i_sel(1, 50, 1, 1), 1);
    EXPECT_FLOAT_EQ(mc.i_sel(1, 25, 1, 1), 0.5f);
    EXPECT_FLOAT_EQ(mc.i_sel(1, 0, 1, 1), 0);
}

TEST_F(IndexSeriesTest, NoCurveMeansNothingIsSpreadOverYearsOrSexes) {
    cw::Defineindex& e = fiveYears();
    e.I_seltyp.setText("L");
    e.I_minlng.setText("50");
    e.I_mxlng.setText("50");
    e.s_yrseq.click();
    e.s_sexeq.click();
    // Points that an earlier graph left behind.
    for (int p = 1; p <= 60; ++p)
        mc.yplot(p) = 0.3f;
    User user;
    user.message("Length interval out of range");
    e.L_sex1.click();
    EXPECT_TRUE(user.finished());
    for (int j = 1; j <= 5; ++j)
        EXPECT_FLOAT_EQ(mc.i_sel(1, 1, 1, j), 0);
    // A blank type has no curve at all.
    mc.i_seltyp(1) = " ";
    e.L_sex1.click();
    for (int j = 1; j <= 5; ++j)
        EXPECT_FLOAT_EQ(mc.i_sel(1, 0, 2, j), 0);
}

TEST_F(IndexSeriesTest, SelectivityCopiesBetweenYears) {
    cw::Defineindex& e = fiveYears();
    mc.yr = 2002;
    // Nothing happens before a sex button was used, and the button stays set.
    e.cpyforward.click();
    EXPECT_TRUE(e.cpyforward.value());
    e.cpyprv.click();
    EXPECT_TRUE(e.cpyprv.value());

    User edit;
    edit.act(dragTo({0.2f, 1, 0.5f, 0.5f}));
    e.L_sex1.click();
    EXPECT_TRUE(edit.finished());

    // A No leaves the button set.
    e.cpyforward.setValue(false);
    User no;
    no.message("Are you sure", MsgAnswer::No);
    e.cpyforward.click();
    EXPECT_TRUE(no.finished());
    EXPECT_TRUE(e.cpyforward.value());
    EXPECT_FLOAT_EQ(mc.i_sel(1, 1, 1, 5), 0);

    e.cpyforward.setValue(false);
    User yes;
    yes.message("Are you sure", MsgAnswer::Yes);
    yes.message("All values set equal");
    e.cpyforward.click();
    EXPECT_TRUE(yes.finished());
    EXPECT_FALSE(e.cpyforward.value());
    EXPECT_FLOAT_EQ(mc.i_sel(1, 1, 1, 5), 1);
    EXPECT_FLOAT_EQ(mc.i_sel(1, 1, 1, 2), 0);

    // Previous year into this one; at the first year nothing can be copied.
    mc.yr = 2001;
    e.cpyprv.setValue(false);
    User prev;
    prev.message("Are you sure", MsgAnswer::Yes);
    prev.message("All values set equal");
    mc.i_sel(1, 3, 1, 1) = 0.9f;
    e.cpyprv.click();
    EXPECT_TRUE(prev.finished());
    EXPECT_FLOAT_EQ(mc.i_sel(1, 3, 1, 2), 0.9f);
    mc.yr = 2000;
    User first;
    first.message("Are you sure", MsgAnswer::Yes);
    first.message("Can't copy before start");
    e.cpyprv.click();
    EXPECT_TRUE(first.finished());
    EXPECT_FALSE(e.cpyprv.value());

    // From the last year forward copies nothing beyond it and still says so.
    mc.yr = 2004;
    mc.i_sel(1, 0, 1, 5) = 0.4f;
    User last;
    last.message("Are you sure", MsgAnswer::Yes);
    last.message("All values set equal");
    e.cpyforward.click();
    EXPECT_TRUE(last.finished());
    EXPECT_FLOAT_EQ(mc.i_sel(1, 0, 1, 5), 0.4f);
}

TEST_F(IndexSeriesTest, MatchOtherCopiesTheChosenSexToTheOther) {
    cw::Defineindex& e = fiveYears();
    mc.yr = 2003;
    User edit;
    edit.act(dragTo({0.5f, 1, 1, 0.5f}));
    e.L_sex1.click();
    EXPECT_TRUE(edit.finished());
    User cancel;
    cancel.message("Copy other sex's selectivity this year", MsgAnswer::Cancel);
    e.Matchother.click();
    EXPECT_TRUE(cancel.finished());
    EXPECT_TRUE(e.Matchother.value());
    EXPECT_FLOAT_EQ(mc.i_sel(1, 0, 2, 4), 0);

    e.Matchother.setValue(false);
    User ok;
    ok.message("Copy other sex's selectivity this year");
    ok.message("values set equal");
    e.Matchother.click();
    EXPECT_TRUE(ok.finished());
    EXPECT_FLOAT_EQ(mc.i_sel(1, 0, 2, 4), 0.5f);
    EXPECT_EQ(mc.isex, 2);
}

TEST_F(IndexSeriesTest, MatchOtherAfterAnEditOfEveryYearWorksOnTheYearShown) {
    cw::Defineindex& e = fiveYears();
    mc.yr = 2001;
    User user;
    user.message("Are you sure", MsgAnswer::Yes);
    user.message("All values set equal");
    e.cursex = 1;
    e.Option1.click();
    EXPECT_TRUE(user.finished());
    EXPECT_EQ(e.yearidx, 6);
    for (int j = 1; j <= 5; ++j)
        for (int a = 0; a <= 3; ++a) {
            EXPECT_FLOAT_EQ(mc.i_sel(1, a, 1, j), 1);
            EXPECT_FLOAT_EQ(mc.i_sel(1, a, 2, j), 1);
        }
    mc.i_sel(1, 2, 1, 2) = 0.3f;
    mc.i_sel(1, 2, 1, 3) = 0.6f;
    User match;
    match.message("Copy other sex's selectivity this year");
    match.message("values set equal");
    e.Matchother.click();
    EXPECT_TRUE(match.finished());
    EXPECT_FLOAT_EQ(mc.i_sel(1, 2, 2, 2), 0.3f);
    EXPECT_FLOAT_EQ(mc.i_sel(1, 2, 2, 3), 1);
}

TEST_F(IndexSeriesTest, TheCurveGoesWhereTheEditStartedWhateverTheWindowDoesMeanwhile) {
    cw::Defineindex& e = fiveYears();
    e.I_nindices.setText("2");
    mc.yr = 2001;
    User user;
    user.act([&e] {
        // The user moves on to index 2, ticks Years equal and lengthens the range meanwhile.
        e.Index_ID.setText("2");
        e.s_yrseq.click();
        e.I_LYR.setText("2400");
    });
    user.act(dragTo({0.5f, 1, 0.5f, 0.25f}));
    e.L_sex1.click();
    EXPECT_TRUE(user.finished());
    EXPECT_FLOAT_EQ(mc.i_sel(1, 1, 1, 2), 1);
    EXPECT_FLOAT_EQ(mc.i_sel(1, 1, 1, 3), 0);
    EXPECT_FLOAT_EQ(mc.i_sel(2, 1, 1, 2), 0);
}

TEST_F(IndexSeriesTest, ASecondGraphEditWaitsForTheFirst) {
    cw::Defineindex& e = fiveYears();
    User user;
    user.act([&e] {
        // A season edit pressed while the selectivity graph is up does nothing.
        e.II_szn.click();
        EXPECT_EQ(mc.npts, 4);
    });
    user.act(closeGraph());
    e.L_sex1.click();
    EXPECT_TRUE(user.finished());
}

} // namespace
