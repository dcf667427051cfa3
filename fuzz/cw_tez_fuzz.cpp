// The equilibrium definition file (.tez) of the TEZ editor.
#include "cw_support.h"

#include "control_window/tezfile.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::startApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::checkRoundTrip<cw::TezData>(
        data, size, "tez", 1, cw::readTezFile,
        [](const cw::TezData& d, std::string& text) -> std::optional<std::string> {
            const cw::TezData saved = cw::tezSaveForm(d);
            if (auto problem = cw::tezSaveProblem(saved)) return problem;
            text = cw::tezFileText(saved);
            return std::nullopt;
        });
    return 0;
}
