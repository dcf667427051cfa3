// Sulbrin's reader of the equilibrium production table, and the plots of an accepted table.
#include "viewer_support.h"

#include "viewers/sulbrin/pmofile.h"
#include "viewers/sulbrin/production_plot.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzz::writeInput("input.pmo", data, size).string();
    sulbrin::ProductionTable table;
    std::string error;
    if (!sulbrin::readpmofile(path, table, error)) {
        if (error.empty()) fuzz::finding("a refused table without a message");
        return 0;
    }
    fuzz::requireAllFinite(table.f, "an F");
    fuzz::requireAllFinite(table.col2, "a column 2 value");
    fuzz::requireAllFinite(table.col3, "a column 3 value");
    fuzz::requireAllFinite(table.biomass, "a biomass");
    fuzz::requireAllFinite(table.yield, "a yield");
    fuzz::requireFinite(table.bmax, "the largest biomass");
    fuzz::requireFinite(table.ymax, "the largest yield");
    // The percent at maximum yield may lie outside 0 to 100 (a negative biomass in that row): the
    // reader keeps it, clamped to 16 bits, and the plot draws its mark where it falls.
    // Both modes, with the check box as the input sets it, as the options draw them.
    for (int mode = 1; mode <= 2; ++mode) {
        sulbrin::PlotChoice choice =
            mode == 1 ? sulbrin::fishingChoice() : sulbrin::biomassChoice();
        choice.printPercentile = size % 2 == 1;
        fuzz::requireDrawnInTime([&] { (void)sulbrin::loadandplot(path, choice); },
                                 "mode " + std::to_string(mode) + " of an accepted table");
    }
    return 0;
}
