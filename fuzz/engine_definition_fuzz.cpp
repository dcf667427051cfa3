// The engine's reader of the equilibrium definition, beside the example's biology and management.
#include "engine_support.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The definition names the engine's output files, and a name with a folder part would have
    // the fuzzer create or truncate files anywhere on the machine; the names stay in the folder.
    if (std::find(data, data + size, '/') != data + size) return -1;
    fuzz::copyExample();
    fuzz::writeInput("input.tez", data, size);
    fuzz::EngineRun run;
    const bool accepted = run.accepts([](tez::Engine& e) {
        e.run_file_name = tez::fit_text("input.tez", tez::kNameLength);
        tez::read_run_file(e);
    });
    if (!accepted) return 0;
    const tez::Engine& e = *run.engine;
    if (e.nyears > tez::kMaxYears) fuzz::finding("more years accepted than the engine holds");
    fuzz::requireFiniteBiology(e);
    return 0;
}
