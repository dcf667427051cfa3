// Temporary folders and engine runs for the tests.
#pragma once

#include "engine.h"
#include "stock_files.h"

#include <filesystem>
#include <memory>
#include <string>

namespace tez::testing {

class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
    bool has(const std::string& name) const;
    std::string read(const std::string& name) const;
    static std::string read_file(const std::filesystem::path& path);

  private:
    std::filesystem::path path_;
};

struct RunResult {
    int status = 0;
    std::string console;
};

// Runs the engine in the folder with the given console input, as the program would.
RunResult run_engine(Engine& e, const std::filesystem::path& folder,
                     const std::string& console_input = "");

// An engine with the biology read, the tables built and the management file open, ready for
// read_management_year and evaluate_year; the console goes to `console`.
std::unique_ptr<Engine> ready_engine(const TempFolder& folder, const StockBiology& bio,
                                     const std::vector<ManagementBlock>& blocks,
                                     std::ostream& console);

// One fishery by age with the same rate at every age from `first_age` on, in every season.
FisheryData knife_edge_fishery(const StockBiology& bio, int first_age, double rate);

} // namespace tez::testing
