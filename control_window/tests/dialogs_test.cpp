// The two shared file dialogs: what they ask, what they open and what they say.
#include "cw_fixture.h"

#include "control_window/model/maincode.h"
#include "control_window/windows/dialogs.h"
#include "control_window/windows/main/start.h"
#include "platform/seqfile.h"
#include "platform/testing/scripted_user.h"

#include <filesystem>

namespace {

using cw::mc;
using cwtest::CwTest;
using plat::testing::ScriptedUser;

class DialogTest : public CwTest {
  protected:
    void TearDown() override {
        for (int n = 1; n <= 6; ++n) {
            if (plat::fileNumber(n).isOpen()) plat::fileNumber(n).discard();
        }
        CwTest::TearDown();
    }
};

TEST_F(DialogTest, CancelSaysSoWithAnEmptyTitleAndEmptiesTheName) {
    const struct {
        bool save;
        const char* message;
    } cases[] = {{false, "No input data were loaded"}, {true, "No output data were saved"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        mc.biofile = "old.bio";
        ScriptedUser user;
        user.fileDialog("Load biological data", "");
        user.message(c.message);
        if (c.save) {
            cw::openoutput(mc.biofile, "Load biological data", "BioDat input file (*.bio)|*.bio",
                           3);
        } else {
            cw::openinput(mc.biofile, "Load biological data", "BioDat input file (*.bio)|*.bio", 3);
        }
        EXPECT_TRUE(user.finished());
        EXPECT_EQ(mc.biofile, "");
        EXPECT_FALSE(plat::fileNumber(3).isOpen());
        ASSERT_EQ(user.seen().size(), 2u);
        EXPECT_EQ(user.seen()[1].title, std::optional<std::string>(""));
    }
    EXPECT_TRUE(std::filesystem::is_empty(folder_)); // nothing left behind
}

TEST_F(DialogTest, AsksWithTitleFilterAndTheCurrentFolder) {
    const std::string other = path("other");
    std::filesystem::create_directories(other);
    plat::setCurrentFolder(other);
    ScriptedUser user;
    user.fileDialog("Save run data", "");
    user.message("No output data were saved");
    cw::openoutput(mc.runfile, "Save run data", "Simulation input file (*.run)|*.run", 5);
    ASSERT_FALSE(user.seen().empty());
    const plat::FileDialogRequest& asked = user.seen()[0].dialog;
    EXPECT_EQ(asked.kind, plat::FileDialogKind::Save);
    EXPECT_EQ(asked.title, "Save run data");
    EXPECT_EQ(asked.filter, "Simulation input file (*.run)|*.run");
    EXPECT_EQ(std::filesystem::path(asked.initialDir), std::filesystem::path(other));
    EXPECT_EQ(asked.fileName, "");
    // The dialog belongs to the main window, which is loaded for it.
    EXPECT_TRUE(plat::isLoaded<cw::start>());
}

TEST_F(DialogTest, OpensTheChosenFileAndMakesItsFolderCurrent) {
    std::filesystem::create_directories(path("stock"));
    const std::string chosen = path("stock/plaice.bio");
    writeFile(chosen, "12\r\nplaice\r\n");
    ScriptedUser user;
    user.fileDialog("Load biological data", chosen);
    cw::openinput(mc.biofile, "Load biological data", "BioDat input file (*.bio)|*.bio", 3);
    EXPECT_TRUE(user.seen().size() == 1u);
    EXPECT_EQ(mc.biofile, chosen);
    EXPECT_EQ(std::filesystem::path(plat::currentFolder()), std::filesystem::path(path("stock")));
    plat::SeqFile& f = plat::fileNumber(3);
    ASSERT_TRUE(f.isOpen());
    EXPECT_EQ(f.inputNumber().value, 12);
    EXPECT_EQ(f.inputText().text, "plaice");
    f.close();
}

TEST_F(DialogTest, SavingReplacesAnExistingFileWithoutAsking) {
    const std::string chosen = path("a.tez");
    writeFile(chosen, "old contents that are longer\r\n");
    ScriptedUser user;
    user.fileDialog("Save tez data", chosen);
    cw::openoutput(mc.tezfile, "Save tez data", "TEZ input file (*.tez)|*.tez", 1);
    EXPECT_EQ(user.seen().size(), 1u); // no question of its own
    EXPECT_EQ(mc.tezfile, chosen);
    plat::SeqFile& f = plat::fileNumber(1);
    ASSERT_TRUE(f.isOpen());
    f.printLine("new");
    EXPECT_TRUE(f.close());
    EXPECT_EQ(readFile(chosen), "new\r\n");
}

TEST_F(DialogTest, AFileThatCannotBeOpenedIsNamedAndNothingIsOpened) {
    const std::string missing = path("missing.ndf");
    const std::string noFolder = path("no/such/folder/x.ndf");
    const struct {
        bool save;
        std::string chosen;
    } cases[] = {{false, missing}, {true, noFolder}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.chosen);
        mc.ndffile = "kept.ndf";
        ScriptedUser user;
        user.fileDialog("", c.chosen);
        user.custom([&](const plat::testing::PromptRecord& r) {
            EXPECT_EQ(r.kind, plat::testing::PromptRecord::Kind::Message);
            EXPECT_NE(r.text.find(c.chosen), std::string::npos) << r.text;
            EXPECT_EQ(r.title, std::optional<std::string>(""));
            return std::string("OK");
        });
        if (c.save) {
            cw::openoutput(mc.ndffile, "Save Index data", "Index data file (*.ndf)|*.ndf", 1);
        } else {
            cw::openinput(mc.ndffile, "Load Index data", "Index input file (*.ndf)|*.ndf", 1);
        }
        EXPECT_TRUE(user.finished());
        // The window keeps the file it held: only a cancelled dialog lets it go.
        EXPECT_EQ(mc.ndffile, "kept.ndf");
        EXPECT_FALSE(plat::fileNumber(1).isOpen());
    }
    EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST_F(DialogTest, AClosedMainWindowIsLoadedAgainForTheDialog) {
    plat::instance<cw::start>().closeBox();
    ASSERT_FALSE(plat::isLoaded<cw::start>());
    ScriptedUser user;
    user.fileDialog("Load wox data", "");
    user.message("No input data were loaded");
    cw::openinput(mc.woxfile, "Load wox data", "WOX input file (*.wox)|*.wox", 1);
    ASSERT_TRUE(plat::isLoaded<cw::start>());
    // With no file on the command line its load shows it again.
    EXPECT_TRUE(plat::instance<cw::start>().visible());
}

} // namespace
