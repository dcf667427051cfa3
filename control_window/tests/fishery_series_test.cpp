// The fishery editor's series edits on the graph window: series by year, season fractions and
// selectivity, and the copy, set and scale handlers.
#include "fishery_test_support.h"

#include <gmock/gmock.h>

#include "control_window/windows/graph.h"
#include "platform/surface.h"

namespace {

using cw::mc;
using fisherytest::dragTo;
using fisherytest::FisheryTest;
using fisherytest::User;
using plat::MsgAnswer;

class FisherySeriesTest : public FisheryTest {
  protected:
    // Three years 2001..2003, two sexes, three seasons, ages 0..3, two fisheries: 1 by age,
    // 2 by length (4 bins from 20 to 60).
    cw::DefineFishery& setUpThreeYears() {
        cwtest::setDimensions(
            {.fyr = 2001, .lyr = 2003, .nsexes = 2, .nszns = 3, .nages = 3, .ngear = 2});
        mc.f_seltyp(1) = "A";
        mc.f_seltyp(2) = "L";
        mc.f_nlng(2) = 4;
        mc.f_minlng(2) = 20.0;
        mc.f_mxlng(2) = 60;
        for (int y = 1; y <= 3; ++y) {
            mc.f_tac(y, 1) = float(10 * y);
            mc.f_annf(y, 1) = 0.2f * float(y);
            for (int s = 1; s <= 3; ++s)
                mc.f_sznfract(1, s, y) = float(s) / 6.0f;
            for (int x = 0; x <= 4; ++x)
                for (int sex = 1; sex <= 2; ++sex)
                    mc.f_sel(1, x, sex, y) = mc.f_sel(2, x, sex, y) = 0.1f * float(x + sex + y);
        }
        return editor();
    }
};

// Series by year.

TEST_F(FisherySeriesTest, TheMeanAndTheScaleAreProposedFromTheSeries) {
    cw::DefineFishery& e = setUpThreeYears();
    User user;
    user.message("Set to Mean", MsgAnswer::Yes)
        .input("Time series mean", "20")
        .input("Scale of Y for input", "50")
        .act(dragTo({5, 15, 25}));
    e.CmdTAC.click();
    ASSERT_TRUE(user.finished());
    EXPECT_EQ(user.proposals, (std::vector<std::string>{"20", "40"}));
    EXPECT_EQ(user.titles[0], "Total Allowable Catches");
    EXPECT_EQ(mc.ytitle, "TAC");
    EXPECT_EQ(mc.xtitle, "Year");
    EXPECT_EQ(mc.xmin, 2001);
    EXPECT_EQ(mc.xmax, 2003);
    EXPECT_EQ(mc.ymax, 50);
    EXPECT_EQ(mc.f_tac(1, 1), 5);
    EXPECT_EQ(mc.f_tac(3, 1), 25);
    const auto& seen = user.seen();
    EXPECT_EQ(seen[0].title, std::optional<std::string>(std::string()));

    User again;
    again.message("Set to Mean", MsgAnswer::No)
        .input("Scale of Y for input", "60")
        .act(dragTo({5, 15, 25}));
    e.CmdTAC.click();
    EXPECT_TRUE(again.finished());
    EXPECT_EQ(again.proposals, (std::vector<std::string>{"50"}));
}

TEST_F(FisherySeriesTest, AnAcceptedMeanStaysWhenTheScaleIsRefused) {
    cw::DefineFishery& e = setUpThreeYears();
    for (const char* answer : {"", "0", "-5", "abc"}) {
        SCOPED_TRACE(std::string("scale answered '") + answer + "'");
        for (int y = 1; y <= 3; ++y)
            mc.f_annf(y, 1) = 0.2f * float(y);
        User user;
        user.message("Set to Mean", MsgAnswer::Yes)
            .input("Time series mean", "0.3")
            .input("Scale of Y for input", answer)
            .message("Upper value must be greater than lower");
        e.F_F.click();
        EXPECT_TRUE(user.finished());
        for (int y = 1; y <= 3; ++y)
            EXPECT_EQ(mc.f_annf(y, 1), 0.3f);
        EXPECT_FALSE(plat::isLoaded<cw::frmPlot>() && plat::instance<cw::frmPlot>().visible());
    }
    // A mean that is not a number ends the edit like an empty one.
    User noMean;
    noMean.message("Set to Mean", MsgAnswer::Yes).input("Time series mean", "abc");
    e.CmdTAC.click();
    EXPECT_TRUE(noMean.finished());
    EXPECT_EQ(mc.f_tac(2, 1), 20);
    // Without a mean, a refused scale changes nothing.
    User user;
    user.message("Set to Mean", MsgAnswer::No)
        .input("Scale of Y for input", "-1")
        .message("Upper value must be greater than lower");
    e.F_relmort.click();
    EXPECT_TRUE(user.finished());
    for (int y = 1; y <= 3; ++y)
        EXPECT_EQ(mc.f_regs(3, 1, y), 0);
}

TEST_F(FisherySeriesTest, EachSeriesButtonEditsItsOwnSeries) {
    struct Case {
        plat::CommandButton cw::DefineFishery::*button;
        const char* ytitle;
        const char* prompt;
        std::function<float(int)> value;
    };
    const Case cases[] = {
        {&cw::DefineFishery::F_relmort, "Discard Mortality Fraction",
         "Mortality fraction for released fish", [](int y) { return mc.f_regs(3, 1, y); }},
        {&cw::DefineFishery::L_minsize, "Minimum Size", "Annual minimum sizes",
         [](int y) { return mc.f_regs(1, 1, y); }},
        {&cw::DefineFishery::L_maxsize, "Maximum Size", "Annual maximum sizes",
         [](int y) { return mc.f_regs(2, 1, y); }},
        {&cw::DefineFishery::F_F, "Fishing Mortality (F)", "Annual Maximum F",
         [](int y) { return mc.f_annf(y, 1); }},
    };
    cw::DefineFishery& e = setUpThreeYears();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ytitle);
        User user;
        user.message("Set to Mean", MsgAnswer::No)
            .input("Scale of Y for input", "100")
            .act(dragTo({7, 8, 9}));
        (e.*c.button).click();
        EXPECT_TRUE(user.finished());
        EXPECT_EQ(mc.ytitle, c.ytitle);
        EXPECT_EQ(user.titles[0], c.prompt);
        EXPECT_EQ(c.value(1), 7);
        EXPECT_EQ(c.value(3), 9);
    }
}

