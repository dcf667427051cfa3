// The index definition file (.ndf) of the index editor.
#include "cw_support.h"

#include "control_window/indexfile.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::startApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::checkRoundTrip<cw::IndexData>(
        data, size, "ndf", 1, cw::readIndexFile,
        [](const cw::IndexData& loaded, std::string& text) -> std::optional<std::string> {
            cw::IndexData d = loaded;
            cw::fillIndexDefaults(d);
            if (auto problem = cw::indexSaveProblem(d)) return problem;
            text = cw::indexFileText(d);
            return std::nullopt;
        });
    return 0;
}
