#pragma once
// Set-up shared by the viewers' tests: a folder for the files a test writes, and fixtures that
// put back what a test of the viewers' windows changes.
#include "platform/form.h"
#include "platform/system.h"
#include "platform/testing/accessibility_walk.h"
#include "viewers/core/plot.h"

#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace viewer_test {

// A temporary folder; write() puts a file there byte for byte and returns its path.
class FolderTest : public ::testing::Test {
  protected:
    std::string write(const std::string& name, const std::string& text) {
        const std::string path = dir.path().toStdString() + "/" + name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    QTemporaryDir dir;
};

// Plots drawn on a screen of the first class (1024 pixels wide); the windows are unloaded and the
// screen width is put back after each test.
class PlotTest : public FolderTest {
  protected:
    void SetUp() override {
        plat::setScreenWidthTwipsForTesting(1024 * 15);
        viewers::setscreenclass();
    }
    void TearDown() override {
        plat::setScreenWidthTwipsForTesting(0);
        plat::unloadAll();
    }
};

// A viewer opened as a user opens it: the windows are unloaded, the current folder and the
// command line are put back and the plot file is forgotten after each test.
class StartTest : public ::testing::Test {
  protected:
    void SetUp() override { folder = plat::currentFolder(); }
    void TearDown() override {
        plat::unloadAll();
        plat::setCurrentFolder(folder);
        plat::setCommandLine(std::string());
        viewers::plotfile.clear();
    }
    std::string folder;
};

// The plot window's drawing surface, checked to be read out by a screen reader under the plot
// window's caption.
inline QWidget* plotSurfaceNamedByCaption() {
    QWidget* surface = plat::instance<viewers::frmPlot>().client();
    EXPECT_EQ(surface->accessibleName().toStdString(),
              plat::instance<viewers::frmPlot>().caption());
    return surface;
}

// The start window `Start`, as a user finds it, and the plot window of `surface` read out a name
// for each control.
template <class Start> void expectEveryControlNamed(QWidget* surface) {
    plat::instance<Start>().show();
    for (QWidget* window : {plat::instance<Start>().widget(), surface->window()})
        EXPECT_EQ(plat::testing::accessibilityProblems(window), std::vector<std::string>{});
}

} // namespace viewer_test
