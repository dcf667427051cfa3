// The yield-per-recruit definition file (.wox) of the WOX editor.
#include "cw_support.h"

#include "control_window/files/woxfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::checkRoundTrip<cw::WoxData>(
        data, size, "wox", 1, cw::readWoxFile,
        fuzz::saveStep<cw::WoxData>(cw::woxSaveProblem, cw::woxFileText, cw::woxSaveForm));
    return 0;
}