TEST_F(FisherySeriesTest, OneYearOrAReversedRangeIsOutOfRange) {
    cw::DefineFishery& e = setUpThreeYears();
    for (int lyr : {2001, 1999}) {
        e.F_LYR.setText(std::to_string(lyr));
        User user;
        user.message("Years are out of range");
        e.CmdTAC.click();
        EXPECT_TRUE(user.finished());
    }
    EXPECT_EQ(mc.f_tac(1, 1), 10);
}

TEST_F(FisherySeriesTest, PointsGoBackToTheFisheryOfTheEdit) {
    cw::DefineFishery& e = setUpThreeYears();
    User user;
    user.message("Set to Mean", MsgAnswer::No)
        .input("Scale of Y for input", "100")
        .act([&] { e.Fishery_ID.setText("2"); })
        .act(dragTo({1, 2, 3}));
    e.CmdTAC.click();
    EXPECT_TRUE(user.finished());
    EXPECT_EQ(mc.f_tac(1, 1), 1);
    EXPECT_EQ(mc.f_tac(3, 1), 3);
    EXPECT_EQ(mc.f_tac(1, 2), 0);
}

// Season fractions.

TEST_F(FisherySeriesTest, SeasonFractionsAreNormalisedToASumOf1) {
    cw::DefineFishery& e = setUpThreeYears();
    e.F_yr.setText("2002");
    User user;
    user.message("Set to mean this year", MsgAnswer::No)
        .input("Scale of Y for input", "3")
        .act(dragTo({1, 1, 2}));
    e.F_sznfract.click();
    EXPECT_TRUE(user.finished());
    EXPECT_EQ(user.titles[0], "Fractions of annual F by season");
    EXPECT_EQ(user.proposals[0], "0.5");
    EXPECT_EQ(mc.ytitle, "Fraction of Annual F ");
    EXPECT_EQ(mc.xtitle, "Season");
    EXPECT_EQ(mc.xmax, 4);
    EXPECT_EQ(mc.f_sznfract(1, 1, 2), 0.25f);
    EXPECT_EQ(mc.f_sznfract(1, 3, 2), 0.5f);
    EXPECT_EQ(mc.f_sznfract(1, 1, 1), 1.0f / 6.0f) << "other years stay";
    EXPECT_EQ(e.yearidx, 2);

    User zeros;
    zeros.message("Set to mean this year", MsgAnswer::No)
        .input("Scale of Y for input", "1")
        .act(dragTo({0, 0, 0}));
    e.F_sznfract.click();
    EXPECT_TRUE(zeros.finished());
    for (int s = 1; s <= 3; ++s)
        EXPECT_EQ(mc.f_sznfract(1, s, 2), 0) << "a sum of 0 is stored unchanged";

    // A season scale of 0 or below, or not a number, ends the edit silently.
    for (const char* answer : {"-1", "0", "x", ""}) {
        mc.f_sznfract(1, 1, 2) = 0.7f;
        User refused;
        refused.message("Set to mean this year", MsgAnswer::No)
            .input("Scale of Y for input", answer);
        e.F_sznfract.click();
        EXPECT_TRUE(refused.finished()) << answer;
        EXPECT_EQ(mc.f_sznfract(1, 1, 2), 0.7f) << answer;
    }

    User mean;
    mean.message("Set to mean this year", MsgAnswer::Yes);
    mc.nszns = 4;
    e.F_sznfract.click();
    EXPECT_TRUE(mean.finished());
    for (int s = 1; s <= 4; ++s)
        EXPECT_EQ(mc.f_sznfract(1, s, 2), 0.25f);
}

