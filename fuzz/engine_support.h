#pragma once
// The engine's readers under the fuzzer: each input is read by a fresh engine working in the
// fuzz working folder, beside copies of the bundled example's files.
#include "fuzz_support.h"

#include "engine.h"
#include "error_stack.h"

#include <memory>
#include <new>
#include <sstream>

namespace fuzz {

// The example's biology, management and equilibrium definition, copied into the folder before
// each input, since an input may name one of them as an output.
inline void copyExample() {
    struct Example {
        std::string bio = readFile(copySeed("engine_biology", "snapper.bio"));
        std::string mgt = readFile(copySeed("engine_management", "snapper.mgt"));
        std::string tez = readFile(copySeed("engine_definition", "snapper.tez"));
    };
    static const Example example;
    writeFile(workFolder() / "snapper.bio", example.bio);
    writeFile(workFolder() / "snapper.mgt", example.mgt);
    writeFile(workFolder() / "snapper.tez", example.tez);
}

// The engine's tables are large: one engine on the heap serves every input, made afresh in place
// for each, which spares the allocator a large block per input.
inline tez::Engine& freshEngine() {
    static tez::Engine* const engine = new tez::Engine;
    std::destroy_at(engine);
    std::construct_at(engine);
    return *engine;
}

// A fresh engine on a silent console, working in the fuzz folder.
struct EngineRun {
    tez::Engine* engine = &freshEngine();
    std::istringstream console_in;
    std::ostringstream console_out;

    EngineRun() {
        tez::Engine& e = *engine;
        e.console_in = &console_in;
        e.console_out = &console_out;
        e.folder = workFolder();
        // One thread: the years of a run go in parallel otherwise, and libFuzzer's coverage
        // counters, shared by every thread, then slow a run by hundreds of times and make its
        // coverage vary from run to run. The identity tests hold the parallel run to the
        // single-threaded one byte for byte.
        e.threads = 1;
        tez::reset_error_facility();
    }
    ~EngineRun() { tez::set_console_stream(nullptr); }

    // Runs `step`; false when the engine refused the input (a stop or a read error), which must
    // name what was wrong.
    template <class Step> bool accepts(Step step) {
        try {
            step(*engine);
            return true;
        } catch (const tez::InputError& err) {
            if (std::string(err.what()).empty()) finding("a read error without a message");
        } catch (const tez::NumericsStop&) {
        }
        return false;
    }
};

// The biology values that the engine keeps, finite after an accepted file.
inline void requireFiniteBiology(const tez::Engine& e) {
    requireFinite(e.sr_slope, "the stock-recruitment slope");
    requireFinite(e.tez_recruitment, "the TEZ recruitment");
    requireFinite(e.recruit_cv, "the recruitment CV");
    requireFinite(e.fec_lower, "the lowest fecundity length");
    requireFinite(e.fec_upper, "the highest fecundity length");
    requireFinite(e.fec_width, "the fecundity class width");
    requireFinite(e.fec_a, "the fecundity constant a");
    requireFinite(e.fec_b, "the fecundity constant b");
    requireAllFinite(e.fec_by_length, "a fecundity by length");
    requireAllFinite(e.fec_by_age, "a fecundity by age");
    requireAllFinite(e.m_season, "a natural mortality");
    requireAllFinite(e.lw_a, "a length-weight constant a");
    requireAllFinite(e.lw_b, "a length-weight constant b");
    requireAllFinite(e.spread, "a length spread");
    requireAllFinite(e.growth_curve, "a growth curve constant");
    requireAllFinite(e.growth_fraction, "a season's growth fraction");
    requireAllFinite(e.first_year_length, "a first-year length");
    requireAllFinite(e.mean_length, "a mean length at age");
    requireAllFinite(e.morph_dev, "a morph's length deviation");
    requireAllFinite(e.morph_prop, "a morph's proportion");
}

// Calls fn with the index of every step cell of the stock's sexes, morphs, ages and seasons.
template <class Fn> void forEachCellInUse(const tez::Engine& e, Fn fn) {
    for (std::size_t i = 0; i < e.cells(); ++i)
        fn(i);
}

// The growth tables built from an accepted biology.
inline void requireFiniteGrowth(const tez::Engine& e) {
    forEachCellInUse(e, [&e](std::size_t i) {
        requireFinite(e.growth[i].w, "a weight of the growth table");
        requireFinite(e.growth[i].g, "a growth rate of the growth table");
        requireFinite(e.growth[i].exp_g, "a growth factor of the growth table");
        requireFinite(e.length_start[i], "a length at a season's start");
        requireFinite(e.length_end[i], "a length at a season's end");
    });
    requireAllFinite(e.spawner_fecundity, "a spawner's fecundity");
}

} // namespace fuzz
