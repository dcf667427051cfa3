// The engine's reader of the biology file, with the growth tables it is turned into.
#include "engine_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::writeInput("input.bio", data, size);
    fuzz::EngineRun run;
    const bool accepted = run.accepts([](tez::Engine& e) {
        tez::read_biology(e, "input.bio");
        tez::build_growth_tables(e);
    });
    if (!accepted) return 0;
    fuzz::requireFiniteBiology(*run.engine);
    fuzz::requireFiniteGrowth(*run.engine);
    return 0;
}
