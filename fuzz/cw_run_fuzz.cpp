// The run definition file (.run) of the run editor.
#include "cw_support.h"

#include "control_window/runfile.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::startApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::checkRoundTrip<cw::RunData>(
        data, size, "run", 5, cw::readRunFile,
        [](const cw::RunData& d, std::string& text) -> std::optional<std::string> {
            if (auto problem = cw::runSaveProblem(d)) return problem;
            text = cw::runFileText(d);
            return std::nullopt;
        });
    return 0;
}
