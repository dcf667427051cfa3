// The fishery definition file (.fst) of the fishery editor.
#include "cw_support.h"

#include "control_window/fisheryfile.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::startApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::checkRoundTrip<cw::FisheryData>(
        data, size, "fst", 2, cw::readFstFile,
        [](const cw::FisheryData& d, std::string& text) -> std::optional<std::string> {
            if (auto problem = cw::fstSaveProblem(d)) return problem;
            text = cw::fstFileText(d);
            return std::nullopt;
        });
    return 0;
}
