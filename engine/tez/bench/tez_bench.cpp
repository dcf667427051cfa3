// Timings of the equilibrium engine: one projection, the whole run (with its peak memory) and the
// reading of the largest management file, on definitions of a typical size and of the largest size
// the tables hold. With --smoke, every benchmark runs once on a small stock instead: a test that
// each runs to its end, not a timing.
#include "engine.h"
#include "stock_files.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <thread>

namespace {

using namespace tez;
using namespace tez::testing;

struct Size {
    const char* name;
    int nages, nmorphs, nsexes, nszns, nfisheries, by_age, nyears;
};
constexpr Size kTypical{"typical", 30, 11, 2, 4, 3, 1, 30};
constexpr Size kLargest{"largest", 100, 101, 2, 12, 10, 5, 150};
constexpr Size kSmall{"small", 5, 3, 2, 2, 2, 1, 3};

const Size& sizeNamed(const std::string& name) {
    for (const Size* s : {&kTypical, &kLargest, &kSmall})
        if (name == s->name) return *s;
    return kTypical;
}

class NullBuffer : public std::streambuf {
  protected:
    int overflow(int c) override { return c; }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

// The definition files of one size, written once into a folder of their own.
const std::filesystem::path& definitions(const Size& size) {
    static std::map<const Size*, std::filesystem::path> folders;
    std::filesystem::path& folder = folders[&size];
    if (folder.empty()) {
        folder = std::filesystem::temp_directory_path() / (std::string("tez-bench-") + size.name);
        std::filesystem::create_directories(folder);
        const StockBiology bio = make_biology(size.nages, size.nmorphs, size.nsexes, size.nszns);
        write_text(folder / "b.bio", biology_text(bio));
        write_text(folder / "b.mgt",
                   management_text(
                       0.0, make_blocks(bio, 2000, size.nyears + 1, size.nfisheries, size.by_age)));
        RunDefinition def;
        def.bio = "b.bio";
        def.mgt = "b.mgt";
        def.report = "b.tzo";
        def.table = "b.tzb";
        for (int y = 0; y < size.nyears; ++y)
            def.years.push_back(2000 + y);
        write_text(folder / "b.tez", definition_text(def));
    }
    return folder;
}

// An engine with its biology read and the first year's block in force.
std::unique_ptr<Engine> ready(const Size& size, std::ostream& console) {
    const auto& folder = definitions(size);
    auto e = std::make_unique<Engine>();
    e->console_out = &console;
    e->folder = folder;
    e->biology_name = "b.bio";
    read_biology(*e, "b.bio");
    build_growth_tables(*e);
    unfished_per_recruit(*e);
    e->input.open(folder / "b.mgt", "b.mgt");
    e->input.read_real();
    e->nyears = 1;
    e->years[1] = 2000;
    e->year_index = 1;
    read_management_year(*e);
    prepare_fishing(*e, *e, *e);
    return e;
}

double steps_per_projection(const Engine& e) {
    const int per_morph = (e.nszns - e.recruit_season + 1) + e.nages * e.nszns;
    return static_cast<double>(e.nsexes) * e.nmorphs * per_morph;
}

// One projection on one thread. Per recruit, the step values are worked out afresh each time (as
// at every new multiplier); scaled, they are those of the per-recruit projection at the same
// multiplier, as in every equilibrium.
void BM_Projection(benchmark::State& state, const Size* size, int mode) {
    NullBuffer null;
    std::ostream console(&null);
    auto e = ready(*size, console);
    e->fmult = 1.0;
    e->eq_recruits = 100.0;
    project_population(*e, *e, *e, 1);
    for (auto _ : state) {
        if (mode == 1) e->factors_valid = false;
        project_population(*e, *e, *e, mode);
        benchmark::DoNotOptimize(e->spr);
    }
    state.counters["steps"] = steps_per_projection(*e);
    state.counters["per_step"] =
        benchmark::Counter(steps_per_projection(*e) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// One equilibrium (a per-recruit and a scaled projection) at a multiplier not met before, on one
// thread; per step of the two projections.
void BM_Equilibrium(benchmark::State& state, const Size* size) {
    NullBuffer null;
    std::ostream console(&null);
    auto e = ready(*size, console);
    e->target_flag = 0;
    double fmult = 1.0;
    for (auto _ : state) {
        e->fmult = fmult;
        fmult += 1e-6;
        find_equilibrium(*e, *e, *e);
        benchmark::DoNotOptimize(e->harvest_biomass);
    }
    state.counters["per_step"] =
        benchmark::Counter(2.0 * steps_per_projection(*e) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_PrepareBlock(benchmark::State& state, const Size* size) {
    NullBuffer null;
    std::ostream console(&null);
    auto e = ready(*size, console);
    for (auto _ : state) {
        prepare_fishing(*e, *e, *e);
        benchmark::DoNotOptimize(e->max_step_f);
    }
}

void whole_run(const Size& size, int threads) {
    const auto& folder = definitions(size);
    NullBuffer null;
    std::ostream console(&null);
    std::istringstream none;
    std::filesystem::copy_file(folder / "b.tez", folder / "Tez.000",
                               std::filesystem::copy_options::overwrite_existing);
    auto e = std::make_unique<Engine>();
    e->threads = threads;
    engine_main(*e, none, console, folder);
}

// The peak resident memory of this process so far, in megabytes; 0 where it cannot be read.
double own_peak_megabytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::atof(line.c_str() + 6) / 1024.0;
    return 0.0;
}

// The peak resident memory of one whole run, in a fresh process of this program (see main) so
// that nothing else the benchmark did counts; 0 where that cannot be measured.
double peak_megabytes(const Size& size, int threads) {
#ifdef __linux__
    definitions(size);
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    const std::string command =
        "\"" + self + "\" --peak-run " + size.name + " " + std::to_string(threads);
    if (FILE* child = popen(command.c_str(), "r")) {
        double peak = 0.0;
        if (std::fscanf(child, "%lf", &peak) != 1) peak = 0.0;
        pclose(child);
        return peak;
    }
#endif
    (void)size;
    (void)threads;
    return 0.0;
}

// The whole run as the console program runs it, on every core (threads 0) or on one.
void BM_WholeRun(benchmark::State& state, const Size* size, int threads) {
    definitions(*size);
    for (auto _ : state)
        whole_run(*size, threads);
    state.counters["years"] = size->nyears;
    NullBuffer null;
    std::ostream console(&null);
    state.counters["threads"] = year_threads(threads, size->nyears, *ready(*size, console));
    state.counters["cores"] = static_cast<double>(std::thread::hardware_concurrency());
    state.counters["peak_MB"] = peak_megabytes(*size, threads);
}

void BM_ReadManagement(benchmark::State& state, const Size* size) {
    const auto& folder = definitions(*size);
    NullBuffer null;
    std::ostream console(&null);
    for (auto _ : state) {
        state.PauseTiming();
        auto e = std::make_unique<Engine>();
        e->console_out = &console;
        e->folder = folder;
        read_biology(*e, "b.bio");
        state.ResumeTiming();
        e->input.open(folder / "b.mgt", "b.mgt");
        e->input.read_real();
        e->nyears = size->nyears;
        for (int y = 1; y <= e->nyears; ++y) {
            e->years[y] = 1999 + y;
            e->year_index = y;
            read_management_year(*e);
        }
        benchmark::DoNotOptimize(e->rate[0][0][0][0]);
    }
}

BENCHMARK_CAPTURE(BM_Projection, typical_per_recruit, &kTypical, 1)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Projection, typical_scaled, &kTypical, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Projection, largest_per_recruit, &kLargest, 1)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Projection, largest_scaled, &kLargest, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Equilibrium, typical, &kTypical)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Equilibrium, largest, &kLargest)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_PrepareBlock, typical, &kTypical)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_PrepareBlock, largest, &kLargest)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WholeRun, typical, &kTypical, 0)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_WholeRun, typical_one_thread, &kTypical, 1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_WholeRun, largest, &kLargest, 0)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_WholeRun, largest_one_thread, &kLargest, 1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_ReadManagement, largest, &kLargest)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

