// A biology defined in the editor and its sub-windows, saved, reopened from the command line and
// read by the equilibrium engine's own reader into the same values; then the engine runs on it.
#include "bio_test_support.h"

#include <cmath>
#include <filesystem>
#include <sstream>

#include "control_window/files/biofile.h"
#include "control_window/windows/editors/definebio.h"
#include "control_window/windows/editors/fecfrm.h"
#include "control_window/windows/editors/growthfrm.h"
#include "control_window/windows/editors/lngfrm.h"

#ifndef VESK_NO_TEZ_ENGINE
#include "engine.h"
#endif

namespace {

#ifndef VESK_NO_TEZ_ENGINE

using biotest::BioTest;
using biotest::dragTo;
using biotest::fixture;
using biotest::readFile;
using biotest::User;
using biotest::writeFile;
using cw::mc;
using plat::MsgAnswer;

// The engine holds doubles read from the text; the editor holds singles that were written with
// 7 significant digits.
void expectClose(double engine, double editor, const std::string& what) {
    EXPECT_NEAR(engine, editor, 1e-6 * std::max(1.0, std::fabs(editor))) << what;
}

// What the engine's reader made of the file, against the editor's data model.
void expectEngineReadsTheModel(const std::string& folder, const std::string& name) {
    auto e = std::make_unique<tez::Engine>();
    std::ostringstream console;
    e->console_out = &console;
    e->folder = folder;
    ASSERT_NO_THROW(tez::read_biology(*e, name)) << console.str();
    EXPECT_EQ(e->nages, mc.nages);
    EXPECT_EQ(e->nmorphs, mc.nmorphs);
    EXPECT_EQ(e->nsexes, mc.nsexes);
    EXPECT_EQ(e->nszns, mc.nszns);
    EXPECT_EQ(std::string(tez::trim_blanks(e->species)), mc.nspecies);
    EXPECT_EQ(e->spawn_season, mc.ispszn);
    EXPECT_EQ(e->recruit_season, mc.irecruitszn);
    EXPECT_EQ(e->sr_code, mc.isroption);
    expectClose(e->sr_slope, mc.isrslope, "slope");
    expectClose(e->tez_recruitment, mc.itezrecruitment, "recruitment");
    expectClose(e->recruit_cv, mc.irecruitcv, "cv");
    EXPECT_EQ(std::string(1, e->fecundity_option), mc.ifecopt);
    if (mc.ifecopt == "L") {
        EXPECT_EQ(e->fec_classes, mc.nfeclng);
        expectClose(e->fec_lower, mc.minsiz, "lower");
        expectClose(e->fec_upper, mc.maxlng, "upper");
        expectClose(e->fec_a, mc.a_fec, "a_fec");
        expectClose(e->fec_b, mc.b_fec, "b_fec");
        for (int k = 1; k <= mc.nfeclng; ++k)
            expectClose(e->fec_by_length[size_t(k)], mc.fec(k), "fec " + std::to_string(k));
    } else {
        for (int a = 0; a <= mc.nages; ++a)
            expectClose(e->fec_by_age[size_t(a)], mc.fec(a), "fec at age " + std::to_string(a));
    }
    for (int s = 0; s < mc.nsexes; ++s) {
        const std::string sex = " sex " + std::to_string(s + 1);
        for (int a = 0; a <= mc.nages; ++a)
            expectClose(e->m_season[size_t(s)][size_t(a)] * mc.nszns, mc.natmort(a, s + 1),
                        "M" + sex);
        expectClose(e->lw_a[size_t(s)], mc.lwa(s + 1), "lwa" + sex);
        expectClose(e->lw_b[size_t(s)], mc.lwb(s + 1), "lwb" + sex);
        expectClose(e->spread[size_t(s)], mc.cvlng(s + 1), "cv" + sex);
        expectClose(e->growth_curve[size_t(s)][0], mc.vblinf(s + 1), "Loo" + sex);
        expectClose(e->growth_curve[size_t(s)][1], mc.vbk(s + 1), "K" + sex);
        expectClose(e->growth_curve[size_t(s)][2], mc.vbt0(s + 1), "t0" + sex);
        for (int t = 1; t <= mc.nszns; ++t)
            expectClose(e->first_year_length[size_t(t - 1)][size_t(s)], mc.fyg(t, s + 1),
                        "fyg" + sex);
        for (int a = 1; a <= mc.nages; ++a)
            expectClose(e->mean_length[size_t(a)][size_t(s)], mc.meanlng(a, s + 1),
                        "length at age " + std::to_string(a) + sex);
    }
    for (int t = 1; t <= mc.nszns; ++t)
        expectClose(e->growth_fraction[size_t(t - 1)], mc.szngro(t), "growth fraction");
}

class BioEngineTest : public BioTest {};

TEST_F(BioEngineTest, ATwoSexBiologyByLengthGoesFromTheEditorThroughTheEngine) {
    cw::DefineBio& bio = plat::instance<cw::DefineBio>();
    {
        User user;
        bio.Nspecies.setText("Snapper");
        bio.nages.setText("15");
        bio.nsexes.setText("2");
        bio.nszns.setText("4");
        bio.Ispszn.setText("2");
        bio.IRecruitszn.setText("2");
        bio.ISRoption.setText("4");
        bio.ISRslope.setText("6");
        bio.ITEZrecruitment.setText("250");
        bio.IRecruitCV.setText("0.6");

        user.message("Set to Mean", MsgAnswer::Yes).input("Mean rate", "0.2");
        bio.M_sex_1.click();
        std::vector<float> femaleM(16, 0.25f);
        femaleM[0] = 0.6f;
        user.message("Make same as males", MsgAnswer::No)
            .message("Set to Mean", MsgAnswer::No)
            .input("Scale of Y for input", "1")
            .act(dragTo(femaleM));
        bio.M_sex_2.click();

        user.act([] {
                cw::Growthfrm& g = plat::instance<cw::Growthfrm>();
                g.use_VB.click();
                g.L_sex1.setText("60");
                g.K_sex1.setText("0.25");
                g.t0_sex1.setText("-0.5");
                g.Option1.click();
                g.L_sex2.setText("70");
                g.K_sex2.setText("0.2");
                g.t0_sex2.setText("-0.5");
                g.Option2.click();
                g.a_sex1.setText("0.00002");
                g.b_sex1.setText("3");
                g.CV_sex1.setText("0.1");
                g.a_sex2.setText("0.000018");
                g.b_sex2.setText("3.05");
                g.CV_sex2.setText("0.12");
                g.nmorphs.setText("5");
                g.FYG_1.click();
                g.fyg_2.click();
                g.LoadSznGro.click();
                g.closeBox();
            })
            .input("Scale of Y for input", "30")
            .act(dragTo({2, 5, 8, 11}))
            .message("Make same as males", MsgAnswer::Yes)
            .message("Set to Mean", MsgAnswer::Yes);
        bio.LGrow.click();

        std::vector<float> byLength;
        for (int k = 0; k < 20; ++k)
            byLength.push_back(float(50 * k));
        user.act([] {
                cw::Fecfrm& f = plat::instance<cw::Fecfrm>();
                f.IFecOpt.setText("L");
                f.nfeclng.setText("20");
                f.minsiz.setText("20");
                f.LoadFecundity.click();
                f.closeBox();
            })
            .act([] {
                cw::lngfrm& d = plat::instance<cw::lngfrm>();
                d.Maximum_included_size.setText("60");
                d.Maxfecundity.setText("1000");
                d.OKButton.click();
            })
            .act(dragTo(byLength));
        bio.LoadFecundity.click();

        user.fileDialog("Save biological data", path("cross.bio"));
        bio.SaveBio.click();
        EXPECT_TRUE(user.finished());
    }
    ASSERT_EQ(mc.nsexes, 2);
    EXPECT_EQ(mc.ifecopt, "L");
    EXPECT_EQ(mc.nfeclng, 20);
    EXPECT_EQ(mc.fec(20), 950);
    EXPECT_EQ(mc.natmort(0, 2), 0.6f);
    EXPECT_EQ(mc.fyg(4, 2), 11);
    EXPECT_NEAR(mc.meanlng(1, 2), 70 * (1 - std::exp(-0.2 * 1.5)), 1e-4);
    const std::string saved = readFile(path("cross.bio"));

    // Reopened from the command line, the editor holds what the file says.
    plat::unloadAll();
    cw::resetMaincode();
    mc.startfile = "cross.bio";
    plat::instance<cw::DefineBio>();
    EXPECT_EQ(mc.biofile, path("cross.bio"));
    EXPECT_EQ(cw::bioFileText(cw::bioDataFrom(mc)), saved);

    expectEngineReadsTheModel(plat::currentFolder(), "cross.bio");

    // And the engine runs on it with a management file of the same dimensions.
    writeFile(path("snapper.mgt"), readFile(std::string(VESK_EXAMPLES_DIR) + "/snapper.mgt"));
    writeFile(path("Tez.000"), "cross.bio\r\nsnapper.mgt\r\ncross.tzo\r\ncross.tzb\r\n"
                               "cross.pmo\r\nCross\r\n 1 \r\n 2018 \r\n");
    auto engine = std::make_unique<tez::Engine>();
    std::istringstream in;
    std::ostringstream out;
    try {
        tez::engine_main(*engine, in, out, plat::currentFolder());
    } catch (const std::exception& stop) {
        ADD_FAILURE() << "the engine stopped: " << stop.what() << "\n" << out.str();
    }
    EXPECT_NE(readFile(path("cross.tzb")).find("2018"), std::string::npos) << out.str();
}

TEST_F(BioEngineTest, TheEngineReadsAnAgeBiologySavedByTheEditor) {
    writeFile(path("in.bio"), fixture("bio_two_sexes_a.bio"));
    cw::DefineBio& bio = plat::instance<cw::DefineBio>();
    User user;
    user.fileDialog("Load biological data", path("in.bio"));
    bio.Loadbio.click();
    user.fileDialog("Save biological data", path("age.bio"));
    bio.SaveBio.click();
    expectEngineReadsTheModel(plat::currentFolder(), "age.bio");
}

#else

TEST(BioEngineTest, NeedsTheEngine) {
    GTEST_SKIP() << "the engine library is not built";
}

#endif

} // namespace
