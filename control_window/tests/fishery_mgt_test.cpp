// The management export through the fishery editor's button: the blocks written byte for byte,
// the order of the rate lines, and exports refused because the engines would misread them.
#include "fishery_test_support.h"

#include <gmock/gmock.h>

#include <filesystem>
#include <limits>

#include "common/testing/small_disk.h"
#include "control_window/files/fisheryfile.h"
#include "control_window/windows/editors/definetez.h"

namespace {

using cw::mc;
using fisherytest::FisheryTest;
using fisherytest::fixture;
using fisherytest::lines;
using fisherytest::User;
using ::testing::HasSubstr;

class FisheryMgtTest : public FisheryTest {
  protected:
    std::string exportAs(const std::string& name) {
        User user;
        user.fileDialog("Save management data", path(name));
        editor().MakeMgt.click();
        EXPECT_TRUE(user.finished());
        return readFile(path(name));
    }
};

TEST_F(FisheryMgtTest, TwoYearsGiveThreeBlocksAndTheLastRepeatsTheLastYear) {
    fisherytest::setOneSexA();
    const std::string text = exportAs("one.mgt");
    EXPECT_EQ(text, fixture("fishery_one_sex_a.mgt"));
    const std::vector<std::string> l = lines(text);
    // Each block: year, count, type, minimum vulnerable size, TAC, 3 ages x 2 seasons, 3 limits.
    ASSERT_EQ(l.size(), 1u + 3 * 14);
    const std::vector<std::string> block2(l.begin() + 15, l.begin() + 29);
    const std::vector<std::string> block3(l.begin() + 29, l.end());
    EXPECT_EQ(block2[0], " 2002 ");
    EXPECT_EQ(block3[0], " 2003 ");
    EXPECT_EQ(std::vector<std::string>(block2.begin() + 1, block2.end()),
              std::vector<std::string>(block3.begin() + 1, block3.end()));
    EXPECT_EQ(mc.mgtfile, path("one.mgt"));
}

TEST_F(FisheryMgtTest, RatesCarryTheSinglesThroughInDoublePrecision) {
    fisherytest::setOneSexA();
    mc.f_sznfract(1, 1, 1) = 0.3f;
    mc.f_annf(1, 1) = 0.5f;
    mc.f_sel(1, 0, 1, 1) = 1;
    EXPECT_EQ(lines(exportAs("r.mgt"))[6], " .150000005960464 ");
}

TEST_F(FisheryMgtTest, LengthRatesRunSexThenBinThenSeason) {
    fisherytest::setTwoSexesL();
    mc.f_minlng(1).clear(); // never entered: exported as 0
    for (int s = 1; s <= 2; ++s)
        for (int b = 1; b <= 3; ++b)
            mc.f_sel(1, b, s, 1) = float(s * 10 + b);
    mc.f_annf(1, 1) = 1;
    mc.f_sznfract(1, 1, 1) = 1;
    mc.f_sznfract(1, 2, 1) = 2;
    const std::vector<std::string> l = lines(exportAs("l.mgt"));
    const std::vector<std::string> header(l.begin() + 1, l.begin() + 8);
    EXPECT_EQ(header,
              (std::vector<std::string>{" 2001 ", " 1 ", "L", " 3 ", " 0 ", " 50 ", " 100 "}));
    const std::vector<std::string> rates(l.begin() + 8, l.begin() + 20);
    EXPECT_EQ(rates, (std::vector<std::string>{" 11 ", " 22 ", " 12 ", " 24 ", " 13 ", " 26 ",
                                               " 21 ", " 42 ", " 22 ", " 44 ", " 23 ", " 46 "}));
    EXPECT_EQ(l[20], " 25 ");
    EXPECT_EQ(l[23], " 2002 ");
}

TEST_F(FisheryMgtTest, NoFisheriesGiveTheYearAndA0InEveryBlock) {
    fisherytest::setOneSexA();
    mc.ngear = 0;
    EXPECT_EQ(exportAs("none.mgt"), " .1 \r\n 2001 \r\n 0 \r\n 2002 \r\n 0 \r\n 2003 \r\n 0 \r\n");
}

// Forty years of three fisheries (by age, by length with the lower length never entered, by
// length with it), whose values take every number form: whole, negative, below one, 7 and 15
// digits, rounded up to the next power of ten, the exponent forms, infinities and NaN. The file
// it gives is kept as the one-block-at-a-time writer wrote it; more years than the blocks
// formatted ahead, so that the blocks are taken over from their threads many times.
void setEveryNumberForm() {
    cwtest::setDimensions(
        {.fyr = 1990, .lyr = 2029, .nsexes = 2, .nszns = 3, .nages = 3, .ngear = 3});
    mc.fcv = -0.25f;
    mc.f_seltyp(1) = "A";
    mc.f_minvulsiz(1) = 9.9999999f;
    mc.f_seltyp(2) = "L";
    mc.f_nlng(2) = 2;
    mc.f_minlng(2).clear();
    mc.f_mxlng(2) = 12345678;
    mc.f_seltyp(3) = "L";
    mc.f_nlng(3) = 3;
    mc.f_minlng(3) = 12.5;
    mc.f_mxlng(3) = 1e-5f;
    const float specials[] = {0, -5, 1000, 0.25f, 1e7f, 1e-5f, 3.14159274f, -2.5e-6f, 1e30f};
    for (int y = 1; y <= 40; ++y) {
        for (int k = 1; k <= 3; ++k) {
            mc.f_tac(y, k) = specials[(y + k) % 9];
            mc.f_annf(y, k) = 0.2f + float(y % 17) / 101.0f + float(k) / 13.0f;
            for (int q = 1; q <= 3; ++q)
                mc.f_sznfract(k, q, y) = float(q) / 7.0f;
            for (int s = 1; s <= 2; ++s)
                for (int x = 0; x <= 3; ++x)
                    mc.f_sel(k, x, s, y) = 1.0f / (1.0f + float((x * 7 + s + y) % 13) / 3.0f);
            mc.f_regs(1, k, y) = float(y) * 0.5f;
            mc.f_regs(2, k, y) = specials[(y * k) % 9];
            mc.f_regs(3, k, y) = 1.0f / float(y);
        }
    }
    // Rates of the exponent forms, whole rates, negative ones and those of no number.
    mc.f_sel(1, 0, 1, 3) = 1e-30f;
    mc.f_sel(1, 1, 1, 3) = 1e30f;
    mc.f_sel(1, 2, 1, 3) = -1;
    mc.f_sel(1, 3, 2, 3) = 0;
    mc.f_annf(4, 1) = 1;
    mc.f_sznfract(1, 1, 4) = 1;
    mc.f_sel(1, 0, 1, 4) = 4;
    mc.f_annf(5, 3) = std::numeric_limits<float>::infinity();
    mc.f_sel(3, 2, 2, 5) = -1;
    mc.f_sel(3, 3, 2, 5) = 0;
    mc.f_sel(3, 1, 1, 6) = std::numeric_limits<float>::quiet_NaN();
}

TEST_F(FisheryMgtTest, EveryBlockAndNumberFormIsWrittenAsBefore) {
    setEveryNumberForm();
    EXPECT_EQ(exportAs("every.mgt"), fixture("fishery_every_form.mgt"));
}

TEST_F(FisheryMgtTest, AfterTheExportTheYearShownStaysAndFishery1IsShown) {
    fisherytest::setOneSexA();
    mc.ngear = 2;
    mc.f_seltyp(2) = "A";
    editor().Fishery_ID.setText("2");
    editor().F_yr.setText("2002");
    ASSERT_EQ(mc.yr, 2002);
    exportAs("after.mgt");
    // The edits go on in the year the user was at, not one past the range.
    EXPECT_EQ(mc.yr, 2002);
    EXPECT_EQ(mc.fishery_id, 1);
    EXPECT_EQ(editor().Fishery_ID.text(), "1");
    EXPECT_EQ(editor().F_yr.text(), "2002");
    EXPECT_FALSE(editor().ProgressBar1.visible());
    EXPECT_EQ(editor().ProgressBar1.max(), 4);
}

TEST_F(FisheryMgtTest, WhatTheEnginesWouldMisreadIsRefusedBeforeTheDialog) {
    struct Case {
        const char* what;
        std::function<void()> spoil;
        const char* says;
    };
    const Case cases[] = {
        {"a fishery of no type",
         [] {
             mc.ngear = 2;
             mc.f_seltyp(2) = " ";
         },
         "Fishery 2 has no selectivity type"},
        {"a bin count with a fraction",
         [] {
             mc.f_seltyp(1) = "L";
             mc.f_nlng(1) = 2.5f;
             mc.f_mxlng(1) = 50;
         },
         "2.5 length bins"},
        {"no seasons", [] { mc.nszns = 0; }, "number of seasons is 0"},
        {"years reversed", [] { mc.lyr = 1999; }, "last year lies before the first"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        plat::unloadAll();
        cw::resetMaincode();
        fisherytest::setOneSexA();
        editor();
        c.spoil();
        User user;
        std::string said;
        cwtest::keepText(user, said);
        editor().MakeMgt_Click();
        EXPECT_TRUE(user.finished());
        EXPECT_THAT(said, HasSubstr(c.says));
        EXPECT_THAT(said, HasSubstr("Nothing was exported"));
        EXPECT_TRUE(std::filesystem::is_empty(folder_));
        EXPECT_EQ(mc.yr, 2001) << "the export never ran";
    }
}

TEST_F(FisheryMgtTest, ACancelledDialogWritesNothing) {
    fisherytest::setOneSexA();
    User user;
    user.fileDialog("Save management data", "").message("No output data were saved");
    editor().MakeMgt.click();
    EXPECT_TRUE(user.finished());
    EXPECT_TRUE(std::filesystem::is_empty(folder_));
    EXPECT_EQ(mc.yr, 2001) << "the refresh of the new window set it; the export did not run";
}

// On a full disk neither save may empty the earlier file or take the new name for the window.
TEST_F(FisheryMgtTest, SavesOntoAFullDiskKeepTheEarlierFilesAndNames) {
    vesktest::SmallDisk disk(128 * 1024);
    VESK_NEED_SMALL_DISK(disk);
    fisherytest::setOneSexA();
    const std::string earlier = "earlier\r\n";
    struct Save {
        const char* title;
        const char* name;
        plat::CommandButton& button;
        std::string& variable;
    } saves[] = {{"Save fishery data", "snapper.fst", editor().savefisherydefinition, mc.fstfile},
                 {"Save management data", "snapper.mgt", editor().MakeMgt, mc.mgtfile}};
    for (const Save& s : saves)
        writeFile(disk.path(s.name), earlier);
    disk.fill();
    for (Save& s : saves) {
        SCOPED_TRACE(s.name);
        s.variable = path("before");
        editor().setCaption(path("before"));
        User user;
        user.fileDialog(s.title, disk.path(s.name));
        user.custom([](const plat::testing::PromptRecord& r) {
            EXPECT_THAT(r.text, HasSubstr("No space left on device"));
            return "OK";
        });
        s.button.click();
        EXPECT_TRUE(user.finished());
        EXPECT_EQ(readFile(disk.path(s.name)), earlier);
        EXPECT_EQ(s.variable, path("before"));
        EXPECT_EQ(editor().caption(), path("before"));
    }
}

// A failed export leaves the folder as it was, so that the next launch hands its definition over
// where it did before, not beside the export.
TEST_F(FisheryMgtTest, AFailedExportPutsTheFolderBackForTheNextLaunch) {
    vesktest::SmallDisk disk(128 * 1024);
    VESK_NEED_SMALL_DISK(disk);
    writeFile(path("a.tez"), cwtest::dataFile("tez/three_years.tez"));
    cw::DefineTEZ& tez = plat::instance<cw::DefineTEZ>();
    {
        User user;
        user.fileDialog("Load TEZ data", path("a.tez"));
        tez.readtez.click();
    }
    const std::string folder = plat::currentFolder();
    fisherytest::setOneSexA();
    disk.fill();
    {
        User user;
        user.fileDialog("Save management data", disk.path("snapper.mgt"));
        messageWith(user, {"No space left on device"});
        editor().MakeMgt.click();
        EXPECT_TRUE(user.finished());
    }
    EXPECT_EQ(plat::currentFolder(), folder);
    // The engine is not there: the message says where the definition was handed over.
    mc.installdir = path("no-engines") + "/";
    User user;
    messageWith(user, {"handed over as " + folder + "/Tez.000"});
    tez.dotez.click();
    EXPECT_TRUE(user.finished());
    EXPECT_EQ(readFile(path("Tez.000")), readFile(path("a.tez")));
}

} // namespace
