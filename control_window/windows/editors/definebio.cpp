#include "control_window/windows/editors/definebio.h"

#include <cfloat>
#include <cmath>

#include "control_window/files/biofile.h"
#include "control_window/windows/dialogs.h"
#include "control_window/windows/editors/fecfrm.h"
#include "control_window/windows/editors/growthfrm.h"
#include "control_window/windows/editors/lngfrm.h"
#include "control_window/windows/editorsupport.h"
#include "control_window/windows/graph.h"
#include "platform/numtext.h"
#include "platform/prompts.h"

namespace cw {

namespace bioedit {

std::optional<double> answerNumber(std::string_view text) {
    const std::optional<double> v = plat::parseNumber(text);
    if (!v || !std::isfinite(*v)) return std::nullopt;
    return v;
}

std::string proposal(double v) {
    // The values proposed are single-precision ones; their single text reads best.
    return editor::boxText(v, true);
}

void storeLengthIntervals(plat::TextBox& box) {
    const std::optional<int16_t> v = editor::boxInteger(box.text());
    if (!v || *v < 0) {
        box.setText(plat::strInteger(mc.nfeclng));
        return;
    }
    mc.nfeclng = *v;
    if (mc.nfeclng > kMaxLengthBins) {
        mc.nfeclng = kMaxLengthBins;
        box.setText("100");
    }
}

void rewriteIfDifferent(plat::TextBox& box, double value, const std::string& text) {
    // A box whose number is too large to read (1e400) differs from any value.
    const std::optional<double> shown = plat::leadingNumber(box.text());
    if (!shown || *shown != value) box.setText(text);
}

void takeFileCaption(plat::Form& form) {
    if (!mc.biofile.empty()) form.setCaption(mc.biofile);
}

} // namespace bioedit

using bioedit::rewriteIfDifferent;
using editor::boxInteger;

DefineBio::DefineBio() : plat::Form("DefineBio", "Biological Data") {
    Nspecies.onChange = [this] { Nspecies_Change(); };
    nages.onChange = [this] { nages_Change(); };
    nsexes.onChange = [this] { nsexes_Change(); };
    nszns.onChange = [this] { nszns_Change(); };
    Ispszn.onChange = [this] { Ispszn_Change(); };
    IRecruitszn.onChange = [this] { IRecruitszn_Change(); };
    ISRoption.onChange = [this] { ISRoption_Change(); };
    ISRslope.onChange = [this] { ISRslope_Change(); };
    ITEZrecruitment.onChange = [this] { ITEZrecruitment_Change(); };
    IRecruitCV.onChange = [this] { IRecruitCV_Change(); };
    using editor::BoxKind;
    const auto whole = [](const int16_t& v) { return [&v] { return plat::strInteger(v); }; };
    const auto real = [](const double& v) { return [&v] { return plat::strDouble(v); }; };
    editor::showsStored(nages, BoxKind::Whole, whole(mc.nages));
    editor::showsStored(nsexes, BoxKind::Whole, whole(mc.nsexes));
    editor::showsStored(nszns, BoxKind::Whole, whole(mc.nszns));
    editor::showsStored(Ispszn, BoxKind::Whole, whole(mc.ispszn));
    editor::showsStored(IRecruitszn, BoxKind::Whole, whole(mc.irecruitszn));
    editor::showsStored(ISRoption, BoxKind::Whole, whole(mc.isroption));
    editor::showsStored(ISRslope, BoxKind::Double, real(mc.isrslope));
    editor::showsStored(ITEZrecruitment, BoxKind::Double, real(mc.itezrecruitment));
    editor::showsStored(IRecruitCV, BoxKind::Double, real(mc.irecruitcv));
    M_sex_1.onClick = [this] { M_sex_1_Click(); };
    M_sex_2.onClick = [this] { M_sex_2_Click(); };
    LGrow.onClick = [this] { LGrow_Click(); };
    LoadFecundity.onClick = [this] { LoadFecundity_Click(); };
    Loadbio.onClick = [this] { Loadbio_Click(); };
    SaveBio.onClick = [this] { SaveBio_Click(); };
}

void DefineBio::Form_Load() {
    if (const auto opened = editor::openStartfile("bio", 3, "biological data file");
        opened && loadbiodat())
        mc.biofile = *opened;
    update();
}

void DefineBio::update() {
    if (!mc.biofile.empty()) {
        // Only windows that are loaded take the caption now; the others take it when they load,
        // so that a caption never loads a window (whose load would apply the growth defaults).
        setCaption(mc.biofile);
        if (plat::isLoaded<Fecfrm>()) plat::instance<Fecfrm>().setCaption(mc.biofile);
        if (plat::isLoaded<Growthfrm>()) plat::instance<Growthfrm>().setCaption(mc.biofile);
        if (plat::isLoaded<lngfrm>()) plat::instance<lngfrm>().setCaption(mc.biofile);
    }
    Nspecies.setText(mc.nspecies);
    rewriteIfDifferent(ISRslope, mc.isrslope, plat::strDouble(mc.isrslope));
    rewriteIfDifferent(ISRoption, mc.isroption, plat::strInteger(mc.isroption));
    rewriteIfDifferent(Ispszn, mc.ispszn, plat::strInteger(mc.ispszn));
    rewriteIfDifferent(IRecruitszn, mc.irecruitszn, plat::strInteger(mc.irecruitszn));
    rewriteIfDifferent(IRecruitCV, mc.irecruitcv, plat::strDouble(mc.irecruitcv));
    rewriteIfDifferent(ITEZrecruitment, mc.itezrecruitment, plat::strDouble(mc.itezrecruitment));
    if (mc.nages == 0) mc.nages = 25;
    rewriteIfDifferent(nages, mc.nages, plat::strInteger(mc.nages));
    rewriteIfDifferent(nsexes, mc.nsexes, plat::strInteger(mc.nsexes));
    if (mc.nsexes == 1) {
        M_sex_1.setCaption("Unisex");
        M_sex_2.setEnabled(false);
    } else {
        M_sex_1.setCaption("Male");
        M_sex_2.setEnabled(true);
    }
    rewriteIfDifferent(nszns, mc.nszns, plat::strInteger(mc.nszns));
}

bool DefineBio::loadbiodat() {
    BioData copy = bioDataFrom(mc);
    if (!editor::readOpenFile(3, copy, readBioFile)) return false;
    storeBioData(mc, copy);
    // Every biology window that is open shows the new values.
    if (plat::isLoaded<Growthfrm>()) {
        Growthfrm& g = plat::instance<Growthfrm>();
        g.fillboxes(false);
        g.update();
    }
    if (plat::isLoaded<Fecfrm>()) plat::instance<Fecfrm>().update();
    if (plat::isLoaded<lngfrm>()) plat::instance<lngfrm>().showsizes();
    update();
    return true;
}

void DefineBio::loadmort() {
    if (graphInUse()) return;
    // Ages run 0..nages; without an age beyond 0 there is no axis to drag on.
    if (mc.nages < 1 || mc.nages > kMaxAge) return;
    std::string label;
    if (mc.nsexes == 1) {
        mc.isex = 1;
        label = "UniSex";
    } else if (mc.nsexes == 2) {
        label = mc.isex == 2 ? "Female" : "Male";
    }
    if (mc.isex < 1 || mc.isex > kMaxSexes) mc.isex = 1;
    const int sex = mc.isex;
    const int n = mc.nages;

    const plat::MsgAnswer answer =
        plat::msgBox("Set to Mean", plat::MsgButtons::YesNoCancel, label);
    if (answer == plat::MsgAnswer::Cancel) return;
    if (answer == plat::MsgAnswer::Yes) {
        const std::optional<float> mean =
            editor::answerSingle(plat::inputBox("Mean rate", "Natural Mortality " + label, "0.15"));
        if (!mean) return;
        for (int a = 0; a <= n; ++a)
            mc.natmort(a, sex) = *mean;
        update();
        return;
    }

    float guess = 1.5f * mc.natmort(0, sex);
    if (guess == 0) guess = 0.5f;
    const std::optional<double> scale = bioedit::answerNumber(
        plat::inputBox("Scale of Y for input", "Natural Mortality", bioedit::proposal(guess)));
    // A top of 0 or below leaves no room to drag in.
    if (!scale || *scale <= 0 || *scale > double(FLT_MAX)) return;
    mc.xmin = 0;
    mc.xmax = float(n);
    mc.ymin = 0;
    mc.ymax = float(*scale);
    mc.npts = n + 1;
    for (int k = 1; k <= mc.npts; ++k) {
        mc.xplot(k) = float(k - 1);
        mc.yplot(k) = mc.natmort(k - 1, sex);
    }
    mc.ytitle = "Natural Mortality (M)";
    mc.xtitle = "Age";
    graphedit();
    for (int k = 1; k <= n + 1; ++k)
        mc.natmort(k - 1, sex) = mc.yplot(k);
    update();
}

void DefineBio::Nspecies_Change() {
    mc.nspecies = Nspecies.text();
}

// A count that does not fit a 16-bit number, or a negative number of ages, is refused: the
// variable keeps its value and the refresh puts that back into the box.
void DefineBio::nages_Change() {
    const std::optional<int16_t> v = boxInteger(nages.text());
    if (v && *v >= 0) mc.nages = std::min<int16_t>(*v, kMaxAge);
    update();
}

void DefineBio::nsexes_Change() {
    if (const std::optional<int16_t> v = boxInteger(nsexes.text())) {
        mc.nsexes = std::clamp<int16_t>(*v, 1, kMaxSexes);
    }
    update();
}

void DefineBio::nszns_Change() {
    if (const std::optional<int16_t> v = boxInteger(nszns.text())) {
        mc.nszns = std::clamp<int16_t>(*v, 1, kMaxSeasons);
    }
    update();
}

void DefineBio::Ispszn_Change() {
    const std::optional<int16_t> v = boxInteger(Ispszn.text());
    if (!v) {
        update();
        return;
    }
    mc.ispszn = *v;
    if (mc.ispszn < 1 || mc.ispszn > mc.nszns) {
        mc.ispszn = 1;
        update();
    }
}

void DefineBio::IRecruitszn_Change() {
    if (const std::optional<int16_t> v = boxInteger(IRecruitszn.text())) {
        mc.irecruitszn = *v;
        if (mc.irecruitszn < mc.ispszn) {
            mc.irecruitszn = mc.ispszn;
        } else if (mc.irecruitszn > mc.nszns) {
            mc.irecruitszn = mc.nszns;
        }
        // A spawning season above the number of seasons leaves no season that satisfies both
        // bounds; recruitment then stays at the spawning season, so the refresh settles instead
        // of flipping the box between the two bounds.
        if (mc.irecruitszn < mc.ispszn) mc.irecruitszn = mc.ispszn;
    }
    update();
}

void DefineBio::ISRoption_Change() {
    if (const std::optional<int16_t> v = boxInteger(ISRoption.text())) {
        mc.isroption = std::clamp<int16_t>(*v, 1, 4);
    }
    update();
}

void DefineBio::ISRslope_Change() {
    editor::storeDouble(ISRslope, mc.isrslope);
}

void DefineBio::ITEZrecruitment_Change() {
    editor::storeDouble(ITEZrecruitment, mc.itezrecruitment);
    update();
}

void DefineBio::IRecruitCV_Change() {
    editor::storeDouble(IRecruitCV, mc.irecruitcv);
    update();
}

void DefineBio::M_sex_1_Click() {
    mc.isex = 1;
    loadmort();
    update();
}

void DefineBio::M_sex_2_Click() {
    mc.isex = 2;
    const plat::MsgAnswer answer =
        plat::msgBox("Make same as males", plat::MsgButtons::YesNoCancel, std::string());
    if (answer == plat::MsgAnswer::Yes) {
        const int n = std::min<int>(mc.nages, kMaxAge);
        for (int a = 0; a <= n; ++a)
            mc.natmort(a, 2) = mc.natmort(a, 1);
    } else if (answer == plat::MsgAnswer::No) {
        loadmort();
        mc.isex = 2;
    }
}

void DefineBio::LGrow_Click() {
    const bool wasLoaded = plat::isLoaded<Growthfrm>();
    Growthfrm& g = plat::instance<Growthfrm>();
    // A window that stayed loaded shows what the data model holds now.
    if (wasLoaded) g.fillboxes(true);
    g.update();
    g.show();
    waitWhileShown<Growthfrm>();
    update();
}

void DefineBio::LoadFecundity_Click() {
    const bool wasLoaded = plat::isLoaded<Fecfrm>();
    Fecfrm& f = plat::instance<Fecfrm>();
    if (wasLoaded) f.update();
    f.show();
    waitWhileShown<Fecfrm>();
    update();
}

void DefineBio::Loadbio_Click() {
    mc.dlgtitle = "Load biological data";
    mc.dlgfilter = "BioDat input file (*.bio)|*.bio";
    if (editor::loadChosenFile(mc.biofile, mc.dlgtitle, mc.dlgfilter, 3,
                               [this] { return loadbiodat(); }))
        update();
}

void DefineBio::SaveBio_Click() {
    if (!editor::readyForFiles()) return;
    const BioData data = bioDataFrom(mc);
    if (const std::optional<std::string> problem = bioSaveProblem(data)) {
        plat::msgBox(*problem);
        return;
    }
    mc.dlgtitle = "Save biological data";
    mc.dlgfilter = "BioDat input file (*.bio)|*.bio";
    editor::saveChosenFile(mc.biofile, mc.dlgtitle, mc.dlgfilter, 3, bioFileText(data));
}

} // namespace cw
