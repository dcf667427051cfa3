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
#include "control_window/windows/main/frmabout.h"

#include <QCoreApplication>
#include <QLabel>
#include <QWidget>

#include <string>
#include <typeinfo>
#include <vector>

namespace {

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
