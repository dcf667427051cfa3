// The yield-per-recruit definition editor: its opening state, the boxes that keep partial input,
// the strict year boxes, the clamps and the auto increment, and opening from the command line.
#include <gtest/gtest.h>

#include <QWidget>

#include <string>

#include "control_window/windows/editors/definewox.h"
#include "control_window/windows/main/start.h"
#include "cw_fixture.h"
#include "platform/testing/scripted_user.h"

namespace {

using cw::mc;
using User = plat::testing::ScriptedUser;

class WoxEditorTest : public cwtest::CwTest {
  protected:
    cw::DefineWOX& wox() { return plat::instance<cw::DefineWOX>(); }
};

TEST_F(WoxEditorTest, TheWindowOpensWithTheValuesItsBoxesShow) {
    plat::instance<cw::start>().WOX.click();
    ASSERT_TRUE(plat::isLoaded<cw::DefineWOX>());
    cw::DefineWOX& w = wox();
    EXPECT_TRUE(w.visible());
    EXPECT_EQ(w.caption(), "Create/Edit WOX File");
    EXPECT_EQ(w.i_fmin.text(), "0");
    EXPECT_EQ(w.i_fmax.text(), "1");
    EXPECT_EQ(w.I_Finc.text(), "0.01");
    EXPECT_EQ(w.I_nyr.text(), "1");
    EXPECT_EQ(w.i_yr.text(), "1");
    EXPECT_EQ(w.data.fmin, 0.0f);
    EXPECT_EQ(w.data.fmax, 1.0f);
    EXPECT_EQ(w.data.finc, 0.01f);
    EXPECT_EQ(w.data.nyr, 1);
    // No file was read: the window is not that of a file, and a launch saves first.
    EXPECT_FALSE(w.clean);
    EXPECT_EQ(w.run.caption(), "Execute");
    EXPECT_EQ(w.readwox.caption(), "Load WOX");
    // The doubled ampersand of the label shows as one, and screen readers hear it so.
    EXPECT_EQ(w.i_fmaxfil.widget()->accessibleName(),
              QStringLiteral("Output file for F0.1 & Fmax"));
    EXPECT_EQ(w.i_fmaxfil.widget()->accessibleDescription(), QStringLiteral("i_fmaxfil"));
    // The first edit keeps the other boxes as they were.
    w.I_bio.setText("stock.bio");
    EXPECT_FALSE(w.clean);
    EXPECT_EQ(w.i_fmax.text(), "1");
    EXPECT_EQ(w.I_Finc.text(), "0.01");
}

TEST_F(WoxEditorTest, NumberBoxesKeepTheUsersTextOfAnEqualNumber) {
    cw::DefineWOX& w = wox();
    w.i_fmin.setText("0.");
    EXPECT_EQ(w.i_fmin.text(), "0.");
    w.i_fmax.setText("0.50");
    EXPECT_EQ(w.i_fmax.text(), "0.50");
    EXPECT_EQ(w.data.fmax, 0.5f);
    w.I_Finc.setText("0.005");
    EXPECT_EQ(w.data.finc, 0.005f);
    // A number that no single value holds is refused: the box puts the value back once left.
    w.I_Finc.setText("1e39");
    EXPECT_EQ(w.data.finc, 0.005f);
    {
        plat::testing::ScriptedUser user;
        cwtest::messageWith(user, {"1e39", "out of range for \"Fincrement\""});
        plat::showStoredValues();
        EXPECT_TRUE(user.finished());
    }
    EXPECT_EQ(w.data.finc, 0.005f);
    EXPECT_EQ(w.I_Finc.text(), "0.005");

    const std::pair<const char*, const char*> counts[] = {
        {"0", "1"}, {"", "1"}, {"2.5", "2"}, {"5", "5"}, {"-2", "5"}, {"5000", "1000"}};
    for (const auto& [text, shown] : counts) {
        w.I_nyr.setText(text);
        EXPECT_EQ(w.I_nyr.text(), shown) << "typed '" << text << "'";
    }
}

TEST_F(WoxEditorTest, TheYearAndIndexBoxesTakeOnlyNumbers) {
    cw::DefineWOX& w = wox();
    w.I_nyr.setText("5");
    w.I_valyr.setText("2000");
    EXPECT_EQ(w.data.years(1), 2000);
    for (const char* text : {"", "20x", "-"}) {
        w.I_valyr.setText(text);
        EXPECT_EQ(w.I_valyr.text(), text);
        EXPECT_EQ(w.data.years(1), 2000) << "typed '" << text << "'";
    }
    w.I_valyr.setText("2002.5");
    EXPECT_EQ(w.data.years(1), 2002);
    w.I_valyr.setText("40000");
    EXPECT_EQ(w.data.years(1), 2002);

    w.i_yr.setText("7");
    EXPECT_EQ(w.iyr, 5);
    EXPECT_EQ(w.i_yr.text(), "5");
    EXPECT_EQ(w.HScroll1.value(), 5);
    EXPECT_FALSE(w.Option1.enabled());
    w.i_yr.setText("");
    EXPECT_EQ(w.iyr, 5);
    w.HScroll1.setValue(1);
    EXPECT_EQ(w.i_yr.text(), "1");
    EXPECT_EQ(w.I_valyr.text(), "2002");
    EXPECT_TRUE(w.Option1.enabled());
}

TEST_F(WoxEditorTest, AutoIncrementFillsTheListFromTheFirstYear) {
    cw::DefineWOX& w = wox();
    w.I_nyr.setText("3");
    w.I_valyr.setText("0");
    w.Option1.click();
    EXPECT_EQ(w.data.years(2), 0);
    w.I_valyr.setText("2000");
    w.Option1.click();
    EXPECT_FALSE(w.Option1.value());
    for (int k = 1; k <= 3; ++k)
        EXPECT_EQ(w.data.years(k), 1999 + k);
    w.HScroll1.setValue(3);
    EXPECT_EQ(w.I_valyr.text(), "2002");
}

TEST_F(WoxEditorTest, TheCommandLineOpensTheEditorOnTheFile) {
    writeFile(path("stock.wox"),
              "s.bio\r\ns.mgt\r\ns.plt\r\ns.yro\r\n .1 \r\n 2 \r\n .02 \r\n 1 \r\n 2010 \r\n");
    plat::setCommandLine("Stock.WOX");
    User user;
    user.act([this] {
        ASSERT_TRUE(plat::isLoaded<cw::DefineWOX>());
        cw::DefineWOX& w = wox();
        EXPECT_EQ(mc.woxfile, path("stock.wox"));
        EXPECT_EQ(w.caption(), path("stock.wox"));
        EXPECT_EQ(w.i_fmin.text(), "0.1");
        EXPECT_EQ(w.I_valyr.text(), "2010");
        EXPECT_TRUE(w.clean);
        w.closeBox();
    });
    plat::instance<cw::start>();
    EXPECT_TRUE(user.finished());
}

} // namespace
