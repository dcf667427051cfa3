// Timing of the fishery editor's "Export Management" on the largest definition the data model
// holds: 10 fisheries by age, 250 years, ages 0 to 100, 2 sexes, 12 seasons (about 6.1 million
// lines). Each run goes through the button as a user's click does, the file dialog answered by a
// scripted user, and replaces the file of the run before. With --smoke it exports once a small
// definition instead: a test that the export runs to its end, not a timing (exit status 1 when it
// did not).
#include "control_window/files/fisheryfile.h"
#include "control_window/model/maincode.h"
#include "control_window/windows/editors/definefishery.h"
#include "platform/form.h"
#include "platform/testing/scripted_user.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <clocale>
#include <filesystem>
#include <string>

namespace {

using cw::mc;

struct Size {
    int years, sexes, seasons, ages, fisheries;
};
constexpr Size kLargest{cw::kMaxYears, cw::kMaxSexes, cw::kMaxSeasons, cw::kMaxAge,
                        cw::kMaxFisheries};
constexpr Size kSmall{3, 2, 2, 5, 2};

// Every value a different single, so that the rates take the longest number forms.
void fill(const Size& size) {
    cw::resetMaincode();
    mc.fyr = 1800;
    mc.lyr = mc.fyr + size.years - 1;
    mc.nsexes = size.sexes;
    mc.nszns = size.seasons;
    mc.nages = size.ages;
    mc.ngear = size.fisheries;
    mc.fcv = 0.1f;
    for (int k = 1; k <= size.fisheries; ++k) {
        mc.f_seltyp(k) = "A";
        mc.f_minvulsiz(k) = 10.5f + float(k);
        for (int y = 1; y <= size.years; ++y) {
            mc.f_tac(y, k) = 1000.0f + float(y) / 7.0f;
            mc.f_annf(y, k) = 0.2f + float(y % 17) / 101.0f + float(k) / 13.0f;
            for (int q = 1; q <= size.seasons; ++q)
                mc.f_sznfract(k, q, y) = float(q) / 78.0f;
            for (int s = 1; s <= size.sexes; ++s)
                for (int a = 0; a <= size.ages; ++a)
                    mc.f_sel(k, a, s, y) = 1.0f / (1.0f + float((a * 7 + s + y) % 41) / 3.0f);
            mc.f_regs(1, k, y) = 20;
            mc.f_regs(2, k, y) = 0;
            mc.f_regs(3, k, y) = 0.15f;
        }
    }
}

bool failed = false;

void BM_ExportManagement(benchmark::State& state, const Size* size) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / "vesk-mgt-export-bench";
    std::filesystem::create_directories(folder);
    const std::string file = (folder / "exported.mgt").string();
    fill(*size);
    cw::DefineFishery& editor = plat::instance<cw::DefineFishery>();
    for (auto _ : state) {
        plat::testing::ScriptedUser user;
        user.fileDialog("Save management data", file);
        editor.MakeMgt.click();
        if (!user.finished() || !std::filesystem::exists(file)) {
            failed = true;
            state.SkipWithError("the export asked for more than the file name or wrote nothing");
            break;
        }
    }
    if (std::filesystem::exists(file))
        state.counters["MB"] = double(std::filesystem::file_size(file)) / 1e6;
    std::filesystem::remove_all(folder);
}
BENCHMARK_CAPTURE(BM_ExportManagement, largest, &kLargest)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setlocale(LC_ALL, "C");
    if (argc == 2 && std::string(argv[1]) == "--smoke") {
        benchmark::RegisterBenchmark("smoke/ExportManagement", BM_ExportManagement, &kSmall)
            ->Iterations(1);
        static char filter[] = "--benchmark_filter=^smoke/";
        char* smoke[] = {argv[0], filter, nullptr};
        int count = 2;
        benchmark::Initialize(&count, smoke);
    } else {
        benchmark::Initialize(&argc, argv);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    plat::unloadAll();
    plat::destroyUnloaded();
    return failed ? 1 : 0;
}
