#pragma once
// Shared pieces of the biology window tests: a clean data model in a scratch folder, a scripted
// user that also keeps the proposals of the input boxes, and graph actions.
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "control_window/frmplot.h"
#include "control_window/maincode.h"
#include "platform/form.h"
#include "platform/system.h"
#include "platform/testing/scripted_user.h"

namespace biotest {

// The scripted user, keeping what each input box proposed.
class User : public plat::testing::ScriptedUser {
  public:
    std::string inputBox(const std::string& prompt, const std::string& title,
                         const std::string& defaultText) override {
        proposals.push_back(defaultText);
        return ScriptedUser::inputBox(prompt, title, defaultText);
    }
    std::vector<std::string> proposals;
};

class BioTest : public ::testing::Test {
  protected:
    void SetUp() override {
        cw::resetMaincode();
        ASSERT_TRUE(dir_.isValid());
        before_ = plat::currentFolder();
        plat::setCurrentFolder(dir_.path().toStdString());
    }
    void TearDown() override {
        plat::unloadAll();
        plat::setCurrentFolder(before_);
    }

    std::string path(const std::string& name) const {
        return QDir(dir_.path()).filePath(QString::fromStdString(name)).toStdString();
    }

  private:
    QTemporaryDir dir_;
    std::string before_;
};

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

inline std::string fixture(const std::string& name) {
    return readFile(std::string(VESK_TEST_DATA_DIR) + "/" + name);
}

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

// Closes the shown window F with its close box.
template <class F> std::function<void()> closeWindow() {
    return [] {
        ASSERT_TRUE(plat::isLoaded<F>());
        plat::instance<F>().closeBox();
    };
}

} // namespace biotest