TEST_F(FisherySeriesTest, OneSeasonTakesTheWholeYearWithoutAQuestion) {
    cw::DefineFishery& e = setUpThreeYears();
    e.F_nszns.setText("1");
    mc.f_sznfract(1, 1, 1) = 0.3f;
    User user;
    e.F_sznfract.click();
    EXPECT_TRUE(user.seen().empty());
    EXPECT_EQ(mc.f_sznfract(1, 1, 1), 1.0f);
}

TEST_F(FisherySeriesTest, YearsEqualFillsEveryYearWithTheFirstYearsFractions) {
    cw::DefineFishery& e = setUpThreeYears();
    e.F_yr.setText("2003");
    e.sznyrCheck.click();
    ASSERT_TRUE(e.sznyrflag);
    User user;
    user.message("Set to mean this year", MsgAnswer::No)
        .input("Scale of Y for input", "1")
        .act(dragTo({0.5f, 0.25f, 0.25f}));
    e.F_sznfract.click();
    EXPECT_TRUE(user.finished());
    for (int y = 1; y <= 3; ++y) {
        EXPECT_EQ(mc.f_sznfract(1, 1, y), 0.5f);
        EXPECT_EQ(mc.f_sznfract(1, 3, y), 0.25f);
    }
    EXPECT_EQ(e.yearidx, 4);
}

