#pragma once
// Shared set-up of the control window's tests: every test starts with no window loaded, a fresh
// data model, an empty command line and its own scratch folder as the current folder. Beside it
// stand the pieces that the editors' tests share: file helpers, a scripted user that keeps what
// the input boxes proposed, and graph actions.
#include "control_window/model/maincode.h"
#include "control_window/windows/frmplot.h"
#include "control_window/windows/main/start.h"
#include "platform/form.h"
#include "platform/system.h"
#include "platform/testing/scripted_user.h"

#include <QCoreApplication>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace cwtest {

// The model's years and dimensions that a test's definitions are read and written for; a
// number of fisheries of 0 leaves the model's as it is.
struct Dimensions {
    int fyr, lyr, nsexes, nszns, nages;
    int ngear = 0;
};
inline void setDimensions(const Dimensions& d) {
    cw::mc.fyr = int16_t(d.fyr);
    cw::mc.lyr = int16_t(d.lyr);
    cw::mc.nsexes = int16_t(d.nsexes);
    cw::mc.nszns = int16_t(d.nszns);
    cw::mc.nages = int16_t(d.nages);
    if (d.ngear != 0) cw::mc.ngear = int16_t(d.ngear);
}

inline void writeFile(const std::string& p, const std::string& content) {
    std::ofstream(p, std::ios::binary) << content;
}

inline std::string readFile(const std::string& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The path of a file in the tests' data folder, such as "tez/three_years.tez".
inline std::string dataPath(const std::string& name) {
    return std::string(VESK_TEST_DATA_DIR) + "/" + name;
}

// The bytes of a file in the tests' data folder.
inline std::string dataFile(const std::string& name) {
    return readFile(dataPath(name));
}

// Where line `line` (from 1) of a text with CR LF line ends starts.
inline size_t lineStart(const std::string& text, int line) {
    size_t at = 0;
    for (int k = 1; k < line; ++k)
        at = text.find("\r\n", at) + 2;
    return at;
}

// The text with line `line` (from 1) replaced, its line end kept.
inline std::string replaceLine(std::string text, int line, const std::string& with) {
    const size_t at = lineStart(text, line);
    return text.replace(at, text.find("\r\n", at) - at, with);
}

// The text without line `line` (from 1) and its line end.
inline std::string removeLine(std::string text, int line) {
    const size_t at = lineStart(text, line);
    return text.erase(at, text.find("\r\n", at) + 2 - at);
}

// Answers the next prompt, a message whose text holds each of the parts, with OK.
inline void messageWith(plat::testing::ScriptedUser& user, std::vector<std::string> parts) {
    user.custom([parts](const plat::testing::PromptRecord& r) {
        EXPECT_EQ(r.kind, plat::testing::PromptRecord::Kind::Message);
        for (const std::string& p : parts)
            EXPECT_THAT(r.text, ::testing::HasSubstr(p));
        return std::string("OK");
    });
}

// Answers the next prompt with OK and keeps its text in `text`.
inline void keepText(plat::testing::ScriptedUser& user, std::string& text) {
    user.custom([&text](const plat::testing::PromptRecord& r) {
        text = r.text;
        return std::string("OK");
    });
}

// The scripted user, keeping what each input box proposed and under which title.
class ProposalUser : public plat::testing::ScriptedUser {
  public:
    std::string inputBox(const std::string& prompt, const std::string& title,
                         const std::string& defaultText) override {
        proposals.push_back(defaultText);
        titles.push_back(title);
        return ScriptedUser::inputBox(prompt, title, defaultText);
    }
    std::vector<std::string> proposals;
    std::vector<std::string> titles;
};

// A graph action: leaves ys on points 1.. and closes the graph window, as a user who dragged
// them there and let go of the right button.
inline std::function<void()> dragTo(std::vector<float> ys) {
    return [ys] {
        ASSERT_TRUE(plat::isLoaded<cw::frmPlot>());
        ASSERT_TRUE(plat::instance<cw::frmPlot>().visible());
        for (size_t k = 0; k < ys.size(); ++k)
            cw::mc.yplot(int(k + 1)) = ys[k];
        plat::instance<cw::frmPlot>().closeBox();
    };
}

// Closes the graph window without touching a point.
inline std::function<void()> closeGraph() {
    return dragTo({});
}

// Closes the shown window F with its close box.
template <class F> std::function<void()> closeWindow() {
    return [] {
        ASSERT_TRUE(plat::isLoaded<F>());
        plat::instance<F>().closeBox();
    };
}

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
        // The process id keeps test runs side by side (another build's suite) out of each
        // other's folders.
        folder_ = std::filesystem::temp_directory_path() /
                  ("vesk-cw-" + std::string(info->test_suite_name()) + "-" + info->name() + "-" +
                   std::to_string(QCoreApplication::applicationPid()));
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
    // Members as well, so that the tests' bodies find them without naming the namespace.
    static void writeFile(const std::string& p, const std::string& content) {
        cwtest::writeFile(p, content);
    }
    static std::string readFile(const std::string& p) { return cwtest::readFile(p); }

    std::filesystem::path folder_;
    std::string savedFolder_;
};

} // namespace cwtest
