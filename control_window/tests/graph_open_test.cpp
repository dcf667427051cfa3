// While a graph edit is open, no file is loaded, saved, exported or handed over: what the graph
// shows is copied into its editor when it closes, and a file read or written meanwhile would be
// mixed with it or miss it.
#include "cw_fixture.h"

#include "control_window/windows/editors/definebio.h"
#include "control_window/windows/editors/definefishery.h"
#include "control_window/windows/editors/defineindex.h"
#include "control_window/windows/editors/definetez.h"
#include "control_window/windows/editors/defineyoy.h"
#include "control_window/windows/graph.h"

namespace {

using cw::mc;
using cwtest::dragTo;
using plat::MsgAnswer;
using plat::testing::ScriptedUser;

class GraphOpenTest : public cwtest::CwTest {
  protected:
    void SetUp() override {
        cwtest::CwTest::SetUp();
        // Definitions that every save would write, so that only the graph keeps them back.
        ScriptedUser user;
        user.fileDialog("Load biological data", cwtest::dataPath("bio_two_sexes_a.bio"));
        plat::instance<cw::DefineBio>().Loadbio.click();
        plat::instance<cw::DefineYOY>().i_byr.setText("1991");
        plat::instance<cw::DefineYOY>().i_eyr.setText("1993");
    }
    // Presses every load, save, export and launch of the editors while the graph is up; each is
    // refused with one message and asks for no file.
    static void pressEveryFileButton(ScriptedUser& user) {
        user.act([] {
            plat::instance<cw::DefineYOY>().loadyoy.click();
            plat::instance<cw::DefineYOY>().saveyoy.click();
            plat::instance<cw::DefineBio>().Loadbio.click();
            plat::instance<cw::DefineBio>().SaveBio.click();
            plat::instance<cw::DefineFishery>().loadfishery.click();
            plat::instance<cw::DefineFishery>().MakeMgt.click();
            plat::instance<cw::Defineindex>().loadindex.click();
            plat::instance<cw::DefineTEZ>().readtez.click();
            plat::instance<cw::DefineTEZ>().dotez.click();
        });
        for (int k = 0; k < 9; ++k)
            user.message(cw::kCloseGraphFirst);
    }
};

TEST_F(GraphOpenTest, ARecruitmentGraphKeepsEveryFileOutUntilItCloses) {
    writeFile(path("other.yoy"), " 2001  2003 \r\n 0  50 \r\n 5  1 \r\n 6  1 \r\n 7  1 \r\n");
    cw::DefineYOY& w = plat::instance<cw::DefineYOY>();
    ScriptedUser user;
    user.message("Set to Mean", MsgAnswer::No).input("Scale of Y for input", "1000");
    pressEveryFileButton(user);
    user.act(dragTo({100, 200, 300}));
    w.I_yoy.click();
    EXPECT_TRUE(user.finished());
    EXPECT_EQ(w.byr, 1991);
    EXPECT_EQ(mc.yoyfile, "");
    for (int k = 1; k <= 3; ++k)
        EXPECT_EQ(mc.yoyrec(k), float(100 * k)) << k;

    // Once the graph is closed, a load takes the file whole and a save writes what was shown.
    ScriptedUser after;
    after.fileDialog("Load Recruitment data", path("other.yoy"))
        .fileDialog("Save Recruitment data", path("saved.yoy"));
    w.loadyoy.click();
    w.saveyoy.click();
    EXPECT_EQ(readFile(path("saved.yoy")), readFile(path("other.yoy")));
}

TEST_F(GraphOpenTest, AMortalityGraphKeepsEveryFileOutUntilItCloses) {
    cw::DefineBio& b = plat::instance<cw::DefineBio>();
    b.nages.setText("3");
    ScriptedUser user;
    user.message("Make same as males", MsgAnswer::No)
        .message("Set to Mean", MsgAnswer::No)
        .input("Scale of Y for input", "1");
    pressEveryFileButton(user);
    user.act(dragTo({0.5f, 0.4f, 0.3f, 0.2f}));
    b.M_sex_2.click();
    EXPECT_TRUE(user.finished());
    EXPECT_EQ(mc.biofile, cwtest::dataPath("bio_two_sexes_a.bio"));
    EXPECT_EQ(mc.natmort(0, 2), 0.5f);
    EXPECT_EQ(mc.natmort(3, 2), 0.2f);
    EXPECT_FALSE(std::filesystem::exists(path("Tez.000")));
}

} // namespace
