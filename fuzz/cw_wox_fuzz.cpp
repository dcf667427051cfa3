// The yield-per-recruit definition file (.wox) of the WOX editor.
#include "cw_support.h"

#include "control_window/woxfile.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::startApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::checkRoundTrip<cw::WoxData>(
        data, size, "wox", 1, cw::readWoxFile,
        [](const cw::WoxData& d, std::string& text) -> std::optional<std::string> {
            const cw::WoxData saved = cw::woxSaveForm(d);
            if (auto problem = cw::woxSaveProblem(saved)) return problem;
            text = cw::woxFileText(saved);
            return std::nullopt;
        });
    return 0;
}
