// The biological data file (.bio) of the biology editor.
#include "cw_support.h"

#include "control_window/files/biofile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::checkRoundTrip<cw::BioData>(
        data, size, "bio", 3, cw::readBioFile,
        fuzz::saveStep<cw::BioData>(cw::bioSaveProblem, cw::bioFileText),
        // The option line's own message, which names no file.
        "Invalid fecundity type");
    return 0;
}
