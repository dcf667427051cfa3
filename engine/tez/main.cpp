// The console program: the engine on the console and the current folder.
#include "engine.h"
#include "error_stack.h"

#include <filesystem>
#include <iostream>
#include <memory>

int main() {
    // The engine's tables are large; they live on the heap, not the stack.
    auto engine = std::make_unique<tez::Engine>();
    try {
        tez::engine_main(*engine, std::cin, std::cout, std::filesystem::current_path());
    } catch (const tez::NumericsStop& stop) {
        std::cout.flush();
        return stop.exit_status();
    }
    return tez::kExitNormal;
}
