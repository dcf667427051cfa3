// A number box never shows one value while another is stored: once the user leaves it, and before
// every save, export and launch, it shows the stored value, unless its text already reads as that
// value. Typing is left alone while the box has the focus.
#include "cw_fixture.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>
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

// Gives `box` the focus as the user's Tab would, in its window shown and active.
void enter(plat::TextBox& box) {
    QWidget* w = box.widget();
    w->window()->show();
    QApplication::setActiveWindow(w->window());
    w->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    ASSERT_TRUE(w->hasFocus()) << box.name();
}

// Types `keys` key by key over the whole text of the box, which has the focus.
void typeOver(plat::TextBox& box, const std::string& keys) {
    QTest::keyClick(box.widget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(box.widget(), QString::fromStdString(keys));
}

// Leaves the box with Tab.
void tabAway(plat::TextBox& box) {
    QTest::keyClick(box.widget(), Qt::Key_Tab);
    QCoreApplication::processEvents();
    EXPECT_FALSE(box.widget()->hasFocus()) << box.name();
}

// The user's whole entry: into the box, the keys, and out with Tab.
void typeAndTab(plat::TextBox& box, const std::string& keys) {
    enter(box);
    typeOver(box, keys);
    tabAway(box);
}

// The selectivity settings of the fishery and index editors keep a decimal point as it is typed:
// the refresh rewrites them only when their number is not the one stored, as when it changed a
// bin count.
TEST_F(NumberBoxesTest, TheSelectivityBoxesKeepADecimalPointTyped) {
    struct Case {
        const char* what;
        std::function<plat::TextBox&()> box;
        const char* type; // the selectivity type that shows the box
        const char* typed;
        const char* shown;
        std::function<double()> stored;
        bool append = false; // typed after the box's text, not over it
    };
    const auto fishery = [] { return &plat::instance<cw::DefineFishery>(); };
    const auto index = [] { return &plat::instance<cw::Defineindex>(); };
    const Case cases[] = {
        {"fishery Max", [&]() -> plat::TextBox& { return fishery()->F_mxlng; }, "L", "102.5",
         "102.5", [] { return mc.f_mxlng(1); }},
        {"fishery Min", [&]() -> plat::TextBox& { return fishery()->F_minlng; }, "L", "2.5", "2.5",
         [] { return mc.f_minlng(1).number(); }},
        {"fishery Nbins", [&]() -> plat::TextBox& { return fishery()->F_nlng; }, "L", "60.0",
         "60.0", [] { return mc.f_nlng(1); }},
        {"fishery Nbins beyond 100", [&]() -> plat::TextBox& { return fishery()->F_nlng; }, "L",
         "120", "50", [] { return mc.f_nlng(1); }},
        {"fishery Min Vul Size", [&]() -> plat::TextBox& { return fishery()->F_Minvulsiz; }, "A",
         "3.5", "3.5", [] { return mc.f_minvulsiz(1); }},
        {"index Max", [&]() -> plat::TextBox& { return index()->I_mxlng; }, "L", "102.5", "102.5",
         [] { return mc.i_mxlng(1); }},
        {"index Min", [&]() -> plat::TextBox& { return index()->I_minlng; }, "L", "2.5", "2.5",
         [] { return mc.i_minlng(1); }},
        // Below 50 the index's count becomes 50 at once: a point is typed after the count.
        {"index Nbins", [&]() -> plat::TextBox& { return index()->II_nlngs; }, "L", ".5", "50.5",
         [] { return mc.i_nlngs(1); }, true},
        {"index Min Vul Size", [&]() -> plat::TextBox& { return index()->I_Minvulsiz; }, "A", "3.5",
         "3.5", [] { return mc.i_minvulsiz(1); }},
        {"index age sample size", [&]() -> plat::TextBox& { return index()->A_sampsize; }, "A",
         "2.5", "2.5", [] { return mc.a_sampsize(1).number(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        plat::TextBox& box = c.box();
        (&box.form() == fishery() ? fishery()->F_seltyp : index()->I_seltyp).setText(c.type);
        enter(box);
        if (c.append) {
            QTest::keyClick(box.widget(), Qt::Key_End);
            QTest::keyClicks(box.widget(), c.typed);
        } else {
            typeOver(box, c.typed);
        }
        EXPECT_EQ(box.text(), c.shown) << "while typing";
        tabAway(box);
        EXPECT_EQ(box.text(), c.shown);
        EXPECT_EQ(c.stored(), plat::parseNumber(c.shown).value_or(-1));
    }
}

// What is typed is what the fishery file holds.
TEST_F(NumberBoxesTest, AMinimumVulnerableSizeTypedIsSaved) {
    ScriptedUser user;
    user.fileDialog("Load fishery data", cwtest::dataPath("fishery/fishery_one_sex_a.fst"))
        .fileDialog("Save fishery data", path("typed.fst"))
        .fileDialog("Load fishery data", path("typed.fst"));
    cw::DefineFishery& f = plat::instance<cw::DefineFishery>();
    f.loadfishery.click();
    ASSERT_EQ(f.F_seltyp.text(), "A");
    typeAndTab(f.F_Minvulsiz, "3.5");
    f.savefisherydefinition.click();
    mc.f_minvulsiz(1) = 0;
    f.loadfishery.click();
    EXPECT_TRUE(user.finished());
    EXPECT_EQ(mc.f_minvulsiz(1), 3.5f);
    EXPECT_EQ(f.F_Minvulsiz.text(), "3.5");
}

// Once the user leaves a box, it shows no digit that the file does not keep: 7 significant digits
// of a single, 15 of a double. An equal number with fewer digits stays as typed.
TEST_F(NumberBoxesTest, ABoxLeftShowsNoDigitTheFileDoesNotKeep) {
    cw::DefineWOX& w = plat::instance<cw::DefineWOX>();
    cw::DefineBio& b = plat::instance<cw::DefineBio>();
    struct Case {
        plat::TextBox* box;
        const char* typed;
        const char* shown;
    };
    const Case cases[] = {
        {&w.i_fmax, "0.123456789", "0.1234568"},
        {&w.i_fmax, "12345678", "1.234568E+07"},
        {&w.i_fmax, "0.50", "0.50"},
        {&w.i_fmax, "0.1234568", "0.1234568"},
        {&b.ISRslope, "250.12345678901234", "250.123456789012"},
        {&b.ISRslope, "250.123456789012", "250.123456789012"},
        {&b.ISRslope, "0.50", "0.50"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        typeAndTab(*c.box, c.typed);
        EXPECT_EQ(c.box->text(), c.shown);
    }
    // A save leaves the box it writes: typed and saved without leaving the box, it shows what
    // the file holds.
    enter(w.i_fmax);
    typeOver(w.i_fmax, "0.123456789");
    ScriptedUser user;
    user.fileDialog("Save wox data", path("typed.wox"));
    w.writewox.click();
    EXPECT_TRUE(user.finished());
    EXPECT_EQ(w.i_fmax.text(), "0.1234568");
    EXPECT_THAT(readFile(path("typed.wox")), ::testing::HasSubstr("\r\n .1234568 \r\n"));
}

// A number typed key by key that its box cannot hold stores each part on the way ("3.5e3" of
// "3.5e38"): when the user leaves the box, it goes back to the value it held when the focus came
// in, says so once, and shows that value.
TEST_F(NumberBoxesTest, ARefusedNumberPutsBackTheValueTheBoxHeld) {
    cw::DefineWOX& w = plat::instance<cw::DefineWOX>();
    struct Case {
        const char* what;
        std::function<plat::TextBox&()> box;
        const char* before;
        const char* typed;
        std::function<double()> stored;
    };
    const auto yoy = [] { return &plat::instance<cw::DefineYOY>(); };
    const auto bio = [] { return &plat::instance<cw::DefineBio>(); };
    const auto fishery = [] { return &plat::instance<cw::DefineFishery>(); };
    const Case cases[] = {
        {"Max F to evaluate", [&]() -> plat::TextBox& { return w.i_fmax; }, "2", "3.5e38",
         [&] { return w.data.fmax; }},
        {"Fincrement", [&]() -> plat::TextBox& { return w.I_Finc; }, "0.01", "1e-50",
         [&] { return w.data.finc; }},
        {"Min F to evaluate", [&]() -> plat::TextBox& { return w.i_fmin; }, "0.5", "-1e39",
         [&] { return w.data.fmin; }},
        {"First year", [&]() -> plat::TextBox& { return yoy()->i_byr; }, "1991", "40000",
         [&] { return yoy()->byr; }},
        {"SR slope", [&]() -> plat::TextBox& { return bio()->ISRslope; }, "0.7", "2e308",
         [] { return mc.isrslope; }},
        {"Min Vul Size", [&]() -> plat::TextBox& { return fishery()->F_Minvulsiz; }, "4.5", "5e38",
         [] { return mc.f_minvulsiz(1); }},
        {"Total F Randomization Scalar", [&]() -> plat::TextBox& { return fishery()->Txt_fcv; },
         "0.25", "1e39", [] { return mc.fcv; }},
    };
    fishery()->F_seltyp.setText("A");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        plat::TextBox& box = c.box();
        typeAndTab(box, c.before);
        const double before = c.stored();
        ASSERT_EQ(float(before), float(plat::parseNumber(c.before).value_or(-1)));
        ScriptedUser user;
        cwtest::messageWith(user, {c.typed, "out of range", c.what, c.before});
        enter(box);
        typeOver(box, c.typed);
        EXPECT_EQ(box.text(), c.typed) << "while typing";
        tabAway(box);
        EXPECT_TRUE(user.finished());
        EXPECT_EQ(box.text(), c.before);
        EXPECT_EQ(c.stored(), before);
    }
}

// A pasted number is refused alike, and so is one typed and saved or handed over without leaving
// the box: the file holds the value put back.
TEST_F(NumberBoxesTest, ARefusedNumberPastedOrSavedPutsBackTheValue) {
    cw::DefineWOX& w = plat::instance<cw::DefineWOX>();
    typeAndTab(w.i_fmax, "2");
    {
        QApplication::clipboard()->setText(QStringLiteral("3.5e38"));
        ScriptedUser user;
        cwtest::messageWith(user, {"3.5e38", "out of range", "Max F to evaluate"});
        enter(w.i_fmax);
        QTest::keyClick(w.i_fmax.widget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(w.i_fmax.widget(), Qt::Key_V, Qt::ControlModifier);
        ASSERT_EQ(w.i_fmax.text(), "3.5e38");
        tabAway(w.i_fmax);
        EXPECT_TRUE(user.finished());
        EXPECT_EQ(w.i_fmax.text(), "2");
        EXPECT_EQ(w.data.fmax, 2);
    }
    {
        ScriptedUser user;
        cwtest::messageWith(user, {"3.5e38", "out of range", "Max F to evaluate"});
        user.fileDialog("Save wox data", path("refused.wox"));
        enter(w.i_fmax);
        typeOver(w.i_fmax, "3.5e38");
        w.writewox.click();
        EXPECT_TRUE(user.finished());
        EXPECT_EQ(w.i_fmax.text(), "2");
        EXPECT_THAT(readFile(path("refused.wox")), ::testing::HasSubstr("\r\n 2 \r\n"));
        // The box still has the focus: a second refusal in it goes back to 2 as well.
        ScriptedUser again;
        cwtest::messageWith(again, {"1e39", "out of range"});
        typeOver(w.i_fmax, "1e39");
        tabAway(w.i_fmax);
        EXPECT_TRUE(again.finished());
        EXPECT_EQ(w.data.fmax, 2);
    }
}

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

// A value too large or too small for its single-precision variable is refused: the earlier value
// stays, and is what the box shows once it is left.
TEST_F(NumberBoxesTest, AValueThatDoesNotFitIsRefusedInEveryBox) {
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
            ScriptedUser user;
            cwtest::messageWith(user, {refused, "out of range"});
            plat::showStoredValues();
            EXPECT_TRUE(user.finished());
            EXPECT_EQ(box.text(), "0.25");
            EXPECT_EQ(c.stored(), 0.25f);
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
