// Timing of the fishery editor's "Export Management" on the largest definition the data model
// holds: 10 fisheries by age, 250 years, ages 0 to 100, 2 sexes, 12 seasons (about 6.1 million
// lines). Each run goes through the button as a user's click does, the file dialog answered by a
// scripted user, and replaces the file of the run before.
#include "control_window/files/fisheryfile.h"
#include "control_window/model/maincode.h"
#include "control_window/windows/editors/definefishery.h"
#include "platform/form.h"
#include "platform/testing/scripted_user.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <clocale>
#include <filesystem>

namespace {

using cw::mc;

// Every value a different single, so that the rates take the longest number forms.
void fillLargest() {
    cw::resetMaincode();
    mc.fyr = 1800;
    mc.lyr = mc.fyr + cw::kMaxYears - 1;
    mc.nsexes = cw::kMaxSexes;
    mc.nszns = cw::kMaxSeasons;
    mc.nages = cw::kMaxAge;
    mc.ngear = cw::kMaxFisheries;
    mc.fcv = 0.1f;
    for (int k = 1; k <= cw::kMaxFisheries; ++k) {
        mc.f_seltyp(k) = "A";
        mc.f_minvulsiz(k) = 10.5f + float(k);
        for (int y = 1; y <= cw::kMaxYears; ++y) {
            mc.f_tac(y, k) = 1000.0f + float(y) / 7.0f;
            mc.f_annf(y, k) = 0.2f + float(y % 17) / 101.0f + float(k) / 13.0f;
            for (int q = 1; q <= cw::kMaxSeasons; ++q)
                mc.f_sznfract(k, q, y) = float(q) / 78.0f;
            for (int s = 1; s <= cw::kMaxSexes; ++s)
                for (int a = 0; a <= cw::kMaxAge; ++a)
                    mc.f_sel(k, a, s, y) = 1.0f / (1.0f + float((a * 7 + s + y) % 41) / 3.0f);
            mc.f_regs(1, k, y) = 20;
            mc.f_regs(2, k, y) = 0;
            mc.f_regs(3, k, y) = 0.15f;
        }
    }
}

void BM_ExportLargestManagement(benchmark::State& state) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / "vesk-mgt-export-bench";
    std::filesystem::create_directories(folder);
    const std::string file = (folder / "largest.mgt").string();
    fillLargest();
    cw::DefineFishery& editor = plat::instance<cw::DefineFishery>();
    for (auto _ : state) {
        plat::testing::ScriptedUser user;
        user.fileDialog("Save management data", file);
        editor.MakeMgt.click();
        if (!user.finished()) state.SkipWithError("the export asked for more than the file name");
    }
    state.counters["MB"] = double(std::filesystem::file_size(file)) / 1e6;
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_ExportLargestManagement)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setlocale(LC_ALL, "C");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    plat::unloadAll();
    plat::destroyUnloaded();
    return 0;
}
