// The whole engine run, through the entry that the console program calls, on the example's
// definition with a fuzzed biology (first byte 'B') or management file (any other first byte) in
// place of the example's. A run that ends normally must write only finite numbers.
#include "engine_support.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return -1;
    fuzz::copyExample();
    const bool biology = data[0] == 'B';
    fuzz::writeInput(biology ? "snapper.bio" : "snapper.mgt", data + 1, size - 1);
    // The example's definition, handed over as the control window does.
    fuzz::writeFile(fuzz::workFolder() / "Tez.000",
                    fuzz::readFile(fuzz::workFolder() / "snapper.tez"));
    const std::filesystem::path table = fuzz::workFolder() / "snapper.tzb";
    const std::filesystem::path report = fuzz::workFolder() / "snapper.tzo";
    std::filesystem::remove(table);
    std::filesystem::remove(report);

    fuzz::EngineRun run;
    int status = tez::kExitNormal;
    try {
        tez::engine_main(*run.engine, run.console_in, run.console_out, fuzz::workFolder());
    } catch (const tez::NumericsStop& stop) {
        status = stop.exit_status();
    }
    if (status != tez::kExitNormal) return 0;
    for (const auto& [what, text] :
         {std::pair<std::string, std::string>{"console", run.console_out.str()},
          {"table", fuzz::readFile(table)},
          {"report", fuzz::readFile(report)}}) {
        if (const std::string w = fuzz::badNumberWord(text); !w.empty())
            fuzz::finding("a run that ended normally wrote \"" + w + "\" in its " + what);
    }
    return 0;
}
