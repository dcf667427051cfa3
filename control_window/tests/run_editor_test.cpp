// The run definition editor: its opening state, the refresh that normalises names and
// replications, and the conversions of its number boxes.
#include <gtest/gtest.h>

#include <string>

#include "control_window/windows/editors/definerun.h"
#include "control_window/windows/main/start.h"
#include "cw_fixture.h"

namespace {

using cw::mc;

class RunEditorTest : public cwtest::CwTest {
  protected:
    cw::DefineRun& run() { return plat::instance<cw::DefineRun>(); }
};

using Box = plat::TextBox cw::DefineRun::*;
const Box kOptional[] = {
    &cw::DefineRun::I_refpoints, &cw::DefineRun::I_incond,    &cw::DefineRun::i_ndx,
    &cw::DefineRun::i_lnds,      &cw::DefineRun::i_ctch,      &cw::DefineRun::i_stock,
    &cw::DefineRun::i_ctch_lng,  &cw::DefineRun::I_incondout, &cw::DefineRun::I_logf};
const Box kRequired[] = {&cw::DefineRun::I_bio, &cw::DefineRun::I_YOY, &cw::DefineRun::I_mgt};

TEST_F(RunEditorTest, TheMenuEntryOpensTheWindowInItsStartState) {
    plat::instance<cw::start>().runmu.click();
    ASSERT_TRUE(plat::isLoaded<cw::DefineRun>());
    cw::DefineRun& w = run();
    EXPECT_TRUE(w.visible());
    EXPECT_EQ(w.caption(), "Create/Edit Runfile");
    for (Box b : kOptional) {
        EXPECT_EQ((w.*b).text(), "NUL") << (w.*b).name();
    }
    for (Box b : kRequired) {
        EXPECT_EQ((w.*b).text(), "") << (w.*b).name();
    }
    for (Box b : {&cw::DefineRun::I_lngs, &cw::DefineRun::i_lme, &cw::DefineRun::i_L_a,
                  &cw::DefineRun::I_ame, &cw::DefineRun::I_fyrout, &cw::DefineRun::I_lyrout}) {
        EXPECT_EQ((w.*b).text(), "0") << (w.*b).name();
    }
    EXPECT_EQ(w.I_Reps.text(), "1");
    EXPECT_EQ(w.run.reps, 1);
    EXPECT_EQ(w.run.logf, "NUL");
    // No file was read: the window is not that of a file, and a launch saves first.
    EXPECT_FALSE(w.clean);
    EXPECT_EQ(w.RUN.caption(), "Execute");
    w.I_mgt.setText("a.mgt");
    EXPECT_FALSE(w.clean);
}

TEST_F(RunEditorTest, OptionalNamesMeaningNoFileBecomeNul) {
    cw::DefineRun& w = run();
    for (const char* typed : {"nul", "Null", "NULL", "", "nUl"}) {
        for (Box b : kOptional) {
            (w.*b).setText("x.out");
            (w.*b).setText(typed);
            EXPECT_EQ((w.*b).text(), "NUL") << (w.*b).name() << " typed '" << typed << "'";
        }
        for (Box b : kRequired) {
            (w.*b).setText(typed);
            EXPECT_EQ((w.*b).text(), typed) << (w.*b).name();
        }
    }
    w.i_stock.setText("nulls");
    EXPECT_EQ(w.run.stock, "nulls");
    w.I_YOY.setText("NULL");
    EXPECT_EQ(w.run.yoy, "NULL");
}

TEST_F(RunEditorTest, NumberBoxesConvertAndSettle) {
    struct Case {
        Box box;
        const char* typed;
        const char* shown;
        double stored;
    };
    const Case cases[] = {
        {&cw::DefineRun::I_Reps, "0", "1", 1},
        {&cw::DefineRun::I_Reps, "", "1", 1},
        {&cw::DefineRun::I_Reps, "-2", "-2", -2},
        {&cw::DefineRun::I_Reps, "12.5", "12", 12},
        {&cw::DefineRun::I_lngs, "2.5", "2", 2},
        {&cw::DefineRun::I_lngs, "3.5", "4", 4},
        {&cw::DefineRun::I_lngs, "100000", "100000", 100000},
        {&cw::DefineRun::i_L_a, "7x", "7x", 7},
        {&cw::DefineRun::i_lme, "0.50", "0.50", 0.5},
        {&cw::DefineRun::i_lme, "0.", "0.", 0},
        {&cw::DefineRun::I_ame, "abc", "abc", 0},
        {&cw::DefineRun::I_ame, "-0.1", "-0.1", double(-0.1f)},
        {&cw::DefineRun::I_fyrout, "", "0", 0},
        {&cw::DefineRun::I_lyrout, "2010.5", "2010", 2010},
        {&cw::DefineRun::I_lyrout, "-", "0", 0},
    };
    const auto stored = [](const cw::RunData& r, Box b) -> double {
        if (b == &cw::DefineRun::I_Reps) return r.reps;
        if (b == &cw::DefineRun::I_lngs) return r.lngs;
        if (b == &cw::DefineRun::i_L_a) return r.l_a;
        if (b == &cw::DefineRun::i_lme) return r.lme;
        if (b == &cw::DefineRun::I_ame) return r.ame;
        if (b == &cw::DefineRun::I_fyrout) return r.fyrout;
        return r.lyrout;
    };
    for (const Case& c : cases) {
        plat::unloadAll();
        cw::DefineRun& w = run();
        SCOPED_TRACE(std::string((w.*c.box).name()) + " typed '" + c.typed + "'");
        (w.*c.box).setText(c.typed);
        EXPECT_EQ((w.*c.box).text(), c.shown);
        EXPECT_EQ(stored(w.run, c.box), c.stored);
    }
}

TEST_F(RunEditorTest, ANumberBeyondItsFieldIsRefusedAndTheBoxShowsTheValueKept) {
    struct Case {
        Box box;
        const char* before;
        const char* typed;
        // The text stays until the box is left, which puts the value back with a message.
        bool untilLeft = false;
    };
    const Case cases[] = {
        {&cw::DefineRun::I_Reps, "5", "40000"},
        {&cw::DefineRun::I_fyrout, "1990", "-99999"},
        {&cw::DefineRun::I_lngs, "12", "3e9", true},
        {&cw::DefineRun::i_L_a, "3", "-2147483649", true},
        {&cw::DefineRun::i_lme, "0.5", "1e39", true},
    };
    for (const Case& c : cases) {
        plat::unloadAll();
        cw::DefineRun& w = run();
        SCOPED_TRACE(std::string((w.*c.box).name()) + " typed " + c.typed);
        (w.*c.box).setText(c.before);
        const cw::RunData kept = w.run;
        (w.*c.box).setText(c.typed);
        EXPECT_EQ(w.run, kept);
        if (c.untilLeft) {
            EXPECT_EQ((w.*c.box).text(), c.typed);
            plat::testing::ScriptedUser user;
            cwtest::messageWith(user, {c.typed, "out of range"});
            plat::showStoredValues();
            EXPECT_TRUE(user.finished());
            EXPECT_EQ(w.run, kept);
        }
        EXPECT_EQ((w.*c.box).text(), c.before);
    }
}

TEST_F(RunEditorTest, TheCaptionFollowsTheCurrentFileAtTheNextRefresh) {
    cw::DefineRun& w = run();
    mc.runfile = "/data/a.run";
    EXPECT_EQ(w.caption(), "Create/Edit Runfile");
    w.I_bio.setText("a.bio");
    EXPECT_EQ(w.caption(), "/data/a.run");
}

} // namespace
