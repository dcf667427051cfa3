// The start window of the viewers and their start-up procedure.
#include "viewers/core/plot.h"

#include "platform/prompts.h"
#include "platform/system.h"

#include <QApplication>

#include <stdexcept>

namespace viewers {

StartWindow::StartWindow(StartConfig config)
    : plat::Form("start", config.caption), config_(std::move(config)) {
    for (const auto& [name, caption] : config_.options) {
        const int n = std::stoi(name.substr(name.find_first_of("0123456789")));
        options_.emplace_back(n, std::make_unique<plat::OptionButton>(*this, name, caption));
    }
    if (!config_.checkCaption.empty())
        chk_ = std::make_unique<plat::CheckBox>(*this, "Chk", config_.checkCaption);
    exit_ = std::make_unique<plat::CommandButton>(*this, "exit", "exit");
    run_ = std::make_unique<plat::CommandButton>(*this, "run", "File to plot");
    exit_->onClick = [this] { exit_Click(); };
    run_->onClick = [this] { run_Click(); };
}

StartWindow::~StartWindow() = default;

plat::OptionButton& StartWindow::option(int n) {
    for (auto& [number, button] : options_)
        if (number == n) return *button;
    throw std::out_of_range("no option button " + std::to_string(n));
}

void StartWindow::onOption(int n, std::function<void()> draw) {
    option(n).onClick = [this, n, draw = std::move(draw)] {
        if (config_.clearAllOptions) {
            for (auto& [number, button] : options_)
                if (number != n) button->setValue(false);
        }
        if (!plotfile.empty()) draw();
        option(n).setValue(false);
    };
}

void StartWindow::Form_Load() {
    if (config_.captionFollowsFile && !plotfile.empty()) setCaption(plotfile);
}

void StartWindow::run_Click() {
    plotfile.clear();
    plat::FileDialogRequest request;
    request.kind = plat::FileDialogKind::Open;
    request.title = config_.dialogTitle;
    request.filter = config_.dialogFilter;
    request.initialDir = plat::currentFolder();
    request.fileName.clear();
    const std::string chosen = plat::prompts().fileDialog(request);
    if (!chosen.empty()) {
        plotfile = chosen;
        if (config_.captionFollowsFile) setCaption(plotfile);
    } else {
        plat::msgBox("No output data were loaded", plat::MsgButtons::OK, std::string{});
    }
}

void StartWindow::exit_Click() {
    viewers::exit_Click();
}

void exit_Click() {
    plat::unloadAll();
}

void Main(const std::string& ending, const std::function<plat::Form&()>& startWindow) {
    setscreenclass();
    plotfile = plat::commandLineFile(plat::commandLine(), ending);
    startWindow().show();
    int shown = plat::doEvents();
    while (shown > 0)
        shown = plat::doEvents();
    exit_Click();
}

int runViewer(int argc, char** argv, const std::string& appTitle,
              const std::function<void()>& main) {
    QApplication app(argc, argv);
    plat::setCommandLine(argc, argv);
    plat::setApplicationTitle(appTitle);
    main();
    return 0;
}

} // namespace viewers
