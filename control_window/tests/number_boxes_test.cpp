// A number box never shows one value while another is stored: once the user leaves it, and before
// every save, export and launch, it shows the stored value, unless its text already reads as that
// value. Typing is left alone while the box has the focus.
#include "cw_fixture.h"

#include <QApplication>
#include <QWidget>

#include "control_window/windows/editors/definebio.h"
#include "control_window/windows/editors/definefishery.h"
#include "control_window/windows/editors/defineindex.h"
#include "control_window/windows/editors/definerun.h"
#include "control_window/windows/editors/definewox.h"
#include "control_window/windows/editors/defineyoy.h"
#include "control_window/windows/editors/fecfrm.h"
#include "control_window/windows/editors/growthfrm.h"
#include "platform/numtext.h"

namespace {

using cw::mc;
using plat::testing::ScriptedUser;

class NumberBoxesTest : public cwtest::CwTest {};

TEST_F(NumberBoxesTest, ABoxLeftShowsWhatItStores) {
    struct Case {
        const char* what;
        std::function<plat::TextBox&()> box;
        const char* typed;
        const char* shown;
        std::function<double()> stored;
    };
    const auto bio = [] { return &plat::instance<cw::DefineBio>(); };
    const auto yoy = [] { return &plat::instance<cw::DefineYOY>(); };
    const auto growth = [] { return &plat::instance<cw::Growthfrm>(); };
    const auto fec = [] { return &plat::instance<cw::Fecfrm>(); };
    const auto run = [] { return &plat::instance<cw::DefineRun>(); };
    const Case cases[] = {
        // A decimal comma, text that is no number, and a number followed by text read leniently.
        {"SR slope", [&]() -> plat::TextBox& { return bio()->ISRslope; }, "0,5", "0",
         [] { return mc.isrslope; }},
        {"TEZ Recruitment", [&]() -> plat::TextBox& { return bio()->ITEZrecruitment; }, "abc", "0",
         [] { return mc.itezrecruitment; }},
        {"Loo", [&]() -> plat::TextBox& { return growth()->L_sex1; }, "7x", "7",
         [] { return mc.vblinf(1); }},
        {"Fecundity a", [&]() -> plat::TextBox& { return fec()->a_fec; }, "2,5e3", " 2",
         [] { return mc.a_fec; }},
        {"Mean recruitment", [&]() -> plat::TextBox& { return yoy()->i_myoy; }, "0,5", "0",
         [] { return mc.myoy.number(); }},
        {"Length measurement error", [&]() -> plat::TextBox& { return run()->i_lme; }, "-", "0",
         [&] { return run()->run.lme; }},
        // A year read to the nearest whole number.
        {"first year", [&]() -> plat::TextBox& { return yoy()->i_byr; }, "2001.5", "2002",
         [&] { return yoy()->byr; }},
        // What already reads as the stored value stays as typed.
        {"an equal number", [&]() -> plat::TextBox& { return bio()->ISRslope; }, "0.50", "0.50",
         [] { return mc.isrslope; }},
        {"an equal year", [&]() -> plat::TextBox& { return yoy()->i_eyr; }, "2002.0", "2002.0",
         [&] { return yoy()->eyr; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        plat::TextBox& box = c.box();
        box.setText(c.typed);
        EXPECT_EQ(box.text(), c.typed) << "no refresh while typing";
        plat::showStoredValues();
        EXPECT_EQ(box.text(), c.shown);
        EXPECT_EQ(plat::parseNumber(c.shown).value_or(0), c.stored());
    }
}

// A value too large or too small for its single-precision variable is refused, and every box
// shows it refused at once: the earlier value stays and is what the box shows.
TEST_F(NumberBoxesTest, AValueThatDoesNotFitIsShownRefusedInEveryBox) {
    struct Case {
        const char* what;
        std::function<plat::TextBox&()> box;
        std::function<float()> stored;
    };
    const auto index = [] { return &plat::instance<cw::Defineindex>(); };
    const auto wox = [] { return &plat::instance<cw::DefineWOX>(); };
    const Case cases[] = {
        {"Ages Error", [&]() -> plat::TextBox& { return index()->A_err; },
         [] { return mc.a_err(1); }},
        {"Index error", [&]() -> plat::TextBox& { return index()->I_err; },
         [] { return mc.i_err(1); }},
        {"Total F Randomization Scalar",
         [&]() -> plat::TextBox& { return plat::instance<cw::DefineFishery>().Txt_fcv; },
         [] { return mc.fcv; }},
        {"Min F", [&]() -> plat::TextBox& { return wox()->i_fmin; },
         [&] { return wox()->data.fmin; }},
    };
    for (const Case& c : cases) {
        for (const char* refused : {"1e39", "-1e39", "1e-50"}) {
            SCOPED_TRACE(std::string(c.what) + " " + refused);
            plat::TextBox& box = c.box();
            box.setText("0.25");
            ASSERT_EQ(c.stored(), 0.25f);
            box.setText(refused);
            EXPECT_EQ(c.stored(), 0.25f);
            EXPECT_EQ(box.text(), "0.25");
        }
    }
}

// The focus decides: a box keeps what is being typed ("1e", "-") while it has the focus, and
// shows the stored value once the user moves on.
TEST_F(NumberBoxesTest, TypingIsLeftAloneUntilTheUserLeavesTheBox) {
    cw::DefineBio& b = plat::instance<cw::DefineBio>();
    b.show();
    QApplication::setActiveWindow(b.widget());
    b.ISRslope.widget()->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    ASSERT_TRUE(b.ISRslope.widget()->hasFocus());
    for (const char* partial : {"-", "1e", "0."}) {
        b.ISRslope.setText(partial);
        QCoreApplication::processEvents();
        EXPECT_EQ(b.ISRslope.text(), partial);
    }
    b.ISRslope.setText("2,5");
    b.ITEZrecruitment.widget()->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    EXPECT_EQ(b.ISRslope.text(), "2");
    EXPECT_EQ(mc.isrslope, 2);
}

// The recruitment editor's save writes what its boxes show, also for a box still being typed in.
TEST_F(NumberBoxesTest, ASaveShowsWhatItWrites) {
    cw::DefineYOY& w = plat::instance<cw::DefineYOY>();
    w.i_byr.setText("2001");
    w.i_eyr.setText("2002.5");
    w.i_myoy.setText("0,5");
    ScriptedUser user;
    user.fileDialog("Save Recruitment data", path("a.yoy"));
    w.saveyoy.click();
    EXPECT_EQ(w.i_eyr.text(), "2002");
    EXPECT_EQ(w.i_myoy.text(), "0");
    EXPECT_THAT(readFile(path("a.yoy")), ::testing::StartsWith(" 2001  2002 \r\n 0  0 \r\n"));
}

} // namespace
