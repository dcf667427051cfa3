// The yield-per-recruit definition file through its editor: the layout written byte for byte,
// the plot table's forced extension, loading back, a refused save and bad files.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "control_window/files/woxfile.h"
#include "control_window/windows/editors/definewox.h"
#include "cw_fixture.h"
#include "platform/testing/scripted_user.h"

namespace {

using cw::mc;
using ::testing::HasSubstr;
using User = plat::testing::ScriptedUser;

std::string fixture(const std::string& name) {
    return cwtest::dataFile("tez/" + name);
}

class WoxFileTest : public cwtest::CwTest {
  protected:
    cw::DefineWOX& wox() { return plat::instance<cw::DefineWOX>(); }

    void typeThreeYears() {
        cw::DefineWOX& w = wox();
        w.I_bio.setText("stock.bio");
        w.I_mgt.setText("stock.mgt");
        w.i_fmaxfil.setText("stock.plt");
        w.i_woxout.setText("stock");
        w.i_fmin.setText("0");
        w.i_fmax.setText("1.5");
        w.I_Finc.setText("0.005");
        w.I_nyr.setText("3");
        w.I_valyr.setText("2000");
        w.Option1.click();
    }
    void save(const std::string& name) {
        User user;
        user.fileDialog("Save wox data", path(name));
        wox().writewox.click();
    }
};

TEST_F(WoxFileTest, SavesTheLayoutByteForByteAndShowsTheForcedPlotName) {
    typeThreeYears();
    save("a.wox");
    EXPECT_EQ(readFile(path("a.wox")), fixture("three_years.wox"));
    EXPECT_EQ(wox().i_woxout.text(), "stock.yro");
    EXPECT_EQ(wox().caption(), path("a.wox"));
    EXPECT_TRUE(wox().clean);
}

TEST_F(WoxFileTest, ThePlotTableAlwaysEndsInYroAndTheOtherNamesStayAsTyped) {
    const std::pair<const char*, const char*> names[] = {{"plotfile", "plotfile.yro"},
                                                         {"a.b", "a.yro"},
                                                         {"NUL", "NUL.yro"},
                                                         {"", ".yro"},
                                                         {"x.yro", "x.yro"},
                                                         {"/tmp/my.dir/out", "/tmp/my.dir/out.yro"},
                                                         {"C:\\my.dir\\a.b", "C:\\my.dir\\a.yro"}};
    for (const auto& [typed, saved] : names)
        EXPECT_EQ(cw::plotTableName(typed), saved) << typed;
    typeThreeYears();
    wox().i_fmaxfil.setText("NUL");
    wox().i_woxout.setText("NUL");
    save("a.wox");
    EXPECT_THAT(readFile(path("a.wox")), HasSubstr("stock.mgt\r\nNUL\r\nNUL.yro\r\n"));
}

TEST_F(WoxFileTest, AWindowSavedAtOnceWritesTheValuesItShows) {
    save("a.wox");
    EXPECT_EQ(readFile(path("a.wox")), "\r\n\r\n\r\n.yro\r\n 0 \r\n 1 \r\n .01 \r\n 1 \r\n 0 \r\n");
}

TEST_F(WoxFileTest, ASavedFileLoadsBackIntoTheSameValues) {
    typeThreeYears();
    save("a.wox");
    wox().unload();
    mc.woxfile.clear();
    {
        User user;
        user.fileDialog("Load wox data", path("a.wox"));
        wox().readwox.click();
    }
    cw::DefineWOX& w = wox();
    EXPECT_EQ(w.data.bio, "stock.bio");
    EXPECT_EQ(w.data.fmaxfil, "stock.plt");
    EXPECT_EQ(w.data.woxout, "stock.yro");
    EXPECT_EQ(w.data.fmin, 0.0f);
    EXPECT_EQ(w.data.fmax, 1.5f);
    EXPECT_EQ(w.data.finc, 0.005f);
    ASSERT_EQ(w.data.nyr, 3);
    EXPECT_EQ(w.data.years(3), 2002);
    EXPECT_EQ(w.I_Finc.text(), "0.005");
    EXPECT_EQ(w.caption(), path("a.wox"));
    EXPECT_TRUE(w.clean);
}

TEST_F(WoxFileTest, ANameWithACommaIsRefusedAndTheFileLeftAlone) {
    writeFile(path("a.wox"), "old\r\n");
    typeThreeYears();
    wox().i_fmaxfil.setText("f0.1,fmax.txt");
    {
        User user;
        user.custom([](const plat::testing::PromptRecord& r) {
            EXPECT_THAT(r.text, HasSubstr("F0.1 & Fmax holds a comma"));
            return std::string("OK");
        });
        wox().writewox.click();
    }
    EXPECT_EQ(readFile(path("a.wox")), "old\r\n");
    EXPECT_FALSE(wox().clean);
}

TEST_F(WoxFileTest, ABadFileLeavesTheWindowAndItsFileAsTheyWere) {
    writeFile(path("good.wox"), fixture("three_years.wox"));
    {
        User user;
        user.fileDialog("Load wox data", path("good.wox"));
        wox().readwox.click();
    }
    const std::string head = "b.bio\r\nb.mgt\r\nb.plt\r\nb.yro\r\n";
    const std::pair<std::string, const char*> files[] = {
        {head + " 0 \r\n one \r\n", "where the maximum F was expected as a number"},
        {head + " 0 \r\n 1 \r\n 1e40 \r\n", "F increment"},
        {head + " 0 \r\n 1 \r\n .01 \r\n 2 \r\n 2000 \r\n", "ends before the year 2 of 2"},
        {head + " 0 \r\n 1 \r\n .01 \r\n 1200 \r\n", "between 1 and 1000"},
        {head + " 0 \r\n 1 \r\n .01 \r\n 0 \r\n", "as the number of years; it must lie between 1"},
        {"b.bio\r\n", "ends before the management file name"},
    };
    for (const auto& [content, problem] : files) {
        writeFile(path("bad.wox"), content);
        {
            User user;
            user.fileDialog("Load wox data", path("bad.wox"));
            user.custom(
                [problem = std::string(problem), this](const plat::testing::PromptRecord& r) {
                    EXPECT_THAT(r.text, HasSubstr(path("bad.wox")));
                    EXPECT_THAT(r.text, HasSubstr(problem));
                    return std::string("OK");
                });
            wox().readwox.click();
        }
        EXPECT_EQ(mc.woxfile, path("good.wox")) << problem;
        EXPECT_EQ(wox().data.bio, "stock.bio") << problem;
        EXPECT_EQ(wox().data.fmax, 1.5f) << problem;
        EXPECT_EQ(wox().data.nyr, 3) << problem;
    }
    {
        User user;
        user.fileDialog("Load wox data", "").message("No input data were loaded");
        wox().readwox.click();
    }
    EXPECT_EQ(mc.woxfile, "");
    EXPECT_EQ(wox().data.years(2), 2001);
}

} // namespace