// The smoke run: each benchmark above once, on the small stock.
void registerSmoke() {
    const Size* s = &kSmall;
    benchmark::RegisterBenchmark("smoke/Projection/per_recruit", BM_Projection, s, 1)
        ->Iterations(1);
    benchmark::RegisterBenchmark("smoke/Projection/scaled", BM_Projection, s, 2)->Iterations(1);
    benchmark::RegisterBenchmark("smoke/Equilibrium", BM_Equilibrium, s)->Iterations(1);
    benchmark::RegisterBenchmark("smoke/PrepareBlock", BM_PrepareBlock, s)->Iterations(1);
    benchmark::RegisterBenchmark("smoke/WholeRun", BM_WholeRun, s, 0)->Iterations(1);
    benchmark::RegisterBenchmark("smoke/WholeRun/one_thread", BM_WholeRun, s, 1)->Iterations(1);
    benchmark::RegisterBenchmark("smoke/ReadManagement", BM_ReadManagement, s)->Iterations(1);
}

} // namespace

int main(int argc, char** argv) {
    // One whole run and nothing else, for its peak memory.
    if (argc == 4 && std::string(argv[1]) == "--peak-run") {
        whole_run(sizeNamed(argv[2]), std::atoi(argv[3]));
        std::printf("%.1f\n", own_peak_megabytes());
        return 0;
    }
    if (argc == 2 && std::string(argv[1]) == "--smoke") {
        registerSmoke();
        static char filter[] = "--benchmark_filter=^smoke/";
        char* smoke[] = {argv[0], filter, nullptr};
        int count = 2;
        benchmark::Initialize(&count, smoke);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
