// The engine's reader of the management file: every block that the example's years call for,
// on the example's biology, with the fishing of each block in force.
#include "engine_support.h"

#include <string>

namespace {

void requireFiniteBlock(const tez::Engine& e) {
    fuzz::requireAllFinite(e.min_vul_size, "a minimum vulnerable size");
    fuzz::requireAllFinite(e.class_count, "a length class count");
    fuzz::requireAllFinite(e.class_lower, "a lowest class length");
    fuzz::requireAllFinite(e.class_upper, "a highest class length");
    fuzz::requireAllFinite(e.catch_limit, "a catch limit");
    fuzz::requireAllFinite(e.rate, "a fishing rate");
    fuzz::requireAllFinite(e.lower_limit, "a lower size limit");
    fuzz::requireAllFinite(e.upper_limit, "an upper size limit");
    fuzz::requireAllFinite(e.discard_fraction, "a discard mortality");
    for (const auto& step : e.fishing) {
        fuzz::requireFinite(step.retained, "a step's retained fishing");
        fuzz::requireFinite(step.total, "a step's total fishing");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::copyExample();
    fuzz::writeInput("input.mgt", data, size);
    fuzz::EngineRun run;
    tez::Engine& e = *run.engine;
    if (!run.accepts([](tez::Engine& e) {
            tez::read_biology(e, "snapper.bio");
            tez::build_growth_tables(e);
        }))
        fuzz::finding("the example's biology is refused");
    if (!e.input.open(e.folder / "input.mgt", "input.mgt")) fuzz::finding("cannot open the input");
    const int years[] = {2018, 2019, 2020, 2021};
    e.nyears = 4;
    for (int i = 1; i <= e.nyears; ++i)
        e.years[i] = years[i - 1];
    const bool accepted = run.accepts([](tez::Engine& e) {
        e.total_f_cv = e.input.read_real();
        for (e.year_index = 1; e.year_index <= e.nyears; ++e.year_index) {
            // A block beyond the year stops the run, as the program does.
            if (!tez::read_management_year(e)) throw tez::NumericsStop(tez::kExitModelStop);
            if (e.fishing_serial != e.serial) tez::prepare_fishing(e, e, e);
            requireFiniteBlock(e);
        }
    });
    (void)accepted;
    fuzz::requireFinite(e.total_f_cv, "the total F randomization");
    return 0;
}
