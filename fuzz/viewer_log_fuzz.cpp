// Marvent's reader of the simulation output log, and the plot of an accepted log.
#include "viewer_support.h"

#include "viewers/core/plot.h"
#include "viewers/marvent/logfile.h"
#include "viewers/marvent/logplot.h"

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
    // One series of the accepted log, chosen by the input, as its option draws it.
    marvent::series = int16_t(1 + (size > 0 ? data[0] : 0) % 10);
    marvent::ymax = 1.2f;
    viewers::clearPlotWindow();
    fuzz::requireDrawnInTime([&] { (void)marvent::loadandplot(path); },
                             "series " + std::to_string(marvent::series) + " of an accepted log");
    return 0;
}
