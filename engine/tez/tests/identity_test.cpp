// The engine's outputs, byte for byte, against those recorded before it was changed for speed:
// the console, the exit status, the report and the table, with one thread and with several.
#include "engine_fixture.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

namespace tez::testing {
namespace {

namespace fs = std::filesystem;

const fs::path kFixtures = TEZ_IDENTITY_DIR;

std::string read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool is_input(const fs::path& name) {
    const std::string ext = name.extension().string();
    return ext == ".bio" || ext == ".mgt" || ext == ".tez";
}

bool is_record(const fs::path& name) {
    return name == "console.txt" || name == "status.txt";
}

std::set<std::string> names_in(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

// Runs the recorded definition in a fresh folder and compares everything it leaves.
void expect_recorded_outputs(const std::string& name, int threads) {
    SCOPED_TRACE(name + " with " + std::to_string(threads) + " thread(s)");
    const fs::path recorded = kFixtures / name;
    TempFolder folder;
    std::string definition;
    std::set<std::string> expected_files;
    for (const auto& entry : fs::directory_iterator(recorded)) {
        const fs::path file = entry.path().filename();
        if (is_record(file)) continue;
        expected_files.insert(file.string());
        if (!is_input(file)) continue;
        fs::copy_file(entry.path(), folder / file.string());
        if (file.extension() == ".tez") definition = file.string();
    }
    ASSERT_FALSE(definition.empty());
    fs::copy_file(folder / definition, folder / "Tez.000");

    auto e = std::make_unique<Engine>();
    e->threads = threads;
    const RunResult r = run_engine(*e, folder.path());
    EXPECT_EQ(std::to_string(r.status) + "\n", read_file(recorded / "status.txt"));
    EXPECT_EQ(r.console, read_file(recorded / "console.txt"));
    // The hand-over file is consumed and no temporary file is left behind.
    EXPECT_EQ(names_in(folder.path()), expected_files);
    for (const std::string& file : expected_files) {
        if (is_input(file)) continue;
        EXPECT_EQ(folder.read(file), read_file(recorded / file)) << file;
    }
}

class Identity : public ::testing::TestWithParam<const char*> {};

TEST_P(Identity, OutputsAreThoseRecordedWithOneThreadAndWithSeveral) {
    for (int threads : {1, 2, 8})
        expect_recorded_outputs(GetParam(), threads);
}

INSTANTIATE_TEST_SUITE_P(Recorded, Identity,
                         ::testing::Values("example", "blocks", "stop", "short"));

} // namespace
} // namespace tez::testing
