// The index definition file (.ndf) of the index editor.
#include "cw_support.h"

#include "control_window/files/indexfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::checkRoundTrip<cw::IndexData>(
        data, size, "ndf", 1, cw::readIndexFile,
        fuzz::saveStep<cw::IndexData>(cw::indexSaveProblem, cw::indexFileText));
    return 0;
}
