// Marvent's reader of the simulation output log.
#include "fuzz_support.h"

#include "viewers/marvent/logfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzz::writeInput("input.log", data, size).string();
    const std::optional<std::string> problem = marvent::readlogfile(path);
    if (problem) {
        if (problem->empty()) fuzz::finding("a refused log without a message");
        return 0;
    }
    const marvent::LogTable& t = marvent::logtable;
    if (t.nrows < 1 || t.nrows > marvent::kMaxRows) fuzz::finding("a row count out of range");
    for (int c = 2; c <= marvent::kColumns; ++c) {
        fuzz::requireFinite(t.maximum[c], "the maximum of " + marvent::columnQuantity(c));
        for (int row = 1; row <= t.nrows; ++row)
            fuzz::requireFinite(t.value[c][row], "a " + marvent::columnQuantity(c));
    }
    return 0;
}
