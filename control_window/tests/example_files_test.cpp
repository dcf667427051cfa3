// The bundled example is made of files the editors keep: each loaded and saved again through its
// editor is the same, byte for byte, and the fishery definition exports the bundled management
// file.
#include "cw_fixture.h"

#include "control_window/windows/editors/definebio.h"
#include "control_window/windows/editors/definefishery.h"
#include "control_window/windows/editors/defineindex.h"
#include "control_window/windows/editors/definerun.h"
#include "control_window/windows/editors/definetez.h"
#include "control_window/windows/editors/definewox.h"
#include "control_window/windows/editors/defineyoy.h"

#include <functional>

namespace {

using cwtest::CwTest;
using cwtest::readFile;

std::string example(const std::string& name) {
    return readFile(std::string(VESK_EXAMPLES_DIR) + "/" + name);
}

struct ExampleFile {
    const char* name;
    const char* loadTitle;
    const char* saveTitle;
    std::function<plat::CommandButton&()> load, save;
};

template <class F> std::function<plat::CommandButton&()> button(plat::CommandButton F::*b) {
    return [b]() -> plat::CommandButton& { return plat::instance<F>().*b; };
}

class ExampleFilesTest : public CwTest {
  protected:
    // Loads the example `name` through `load` into a fresh folder.
    void load(const ExampleFile& f) {
        writeFile(path(f.name), example(f.name));
        plat::testing::ScriptedUser user;
        user.fileDialog(f.loadTitle, path(f.name));
        f.load().click();
        EXPECT_TRUE(user.finished()) << f.name;
    }
    std::string saveAs(const std::string& title, plat::CommandButton& save,
                       const std::string& name) {
        plat::testing::ScriptedUser user;
        user.fileDialog(title, path(name));
        save.click();
        EXPECT_TRUE(user.finished()) << name;
        return readFile(path(name));
    }
};

TEST_F(ExampleFilesTest, EveryExampleSavesBackByteForByte) {
    using namespace cw;
    const ExampleFile files[] = {
        {"snapper.bio", "Load biological data", "Save biological data", button(&DefineBio::Loadbio),
         button(&DefineBio::SaveBio)},
        {"snapper.fst", "Load fishery data", "Save fishery data",
         button(&DefineFishery::loadfishery), button(&DefineFishery::savefisherydefinition)},
        {"snapper.yoy", "Load Recruitment data", "Save Recruitment data",
         button(&DefineYOY::loadyoy), button(&DefineYOY::saveyoy)},
        {"snapper.ndf", "Load Index data", "Save Index data", button(&Defineindex::loadindex),
         button(&Defineindex::saveindex)},
        {"snapper.run", "Load run data", "Save run data", button(&DefineRun::readrun),
         button(&DefineRun::writerun)},
        {"snapper.tez", "Load TEZ data", "Save tez data", button(&DefineTEZ::readtez),
         button(&DefineTEZ::writetez)},
        {"snapper.wox", "Load wox data", "Save wox data", button(&DefineWOX::readwox),
         button(&DefineWOX::writewox)},
    };
    for (const ExampleFile& f : files) {
        SCOPED_TRACE(f.name);
        const std::string original = example(f.name);
        ASSERT_FALSE(original.empty());
        load(f);
        EXPECT_EQ(saveAs(f.saveTitle, f.save(), std::string("again.") + (f.name + 8)), original);
    }
}

TEST_F(ExampleFilesTest, TheFisheryDefinitionExportsTheBundledManagementFile) {
    const ExampleFile fst{
        "snapper.fst", "Load fishery data", "", button(&cw::DefineFishery::loadfishery), {}};
    load(fst);
    const std::string mgt = example("snapper.mgt");
    ASSERT_FALSE(mgt.empty());
    EXPECT_EQ(
        saveAs("Save management data", plat::instance<cw::DefineFishery>().MakeMgt, "again.mgt"),
        mgt);
}

} // namespace
