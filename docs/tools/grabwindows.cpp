// Takes the pictures of the user's guide: opens every window of the toolkit on the bundled
// example, as a user would, and saves each one as a PNG. Run it under a display (Xvfb) from the
// build folder: vesk_grab_windows <examples folder> <image folder>.
#include "control_window/model/maincode.h"
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
#include "control_window/windows/main/start.h"
#include "platform/prompts.h"
#include "platform/system.h"
#include "viewers/core/plot.h"
#include "viewers/marvent/start.h"
#include "viewers/sulbrin/sulbrin_start.h"
#include "viewers/tovrask/tovrask_start.h"

#include <QApplication>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace {

std::string imageFolder;

// The user of the pictures: takes every proposed value, draws the series on the graph rather than
// setting it to a mean, and chooses no file.
class GuideUser : public plat::PromptService {
  public:
    plat::MsgAnswer messageBox(const std::string&, plat::MsgButtons buttons,
                               const std::optional<std::string>&) override {
        return buttons == plat::MsgButtons::YesNoCancel || buttons == plat::MsgButtons::YesNo
                   ? plat::MsgAnswer::No
                   : plat::MsgAnswer::OK;
    }
    std::string inputBox(const std::string&, const std::string&,
                         const std::string& defaultText) override {
        return defaultText;
    }
    std::string fileDialog(const plat::FileDialogRequest&) override { return {}; }
    void idle() override { QThread::msleep(10); }
};

void save(plat::Form& form, const std::string& name) {
    form.show();
    for (int k = 0; k < 5; ++k)
        QApplication::processEvents();
    // A window that comes up takes the keyboard; the pictures show none of its marks.
    if (QWidget* focus = form.widget()->focusWidget()) {
        focus->clearFocus();
        QApplication::processEvents();
    }
    const std::string path = imageFolder + "/" + name + ".png";
    if (!form.widget()->grab().save(QString::fromStdString(path)))
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
}

// Runs an action that shows window F and waits for it; takes F's picture and closes it.
template <class F> void whileShown(const std::string& name, const std::function<void()>& action) {
    QTimer::singleShot(300, [name] {
        if (!plat::isLoaded<F>()) return;
        save(plat::instance<F>(), name);
        plat::instance<F>().closeBox();
    });
    action();
}

// Opens editor F on the example's file, as the command line "vesk-control-window <file>" does.
template <class F> void opened(const std::string& file, const std::string& name) {
    cw::mc.startfile = file;
    save(plat::instance<F>(), name);
    cw::mc.startfile.clear();
}

template <class Start> void viewer(const std::string& file, int option, const std::string& name) {
    viewers::setscreenclass();
    viewers::plotfile = file;
    Start& start = plat::instance<Start>();
    save(start, name + "_start");
    start.option(option).click();
    save(plat::instance<viewers::frmPlot>(), name + "_plot");
    plat::unloadAll();
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    GuideUser user;
    plat::setPromptService(&user);
    if (argc != 3) {
        std::fprintf(stderr, "usage: vesk_grab_windows <examples folder> <image folder>\n");
        return 2;
    }
    imageFolder = std::filesystem::absolute(argv[2]).string();
    std::filesystem::create_directories(imageFolder);
    const std::filesystem::path work = std::filesystem::temp_directory_path() / "vesk-grab";
    std::filesystem::remove_all(work);
    std::filesystem::create_directories(work);
    // The example's files (not the folder of the tool that writes them).
    for (const auto& entry : std::filesystem::directory_iterator(argv[1]))
        if (entry.is_regular_file())
            std::filesystem::copy_file(entry.path(), work / entry.path().filename());
    plat::setCurrentFolder(work.string());
    plat::setCommandLine(std::string());
    plat::setApplicationTitle("Vesk Control Window");

    save(plat::instance<cw::start>(), "start");

    cw::mc.startfile = "snapper.bio";
    cw::DefineBio& bio = plat::instance<cw::DefineBio>();
    save(bio, "biology");
    whileShown<cw::frmPlot>("mortality", [&bio] { bio.M_sex_1.click(); });
    whileShown<cw::Growthfrm>("growth", [&bio] { bio.LGrow.click(); });
    whileShown<cw::Fecfrm>("fecundity", [&bio] { bio.LoadFecundity.click(); });
    cw::mc.startfile.clear();

    opened<cw::DefineFishery>("snapper.fst", "fishery");
    opened<cw::DefineTEZ>("snapper.tez", "tez");
    opened<cw::DefineYOY>("snapper.yoy", "yoy");
    opened<cw::Defineindex>("snapper.ndf", "index");
    opened<cw::DefineRun>("snapper.run", "run");
    opened<cw::DefineWOX>("snapper.wox", "wox");
    save(plat::instance<cw::frmAbout>(), "about");
    plat::unloadAll();

    viewer<marvent::start>((work / "stock.log").string(), 1, "marvent");
    viewer<sulbrin::SulbrinStart>((work / "snapper.pmo").string(), 1, "sulbrin");
    viewer<tovrask::TovraskStart>((work / "snapper.yro").string(), 1, "tovrask");
    std::filesystem::remove_all(work);
    plat::setPromptService(nullptr);
    return 0;
}
