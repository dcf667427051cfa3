// The biological data file (.bio) of the biology editor.
#include "cw_support.h"

#include "control_window/biofile.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::startApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::checkRoundTrip<cw::BioData>(
        data, size, "bio", 3, cw::readBioFile,
        [](const cw::BioData& d, std::string& text) -> std::optional<std::string> {
            if (auto problem = cw::bioSaveProblem(d)) return problem;
            text = cw::bioFileText(d);
            return std::nullopt;
        },
        // The option line's own message, which names no file.
        "Invalid fecundity type");
    return 0;
}
