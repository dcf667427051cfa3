// The biology file through the biology editor: the layout written byte for byte, loading it back,
// refusing to save what would not read back, and bad files that leave everything as it was.
#include "bio_test_support.h"

#include <gmock/gmock.h>

#include <functional>

#include "control_window/files/biofile.h"
#include "control_window/windows/editors/definebio.h"
#include "control_window/windows/editors/fecfrm.h"
#include "control_window/windows/editors/growthfrm.h"
#include "control_window/windows/main/start.h"
#include "platform/numtext.h"

namespace {

using biotest::BioTest;
using biotest::fixture;
using biotest::readFile;
using biotest::User;
using biotest::writeFile;
using cw::mc;
using cwtest::replaceLine;
using ::testing::HasSubstr;

void setOneSexL() {
    mc.nages = 2;
    mc.nmorphs = 1;
    mc.nsexes = 1;
    mc.nszns = 2;
    mc.nspecies = "Cod";
    mc.ispszn = 1;
    mc.irecruitszn = 2;
    mc.isroption = 3;
    mc.isrslope = 2.5;
    mc.itezrecruitment = 1000;
    mc.irecruitcv = 0.3;
    mc.ifecopt = "L";
    mc.nfeclng = 0;
    mc.minsiz = 10;
    mc.maxlng = 80;
    mc.a_fec = 0.002;
    mc.b_fec = 3;
    mc.natmort(0, 1) = 0.2f;
    mc.natmort(1, 1) = 0.2f;
    mc.natmort(2, 1) = 0.25f;
    mc.lwa(1) = 1e-5f;
    mc.lwb(1) = 3;
    mc.cvlng(1) = 0.1f;
    mc.vblinf(1) = 80;
    mc.vbk(1) = 0.3;
    mc.vbt0(1) = -0.5;
    mc.szngro(1) = 0.4f;
    mc.szngro(2) = 0.6f;
    mc.fyg(1, 1) = 5;
    mc.fyg(2, 1) = 10;
    mc.meanlng(1, 1) = 20;
    mc.meanlng(2, 1) = 35;
}

void setTwoSexesA() {
    mc.nages = 25;
    mc.nmorphs = 3;
    mc.nsexes = 2;
    mc.nszns = 4;
    mc.nspecies = "Haddock";
    mc.ispszn = 2;
    mc.irecruitszn = 3;
    mc.isroption = 4;
    mc.isrslope = 1.5;
    mc.itezrecruitment = 5000;
    mc.irecruitcv = 0;
    mc.ifecopt = "A";
    for (int a = 0; a <= 25; ++a) {
        mc.fec(a) = float(100 * a);
        mc.natmort(a, 1) = 0.15f;
        mc.natmort(a, 2) = 0.2f;
    }
    mc.lwa(1) = 1e-5f;
    mc.lwb(1) = 3;
    mc.cvlng(1) = 0.1f;
    mc.lwa(2) = 1.2e-5f;
    mc.lwb(2) = 3.1f;
    mc.cvlng(2) = 0.12f;
    mc.vblinf(1) = 100;
    mc.vbk(1) = 0.2;
    mc.vbt0(1) = -0.5;
    mc.vblinf(2) = 110;
    mc.vbk(2) = 0.18;
    mc.vbt0(2) = -0.5;
    for (int t = 1; t <= 4; ++t) {
        mc.szngro(t) = 0.25f;
        mc.fyg(t, 1) = float(2 * t);
        mc.fyg(t, 2) = float(3 * t);
    }
    for (int a = 1; a <= 25; ++a) {
        mc.meanlng(a, 1) = float(4 * a);
        mc.meanlng(a, 2) = 4.5f * float(a);
    }
}

// Every value a biology file holds, compared exactly, over whole arrays.
void expectSameBio(const cw::BioData& a, const cw::BioData& b) {
    EXPECT_EQ(a.nages, b.nages);
    EXPECT_EQ(a.nmorphs, b.nmorphs);
    EXPECT_EQ(a.nsexes, b.nsexes);
    EXPECT_EQ(a.nszns, b.nszns);
    EXPECT_EQ(a.nspecies, b.nspecies);
    EXPECT_EQ(a.ispszn, b.ispszn);
    EXPECT_EQ(a.irecruitszn, b.irecruitszn);
    EXPECT_EQ(a.isroption, b.isroption);
    EXPECT_EQ(a.isrslope, b.isrslope);
    EXPECT_EQ(a.itezrecruitment, b.itezrecruitment);
    EXPECT_EQ(a.irecruitcv, b.irecruitcv);
    EXPECT_EQ(a.ifecopt, b.ifecopt);
    EXPECT_EQ(a.nfeclng, b.nfeclng);
    EXPECT_EQ(a.minsiz, b.minsiz);
    EXPECT_EQ(a.maxlng, b.maxlng);
    EXPECT_EQ(a.a_fec, b.a_fec);
    EXPECT_EQ(a.b_fec, b.b_fec);
    for (int k = 0; k <= cw::kMaxFecundity; ++k)
        EXPECT_EQ(a.fec(k), b.fec(k)) << "fec " << k;
    for (int x = 1; x <= 2; ++x) {
        for (int g = 0; g <= cw::kMaxAge; ++g) {
            EXPECT_EQ(a.natmort(g, x), b.natmort(g, x)) << "natmort " << g << "," << x;
            if (g >= 1) {
                EXPECT_EQ(a.meanlng(g, x), b.meanlng(g, x)) << "meanlng " << g;
            }
        }
        EXPECT_EQ(a.lwa(x), b.lwa(x));
        EXPECT_EQ(a.lwb(x), b.lwb(x));
        EXPECT_EQ(a.cvlng(x), b.cvlng(x));
        EXPECT_EQ(a.vblinf(x), b.vblinf(x));
        EXPECT_EQ(a.vbk(x), b.vbk(x));
        EXPECT_EQ(a.vbt0(x), b.vbt0(x));
        for (int t = 1; t <= cw::kMaxSeasons; ++t)
            EXPECT_EQ(a.fyg(t, x), b.fyg(t, x));
    }
    for (int t = 1; t <= cw::kMaxSeasons; ++t)
        EXPECT_EQ(a.szngro(t), b.szngro(t));
}

struct Layout {
    const char* fixture;
    std::function<void()> set;
};

class BioFileTest : public BioTest {
  protected:
    void save(const std::string& target) {
        User user;
        user.fileDialog("Save biological data", target);
        plat::instance<cw::DefineBio>().SaveBio.click();
    }
    void load(const std::string& source) {
        User user;
        user.fileDialog("Load biological data", source);
        plat::instance<cw::DefineBio>().Loadbio.click();
    }
};

TEST_F(BioFileTest, SaveWritesEveryLineInThePrintForm) {
    const Layout layouts[] = {
        {"bio_one_sex_l.bio", setOneSexL},
        {"bio_two_sexes_a.bio", setTwoSexesA},
    };
    for (const Layout& layout : layouts) {
        SCOPED_TRACE(layout.fixture);
        plat::unloadAll();
        cw::resetMaincode();
        layout.set();
        const cw::BioData before = cw::bioDataFrom(mc);
        const std::string target = path("saved.bio");
        save(target);
        EXPECT_EQ(readFile(target), fixture(layout.fixture));
        EXPECT_EQ(mc.biofile, target);
        // Opening the editor and saving changed nothing in the data model.
        expectSameBio(cw::bioDataFrom(mc), before);
    }
}

TEST_F(BioFileTest, LoadGivesBackEveryValueAndSavesTheSameBytes) {
    const Layout layouts[] = {
        {"bio_one_sex_l.bio", setOneSexL},
        {"bio_two_sexes_a.bio", setTwoSexesA},
    };
    for (const Layout& layout : layouts) {
        SCOPED_TRACE(layout.fixture);
        plat::unloadAll();
        cw::resetMaincode();
        layout.set();
        const cw::BioData expected = cw::bioDataFrom(mc);
        cw::resetMaincode();

        const std::string source = path("in.bio");
        writeFile(source, fixture(layout.fixture));
        load(source);
        expectSameBio(cw::bioDataFrom(mc), expected);
        EXPECT_EQ(mc.biofile, source);
        EXPECT_EQ(plat::instance<cw::DefineBio>().caption(), source);

        const std::string again = path("again.bio");
        save(again);
        EXPECT_EQ(readFile(again), fixture(layout.fixture));
    }
}

TEST_F(BioFileTest, ComputedValuesSurviveASecondRoundUnchanged) {
    setTwoSexesA();
    // Values with more digits than the file keeps: the first load settles them, and from then on
    // saving and loading changes nothing.
    mc.meanlng(1, 1) = 18.126925f;
    mc.szngro(1) = 1.0f / 3;
    mc.isrslope = 0.1 + 0.2;
    mc.vbk(2) = 1.0 / 7;
    mc.fec(3) = 123456789.0f;
    mc.natmort(4, 2) = -1e-9f;
    mc.nspecies = "Red snapper";
    save(path("one.bio"));
    load(path("one.bio"));
    EXPECT_EQ(mc.nspecies, "Red snapper");
    const cw::BioData first = cw::bioDataFrom(mc);
    EXPECT_NEAR(mc.meanlng(1, 1), 18.126925f, 1e-5);
    EXPECT_NEAR(mc.vbk(2), 1.0 / 7, 1e-15);
    EXPECT_FLOAT_EQ(mc.fec(3), 123456789.0f);
    save(path("two.bio"));
    load(path("two.bio"));
    expectSameBio(cw::bioDataFrom(mc), first);
    EXPECT_EQ(readFile(path("one.bio")), readFile(path("two.bio")));
}

// A name that a bare item would lose part of is kept between double quotes; a bare one stays bare.
TEST_F(BioFileTest, ASpeciesNameWithBlanksAroundOrACommaReadsBackTheSame) {
    const std::pair<const char*, const char*> names[] = {{"Snapper ", "\"Snapper \"\r\n"},
                                                         {"  Cod", "\"  Cod\"\r\n"},
                                                         {"Cod, Atlantic", "\"Cod, Atlantic\"\r\n"},
                                                         {"Red snapper", "\r\nRed snapper\r\n"}};
    for (const auto& [name, item] : names) {
        SCOPED_TRACE(name);
        setTwoSexesA();
        mc.nspecies = name;
        save(path("one.bio"));
        EXPECT_THAT(readFile(path("one.bio")), HasSubstr(item));
        const cw::BioData first = cw::bioDataFrom(mc);
        load(path("one.bio"));
        EXPECT_EQ(mc.nspecies, name);
        expectSameBio(cw::bioDataFrom(mc), first);
    }
    // A file whose quoted name ends in a blank saves to a file that loads into the same values.
    std::string text = readFile(path("one.bio"));
    text.replace(text.find("\r\nRed snapper\r\n"), 15, "\r\n\"Snapper \"\r\n");
    writeFile(path("quoted.bio"), text);
    load(path("quoted.bio"));
    ASSERT_EQ(mc.nspecies, "Snapper ");
    const cw::BioData loaded = cw::bioDataFrom(mc);
    save(path("again.bio"));
    EXPECT_EQ(readFile(path("again.bio")), text);
    load(path("again.bio"));
    expectSameBio(cw::bioDataFrom(mc), loaded);
}

TEST_F(BioFileTest, AFreshEditorWithAgesAndOptionOnlyReadsBackTheSame) {
    User user;
    cw::DefineBio& bio = plat::instance<cw::DefineBio>();
    bio.nages.setText("3");
    bio.Nspecies.setText("Plaice");
    mc.ifecopt = "A";
    const cw::BioData before = cw::bioDataFrom(mc);
    user.fileDialog("Save biological data", path("fresh.bio"));
    bio.SaveBio.click();
    EXPECT_EQ(readFile(path("fresh.bio")).substr(0, 30),
              std::string(" 3  0  0  0 \r\nPlaice\r\n 0  0 \r\n"));
    cw::resetMaincode();
    user.fileDialog("Load biological data", path("fresh.bio"));
    bio.Loadbio.click();
    expectSameBio(cw::bioDataFrom(mc), before);
    // Loading set captions without loading the growth window, whose load would have turned the
    // counts of 0 into 1 sex, 12 seasons and 1 morph.
    EXPECT_FALSE(plat::isLoaded<cw::Growthfrm>());
    EXPECT_EQ(mc.nsexes, 0);
    EXPECT_EQ(mc.nszns, 0);
    EXPECT_EQ(mc.nmorphs, 0);
}

// A load that fails leaves the data model, the file name and every box as they were.
class BadFileTest : public BioFileTest {
  protected:
    std::string boxes() {
        cw::DefineBio& bio = plat::instance<cw::DefineBio>();
        std::string all;
        for (plat::TextBox* b :
             {&bio.Nspecies, &bio.nages, &bio.nsexes, &bio.nszns, &bio.Ispszn, &bio.IRecruitszn,
              &bio.ISRoption, &bio.ISRslope, &bio.ITEZrecruitment, &bio.IRecruitCV}) {
            all += b->text() + "|";
        }
        cw::Growthfrm& g = plat::instance<cw::Growthfrm>();
        all += g.L_sex1.text() + "|" + g.nmorphs.text() + "|";
        all += plat::instance<cw::Fecfrm>().IFecOpt.text();
        return all;
    }

