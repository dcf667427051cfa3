// The fishery definition file (.fst) of the fishery editor.
#include "cw_support.h"

#include "control_window/files/fisheryfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::checkRoundTrip<cw::FisheryData>(
        data, size, "fst", 2, cw::readFstFile,
        fuzz::saveStep<cw::FisheryData>(cw::fstSaveProblem, cw::fstFileText));
    return 0;
}
