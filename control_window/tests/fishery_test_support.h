#pragma once
// Shared pieces of the fishery editor tests: a scripted user that keeps what the input boxes
// proposed, a small two-year fishery, graph actions and file helpers.
#include "cw_fixture.h"

#include <string>
#include <vector>

#include "control_window/windows/editors/definefishery.h"

namespace fisherytest {

using cw::mc;
using cwtest::dragTo;
using User = cwtest::ProposalUser;

class FisheryTest : public cwtest::CwTest {
  protected:
    cw::DefineFishery& editor() { return plat::instance<cw::DefineFishery>(); }
};

inline std::string fixture(const std::string& name) {
    return cwtest::dataFile("fishery/" + name);
}

// Years 2001..2002, one sex, two seasons, ages 0..2 and one fishery of type A: the small
// fishery whose files stand in the fixtures.
inline void setOneSexA() {
    cwtest::setDimensions(
        {.fyr = 2001, .lyr = 2002, .nsexes = 1, .nszns = 2, .nages = 2, .ngear = 1});
    mc.fcv = 0.1f;
    mc.f_tac(1, 1) = 100;
    mc.f_tac(2, 1) = 120;
    mc.f_annf(1, 1) = 0.3f;
    mc.f_annf(2, 1) = 0.35f;
    mc.f_seltyp(1) = "A";
    mc.f_minvulsiz(1) = 20;
    const float sel[2][3] = {{0, 0.5f, 1}, {0.1f, 0.6f, 1}};
    for (int y = 1; y <= 2; ++y)
        for (int a = 0; a <= 2; ++a)
            mc.f_sel(1, a, 1, y) = sel[y - 1][a];
    mc.f_sznfract(1, 1, 1) = 0.4f;
    mc.f_sznfract(1, 2, 1) = 0.6f;
    mc.f_sznfract(1, 1, 2) = 0.5f;
    mc.f_sznfract(1, 2, 2) = 0.5f;
    const float regs[2][3] = {{25, 0, 0.2f}, {30, 80, 0.25f}};
    for (int y = 1; y <= 2; ++y)
        for (int r = 1; r <= 3; ++r)
            mc.f_regs(r, 1, y) = regs[y - 1][r - 1];
}

// The same fishery by length: two sexes, 3 bins from 20 to 50.
inline void setTwoSexesL() {
    setOneSexA();
    mc.nsexes = 2;
    mc.f_seltyp(1) = "L";
    mc.f_minvulsiz(1) = 0;
    mc.f_nlng(1) = 3;
    mc.f_minlng(1) = 20.0;
    mc.f_mxlng(1) = 50;
    const float sel[2][3][2] = {{{0.2f, 0.3f}, {1, 0.9f}, {0.8f, 1}},
                                {{0.25f, 0.35f}, {1, 1}, {0.7f, 0.6f}}};
    for (int y = 1; y <= 2; ++y)
        for (int b = 1; b <= 3; ++b)
            for (int s = 1; s <= 2; ++s)
                mc.f_sel(1, b, s, y) = sel[y - 1][b - 1][s - 1];
}

// Splits a file's text into its lines (CR LF ends each one).
inline std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    size_t at = 0;
    while (at < text.size()) {
        const size_t end = text.find("\r\n", at);
        if (end == std::string::npos) {
            out.push_back(text.substr(at));
            break;
        }
        out.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    return out;
}

} // namespace fisherytest
