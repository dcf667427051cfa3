#include "file_support.h"
#include "platform/process.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <chrono>
#include <filesystem>
#include <thread>

namespace {

using namespace plat;
namespace fs = std::filesystem;

using plattest::spit;

#ifndef _WIN32
TEST(Process, StartsAProgramWithoutItsExeWhenThatIsMissing) {
    QTemporaryDir tmp;
    const fs::path dir = tmp.path().toStdString();
    const fs::path marker = dir / "ran";
    spit(dir / "tez", "#!/bin/sh\necho started > '" + marker.string() + "'\n");
    fs::permissions(dir / "tez", fs::perms::owner_all);
    const int64_t pid = startProgram((dir / "tez.exe").string());
    EXPECT_GT(pid, 0);
    for (int i = 0; i < 100 && !fs::exists(marker); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_TRUE(fs::exists(marker));
    EXPECT_EQ(startProgram((dir / "kuv.exe").string()), -1);
}
#endif

} // namespace
