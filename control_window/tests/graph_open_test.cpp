// While a graph edit is open, no file is loaded, saved, exported or handed over: what the graph
// shows is copied into its editor when it closes, and a file read or written meanwhile would be
// mixed with it or miss it.
#include "cw_fixture.h"

#include <set>

#include <QPushButton>

#include "control_window/windows/editors/definebio.h"
#include "control_window/windows/editors/definefishery.h"
#include "control_window/windows/editors/defineindex.h"
#include "control_window/windows/editors/definerun.h"
#include "control_window/windows/editors/definetez.h"
#include "control_window/windows/editors/definewox.h"
#include "control_window/windows/editors/defineyoy.h"
#include "control_window/windows/editors/fecfrm.h"
#include "control_window/windows/editors/growthfrm.h"
#include "control_window/windows/editors/lngfrm.h"
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

// Every button of the editors that loads, saves, exports or hands over a file, as
// "<window>.<button>" with its press.
struct FileButton {
    std::string name;
    std::function<void()> press;
};
template <class F> FileButton button(const char* name, plat::CommandButton F::*b) {
    return {plat::instance<F>().name() + "." + name, [b] { (plat::instance<F>().*b).click(); }};
}
std::vector<FileButton> everyFileButton() {
    return {
        button("loadyoy", &cw::DefineYOY::loadyoy),
        button("saveyoy", &cw::DefineYOY::saveyoy),
        button("Loadbio", &cw::DefineBio::Loadbio),
        button("SaveBio", &cw::DefineBio::SaveBio),
        button("loadfishery", &cw::DefineFishery::loadfishery),
        button("savefisherydefinition", &cw::DefineFishery::savefisherydefinition),
        button("MakeMgt", &cw::DefineFishery::MakeMgt),
        button("loadindex", &cw::Defineindex::loadindex),
        button("saveindex", &cw::Defineindex::saveindex),
        button("readrun", &cw::DefineRun::readrun),
        button("writerun", &cw::DefineRun::writerun),
        button("RUN", &cw::DefineRun::RUN),
        button("readtez", &cw::DefineTEZ::readtez),
        button("writetez", &cw::DefineTEZ::writetez),
        button("dotez", &cw::DefineTEZ::dotez),
        button("dokuv", &cw::DefineTEZ::dokuv),
        button("readwox", &cw::DefineWOX::readwox),
        button("writewox", &cw::DefineWOX::writewox),
        button("run", &cw::DefineWOX::run),
    };
}

// The buttons of the editors and their sub-windows that touch no file: series edits and the
// sub-windows they open.
const std::set<std::string> kNoFileButtons = {
    "DefineYOY.I_yoy",         "DefineYOY.I_growth",      "DefineBio.M_sex_1",
    "DefineBio.M_sex_2",       "DefineBio.LGrow",         "DefineBio.LoadFecundity",
    "DefineFishery.CmdTAC",    "DefineFishery.F_F",       "DefineFishery.L_minsize",
    "DefineFishery.L_maxsize", "DefineFishery.F_relmort", "DefineFishery.F_sznfract",
    "DefineFishery.L_sex1",    "DefineFishery.L_sex2",    "Defineindex.I_Q",
    "Defineindex.L_sex1",      "Defineindex.L_sex2",      "Defineindex.II_szn",
    "Fecfrm.LoadFecundity",    "Growthfrm.G_sex_1",       "Growthfrm.G_sex_2",
    "Growthfrm.FYG_1",         "Growthfrm.fyg_2",         "Growthfrm.LoadSznGro",
    "lngfrm.OKButton",         "lngfrm.CancelButton",
};

// Each editor's own problem with its values (a name with a comma, no fecundity option) would be
// told first by a save that asks the graph too late.
TEST_F(GraphOpenTest, EveryFileButtonGivesTheGraphRefusalFirst) {
    cw::resetMaincode();
    plat::instance<cw::DefineYOY>().i_byr.setText("1991");
    plat::instance<cw::DefineYOY>().i_eyr.setText("1993");
    plat::instance<cw::DefineTEZ>().I_title.setText("a,b");
    plat::instance<cw::DefineWOX>().I_bio.setText("a,b");
    plat::instance<cw::DefineRun>().I_bio.setText("a,b");
    const std::vector<FileButton> buttons = everyFileButton();
    ScriptedUser user;
    user.message("Set to Mean", MsgAnswer::No).input("Scale of Y for input", "1000");
    user.act([&] {
        for (const FileButton& b : buttons) {
            SCOPED_TRACE(b.name);
            const size_t before = user.seen().size();
            b.press();
            ASSERT_EQ(user.seen().size(), before + 1);
            EXPECT_EQ(user.seen().back().text, cw::kCloseGraphFirst);
        }
    });
    for (size_t k = 0; k < buttons.size(); ++k)
        user.message(cw::kCloseGraphFirst);
    user.act(dragTo({100, 200, 300}));
    plat::instance<cw::DefineYOY>().I_yoy.click();
    EXPECT_TRUE(user.finished());
}

// A button added to an editor must be placed in one of the two lists above, so that a new file
// button cannot go untested.
TEST_F(GraphOpenTest, EveryButtonOfTheEditorsIsListed) {
    std::set<std::string> files;
    for (const FileButton& b : everyFileButton())
        files.insert(b.name);
    ASSERT_EQ(files.size(), 19u);
    std::vector<plat::Form*> windows = {
        &plat::instance<cw::DefineYOY>(),     &plat::instance<cw::DefineBio>(),
        &plat::instance<cw::DefineFishery>(), &plat::instance<cw::Defineindex>(),
        &plat::instance<cw::DefineRun>(),     &plat::instance<cw::DefineTEZ>(),
        &plat::instance<cw::DefineWOX>(),     &plat::instance<cw::Fecfrm>(),
        &plat::instance<cw::Growthfrm>(),     &plat::instance<cw::lngfrm>(),
    };
    int seen = 0;
    for (plat::Form* w : windows) {
        for (const QPushButton* b : w->widget()->findChildren<QPushButton*>()) {
            const std::string name = w->name() + "." + b->objectName().toStdString();
            EXPECT_TRUE(files.count(name) + kNoFileButtons.count(name) == 1) << name;
            ++seen;
        }
    }
    EXPECT_EQ(seen, int(files.size() + kNoFileButtons.size()));
}

// A window opened on the command-line file while a graph is open reads nothing.
TEST_F(GraphOpenTest, TheCommandLineFileWaitsForTheGraph) {
    writeFile(path("stock.fst"), cwtest::dataFile("fishery/fishery_one_sex_a.fst"));
    mc.startfile = "stock.fst";
    cw::DefineYOY& w = plat::instance<cw::DefineYOY>();
    ScriptedUser user;
    user.message("Set to Mean", MsgAnswer::No).input("Scale of Y for input", "1000");
    user.act([] { plat::instance<cw::DefineFishery>(); });
    user.message(cw::kCloseGraphFirst);
    user.act(dragTo({100, 200, 300}));
    w.I_yoy.click();
    EXPECT_TRUE(user.finished());
    EXPECT_EQ(mc.fstfile, "");
    EXPECT_NE(mc.fyr, 2001);
}

} // namespace