TEST_F(FisherySeriesTest, SeasonCopiesAndTheMeanFill) {
    cw::DefineFishery& e = setUpThreeYears();
    mc.f_sznfract(1, 1, 2) = 0.9f;
    e.F_yr.setText("2002");
    e.cpyszntlyr.click();
    EXPECT_FALSE(e.cpyszntlyr.value());
    EXPECT_EQ(mc.f_sznfract(1, 1, 3), 0.9f);
    EXPECT_EQ(mc.f_sznfract(1, 1, 1), 1.0f / 6.0f);
    e.cpysznpyr.click();
    EXPECT_EQ(mc.f_sznfract(1, 1, 2), 1.0f / 6.0f);
    e.F_yr.setText("2001");
    e.cpysznpyr.click();
    EXPECT_EQ(mc.f_sznfract(1, 1, 1), 1.0f / 6.0f) << "at the first year nothing happens";

    User user;
    user.message("Are you sure", MsgAnswer::Yes).message("All values set equal");
    e.Option2.click();
    EXPECT_TRUE(user.finished());
    EXPECT_FALSE(e.Option2.value());
    for (int y = 1; y <= 3; ++y)
        for (int s = 1; s <= 3; ++s)
            EXPECT_EQ(mc.f_sznfract(1, s, y), float(1.0 / 3.0));
    EXPECT_EQ(e.yearidx, 4);
}

TEST_F(FisherySeriesTest, AYearOutsideTheRangeIsNotEdited) {
    cw::DefineFishery& e = setUpThreeYears();
    e.F_yr.setText("2010");
    User user;
    user.message("Years are out of range").message("Years are out of range");
    e.F_sznfract.click();
    e.L_sex1.click();
    EXPECT_TRUE(user.finished());
}

// Selectivity.

TEST_F(FisherySeriesTest, ASelectivityEditScalesTheCurveToAMaximumOf1) {
    cw::DefineFishery& e = setUpThreeYears();
    e.F_yr.setText("2002");
    bool redLine = false;
    User user;
    user.act([&] {
            plat::Surface& s = plat::instance<cw::frmPlot>().surface();
            redLine = s.point(1.5f, 1.0f) == 255;
        })
        .act(dragTo({0.1f, 0.4f, 0.8f, 0.4f}));
    e.L_sex1.click();
    EXPECT_TRUE(user.finished());
    EXPECT_TRUE(redLine) << "a red line marks 1";
    EXPECT_EQ(mc.xtitle, "Age");
    EXPECT_EQ(mc.ytitle, "Selectivity");
    EXPECT_EQ(mc.xmax, 3);
    EXPECT_FLOAT_EQ(mc.ymax, 1.2f);
    EXPECT_FLOAT_EQ(mc.f_sel(1, 0, 1, 2), 0.125f);
    EXPECT_FLOAT_EQ(mc.f_sel(1, 2, 1, 2), 1.0f);
    EXPECT_FLOAT_EQ(mc.f_sel(1, 3, 1, 2), 0.5f);
    EXPECT_FLOAT_EQ(mc.f_sel(1, 1, 1, 1), 0.3f) << "other years stay";
    EXPECT_EQ(e.cursex, 1);
    EXPECT_EQ(e.yearidx, 2);

    User zeros;
    zeros.act(dragTo({0, 0, 0, 0}));
    e.L_sex2.click();
    EXPECT_TRUE(zeros.finished());
    for (int a = 0; a <= 3; ++a)
        EXPECT_EQ(mc.f_sel(1, a, 2, 2), 0) << "a curve left at 0 is stored as zeros";
    EXPECT_EQ(mc.isex, 2);
}

TEST_F(FisherySeriesTest, YearsAndSexesEqualFillEveryYearOfBothSexes) {
    cw::DefineFishery& e = setUpThreeYears();
    e.s_yrseq.click();
    e.s_sexeq.click();
    User user;
    user.act(dragTo({0, 0.5f, 1, 0.5f}));
    e.L_sex1.click();
    EXPECT_TRUE(user.finished());
    for (int y = 1; y <= 3; ++y)
        for (int s = 1; s <= 2; ++s) {
            EXPECT_EQ(mc.f_sel(1, 1, s, y), 0.5f);
            EXPECT_EQ(mc.f_sel(1, 2, s, y), 1.0f);
        }
    EXPECT_EQ(e.yearidx, 1);
}

