// The equilibrium definition editor: its opening state from the menu and from the command line,
// the refresh that clamps the year count and index, and the year list with its auto increment.
#include <gtest/gtest.h>

#include <string>

#include "control_window/windows/editors/definetez.h"
#include "control_window/windows/main/start.h"
#include "cw_fixture.h"
#include "platform/testing/scripted_user.h"

namespace {

using cw::mc;
using User = plat::testing::ScriptedUser;

class TezEditorTest : public cwtest::CwTest {
  protected:
    cw::DefineTEZ& tez() { return plat::instance<cw::DefineTEZ>(); }
};

TEST_F(TezEditorTest, TheMenuEntryOpensTheWindowInItsStartState) {
    plat::instance<cw::start>().TEZ.click();
    ASSERT_TRUE(plat::isLoaded<cw::DefineTEZ>());
    cw::DefineTEZ& w = tez();
    EXPECT_TRUE(w.visible());
    EXPECT_EQ(w.caption(), "Create/Edit TEZ File");
    EXPECT_EQ(w.I_nyr.text(), "1");
    EXPECT_EQ(w.i_yr.text(), "1");
    EXPECT_EQ(w.I_valyr.text(), "0");
    for (plat::TextBox* b : {&w.I_bio, &w.I_mgt, &w.i_TEZ, &w.i_bnch, &w.i_pmo, &w.I_title})
        EXPECT_EQ(b->text(), "") << b->name();
    EXPECT_EQ(w.data.nyr, 1);
    EXPECT_TRUE(w.Option1.enabled());
    // No file was read: the window is not that of a file, and a launch saves first.
    EXPECT_FALSE(w.clean);
    EXPECT_EQ(w.readtez.caption(), "Load TEZ ");
    EXPECT_EQ(w.Frame1.caption(), "Execute");
    EXPECT_EQ(w.dokuv.caption(), "Equlibrium Production");
    w.I_mgt.setText("a.mgt");
    EXPECT_FALSE(w.clean);
    EXPECT_EQ(w.data.mgt, "a.mgt");
}

TEST_F(TezEditorTest, TheYearCountIsNormalisedAsItIsTyped) {
    cw::DefineTEZ& w = tez();
    const std::pair<const char*, const char*> typed[] = {
        {"0", "1"},
        {"", "1"},
        {"05", "5"},
        {"4.5", "4"},
        {"5.5", "6"},
        {"7x", "7"},
        // A negative count or one beyond the 16-bit range is refused; above the list's
        // length it is the list's length.
        {"-3", "7"},
        {"70000", "7"},
        {"2000", "1000"}};
    for (const auto& [text, shown] : typed) {
        w.I_nyr.setText(text);
        EXPECT_EQ(w.I_nyr.text(), shown) << "typed '" << text << "'";
        EXPECT_EQ(std::to_string(w.data.nyr), shown) << "typed '" << text << "'";
        EXPECT_EQ(w.HScroll1.max(), w.data.nyr);
    }
}

TEST_F(TezEditorTest, TheIndexIsClampedIntoTheYearsAndFollowsTheScrollBar) {
    cw::DefineTEZ& w = tez();
    w.I_nyr.setText("5");
    for (int k = 1; k <= 5; ++k) {
        w.i_yr.setText(std::to_string(k));
        w.I_valyr.setText(std::to_string(2000 + 10 * k));
    }
    w.i_yr.setText("7");
    EXPECT_EQ(w.iyr, 5);
    EXPECT_EQ(w.i_yr.text(), "5");
    EXPECT_EQ(w.HScroll1.value(), 5);
    EXPECT_EQ(w.I_valyr.text(), "2050");

    w.HScroll1.setValue(2);
    EXPECT_EQ(w.i_yr.text(), "2");
    EXPECT_EQ(w.I_valyr.text(), "2020");
    EXPECT_FALSE(w.Option1.enabled());

    // Text that is not a number is left for the user to finish.
    for (const char* text : {"", "x", "-"}) {
        w.i_yr.setText(text);
        EXPECT_EQ(w.i_yr.text(), text);
        EXPECT_EQ(w.iyr, 2);
    }
    w.i_yr.setText("0");
    EXPECT_EQ(w.i_yr.text(), "1");
    EXPECT_TRUE(w.Option1.enabled());

    // Lowering the count pulls the index down with it.
    w.HScroll1.setValue(5);
    w.I_nyr.setText("3");
    EXPECT_EQ(w.iyr, 3);
    EXPECT_EQ(w.HScroll1.value(), 3);
    EXPECT_EQ(w.I_valyr.text(), "2030");
}

TEST_F(TezEditorTest, AutoIncrementFillsTheListFromTheFirstYear) {
    cw::DefineTEZ& w = tez();
    w.I_nyr.setText("4");
    w.I_valyr.setText("0");
    w.Option1.click();
    EXPECT_FALSE(w.Option1.value());
    for (int k = 2; k <= 4; ++k)
        EXPECT_EQ(w.data.years(k), 0);

    // The button acts on every click.
    w.I_valyr.setText("1990");
    w.Option1.click();
    for (int k = 1; k <= 4; ++k)
        EXPECT_EQ(w.data.years(k), 1989 + k);
    EXPECT_FALSE(w.Option1.value());
    w.I_valyr.setText("2000");
    w.Option1.click();
    EXPECT_EQ(w.data.years(4), 2003);
    w.HScroll1.setValue(4);
    EXPECT_EQ(w.I_valyr.text(), "2003");

    // A year beyond the 16-bit range is refused.
    w.I_valyr.setText("40000");
    EXPECT_EQ(w.I_valyr.text(), "2003");
}

TEST_F(TezEditorTest, TheCommandLineOpensTheEditorOnTheFile) {
    writeFile(path("snapper.tez"),
              "s.bio\r\ns.mgt\r\ns.tzo\r\nNUL\r\ns.pmo\r\nSnapper\r\n 2 \r\n 2018 \r\n 2019 \r\n");
    plat::setCommandLine("\"C:\\Data Files\\SNAPPER.TEZ\"");
    User user;
    user.act([this] {
        ASSERT_TRUE(plat::isLoaded<cw::DefineTEZ>());
        cw::DefineTEZ& w = tez();
        EXPECT_TRUE(w.visible());
        EXPECT_EQ(mc.tezfile, path("snapper.tez"));
        EXPECT_EQ(w.caption(), path("snapper.tez"));
        EXPECT_EQ(w.I_bio.text(), "s.bio");
        EXPECT_EQ(w.I_nyr.text(), "2");
        EXPECT_EQ(w.data.years(2), 2019);
        EXPECT_TRUE(w.clean);
        w.closeBox();
    });
    plat::instance<cw::start>();
    EXPECT_TRUE(user.finished());
}

} // namespace
