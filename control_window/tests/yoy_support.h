#pragma once
// Shared pieces of the recruitment editor tests: a scripted user that keeps what each input box
// proposed, a message step that checks only part of the text, and a graph action.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "control_window/frmplot.h"
#include "control_window/maincode.h"
#include "platform/form.h"
#include "platform/testing/scripted_user.h"

namespace yoytest {

class User : public plat::testing::ScriptedUser {
  public:
    std::string inputBox(const std::string& prompt, const std::string& title,
                         const std::string& defaultText) override {
        proposals.push_back(defaultText);
        titles.push_back(title);
        return ScriptedUser::inputBox(prompt, title, defaultText);
    }
    // A message whose text holds each of the parts; answered with OK.
    User& messageWith(std::vector<std::string> parts) {
        custom([parts](const plat::testing::PromptRecord& r) {
            EXPECT_EQ(r.kind, plat::testing::PromptRecord::Kind::Message);
            for (const std::string& p : parts)
                EXPECT_THAT(r.text, ::testing::HasSubstr(p));
            return std::string("OK");
        });
        return *this;
    }
    std::vector<std::string> proposals, titles;
};

// Leaves ys on points 1.. and closes the graph window, as a user who dragged them there.
inline std::function<void()> dragTo(std::vector<float> ys) {
    return [ys] {
        ASSERT_TRUE(plat::isLoaded<cw::frmPlot>());
        ASSERT_TRUE(plat::instance<cw::frmPlot>().visible());
        for (size_t k = 0; k < ys.size(); ++k)
            cw::mc.yplot(int(k + 1)) = ys[k];
        plat::instance<cw::frmPlot>().closeBox();
    };
}

inline std::string fixturePath(const std::string& name) {
    return std::string(VESK_TEST_DATA_DIR) + "/" + name;
}

} // namespace yoytest