    // Loads `bytes` over a stock already loaded from the two-sex fixture; the message shown is
    // the result.
    std::string loadBad(const std::string& bytes) {
        const std::string good = path("good.bio");
        writeFile(good, fixture("bio_two_sexes_a.bio"));
        load(good);
        const cw::BioData before = cw::bioDataFrom(mc);
        const std::string boxesBefore = boxes();

        const std::string bad = path("bad.bio");
        writeFile(bad, bytes);
        std::string shown;
        {
            User user;
            user.fileDialog("Load biological data", bad);
            cwtest::keepText(user, shown);
            plat::instance<cw::DefineBio>().Loadbio.click();
        }
        expectSameBio(cw::bioDataFrom(mc), before);
        EXPECT_EQ(mc.biofile, good);
        EXPECT_EQ(boxes(), boxesBefore);
        EXPECT_FALSE(plat::endRequested());
        return shown;
    }
};

TEST_F(BadFileTest, AnUnknownFecundityOptionIsRefusedAndTheProgramGoesOn) {
    for (const char* option : {"X", "l", ""}) {
        SCOPED_TRACE(option);
        EXPECT_EQ(loadBad(replaceLine(fixture("bio_one_sex_l.bio"), 6, option)),
                  "Invalid fecundity type");
    }
}

TEST_F(BadFileTest, AShortFileOrTextForANumberNamesTheFileAndWhatWasExpected) {
    const std::string one = fixture("bio_one_sex_l.bio");
    struct Case {
        std::string bytes;
        std::string message;
    };
    const Case cases[] = {
        {one.substr(0, one.find(" 1  20 ")),
         "ends before the age number of the mean length at age 1."},
        {one.substr(0, one.find(" 2  35 ") + 4), "ends before the mean length at age 2."},
        {"", "ends before the number of ages."},
        {replaceLine(one, 12, " 1  abc "),
         "holds \"abc\" on line 12 where the natural mortality at age 1 was expected."},
        {replaceLine(one, 4, " 3,,2.5 "),
         "holds an empty item on line 4 where the stock-recruitment slope was expected."},
        {replaceLine(one, 3, " 1.5e9  2 "),
         "as the spawning season, which is not a whole number in range."},
        {replaceLine(one, 4, " 3  1.797693134862315E+308 "),
         "holds 1.797693134862315E+308 on line 4 as the stock-recruitment slope, which is too "
         "large to be saved again."},
        // What was read is shown with the bytes that cannot be seen made visible.
        {"\xEF\xBB\xBF\xEF\xBB\xBF" + one, "holds \"\\xEF\\xBB\\xBF"},
        {replaceLine(one, 12, std::string(" 1  a\0b\x01\xFF\xC3\xA9 ", 12)),
         "holds \"a\\x00b\\x01\\xFF\xC3\xA9\" on line 12"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        const std::string shown = loadBad(c.bytes);
        EXPECT_THAT(shown, HasSubstr(path("bad.bio")));
        EXPECT_THAT(shown, HasSubstr(c.message));
    }
}

TEST_F(BadFileTest, CountsBeyondTheLimitsAreRefusedBeforeAnythingIsStored) {
    const std::string one = fixture("bio_one_sex_l.bio");
    struct Case {
        std::string bytes;
        std::string message;
    };
    const Case cases[] = {
        {replaceLine(one, 1, " 101  1  1  2 "),
         "gives 101 as the number of ages; it must be 0 to 100."},
        {replaceLine(one, 1, "-1  1  1  2 "), "gives -1 as the number of ages"},
        {replaceLine(one, 1, " 2  101  1  2 "), "gives 101 as the number of growth morphs"},
        {replaceLine(one, 1, " 2  1  3  2 "), "gives 3 as the number of sexes; it must be 0 to 2."},
        {replaceLine(one, 1, " 2  1  1  13 "),
         "gives 13 as the number of seasons; it must be 0 to 12."},
        {replaceLine(one, 7, " 101 "), "gives 101 as the number of fecundity length intervals"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        EXPECT_THAT(loadBad(c.bytes), HasSubstr(c.message));
    }
}

TEST_F(BioFileTest, SaveRefusesWhatWouldNotReadBackAndLeavesTheFileAlone) {
    struct Case {
        std::function<void()> spoil;
        std::string message;
    };
    const Case cases[] = {
        {[] { mc.ifecopt = ""; }, "Choose the fecundity option (A or L)"},
        {[] { mc.nspecies = "  "; }, "Enter the species name first."},
        {[] { mc.nspecies = "\"Cod\""; }, "must not hold a double quote"},
        {[] { mc.nmorphs = 101; }, "The number of growth morphs is 101; it must be 0 to 100."},
        {[] { mc.nszns = 13; }, "The number of seasons is 13"},
        {[] {
             mc.ifecopt = "L";
             mc.nfeclng = 250;
         },
         "The number of fecundity length intervals is 250"},
    };
    const std::string target = path("kept.bio");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        plat::unloadAll();
        cw::resetMaincode();
        setOneSexL();
        mc.biofile = "earlier.bio";
        writeFile(target, "what was there");
        cw::DefineBio& bio = plat::instance<cw::DefineBio>();
        c.spoil();
        std::string shown;
        {
            User user; // no file dialog is expected
            cwtest::keepText(user, shown);
            bio.SaveBio.click();
        }
        EXPECT_THAT(shown, HasSubstr(c.message));
        EXPECT_THAT(shown, HasSubstr("Nothing was saved."));
        EXPECT_EQ(readFile(target), "what was there");
        EXPECT_EQ(mc.biofile, "earlier.bio");
    }
}

TEST_F(BioFileTest, TheStartUpFileLoadsWhateverTheCaseOfItsName) {
    writeFile(path("Stock.BIO"), fixture("bio_one_sex_l.bio"));
    mc.startfile = "stock.bio";
    cw::DefineBio& bio = plat::instance<cw::DefineBio>();
    EXPECT_EQ(mc.biofile, path("Stock.BIO"));
    EXPECT_EQ(bio.caption(), path("Stock.BIO"));
    EXPECT_EQ(mc.nspecies, "Cod");
    EXPECT_EQ(bio.nages.text(), "2");
    EXPECT_EQ(bio.M_sex_1.caption(), "Unisex");
}

TEST_F(BioFileTest, AMissingStartUpFileIsReportedAndNothingLoads) {
    mc.startfile = "gone.bio";
    std::string shown;
    User user;
    cwtest::keepText(user, shown);
    cw::DefineBio& bio = plat::instance<cw::DefineBio>();
    EXPECT_THAT(shown, HasSubstr("gone.bio is not in the folder " + plat::currentFolder()));
    EXPECT_EQ(mc.biofile, "");
    EXPECT_EQ(bio.caption(), "Biological Data");
    EXPECT_EQ(bio.nages.text(), "25");
}

TEST_F(BioFileTest, TheMainWindowOpensTheBiologyEditor) {
    cw::showEditor(cw::Editor::Bio);
    ASSERT_TRUE(plat::isLoaded<cw::DefineBio>());
    EXPECT_TRUE(plat::instance<cw::DefineBio>().visible());
    plat::unloadAll();
    plat::instance<cw::start>().biodatmenu.click();
    ASSERT_TRUE(plat::isLoaded<cw::DefineBio>());
    EXPECT_TRUE(plat::instance<cw::DefineBio>().visible());
}

// A number box holds what it stores: a value too large for a double, or one whose print form
// would not read back, is refused and the box shows the stored value again; the largest value
// accepted saves and reads back as it was.
// An editor that puts a byte-order mark before the first line does not change the values.
TEST_F(BioFileTest, ALeadingByteOrderMarkIsNoPartOfTheFirstValue) {
    writeFile(path("one.bio"), "\xEF\xBB\xBF" + fixture("bio_one_sex_l.bio"));
    load(path("one.bio"));
    EXPECT_EQ(mc.biofile, path("one.bio"));
    save(path("again.bio"));
    EXPECT_EQ(readFile(path("again.bio")), fixture("bio_one_sex_l.bio"));
}

TEST_F(BioFileTest, NumberBoxesRefuseWhatCouldNotBeSavedAndReadBack) {
    writeFile(path("one.bio"), fixture("bio_one_sex_l.bio"));
    load(path("one.bio"));
    cw::DefineBio& bio = plat::instance<cw::DefineBio>();
    cw::Growthfrm& growth = plat::instance<cw::Growthfrm>();
    struct Box {
        const char* name;
        plat::TextBox& box;
        double& value;
    } boxes[] = {{"SR slope", bio.ISRslope, mc.isrslope},
                 {"TEZ recruitment", bio.ITEZrecruitment, mc.itezrecruitment},
                 {"Loo", growth.L_sex1, mc.vblinf(1)}};
    for (Box& b : boxes) {
        for (const char* typed : {"1e400", "1.7976931348623157E+308", "-1.8e308"}) {
            SCOPED_TRACE(std::string(b.name) + " " + typed);
            b.box.setText("2.5");
            b.box.setText(typed);
            EXPECT_EQ(b.value, 2.5);
            plat::testing::ScriptedUser user;
            cwtest::messageWith(user, {typed, "out of range"});
            plat::showStoredValues();
            EXPECT_TRUE(user.finished());
            EXPECT_EQ(b.value, 2.5);
            EXPECT_EQ(b.box.text(), "2.5");
        }
        b.box.setText("1.79769313486231E+308");
        EXPECT_EQ(b.value, 1.79769313486231e308);
    }
    struct Whole {
        plat::TextBox& box;
        int16_t& value;
    } wholes[] = {{bio.nages, mc.nages}, {bio.Ispszn, mc.ispszn}};
    for (Whole& w : wholes) {
        const int16_t before = w.value;
        w.box.setText("1e400");
        EXPECT_EQ(w.value, before);
        plat::testing::ScriptedUser user;
        cwtest::messageWith(user, {"1e400", "out of range"});
        plat::showStoredValues();
        EXPECT_TRUE(user.finished());
        EXPECT_EQ(w.value, before);
        EXPECT_EQ(w.box.text(), plat::strInteger(before));
    }
    save(path("large.bio"));
    mc.isrslope = mc.itezrecruitment = mc.vblinf(1) = 0;
    load(path("large.bio"));
    EXPECT_EQ(mc.isrslope, 1.79769313486231e308);
    EXPECT_EQ(mc.itezrecruitment, 1.79769313486231e308);
    EXPECT_EQ(mc.vblinf(1), 1.79769313486231e308);
}

} // namespace