TEST_F(FisherySeriesTest, ALengthSelectivityStandsOnTheLowerEdgesOfItsBins) {
    cw::DefineFishery& e = setUpThreeYears();
    e.Fishery_ID.setText("2");
    e.F_nlng.setText("10");
    e.F_minlng.setText("20");
    e.F_mxlng.setText("70");
    e.s_sexeq.click();
    std::vector<float> xs;
    User user;
    user.act([&] {
            for (int i = 1; i <= mc.npts; ++i)
                xs.push_back(mc.xplot(i));
        })
        .act(dragTo({0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f, 0.8f, 0.9f, 1.0f}));
    e.L_sex1.click();
    EXPECT_TRUE(user.finished());
    EXPECT_EQ(xs, (std::vector<float>{20, 25, 30, 35, 40, 45, 50, 55, 60, 65}));
    EXPECT_EQ(mc.xtitle, "Length");
    for (int b = 1; b <= 10; ++b) {
        EXPECT_FLOAT_EQ(mc.f_sel(2, b, 1, 1), 0.1f * float(b));
        EXPECT_FLOAT_EQ(mc.f_sel(2, b, 2, 1), 0.1f * float(b));
    }
}

TEST_F(FisherySeriesTest, AReversedLengthRangeDrawsNothingAndCopiesNothing) {
    cw::DefineFishery& e = setUpThreeYears();
    e.Fishery_ID.setText("2");
    e.F_minlng.setText("70");
    e.F_mxlng.setText("20");
    e.s_yrseq.click();
    mc.yplot(1) = 99; // left over from an earlier graph
    User user;
    user.message("Length interval out of range");
    e.L_sex1.click();
    EXPECT_TRUE(user.finished());
    EXPECT_FALSE(plat::isLoaded<cw::frmPlot>());
    EXPECT_FLOAT_EQ(mc.f_sel(2, 1, 1, 2), 0.4f);
}

// Copies and fills.

TEST_F(FisherySeriesTest, CopiesNeedASexFirst) {
    cw::DefineFishery& e = setUpThreeYears();
    User user;
    for (plat::OptionButton* b : {&e.cpyforward, &e.cpyprv, &e.Matchother}) {
        b->click();
        EXPECT_FALSE(b->value()) << b->name();
    }
    EXPECT_TRUE(user.seen().empty());
}

TEST_F(FisherySeriesTest, CopiesAndTheSetOnAFisheryWithoutATypeDoNothingAndSayNothing) {
    cw::DefineFishery& e = setUpThreeYears();
    mc.f_seltyp(1) = " ";
    e.F_yr.setText("2002");
    e.cursex = 1;
    const float before = mc.f_sel(1, 0, 1, 3);
    User user;
    for (plat::OptionButton* b : {&e.cpyforward, &e.cpyprv, &e.Matchother, &e.Option1}) {
        b->click();
        EXPECT_FALSE(b->value()) << b->name();
    }
    EXPECT_TRUE(user.seen().empty());
    EXPECT_EQ(mc.f_seltyp(1), " ");
    EXPECT_FLOAT_EQ(mc.f_sel(1, 0, 1, 3), before);
}

