// Sulbrin's reader of the equilibrium production table.
#include "fuzz_support.h"

#include "viewers/sulbrin/pmofile.h"

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
    return 0;
}
