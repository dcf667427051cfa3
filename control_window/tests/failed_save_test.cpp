// A save that fails in an editor that knows whether the window is its file: the earlier file is
// kept, the window keeps its name, and it is not taken for saved, so that no launch hands over
// what was not written.
#include "common/testing/small_disk.h"
#include "control_window/windows/editors/definerun.h"
#include "control_window/windows/editors/definetez.h"
#include "control_window/windows/editors/definewox.h"
#include "cw_fixture.h"

#include <functional>

namespace {

using cw::mc;
using ::testing::HasSubstr;
using User = plat::testing::ScriptedUser;

class FailedSaveTest : public cwtest::CwTest {};

// One editor of the table: its file, its dialog titles, and how to reach its window's load and
// save buttons, the box that is edited and whether the window counts as its file.
struct Editor {
    const char* name;
    const char* loadTitle;
    const char* saveTitle;
    std::string& file;
    std::function<plat::CommandButton&()> load, save;
    std::function<plat::TextBox&()> edited;
    std::function<bool()> clean;
};

template <class F>
Editor editorOf(const char* name, const char* loadTitle, const char* saveTitle, std::string& file,
                plat::CommandButton F::*load, plat::CommandButton F::*save,
                plat::TextBox F::*edited) {
    return {name,
            loadTitle,
            saveTitle,
            file,
            [load]() -> plat::CommandButton& { return plat::instance<F>().*load; },
            [save]() -> plat::CommandButton& { return plat::instance<F>().*save; },
            [edited]() -> plat::TextBox& { return plat::instance<F>().*edited; },
            [] { return plat::instance<F>().clean; }};
}

TEST_F(FailedSaveTest, AnEditedWindowSavedOntoAFullDiskStaysUnsaved) {
    const Editor editors[] = {
        editorOf("tez/three_years.tez", "Load TEZ data", "Save tez data", mc.tezfile,
                 &cw::DefineTEZ::readtez, &cw::DefineTEZ::writetez, &cw::DefineTEZ::I_title),
        editorOf("tez/three_years.wox", "Load wox data", "Save wox data", mc.woxfile,
                 &cw::DefineWOX::readwox, &cw::DefineWOX::writewox, &cw::DefineWOX::I_bio),
        editorOf("run/full.run", "Load run data", "Save run data", mc.runfile,
                 &cw::DefineRun::readrun, &cw::DefineRun::writerun, &cw::DefineRun::I_mgt),
    };
    vesktest::SmallDisk disk(64 * 1024);
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
