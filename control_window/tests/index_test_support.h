#pragma once
// Shared pieces of the index editor's tests: the window on a clean data model, a scripted user
// that keeps what each input box proposed, and graph actions.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "control_window/defineindex.h"
#include "control_window/frmplot.h"
#include "control_window/maincode.h"
#include "cw_fixture.h"
#include "platform/form.h"
#include "platform/testing/scripted_user.h"

namespace indextest {

class User : public plat::testing::ScriptedUser {
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

class IndexTest : public cwtest::CwTest {
  protected:
    cw::Defineindex& ed() { return plat::instance<cw::Defineindex>(); }

    // Years 2000..2004, two sexes, ages 0..3, three seasons, on a fresh window.
    cw::Defineindex& fiveYears() {
        cw::Defineindex& e = ed();
        e.I_FYR.setText("2000");
        e.I_LYR.setText("2004");
        e.I_nsexes.setText("2");
        e.I_Nages.setText("3");
        e.I_nszns.setText("3");
        return e;
    }
};

// A graph action: leaves ys on points 1.. and closes the graph window, as a user who dragged
// them there and closed it.
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

} // namespace indextest
