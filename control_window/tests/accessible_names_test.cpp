// What a screen reader reads out for the controls of every window of the control window.
#include "cw_fixture.h"

#include "control_window/windows/editors/definebio.h"
#include "control_window/windows/editors/definefishery.h"
#include "control_window/windows/editors/defineindex.h"
#include "control_window/windows/editors/definerun.h"
#include "control_window/windows/editors/definetez.h"
#include "control_window/windows/editors/definewox.h"
#include "control_window/windows/editors/defineyoy.h"
#include "control_window/windows/editors/fecfrm.h"
#include "control_window/windows/editors/growthfrm.h"
#include "control_window/windows/editors/lngfrm.h"
#include "control_window/windows/frmplot.h"
#include "control_window/windows/graph.h"
#include "control_window/windows/main/frmabout.h"
#include "platform/testing/accessibility_walk.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QWidget>

#include <string>
#include <typeinfo>
#include <vector>

namespace {

using cw::mc;
using cwtest::CwTest;

// The named controls of window F whose accessible name is empty or only their code name.
template <class F> std::vector<std::string> unnamed() {
    std::vector<std::string> out;
    QWidget* window = plat::instance<F>().widget();
    for (QWidget* w : window->findChildren<QWidget*>()) {
        const QString name = w->objectName();
        // Layout helpers carry no name or a name Qt gives them; the About box's rules are lines.
        if (name.isEmpty() || name.startsWith("qt_") || name.endsWith(".client")) continue;
        if (name == "Line1" && qobject_cast<QLabel*>(w)) continue;
        if (w->accessibleName().trimmed().isEmpty() || w->accessibleName() == name)
            out.push_back(name.toStdString());
    }
    return out;
}

template <class F> void expectNamed() {
    EXPECT_EQ(unnamed<F>(), std::vector<std::string>{}) << typeid(F).name();
}
template <class... F> void expectAllNamed() {
    (expectNamed<F>(), ...);
}

TEST_F(CwTest, EveryControlHasANameAUserUnderstands) {
    expectAllNamed<cw::start, cw::DefineBio, cw::Growthfrm, cw::Fecfrm, cw::lngfrm, cw::DefineYOY,
                   cw::DefineFishery, cw::Defineindex, cw::DefineRun, cw::DefineTEZ, cw::DefineWOX,
                   cw::frmAbout, cw::frmPlot>();
    EXPECT_EQ(plat::instance<cw::DefineFishery>().F_LYR.widget()->accessibleName().toStdString(),
              "Last year");
    // A caption that two frames show is read out with its frame.
    EXPECT_EQ(plat::instance<cw::DefineFishery>().cpyprv.widget()->accessibleName().toStdString(),
              "Prev Year, Selectivities");
}

// Every window that the main menu opens, shown as a user finds it, read through the accessibility
// bus: what takes focus or shows a value has a name of its own, without a mnemonic's "&".
template <class F> void expectReadable() {
    F& form = plat::instance<F>();
    form.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(plat::testing::accessibilityProblems(form.widget()), std::vector<std::string>{})
        << typeid(F).name();
}

TEST_F(CwTest, EveryWindowReadsOutANameForEachControl) {
    expectReadable<cw::start>();
    expectReadable<cw::DefineBio>();
    // The growth window with both sexes' boxes and the Von Bertalanffy equations shown.
    mc.nsexes = 2;
    expectReadable<cw::Growthfrm>();
    plat::instance<cw::Growthfrm>().use_VB.click();
    ASSERT_TRUE(plat::instance<cw::Growthfrm>().VB_equations.visible());
    expectReadable<cw::Growthfrm>();
    expectReadable<cw::Fecfrm>();
    expectReadable<cw::lngfrm>();
    expectReadable<cw::DefineYOY>();
    expectReadable<cw::DefineFishery>();
    expectReadable<cw::Defineindex>();
    expectReadable<cw::DefineRun>();
    expectReadable<cw::DefineTEZ>();
    expectReadable<cw::DefineWOX>();
    expectReadable<cw::frmAbout>();
}

TEST_F(CwTest, TheRecruitmentEditorNamesItsCheckBoxByItsLabelAndEachYearBox) {
    cw::DefineYOY& w = plat::instance<cw::DefineYOY>();
    EXPECT_EQ(w.c_setgto1.widget()->accessibleName().toStdString(), "Reset Growth to 1");
    EXPECT_EQ(w.i_byr.widget()->accessibleName().toStdString(), "First year");
    EXPECT_EQ(w.i_eyr.widget()->accessibleName().toStdString(), "Last year");
}

TEST_F(CwTest, TheAboutBoxReadsNeitherItsRulesNorTheMnemonicsAmpersand) {
    cw::frmAbout& about = plat::instance<cw::frmAbout>();
    about.show();
    QAccessibleInterface* line = QAccessible::queryAccessibleInterface(about.Line1.widget());
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->role(), QAccessible::Separator);
    EXPECT_TRUE(line->text(QAccessible::Name).isEmpty());
    EXPECT_EQ(about.cmdSysInfo.widget()->accessibleName().toStdString(), "System Info...");
}

