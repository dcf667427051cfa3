// Writes the bundled example's definition files through the control window's own editors, as a
// user would: the values are typed into the windows or held in the editors' data, and each
// editor's save button writes its file. The fishery editor also exports snapper.mgt.
// Usage: vesk_make_examples <folder>
#include "control_window/model/maincode.h"
#include "control_window/windows/editors/definefishery.h"
#include "control_window/windows/editors/defineindex.h"
#include "control_window/windows/editors/definerun.h"
#include "control_window/windows/editors/definewox.h"
#include "control_window/windows/editors/defineyoy.h"
#include "platform/form.h"
#include "platform/prompts.h"
#include "platform/system.h"

#include <QApplication>

#include <cmath>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <optional>
#include <string>

namespace {

using cw::mc;

// The user of the tool: chooses the queued file names in turn and takes every proposal.
class ExampleUser : public plat::PromptService {
  public:
    std::deque<std::string> files;
    bool failed = false;
    plat::MsgAnswer messageBox(const std::string& text, plat::MsgButtons buttons,
                               const std::optional<std::string>&) override {
        if (buttons == plat::MsgButtons::OK) {
            std::fprintf(stderr, "vesk_make_examples: %s\n", text.c_str());
            failed = true;
        }
        return buttons == plat::MsgButtons::YesNoCancel || buttons == plat::MsgButtons::YesNo
                   ? plat::MsgAnswer::Yes
                   : plat::MsgAnswer::OK;
    }
    std::string inputBox(const std::string&, const std::string&,
                         const std::string& defaultText) override {
        return defaultText;
    }
    std::string fileDialog(const plat::FileDialogRequest&) override {
        if (files.empty()) return {};
        std::string f = files.front();
        files.pop_front();
        return f;
    }
    void idle() override {}
};

ExampleUser user;

void saveAs(const std::string& name, plat::CommandButton& button) {
    user.files.push_back(plat::currentFolder() + "/" + name);
    button.click();
}

// Four decimals, as a user would type a value read off a curve.
float typed(double v) {
    return float(std::round(v * 10000) / 10000);
}

double logistic(double x, double slope, double x50) {
    return 1.0 / (1.0 + std::exp(-slope * (x - x50)));
}

constexpr int kFirstYear = 2018, kLastYear = 2021, kYears = kLastYear - kFirstYear + 1;
constexpr int kAges = 15, kSexes = 2, kSeasons = 4;

// A line fishery by age and a trawl fishery by 20 length bins of 5 cm, with a size slot from a
// minimum size that rises by 2 cm a year to 85 cm, and a quarter of the released fish dying.
// Each year's F is shared equally by the seasons.
void fishery() {
    mc.fyr = kFirstYear;
    mc.lyr = kLastYear;
    mc.nsexes = kSexes;
    mc.nszns = kSeasons;
    mc.nages = kAges;
    mc.ngear = 2;
    mc.fcv = 0.1f;
    for (int y = 1; y <= kYears; ++y) {
        const float annual = typed(0.125 * (1 + 0.1 * std::sin(0.7 * (y - 1))));
        for (int k = 1; k <= 2; ++k) {
            mc.f_tac(y, k) = 0;
            mc.f_annf(y, k) = annual;
            for (int t = 1; t <= kSeasons; ++t)
                mc.f_sznfract(k, t, y) = 0.25f;
        }
        for (int s = 1; s <= kSexes; ++s) {
            for (int a = 0; a <= kAges; ++a)
                mc.f_sel(1, a, s, y) = typed(logistic(a, 1.5, 3));
            for (int b = 1; b <= 20; ++b)
                mc.f_sel(2, b, s, y) = typed(logistic((b - 0.5) * 5, 0.3, 35));
        }
        mc.f_regs(1, 1, y) = 0;
        mc.f_regs(2, 1, y) = 0;
        mc.f_regs(3, 1, y) = 0;
        mc.f_regs(1, 2, y) = float(36 + 2 * (y - 1));
        mc.f_regs(2, 2, y) = 85;
        mc.f_regs(3, 2, y) = 0.25f;
    }
    mc.f_seltyp(1) = "A";
    mc.f_minvulsiz(1) = 10;
    mc.f_seltyp(2) = "L";
    mc.f_nlng(2) = 20;
    mc.f_minlng(2) = 0.0;
    mc.f_mxlng(2) = 100;
    cw::DefineFishery& w = plat::instance<cw::DefineFishery>();
    w.show();
    saveAs("snapper.fst", w.savefisherydefinition);
    saveAs("snapper.mgt", w.MakeMgt);
}

// Recruitment about its mean of 250 million with a strong year class in 2019, and a slower
// growth of that year class.
void recruitment() {
    cw::DefineYOY& w = plat::instance<cw::DefineYOY>();
    w.show();
    w.i_byr.setText(std::to_string(kFirstYear));
    w.i_eyr.setText(std::to_string(kLastYear));
    w.i_myoy.setText("250");
    w.c_vg.click();
    const float rec[kYears] = {210, 420, 180, 240}, gro[kYears] = {1, 0.95f, 1, 1};
    for (int k = 1; k <= kYears; ++k) {
        mc.yoyrec(k) = rec[k - 1];
        mc.yoygro(k) = gro[k - 1];
    }
    saveAs("snapper.yoy", w.saveyoy);
}

// A trawl survey of the whole stock by age in the first season, and the catch rate of the line
// fishery in numbers.
void indices() {
    cw::Defineindex& w = plat::instance<cw::Defineindex>();
    w.show();
    w.I_FYR.setText(std::to_string(kFirstYear));
    w.I_LYR.setText(std::to_string(kLastYear));
    w.I_nsexes.setText(std::to_string(kSexes));
    w.I_Nages.setText(std::to_string(kAges));
    w.I_nszns.setText(std::to_string(kSeasons));
    mc.i_assoc(1) = 0;
    mc.i_outfile(1) = "survey.ndx";
    mc.i_type(1) = "W";
    mc.i_err(1) = 0.2f;
    mc.i_ferr(1) = 0;
    mc.l_sampsize(1) = 200;
    mc.l_err(1) = 0.1f;
    mc.a_sampsize(1) = 100.0;
    mc.a_err(1) = 0.1f;
    mc.i_seltyp(1) = "A";
    mc.i_meanq(1) = 0.001f;
    mc.i_assoc(2) = 1;
    mc.i_outfile(2) = "linecpue.ndx";
    mc.i_type(2) = "N";
    mc.i_err(2) = 0.3f;
    mc.i_ferr(2) = 0.1f;
    mc.l_sampsize(2) = 0;
    mc.l_err(2) = -1;
    mc.a_sampsize(2) = 0.0;
    mc.a_err(2) = -1;
    mc.i_meanq(2) = 0.0005f;
    for (int j = 1; j <= kYears; ++j) {
        mc.i_q(1, j) = 0.001f;
        mc.i_q(2, j) = 0.0005f;
        for (int t = 1; t <= kSeasons; ++t)
            mc.i_sznfract(1, t, j) = t == 1 ? 1.0f : 0.0f;
        for (int s = 1; s <= kSexes; ++s)
            for (int a = 0; a <= kAges; ++a)
                mc.i_sel(1, a, s, j) = typed(logistic(a, 2, 1.5));
    }
    w.I_nindices.setText("2");
    saveAs("snapper.ndf", w.saveindex);
}

// A simulation of the stock with every file of the example, and its output log.
void run() {
    cw::DefineRun& w = plat::instance<cw::DefineRun>();
    w.show();
    w.I_Reps.setText("100");
    w.I_bio.setText("snapper.bio");
    w.I_YOY.setText("snapper.yoy");
    w.I_incond.setText("NUL");
    w.I_mgt.setText("snapper.mgt");
    w.i_ndx.setText("snapper.ndf");
    w.I_lngs.setText("200");
    w.i_lme.setText("0.1");
    w.i_L_a.setText("100");
    w.I_ame.setText("0.1");
    w.I_fyrout.setText(std::to_string(kFirstYear));
    w.I_lyrout.setText(std::to_string(kLastYear));
    w.i_lnds.setText("snapper.lnd");
    w.i_ctch.setText("snapper.cth");
    w.i_stock.setText("snapper.stk");
    w.i_ctch_lng.setText("snapper.cln");
    w.I_logf.setText("stock.log");
    saveAs("snapper.run", w.writerun);
}

// Yield per recruit of the example's fisheries for F multipliers 0 to 2 by 0.02.
void yieldPerRecruit() {
    cw::DefineWOX& w = plat::instance<cw::DefineWOX>();
    w.show();
    w.I_bio.setText("snapper.bio");
    w.I_mgt.setText("snapper.mgt");
    w.i_fmaxfil.setText("snapper.plt");
    w.i_woxout.setText("snapper");
    w.i_fmin.setText("0");
    w.i_fmax.setText("2");
    w.I_Finc.setText("0.02");
    w.I_nyr.setText(std::to_string(kYears));
    w.I_valyr.setText(std::to_string(kFirstYear));
    w.Option1.click();
    saveAs("snapper.wox", w.writewox);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: vesk_make_examples <folder>\n");
        return 2;
    }
    plat::setPromptService(&user);
    std::filesystem::create_directories(argv[1]);
    plat::setCurrentFolder(std::filesystem::absolute(argv[1]).string());
    plat::setCommandLine(std::string());
    fishery();
    recruitment();
    indices();
    run();
    yieldPerRecruit();
    plat::unloadAll();
    plat::setPromptService(nullptr);
    return user.failed || !user.files.empty() ? 1 : 0;
}
