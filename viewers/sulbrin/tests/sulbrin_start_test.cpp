// The production-table viewer opened as a user opens it: a file named on the command line (read
// from the current folder, found without regard to case) and a file chosen in the dialog.
#include "viewers/core/tests/plot_probe.h"
#include "viewers/sulbrin/production_plot.h"
#include "viewers/sulbrin/sulbrin_start.h"

#include "platform/system.h"
#include "platform/testing/scripted_user.h"
#include "viewers/core/plot.h"
#include "viewers/core/tests/viewer_fixtures.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

using SulbrinStart = viewer_test::StartTest;

TEST_F(SulbrinStart, OpensAQuotedCommandLineNameFromTheCurrentFolderWhateverItsCase) {
    QTemporaryDir dir;
    ASSERT_TRUE(QFile::copy(VESK_EXAMPLES_DIR "/snapper.pmo", dir.path() + "/SNAPPER.PMO"));
    ASSERT_TRUE(plat::setCurrentFolder(dir.path().toStdString()));
    plat::setCommandLine("\"C:\\Data\\SNAPPER.PMO\"");
    plat::testing::ScriptedUser user;
    user.act([] {
        ASSERT_EQ(viewers::plotfile, "snapper.pmo");
        auto& start = plat::instance<sulbrin::SulbrinStart>();
        EXPECT_EQ(start.caption(), "snapper.pmo");
        start.option(1).click();
        ASSERT_TRUE(plat::instance<viewers::frmPlot>().visible());
        plat::Surface& s = viewers::plotSurface();
        sulbrin::setscale(sulbrin::Range{});
        EXPECT_TRUE(probe::blackNear(s, 1.0f, 0.0f)); // both curves end at extinction
        EXPECT_TRUE(probe::blackNear(s, 0.0f, 1.0f));
    });
    user.act([] { plat::instance<sulbrin::SulbrinStart>().exitButton().click(); });
    viewers::Main<sulbrin::SulbrinStart>();
    EXPECT_TRUE(user.finished());
}

TEST_F(SulbrinStart, OpensTheFileChosenInTheDialog) {
    const std::string path = VESK_EXAMPLES_DIR "/snapper.pmo";
    auto& start = plat::instance<sulbrin::SulbrinStart>();
    EXPECT_EQ(start.caption(), "Ostrel");
    {
        plat::testing::ScriptedUser user;
        user.fileDialog("Load Output", path);
        start.runButton().click();
        ASSERT_EQ(user.seen().size(), 1u);
        EXPECT_EQ(user.seen()[0].dialog.filter, "Output Files (*.pmo)|*.pmo");
    }
    EXPECT_EQ(start.caption(), path);
    start.Chk()->setValue(1);
    start.option(2).click();
    ASSERT_TRUE(plat::instance<viewers::frmPlot>().visible());
    sulbrin::setscale(sulbrin::Range{});
    EXPECT_TRUE(
        probe::textAt(viewers::plotSurface(), " 48", 0.47f, 0.975f, "Helvetica", 10, plat::kBlack));
}

// A screen reader's or an automation tool's toggle of an option draws as a click does, and leaves
// the button usable again.
TEST_F(SulbrinStart, AnOptionToggledThroughAccessibilityDraws) {
    viewers::plotfile = VESK_EXAMPLES_DIR "/snapper.pmo";
    auto& start = plat::instance<sulbrin::SulbrinStart>();
    QAccessibleInterface* option = QAccessible::queryAccessibleInterface(start.option(1).widget());
    ASSERT_NE(option, nullptr);
    EXPECT_EQ(option->role(), QAccessible::RadioButton);
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        if (plat::isLoaded<viewers::frmPlot>()) plat::instance<viewers::frmPlot>().unload();
        option->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        QCoreApplication::processEvents(); // the action returns first, the click comes next
        ASSERT_TRUE(plat::isLoaded<viewers::frmPlot>());
        EXPECT_TRUE(plat::instance<viewers::frmPlot>().visible());
        EXPECT_FALSE(start.option(1).value()); // cleared by its handler, ready for the next time
    }
}

} // namespace
