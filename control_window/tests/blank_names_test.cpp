// A file name with a blank in it is refused wherever a definition is saved or handed over: the
// engines read a name only up to its first blank and would open another file.
#include "cw_fixture.h"

#include "control_window/windows/editors/defineindex.h"
#include "control_window/windows/editors/definerun.h"
#include "control_window/windows/editors/definetez.h"
#include "control_window/windows/editors/definewox.h"

namespace {

using cw::mc;
using plat::testing::ScriptedUser;
using ::testing::HasSubstr;

class BlankNamesTest : public cwtest::CwTest {};

const char* const kBlank = "holds a blank: the engines read a file name only up to its first blank";

TEST_F(BlankNamesTest, EverySaveRefusesAFileNameWithABlank) {
    struct Case {
        const char* name;
        std::function<void()> type;
        plat::CommandButton& save;
        const char* what;
    };
    cw::DefineRun& run = plat::instance<cw::DefineRun>();
    cw::DefineTEZ& tez = plat::instance<cw::DefineTEZ>();
    cw::DefineWOX& wox = plat::instance<cw::DefineWOX>();
    cw::Defineindex& index = plat::instance<cw::Defineindex>();
    const Case cases[] = {
        {"run", [&] { run.I_bio.setText("my bio.bio"); }, run.writerun,
         "name in \"Biological data input file\" \"my bio.bio\""},
        {"tez", [&] { tez.i_pmo.setText("my\tout.pmo"); }, tez.writetez,
         "equilibrium production table \"my\\x09out.pmo\""},
        {"wox", [&] { wox.I_mgt.setText("my fish.mgt"); }, wox.writewox,
         "name of the management file \"my fish.mgt\""},
        {"index",
         [&] {
             index.I_nindices.setText("1");
             index.I_outfile.setText("my index.ndx");
         },
         index.saveindex, "output file name of index 1 \"my index.ndx\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.type();
        ScriptedUser user;
        cwtest::messageWith(user, {c.what, kBlank});
        c.save.click();
        EXPECT_TRUE(user.finished());
        EXPECT_TRUE(std::filesystem::is_empty(folder_));
    }
}

TEST_F(BlankNamesTest, AFileReadWithABlankInANameIsNotHandedOver) {
    writeFile(path("a.tez"),
              "my bio.bio\r\nb.mgt\r\nNUL\r\nb.tzb\r\nNUL\r\nTitle\r\n 1 \r\n 2018 \r\n");
    writeFile(path("a.wox"), "b.bio\r\nb.mgt\r\nb.plt\r\nmy plot.yro\r\n 0 \r\n 1 \r\n .1 \r\n 1 "
                             "\r\n 2018 \r\n");
    cw::DefineTEZ& tez = plat::instance<cw::DefineTEZ>();
    cw::DefineWOX& wox = plat::instance<cw::DefineWOX>();
    {
        ScriptedUser user;
        user.fileDialog("Load TEZ data", path("a.tez")).fileDialog("Load wox data", path("a.wox"));
        tez.readtez.click();
        wox.readwox.click();
        ASSERT_TRUE(tez.clean);
        ASSERT_TRUE(wox.clean);
    }
    mc.installdir = path("engines") + "/";
    for (plat::CommandButton* launch : {&tez.dotez, &tez.dokuv, &wox.run}) {
        SCOPED_TRACE(launch->name());
        ScriptedUser user;
        cwtest::messageWith(user, {kBlank});
        launch->click();
        EXPECT_TRUE(user.finished());
    }
    for (const char* handover : {"Tez.000", "tez.000", "wox.000"})
        EXPECT_FALSE(std::filesystem::exists(path(handover))) << handover;
}

} // namespace