TEST_F(CwTest, TheGraphWindowIsNamedByItsCaptionAndSaysWhatItShows) {
    mc.npts = 3;
    mc.xmin = 0;
    mc.xmax = 2;
    mc.ymin = 0;
    mc.ymax = 0.5f;
    mc.xtitle = "Age";
    mc.ytitle = "Natural mortality";
    for (int k = 1; k <= 3; ++k) {
        mc.xplot[k] = float(k - 1);
        mc.yplot[k] = 0.2f;
    }
    cw::drawplot();
    cw::frmPlot& graph = plat::instance<cw::frmPlot>();
    QWidget* surface = graph.client();
    EXPECT_EQ(surface->accessibleName().toStdString(), graph.caption());
    EXPECT_EQ(surface->accessibleDescription().toStdString(),
              "Natural mortality against Age: Age from 0 to 2, Natural mortality from 0 to 0.5. "
              "3 points.");
    EXPECT_EQ(plat::testing::accessibilityProblems(graph.widget()), std::vector<std::string>{});
    graph.hide();
}

// The menu's Index and Documentation entries wait for a window or show a box: pressed through the
// accessibility bus they start their handler and return before it runs.
TEST_F(CwTest, AMenuEntrysAccessibleActionReturnsAtOnce) {
    cw::start& start = plat::instance<cw::start>();
    start.show();
    QCoreApplication::processEvents();
    const auto press = [](const plat::MenuItem& entry) {
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(entry.action());
        ASSERT_NE(iface, nullptr);
        ASSERT_NE(iface->actionInterface(), nullptr);
        iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    };
    const auto runUntilDone = [](plat::testing::ScriptedUser& user) {
        QElapsedTimer clock;
        clock.start();
        while (!user.finished() && clock.elapsed() < 5000)
            QCoreApplication::processEvents();
    };
    {
        plat::testing::ScriptedUser user;
        press(start.Documentation);
        EXPECT_TRUE(user.seen().empty());
        user.message("See file Veskguide.pdf");
        runUntilDone(user);
        EXPECT_TRUE(user.finished());
    }
    {
        plat::testing::ScriptedUser user;
        press(start.indxmenu);
        EXPECT_FALSE(plat::isLoaded<cw::Defineindex>() &&
                     plat::instance<cw::Defineindex>().widget()->isVisible());
        // Inside the handler's wait, the user closes every window.
        user.act([&start] {
            EXPECT_TRUE(plat::instance<cw::Defineindex>().widget()->isVisible());
            plat::instance<cw::Defineindex>().hide();
            start.hide();
        });
        runUntilDone(user);
        EXPECT_TRUE(user.finished());
    }
}

// "Reset Growth to 1" says when the years are out of range: ticked through the accessibility bus,
// it returns before its message is shown.
TEST_F(CwTest, ACheckBoxsAccessibleActionReturnsBeforeItsMessage) {
    cw::DefineYOY& yoy = plat::instance<cw::DefineYOY>();
    yoy.show();
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(yoy.c_setgto1.widget());
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::CheckBox);
    plat::testing::ScriptedUser user;
    iface->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(user.seen().empty());
    user.message("Years are out of range");
    QCoreApplication::processEvents();
    EXPECT_TRUE(user.finished());
    EXPECT_EQ(yoy.c_setgto1.value(), 1);
}

// The last year stands beside the first, in the row of their shared label.
TEST_F(CwTest, FisheryLastYearStandsBesideTheFirst) {
    cw::DefineFishery& f = plat::instance<cw::DefineFishery>();
    f.show();
    QCoreApplication::processEvents();
    const QPoint first = f.F_FYR.widget()->mapTo(f.widget(), QPoint(0, 0));
    const QPoint last = f.F_LYR.widget()->mapTo(f.widget(), QPoint(0, 0));
    EXPECT_EQ(last.y(), first.y());
    EXPECT_GE(last.x(), first.x() + f.F_FYR.widget()->width());
}

} // namespace
