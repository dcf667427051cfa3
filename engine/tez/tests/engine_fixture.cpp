#include "engine_fixture.h"

#include "error_stack.h"

#include <atomic>
#include <fstream>
#include <random>
#include <sstream>

namespace tez::testing {

TempFolder::TempFolder() {
    static std::atomic<int> counter{0};
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() /
            ("tez-test-" + std::to_string(rd()) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

bool TempFolder::has(const std::string& name) const {
    return std::filesystem::exists(path_ / name);
}

std::string TempFolder::read(const std::string& name) const {
    return read_file(path_ / name);
}

std::string TempFolder::read_file(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

RunResult run_engine(Engine& e, const std::filesystem::path& folder,
                     const std::string& console_input) {
    std::istringstream in(console_input);
    std::ostringstream out;
    RunResult r;
    try {
        engine_main(e, in, out, folder);
        r.status = kExitNormal;
    } catch (const NumericsStop& stop) {
        r.status = stop.exit_status();
    }
    r.console = out.str();
    return r;
}

std::unique_ptr<Engine> ready_engine(const TempFolder& folder, const StockBiology& bio,
                                     const std::vector<ManagementBlock>& blocks,
                                     std::ostream& console) {
    write_text(folder / "t.bio", biology_text(bio));
    write_text(folder / "t.mgt", management_text(0.0, blocks));
    auto e = std::make_unique<Engine>();
    e->console_out = &console;
    e->folder = folder.path();
    e->biology_name = "t.bio";
    read_biology(*e, "t.bio");
    build_growth_tables(*e);
    unfished_per_recruit(*e);
    e->input.open(folder / "t.mgt", "t.mgt");
    e->total_f_cv = e->input.read_real();
    return e;
}

FisheryData knife_edge_fishery(const StockBiology& bio, int first_age, double rate) {
    FisheryData f;
    f.type = "A";
    f.minvul = 0.0;
    for (int s = 0; s < bio.nsexes; ++s)
        for (int a = 0; a <= bio.nages; ++a)
            for (int t = 0; t < bio.nszns; ++t)
                f.rates.push_back(a >= first_age ? rate : 0.0);
    return f;
}

} // namespace tez::testing
