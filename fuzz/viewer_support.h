#pragma once
// What the viewers' targets share: an offscreen application to draw on, messages answered
// without a window, and the check that an accepted table draws in bounded time.
#include "fuzz_support.h"
#include "qt_application.h"

#include "platform/prompts.h"
#include "platform/surface.h"

#include <chrono>
#include <string>

namespace fuzz {

// Answers every message with OK and never opens a dialog, so a refused plot does not wait.
class SilentPrompts : public plat::PromptService {
  public:
    plat::MsgAnswer messageBox(const std::string&, plat::MsgButtons,
                               const std::optional<std::string>&) override {
        return plat::MsgAnswer::OK;
    }
    std::string inputBox(const std::string&, const std::string&, const std::string&) override {
        return {};
    }
    std::string fileDialog(const plat::FileDialogRequest&) override { return {}; }
    void idle() override {}
};

inline void startPlotting() {
    startOffscreenApplication();
    static SilentPrompts prompts;
    plat::setPromptService(&prompts);
    // The fonts load on the first text drawn; that is no part of any plot's time.
    plat::Surface warm;
    warm.print("0.0 Year");
}

// A plot of a table of at most a few hundred points takes milliseconds, also under the
// sanitizers; one that walks pixels far off the plot takes seconds or never ends.
constexpr std::chrono::seconds kPlotTimeLimit{2};

template <class Draw> void requireDrawnInTime(Draw draw, const std::string& what) {
    const auto start = std::chrono::steady_clock::now();
    draw();
    if (std::chrono::steady_clock::now() - start > kPlotTimeLimit)
        finding(what + " took more than " + std::to_string(kPlotTimeLimit.count()) +
                " seconds to draw");
}

} // namespace fuzz

// Fontconfig keeps a pattern of the first font looked up to the end of the process.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::startPlotting();
    return 0;
}
