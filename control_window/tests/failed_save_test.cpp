// A save that fails in an editor that knows whether the window is its file: the earlier file is
// kept, the window keeps its name, and it is not taken for saved, so that no launch hands over
// what was not written.
#include "control_window/windows/editors/definerun.h"
#include "control_window/windows/editors/definetez.h"
#include "control_window/windows/editors/definewox.h"
#include "cw_fixture.h"
#include "platform/testing/small_disk.h"

#include <functional>

namespace {

using cw::mc;
using ::testing::HasSubstr;
using User = plat::testing::ScriptedUser;

class FailedSaveTest : public cwtest::CwTest {};

TEST_F(FailedSaveTest, AnEditedWindowSavedOntoAFullDiskStaysUnsaved) {
    struct Editor {
        const char* name;
        const char* loadTitle;
        const char* saveTitle;
        std::string& file;
        // Opens the window and returns its load and save buttons, the box edited and its flag.
        std::function<plat::CommandButton&()> load, save;
        std::function<plat::TextBox&()> edited;
        std::function<bool()> clean;
    };
    auto tez = []() -> cw::DefineTEZ& { return plat::instance<cw::DefineTEZ>(); };
    auto wox = []() -> cw::DefineWOX& { return plat::instance<cw::DefineWOX>(); };
    auto run = []() -> cw::DefineRun& { return plat::instance<cw::DefineRun>(); };
    Editor editors[] = {{"tez/three_years.tez", "Load TEZ data", "Save tez data",
                         mc.tezfile, [&]() -> auto& {return tez().readtez;
}
, [&]() -> auto& {
    return tez().writetez;
}
, [&]() -> auto& {
    return tez().I_title;
}
, [&] { return tez().clean; }
} // namespace
, {"tez/three_years.wox", "Load wox data", "Save wox data",
   mc.woxfile, [&]() -> auto& {return wox().readwox;
}
, [&]() -> auto& {
    return wox().writewox;
}
, [&]() -> auto& {
    return wox().I_bio;
}
, [&] { return wox().clean; }
}
, {"run/full.run", "Load run data", "Save run data",
   mc.runfile, [&]() -> auto& {return run().readrun;
}
, [&]() -> auto& {
    return run().writerun;
}
, [&]() -> auto& {
    return run().I_mgt;
}
, [&] { return run().clean; }
}
,
}
;
plattest::SmallDisk disk(64 * 1024);
VESK_NEED_SMALL_DISK(disk);
const std::string earlier = "earlier\r\n";
for (const Editor& e : editors)
    writeFile(disk.path(std::filesystem::path(e.name).filename().string()), earlier);
disk.fill();

for (const Editor& e : editors) {
    SCOPED_TRACE(e.name);
    const std::string base = std::filesystem::path(e.name).filename().string();
    writeFile(path(base), cwtest::dataFile(e.name));
    {
        User user;
        user.fileDialog(e.loadTitle, path(base));
        e.load().click();
        EXPECT_TRUE(user.finished());
    }
    ASSERT_TRUE(e.clean());
    e.edited().setText("edited.x");
    ASSERT_FALSE(e.clean());
    {
        User user;
        user.fileDialog(e.saveTitle, disk.path(base));
        user.custom([](const plat::testing::PromptRecord& r) {
            EXPECT_THAT(r.text, HasSubstr("No space left on device"));
            return std::string("OK");
        });
        e.save().click();
        EXPECT_TRUE(user.finished());
    }
    EXPECT_FALSE(e.clean());
    EXPECT_EQ(e.file, path(base));
    EXPECT_EQ(readFile(disk.path(base)), earlier);
    EXPECT_EQ(readFile(path(base)), cwtest::dataFile(e.name));
}
}

} // namespace
