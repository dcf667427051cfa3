// A management export written by the fishery editor, read block by block by the equilibrium
// engine's own reader into the same values.
#include "fishery_test_support.h"

#include <cmath>
#include <memory>
#include <sstream>

#ifndef VESK_NO_TEZ_ENGINE
#include "engine.h"
#endif

namespace {

#ifndef VESK_NO_TEZ_ENGINE

using cw::mc;
using fisherytest::FisheryTest;
using fisherytest::User;

// Singles were written with 7 significant digits, rates with 15.
void expectClose(double engine, double editor, double digits, const std::string& what) {
    EXPECT_NEAR(engine, editor, digits * std::max(1.0, std::fabs(editor))) << what;
}

class FisheryEngineTest : public FisheryTest {};

TEST_F(FisheryEngineTest, TheEngineReadsEveryBlockAsTheEditorHoldsIt) {
    cw::DefineFishery& e = editor();
    e.F_FYR.setText("2010");
    e.F_LYR.setText("2012");
    e.F_nsexes.setText("2");
    e.F_nszns.setText("3");
    e.F_Nages.setText("4");
    e.F_ngear.setText("2");
    e.Txt_fcv.setText("0.15");
    e.F_seltyp.setText("a");
    e.F_Minvulsiz.setText("17.5");
    e.Fishery_ID.setText("2");
    e.F_seltyp.setText("l");
    e.F_nlng.setText("4");
    e.F_minlng.setText("10");
    e.F_mxlng.setText("70");
    ASSERT_EQ(mc.f_seltyp(1), "A");
    ASSERT_EQ(mc.f_seltyp(2), "L");
    for (int y = 1; y <= 3; ++y) {
        for (int k = 1; k <= 2; ++k) {
            mc.f_tac(y, k) = 1234.5f * float(y * k);
            mc.f_annf(y, k) = 0.1f * float(y) + 0.07f * float(k);
            mc.f_regs(1, k, y) = 15.0f + float(y);
            mc.f_regs(2, k, y) = y == 2 ? 0.0f : 60.0f + float(k);
            mc.f_regs(3, k, y) = 0.3f / float(k);
            for (int t = 1; t <= 3; ++t)
                mc.f_sznfract(k, t, y) = float(t) / 6.0f;
        }
        for (int s = 1; s <= 2; ++s) {
            for (int a = 0; a <= 4; ++a)
                mc.f_sel(1, a, s, y) = float(a) / 4.0f * (s == 2 ? 0.9f : 1.0f);
            for (int b = 1; b <= 4; ++b)
                mc.f_sel(2, b, s, y) = 1.0f / float(b + s + y);
        }
    }
    {
        User user;
        user.fileDialog("Save management data", path("cross.mgt"));
        e.MakeMgt.click();
        ASSERT_TRUE(user.finished());
    }

    auto engine = std::make_unique<tez::Engine>();
    std::ostringstream console;
    engine->console_out = &console;
    engine->folder = folder_;
    engine->nages = mc.nages;
    engine->nsexes = mc.nsexes;
    engine->nszns = mc.nszns;
    ASSERT_TRUE(engine->input.open(folder_ / "cross.mgt", "cross.mgt"));
    engine->total_f_cv = engine->input.read_real();
    expectClose(engine->total_f_cv, mc.fcv, 1e-6, "fcv");

    for (int block = 1; block <= 4; ++block) {
        const int year = 2009 + block;
        const int d = std::min(block, 3);
        SCOPED_TRACE("year " + std::to_string(year));
        engine->years[1] = year;
        engine->year_index = 1;
        ASSERT_NO_THROW(tez::read_management_year(*engine)) << console.str();
        ASSERT_EQ(engine->last_block_year, year);
        ASSERT_EQ(engine->ngear, 2);
        EXPECT_EQ(engine->sel_type[0], 'A');
        EXPECT_EQ(engine->sel_type[1], 'L');
        expectClose(engine->min_vul_size[0], 17.5, 1e-6, "min vul size");
        EXPECT_EQ(engine->class_count[1], 4.0);
        expectClose(engine->class_lower[1], 10, 1e-6, "lower length");
        expectClose(engine->class_upper[1], 70, 1e-6, "upper length");
        expectClose(engine->class_width[1], 15, 1e-6, "bin width");
        for (int k = 1; k <= 2; ++k) {
            const std::string fishery = " fishery " + std::to_string(k);
            expectClose(engine->catch_limit[size_t(k - 1)], mc.f_tac(d, k), 1e-6, "TAC" + fishery);
            expectClose(engine->lower_limit[size_t(k - 1)], mc.f_regs(1, k, d), 1e-6,
                        "lower limit" + fishery);
            const double upper = mc.f_regs(2, k, d) == 0 ? tez::kNoUpperLimit : mc.f_regs(2, k, d);
            expectClose(engine->upper_limit[size_t(k - 1)], upper, 1e-6, "upper limit" + fishery);
            expectClose(engine->discard_fraction[size_t(k - 1)], mc.f_regs(3, k, d), 1e-6,
                        "discard" + fishery);
            const int first = k == 1 ? 0 : 1;
            const int rows = k == 1 ? mc.nages + 1 : 4;
            for (int s = 1; s <= 2; ++s) {
                for (int x = 0; x < rows; ++x) {
                    for (int t = 1; t <= 3; ++t) {
                        const double want = double(mc.f_sznfract(k, t, d)) *
                                            double(mc.f_annf(d, k)) *
                                            double(mc.f_sel(k, first + x, s, d));
                        expectClose(
                            engine->rate[size_t(k - 1)][size_t(s - 1)][size_t(x)][size_t(t - 1)],
                            want, 1e-14,
                            "rate" + fishery + " sex " + std::to_string(s) + " row " +
                                std::to_string(x) + " season " + std::to_string(t));
                    }
                }
            }
        }
    }
}

#else

TEST(FisheryEngineTest, NeedsTheEngine) {
    GTEST_SKIP() << "the engine library is not part of this build";
}

#endif

} // namespace
