#pragma once
// Shared set-up of the control window's tests: every test starts with no window loaded, a fresh
// data model, an empty command line and its own scratch folder as the current folder.
#include "control_window/maincode.h"
#include "control_window/start.h"
#include "platform/form.h"
#include "platform/system.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace cwtest {

class CwTest : public ::testing::Test {
  protected:
    void SetUp() override {
        plat::unloadAll();
        plat::resetEndRequest();
        cw::resetMaincode();
        cw::editorShownHook = nullptr;
        plat::setCommandLine(std::string());
        savedFolder_ = plat::currentFolder();
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = std::filesystem::temp_directory_path() /
                  ("vesk-cw-" + std::string(info->test_suite_name()) + "-" + info->name());
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        plat::setCurrentFolder(folder_.string());
    }
    void TearDown() override {
        plat::unloadAll();
        plat::resetEndRequest();
        cw::editorShownHook = nullptr;
        plat::setRegistry(nullptr);
        plat::setCurrentFolder(savedFolder_);
        std::filesystem::remove_all(folder_);
    }

    std::string path(const std::string& name) const { return (folder_ / name).string(); }
    static void writeFile(const std::string& p, const std::string& content) {
        std::ofstream(p, std::ios::binary) << content;
    }
    static std::string readFile(const std::string& p) {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    std::filesystem::path folder_;
    std::string savedFolder_;
};

} // namespace cwtest
