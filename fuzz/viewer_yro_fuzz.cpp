// Tovrask's reader of the yield-per-recruit table, the check of each plot mode's axis, and the
// plots of an accepted table.
#include "viewer_support.h"

#include "viewers/tovrask/perrecruit_plot.h"
#include "viewers/tovrask/yrofile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzz::writeInput("input.yro", data, size).string();
    tovrask::PerRecruitTable table;
    std::string error;
    if (!tovrask::readyrofile(path, table, error)) {
        if (error.empty()) fuzz::finding("a refused table without a message");
        return 0;
    }
    fuzz::requireAllFinite(table.fmult, "an F multiplier");
    fuzz::requireAllFinite(table.realizedF, "a realized F");
    fuzz::requireAllFinite(table.ypr, "a yield per recruit");
    fuzz::requireAllFinite(table.spr, "a spawning-potential ratio");
    fuzz::requireFinite(table.maxFmult, "the largest F multiplier");
    fuzz::requireFinite(table.maxRealizedF, "the largest realized F");
    fuzz::requireFinite(table.maxYpr, "the largest yield per recruit");
    for (int mode = 1; mode <= 2; ++mode)
        (void)tovrask::emptyRangeError(table, mode);
    // Both modes, with the check box as the input sets it, as the options draw them.
    for (int mode = 1; mode <= 2; ++mode) {
        tovrask::PlotChoice choice =
            mode == 1 ? tovrask::fmultChoice() : tovrask::realizedFChoice();
        choice.includeSpr = size % 2 == 1;
        fuzz::requireDrawnInTime([&] { (void)tovrask::loadandplot(path, choice); },
                                 "mode " + std::to_string(mode) + " of an accepted table");
    }
    return 0;
}
