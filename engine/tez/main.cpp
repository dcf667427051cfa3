// The console program: the engine on the console and the current folder.
#include "engine.h"
#include "error_stack.h"
#include "own_files.h"

#include <filesystem>
#include <iostream>
#include <memory>

int main() {
    // The engine's tables are large; they live on the heap, not the stack.
    auto engine = std::make_unique<tez::Engine>();
    // A run ended by a signal removes its temporary files as a failed run does.
    tez::files::remove_own_files_on_signals();
    try {
        // Files are named relative to the current folder, so that a run whose folder is renamed
        // or moved meanwhile goes on there.
        tez::engine_main(*engine, std::cin, std::cout, std::filesystem::path());
    } catch (const tez::NumericsStop& stop) {
        std::cout.flush();
        return stop.exit_status();
    }
    return tez::kExitNormal;
}
