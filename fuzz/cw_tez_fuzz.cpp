// The equilibrium definition file (.tez) of the TEZ editor.
#include "cw_support.h"

#include "control_window/files/tezfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::checkRoundTrip<cw::TezData>(
        data, size, "tez", 1, cw::readTezFile,
        fuzz::saveStep<cw::TezData>(cw::tezSaveProblem, cw::tezFileText, cw::tezSaveForm));
    return 0;
}
