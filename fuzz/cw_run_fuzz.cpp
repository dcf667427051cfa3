// The run definition file (.run) of the run editor.
#include "cw_support.h"

#include "control_window/files/runfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::checkRoundTrip<cw::RunData>(
        data, size, "run", 5, cw::readRunFile,
        fuzz::saveStep<cw::RunData>(cw::runSaveProblem, cw::runFileText));
    return 0;
}
