// The per-recruit viewer opened from the command line and from the dialog.
#include "viewers/tovrask/perrecruit_plot.h"
#include "viewers/tovrask/tovrask_start.h"

#include "platform/system.h"
#include "platform/testing/scripted_user.h"
#include "viewers/core/plot.h"
#include "viewers/core/tests/plot_probe.h"
#include "viewers/core/tests/viewer_fixtures.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using TovraskStart = viewer_test::StartTest;

TEST_F(TovraskStart, OpensACommandLineNameWithoutItsFolder) {
    QTemporaryDir dir;
    ASSERT_TRUE(QFile::copy(VESK_EXAMPLES_DIR "/snapper.yro", dir.path() + "/Snapper.yro"));
    ASSERT_TRUE(plat::setCurrentFolder(dir.path().toStdString()));
    plat::setCommandLine("D:\\Runs\\Snapper.YRO");
    plat::testing::ScriptedUser user;
    user.act([] {
        auto& start = plat::instance<tovrask::TovraskStart>();
        EXPECT_EQ(start.caption(), "snapper.yro");
        start.option(2).click();
        ASSERT_TRUE(plat::instance<viewers::frmPlot>().visible());
        // The frame ends at the example's largest realized F and yield per recruit.
        sulbrin::setscale(tovrask::Range{0, 0.4235f, 0, 0.9089f});
        EXPECT_TRUE(probe::blackNear(viewers::plotSurface(), 0.4235f, 0.9089f));
    });
    user.act([] { plat::instance<tovrask::TovraskStart>().exitButton().click(); });
    viewers::Main<tovrask::TovraskStart>();
    EXPECT_TRUE(user.finished());
}

TEST_F(TovraskStart, OpensTheFileChosenInTheDialog) {
    const std::string path = VESK_EXAMPLES_DIR "/snapper.yro";
    auto& start = plat::instance<tovrask::TovraskStart>();
    {
        plat::testing::ScriptedUser user;
        user.fileDialog("Load Output", path);
        start.runButton().click();
        ASSERT_EQ(user.seen().size(), 1u);
        EXPECT_EQ(user.seen()[0].dialog.filter, "Output Files (*.yro)|*.yro");
    }
    EXPECT_EQ(start.caption(), path);
    start.Chk()->setValue(1);
    start.option(1).click();
    ASSERT_TRUE(plat::instance<viewers::frmPlot>().visible());
    sulbrin::setscale(tovrask::Range{0, 2, 0, 1});
    EXPECT_TRUE(probe::blackNear(viewers::plotSurface(), 0.0f, 1.0f));  // SPR 1 at no fishing
    EXPECT_TRUE(probe::blackNear(viewers::plotSurface(), 2.01f, 0.6f)); // its right-hand axis
}

} // namespace
