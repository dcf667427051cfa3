// The index definition file (.ndf) of the index editor.
#include "cw_support.h"

#include "control_window/files/indexfile.h"

namespace {

// The editor's save gives every index in use its shown defaults first.
cw::IndexData withDefaults(const cw::IndexData& loaded) {
    cw::IndexData d = loaded;
    cw::fillIndexDefaults(d);
    return d;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::checkRoundTrip<cw::IndexData>(
        data, size, "ndf", 1, cw::readIndexFile,
        fuzz::saveStep<cw::IndexData>(cw::indexSaveProblem, cw::indexFileText, withDefaults));
    return 0;
}
