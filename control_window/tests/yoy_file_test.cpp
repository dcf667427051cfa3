// The recruitment data file through the recruitment editor: the layout byte for byte, loading it
// back (from the dialog and from the command line), and bad files that leave everything as it was.
#include "yoy_support.h"

#include "control_window/files/yoyfile.h"
#include "control_window/windows/editors/defineyoy.h"
#include "control_window/windows/main/start.h"
#include "cw_fixture.h"

namespace {

using cw::mc;
using yoytest::fixturePath;
using yoytest::User;

const char* const kThreeYears =
    " 1991  1993 \r\n 1  200 \r\n 100  1 \r\n 200  1.5 \r\n 300  1 \r\n";

class YoyFileTest : public cwtest::CwTest {
  protected:
    cw::DefineYOY& yoy() { return plat::instance<cw::DefineYOY>(); }

    // The three-year example typed into a fresh window.
    cw::DefineYOY& threeYears() {
        cw::DefineYOY& w = yoy();
        w.i_byr.setText("1991");
        w.i_eyr.setText("1993");
        w.i_myoy.setText("200");
        w.c_vg.click();
        const float rec[] = {100, 200, 300}, gro[] = {1, 1.5f, 1};
        for (int k = 1; k <= 3; ++k) {
            mc.yoyrec(k) = rec[k - 1];
            mc.yoygro(k) = gro[k - 1];
        }
        return w;
    }
    void save(cw::DefineYOY& w, const std::string& file) {
        User user;
        user.fileDialog("Save Recruitment data", file);
        w.saveyoy.click();
        EXPECT_TRUE(user.finished());
    }
};

TEST_F(YoyFileTest, SavingWritesTheLayoutByteForByte) {
    cw::DefineYOY& w = threeYears();
    save(w, path("stock.yoy"));
    EXPECT_EQ(readFile(path("stock.yoy")), kThreeYears);
    EXPECT_EQ(readFile(path("stock.yoy")), readFile(fixturePath("yoy/three_years.yoy")));
    EXPECT_EQ(mc.yoyfile, path("stock.yoy"));
    // The caption takes the path only at the next refresh.
    EXPECT_EQ(w.caption(), "Set Recruitment");
}

TEST_F(YoyFileTest, TheSaveDialogHasItsTitleAndFilter) {
    cw::DefineYOY& w = threeYears();
    User user;
    user.fileDialog("Save Recruitment data", "");
    user.message("No output data were saved");
    w.saveyoy.click();
    ASSERT_TRUE(user.finished());
    EXPECT_EQ(user.seen().front().dialog.filter, "Recruitment output file (*.yoy)|*.yoy");
    EXPECT_EQ(mc.yoyfile, "");
    EXPECT_FALSE(std::filesystem::exists(path("stock.yoy")));
}

TEST_F(YoyFileTest, LoadingRestoresEveryValue) {
    writeFile(path("in.yoy"), readFile(fixturePath("yoy/three_years.yoy")));
    cw::DefineYOY& w = yoy();
    mc.yoyrec(4) = 44; // beyond the file's years: kept
    User user;
    user.fileDialog("Load Recruitment data", path("in.yoy"));
    w.loadyoy.click();
    ASSERT_TRUE(user.finished());
    EXPECT_EQ(user.seen().front().dialog.filter, "Recruitment input file (*.yoy)|*.yoy");
    EXPECT_EQ(w.byr, 1991);
    EXPECT_EQ(w.eyr, 1993);
    EXPECT_EQ(w.i_byr.text(), "1991");
    EXPECT_EQ(w.i_eyr.text(), "1993");
    EXPECT_EQ(mc.vgflag, 1);
    EXPECT_EQ(w.c_vg.value(), 1);
    EXPECT_DOUBLE_EQ(mc.myoy.number(), 200);
    EXPECT_EQ(w.i_myoy.text(), "200");
    EXPECT_EQ(mc.yoyrec(3), 300);
    EXPECT_EQ(mc.yoygro(2), 1.5f);
    EXPECT_EQ(mc.yoyrec(4), 44);
    EXPECT_EQ(w.caption(), path("in.yoy"));
    // Saved again, it is the same file.
    save(w, path("again.yoy"));
    EXPECT_EQ(readFile(path("again.yoy")), kThreeYears);
}

TEST_F(YoyFileTest, ValuesOfEveryFormReadBackTheSame) {
    cw::DefineYOY& w = yoy();
    w.i_byr.setText("1900");
    w.i_eyr.setText("2149"); // 250 years
    w.i_myoy.setText("-0.125");
    for (int k = 1; k <= 250; ++k) {
        mc.yoyrec(k) = float(k) * 1234.567f + 0.001f;
        mc.yoygro(k) = k % 2 ? 1e-9f * float(k) : 3e12f;
    }
    const auto rec = mc.yoyrec;
    const auto gro = mc.yoygro;
    save(w, path("big.yoy"));
    EXPECT_THAT(readFile(path("big.yoy")), ::testing::StartsWith(" 1900  2149 \r\n 0 -.125 \r\n"));
    plat::unloadAll();
    cw::resetMaincode();
    User user;
    user.fileDialog("Load Recruitment data", path("big.yoy"));
    yoy().loadyoy.click();
    ASSERT_TRUE(user.finished());
    EXPECT_DOUBLE_EQ(mc.myoy.number(), -0.125);
    // Singles are written with 7 significant digits: what comes back is the value to that
    // precision, and saving it again gives the same file.
    for (int k = 1; k <= 250; ++k) {
        EXPECT_NEAR(mc.yoyrec(k), rec(k), 5e-7 * rec(k)) << k;
        EXPECT_NEAR(mc.yoygro(k), gro(k), 5e-7 * gro(k)) << k;
    }
    EXPECT_EQ(yoy().eyr, 2149);
    save(yoy(), path("again.yoy"));
    EXPECT_EQ(readFile(path("again.yoy")), readFile(path("big.yoy")));
}

TEST_F(YoyFileTest, ALastYearBeforeTheFirstSavesNoYearLine) {
    cw::DefineYOY& w = yoy();
    w.i_byr.setText("2000");
    w.i_eyr.setText("1990");
    save(w, path("back.yoy"));
    EXPECT_EQ(readFile(path("back.yoy")), " 2000  1990 \r\n 0  0 \r\n");
    mc.yoyrec(1) = 5;
    User user;
    user.fileDialog("Load Recruitment data", path("back.yoy"));
    w.loadyoy.click();
    EXPECT_TRUE(user.finished());
    EXPECT_EQ(mc.yoyrec(1), 5);
    EXPECT_EQ(w.i_byr.text(), "2000");
    EXPECT_EQ(w.i_myoy.text(), "0");
}

TEST_F(YoyFileTest, ANamedFileOnTheCommandLineIsLoadedAtOpening) {
    writeFile(path("stock.yoy"), std::string(kThreeYears));
    mc.startfile = "stock.yoy";
    cw::DefineYOY& w = yoy();
    EXPECT_EQ(w.byr, 1991);
    EXPECT_EQ(mc.yoyrec(2), 200);
    EXPECT_EQ(mc.yoyfile, path("stock.yoy"));
    EXPECT_EQ(w.caption(), path("stock.yoy"));
    // LF line ends and commas read alike.
    plat::unloadAll();
    cw::resetMaincode();
    writeFile(path("lf.yoy"), "1991,1993\n1,200\n100,1\n200,1.5\n300,1\n");
    mc.startfile = "lf.yoy";
    EXPECT_EQ(yoy().eyr, 1993);
    EXPECT_EQ(mc.yoygro(2), 1.5f);
}

TEST_F(YoyFileTest, TheMainWindowOpensTheEditorOnACommandLineFile) {
    writeFile(path("Stock.YOY"), std::string(kThreeYears));
    plat::setCommandLine("/data/Stock.YOY");
    User user;
    user.act([] {
        ASSERT_TRUE(plat::isLoaded<cw::DefineYOY>());
        cw::DefineYOY& w = plat::instance<cw::DefineYOY>();
        EXPECT_TRUE(w.visible());
        EXPECT_EQ(w.i_eyr.text(), "1993");
        EXPECT_EQ(mc.yoygro(2), 1.5f);
        w.closeBox();
    });
    plat::instance<cw::start>();
    EXPECT_TRUE(user.finished());
    EXPECT_EQ(mc.yoyfile, path("Stock.YOY"));
}

TEST_F(YoyFileTest, ABadFileLeavesEverythingAsItWas) {
    struct Case {
        const char* content;
        std::vector<std::string> said;
    };
    const Case cases[] = {
        {" 1991  1993 \r\n 1  200 \r\n 100  1 \r\n 200  1.5 \r\n 300 \r\n",
         {"bad.yoy", "ends before the growth multiplier of 1993"}},
        {" 1991  1993 \r\n 1  lots \r\n", {"bad.yoy", "\"lots\" on line 2", "mean recruitment"}},
        {" 1991  2241 \r\n 1  200 \r\n", {"bad.yoy", "251 years", "at most 250"}},
        {" 1991  99999 \r\n", {"bad.yoy", "99999", "the last year"}},
        {" 1991  1993 \r\n 1  200 \r\n 1E+39  1 \r\n", {"bad.yoy", "too large"}},
        {"", {"bad.yoy", "ends before the first year"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.content);
        plat::unloadAll();
        cw::resetMaincode();
        writeFile(path("good.yoy"), "1980 1982\r\n0 7\r\n1 2\r\n3 4\r\n5 6\r\n");
        writeFile(path("bad.yoy"), c.content);
        cw::DefineYOY& w = yoy();
        {
            User user;
            user.fileDialog("Load Recruitment data", path("good.yoy"));
            w.loadyoy.click();
        }
        User user;
        user.fileDialog("Load Recruitment data", path("bad.yoy"));
        user.messageWith(c.said);
        w.loadyoy.click();
        EXPECT_TRUE(user.finished());
        EXPECT_EQ(mc.yoyfile, path("good.yoy"));
        EXPECT_EQ(w.byr, 1980);
        EXPECT_EQ(w.eyr, 1982);
        EXPECT_EQ(w.i_eyr.text(), "1982");
        EXPECT_DOUBLE_EQ(mc.myoy.number(), 7);
        EXPECT_EQ(mc.yoyrec(1), 1);
        EXPECT_EQ(mc.yoygro(3), 6);
        EXPECT_EQ(w.caption(), path("good.yoy"));
    }
    // From the command line, the bad file opens an empty window that has no current file.
    plat::unloadAll();
    cw::resetMaincode();
    mc.startfile = "bad.yoy";
    User user;
    user.messageWith({"bad.yoy"});
    EXPECT_EQ(yoy().caption(), "Set Recruitment");
    EXPECT_TRUE(user.finished());
    EXPECT_EQ(mc.yoyfile, "");
}

// The years are the window's own; the series outlive it. A window opened again shows and saves
// the years of its file.
TEST_F(YoyFileTest, AWindowOpenedAgainShowsAndSavesTheYearsOfItsFile) {
    writeFile(path("in.yoy"), readFile(fixturePath("yoy/three_years.yoy")));
    {
        User user;
        user.fileDialog("Load Recruitment data", path("in.yoy"));
        yoy().loadyoy.click();
    }
    plat::unloadAll();
    cw::DefineYOY& w = yoy();
    EXPECT_EQ(w.i_byr.text(), "1991");
    EXPECT_EQ(w.i_eyr.text(), "1993");
    save(w, path("again.yoy"));
    EXPECT_EQ(readFile(path("again.yoy")), readFile(fixturePath("yoy/three_years.yoy")));
}

} // namespace