TEST_F(FisherySeriesTest, CopyingSelectivityForwardBackAndToTheOtherSex) {
    cw::DefineFishery& e = setUpThreeYears();
    e.cursex = 1;
    e.F_yr.setText("2002");
    {
        User user;
        user.message("Are you sure", MsgAnswer::No);
        e.cpyforward.click();
        EXPECT_TRUE(user.finished());
        EXPECT_TRUE(e.cpyforward.value()) << "stays selected after No";
        e.cpyforward.click(); // a second click on a selected button does nothing
        EXPECT_FLOAT_EQ(mc.f_sel(1, 0, 1, 3), 0.4f);
    }
    {
        User user;
        user.message("Are you sure", MsgAnswer::Yes).message("All values set equal");
        e.cpyprv.click();
        EXPECT_TRUE(user.finished());
        EXPECT_FALSE(e.cpyprv.value());
        EXPECT_FLOAT_EQ(mc.f_sel(1, 0, 1, 2), 0.2f);
    }
    {
        User user;
        user.message("Are you sure", MsgAnswer::Yes).message("All values set equal");
        e.cpyforward.click();
        EXPECT_TRUE(user.finished());
        EXPECT_FLOAT_EQ(mc.f_sel(1, 0, 1, 3), 0.2f);
        EXPECT_FLOAT_EQ(mc.f_sel(1, 1, 1, 3), 0.3f);
        EXPECT_FLOAT_EQ(mc.f_sel(1, 0, 2, 3), 0.5f) << "the other sex stays";
    }
    {
        e.F_yr.setText("2003");
        mc.f_sel(1, 1, 1, 3) = 0.77f;
        User user;
        user.message("Are you sure", MsgAnswer::Yes).message("All values set equal");
        e.cpyforward.click();
        EXPECT_TRUE(user.finished()) << "the last year copies onto itself only";
        EXPECT_FLOAT_EQ(mc.f_sel(1, 1, 1, 2), 0.3f);
    }
    {
        e.F_yr.setText("2001");
        User user;
        user.message("Are you sure", MsgAnswer::Yes).message("Can't copy before start");
        e.cpyprv.click();
        EXPECT_TRUE(user.finished());
    }
    {
        e.yearidx = 3;
        User user;
        user.message("Copy selectivity to other sex this year").message("values set equal");
        e.Matchother.click();
        EXPECT_TRUE(user.finished());
        EXPECT_EQ(mc.isex, 2);
        EXPECT_FLOAT_EQ(mc.f_sel(1, 1, 2, 3), 0.77f);
    }
}

TEST_F(FisherySeriesTest, InitialiseWith1AndThenMatchTheOtherSexInTheCurrentYear) {
    cw::DefineFishery& e = setUpThreeYears();
    User user;
    user.message("Are you sure", MsgAnswer::Yes).message("All values set equal");
    e.Option1.click();
    EXPECT_TRUE(user.finished());
    EXPECT_FALSE(e.Option1.value());
    for (int y = 1; y <= 3; ++y)
        for (int a = 0; a <= 3; ++a)
            for (int s = 1; s <= 2; ++s)
                EXPECT_EQ(mc.f_sel(1, a, s, y), 1.0f);
    EXPECT_FLOAT_EQ(mc.f_sel(1, 4, 1, 1), 0.6f) << "ages beyond the last stay";
    EXPECT_EQ(e.yearidx, 4);

    // The fill left the edit's year past the range: the copy takes the current year.
    e.cursex = 2;
    e.F_yr.setText("2002");
    mc.f_sel(1, 0, 2, 2) = 0.5f;
    User match;
    match.message("Copy selectivity to other sex this year").message("values set equal");
    e.Matchother.click();
    EXPECT_TRUE(match.finished());
    EXPECT_EQ(mc.f_sel(1, 0, 1, 2), 0.5f);
    EXPECT_EQ(e.yearidx, 2);
}

TEST_F(FisherySeriesTest, ExecuteScalesTheAnnualFOnce) {
    cw::DefineFishery& e = setUpThreeYears();
    e.Option4.click();
    EXPECT_FLOAT_EQ(mc.f_annf(1, 1), 0.2f) << "before the box is changed, its 1.0 counts";
    EXPECT_TRUE(e.Option4.value()) << "Execute stays selected";
    e.F_Fscaler.setText("0.5");
    e.Option4.click();
    e.Option4.click();
    for (int y = 1; y <= 3; ++y)
        EXPECT_FLOAT_EQ(mc.f_annf(y, 1), 0.1f * float(y));
    EXPECT_FLOAT_EQ(mc.f_annf(1, 2), 0) << "only the fishery shown";
    e.F_Fscaler.setText("0.50");
    e.Option4.click();
    EXPECT_FLOAT_EQ(mc.f_annf(2, 1), 0.1f);
    EXPECT_EQ(e.yearidx, 4);
}

} // namespace
