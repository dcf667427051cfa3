#include "control_window/windows/editors/definerun.h"

#include <QWidget>

#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include "control_window/model/maincode.h"
#include "control_window/windows/editorsupport.h"
#include "control_window/windows/launch.h"
#include "platform/numtext.h"
#include "platform/prompts.h"

namespace cw {

namespace {

constexpr int kFileNumber = 5;

// A box read leniently and taken to the nearest whole number of type T, halves to even; nothing
// when that lies outside T.
template <class T> std::optional<T> boxWhole(const std::string& text) {
    const std::optional<double> v = plat::leadingNumber(text);
    if (!v) return std::nullopt;
    const double r = std::nearbyint(*v);
    if (r < double(std::numeric_limits<T>::min()) || r > double(std::numeric_limits<T>::max()))
        return std::nullopt;
    return T(r);
}

} // namespace

DefineRun::DefineRun() : plat::Form("DefineRun", "Create/Edit Runfile") {
    // The label's doubled ampersand shows as one; screen readers get the text as shown.
    i_L_a.widget()->setAccessibleName(QStringLiteral("Length & age per fishery-season"));
    I_bio.onChange = [this] { I_bio_Change(); };
    I_YOY.onChange = [this] { I_yoy_Change(); };
    I_refpoints.onChange = [this] { I_refpoints_Change(); };
    I_incond.onChange = [this] { I_incond_Change(); };
    I_mgt.onChange = [this] { I_mgt_Change(); };
    i_ndx.onChange = [this] { i_ndx_Change(); };
    I_lngs.onChange = [this] { I_lngs_Change(); };
    i_lme.onChange = [this] { i_lme_Change(); };
    i_L_a.onChange = [this] { i_L_a_Change(); };
    I_ame.onChange = [this] { I_ame_Change(); };
    using editor::BoxKind;
    editor::showsStored(I_lngs, BoxKind::Long, [this] { return plat::strInteger(run.lngs); });
    editor::showsStored(i_L_a, BoxKind::Long, [this] { return plat::strInteger(run.l_a); });
    editor::showsStored(i_lme, BoxKind::Single, [this] { return plat::strSingle(run.lme); });
    editor::showsStored(I_ame, BoxKind::Single, [this] { return plat::strSingle(run.ame); });
    I_fyrout.onChange = [this] { I_fyrout_Change(); };
    I_lyrout.onChange = [this] { I_lyrout_Change(); };
    i_lnds.onChange = [this] { i_lnds_Change(); };
    i_ctch.onChange = [this] { i_ctch_Change(); };
    i_stock.onChange = [this] { i_stock_Change(); };
    i_ctch_lng.onChange = [this] { i_ctch_lng_Change(); };
    I_incondout.onChange = [this] { I_incondout_Change(); };
    I_logf.onChange = [this] { I_logf_Change(); };
    I_Reps.onChange = [this] { I_Reps_Change(); };
    readrun.onClick = [this] { readrun_Click(); };
    writerun.onClick = [this] { writerun_click(); };
    RUN.onClick = [this] { run_Click(); };
}

void DefineRun::Form_Load() {
    // Only a file that was read whole becomes the current file and makes the window clean, so
    // that a launch never hands over a file the window does not show.
    const bool loaded = editor::loadOnOpening(mc.runfile, "run", kFileNumber, "run definition file",
                                              [this] { return readrundata(); });
    update();
    clean = loaded;
}

void DefineRun::update() {
    if (!mc.runfile.empty()) setCaption(mc.runfile);
    for (std::string RunData::*name : kOptionalNames)
        run.*name = normalisedOptionalName(run.*name);
    if (run.reps == 0) run.reps = 1;

    // The sampling boxes keep the user's text of an equal number ("0.50", "0." while typing).
    I_bio.setText(run.bio);
    I_YOY.setText(run.yoy);
    I_refpoints.setText(run.refpoints);
    I_incond.setText(run.incond);
    I_mgt.setText(run.mgt);
    i_ndx.setText(run.ndx);
    editor::rewriteWhole(I_lngs, run.lngs);
    editor::rewriteSingle(i_lme, run.lme);
    editor::rewriteWhole(i_L_a, run.l_a);
    editor::rewriteSingle(I_ame, run.ame);
    I_fyrout.setText(plat::strInteger(run.fyrout));
    I_lyrout.setText(plat::strInteger(run.lyrout));
    i_lnds.setText(run.lnds);
    i_ctch.setText(run.ctch);
    i_stock.setText(run.stock);
    i_ctch_lng.setText(run.ctch_lng);
    I_incondout.setText(run.incondout);
    I_logf.setText(run.logf);
    I_Reps.setText(plat::strInteger(run.reps));
    clean = false;
}

bool DefineRun::readrundata() {
    RunData copy = run;
    if (!editor::readOpenFile(kFileNumber, copy, readRunFile)) return false;
    run = copy;
    update();
    clean = true;
    return true;
}

void DefineRun::writerun_click() {
    if (!editor::readyForFiles()) return;
    if (const std::optional<std::string> problem = runSaveProblem(run)) {
        plat::msgBox(*problem);
        return;
    }
    const RunData data = run;
    mc.dlgtitle = "Save run data";
    mc.dlgfilter = "Simulation input file (*.run)|*.run";
    // A file that was not written leaves the window unsaved.
    if (editor::saveChosenFile(mc.runfile, mc.dlgtitle, mc.dlgfilter, kFileNumber,
                               runFileText(data)) == editor::SaveResult::written)
        clean = true;
}

void DefineRun::readrun_Click() {
    mc.dlgtitle = "Load run data";
    mc.dlgfilter = "Simulation input file (*.run)|*.run";
    editor::loadChosenFile(mc.runfile, mc.dlgtitle, mc.dlgfilter, kFileNumber,
                           [this] { return readrundata(); });
}

void DefineRun::run_Click() {
    // A file read with a name that the save refuses is not handed over either.
    launch(
        mc.runfile, clean, [this] { writerun_click(); }, "vesk.000", "VESK.exe",
        [this] { return runSaveProblem(run); });
}

void DefineRun::textChanged(plat::TextBox& box, std::string& value) {
    value = box.text();
    update();
}

// A number beyond its field's range is refused: the field keeps its value and the refresh puts
// it back into the box.
template <class T> void DefineRun::wholeChanged(plat::TextBox& box, T& value) {
    if (const std::optional<T> v = boxWhole<T>(box.text())) value = *v;
    update();
}

void DefineRun::singleChanged(plat::TextBox& box, float& value) {
    if (const std::optional<float> v = editor::boxSingle(box.text())) value = *v;
    update();
}

void DefineRun::I_bio_Change() {
    textChanged(I_bio, run.bio);
}
void DefineRun::I_yoy_Change() {
    textChanged(I_YOY, run.yoy);
}
void DefineRun::I_refpoints_Change() {
    textChanged(I_refpoints, run.refpoints);
}
void DefineRun::I_incond_Change() {
    textChanged(I_incond, run.incond);
}
void DefineRun::I_mgt_Change() {
    textChanged(I_mgt, run.mgt);
}
void DefineRun::i_ndx_Change() {
    textChanged(i_ndx, run.ndx);
}
void DefineRun::I_lngs_Change() {
    wholeChanged(I_lngs, run.lngs);
}
void DefineRun::i_lme_Change() {
    singleChanged(i_lme, run.lme);
}
void DefineRun::i_L_a_Change() {
    wholeChanged(i_L_a, run.l_a);
}
void DefineRun::I_ame_Change() {
    singleChanged(I_ame, run.ame);
}
void DefineRun::I_fyrout_Change() {
    wholeChanged(I_fyrout, run.fyrout);
}
void DefineRun::I_lyrout_Change() {
    wholeChanged(I_lyrout, run.lyrout);
}
void DefineRun::i_lnds_Change() {
    textChanged(i_lnds, run.lnds);
}
void DefineRun::i_ctch_Change() {
    textChanged(i_ctch, run.ctch);
}
void DefineRun::i_stock_Change() {
    textChanged(i_stock, run.stock);
}
void DefineRun::i_ctch_lng_Change() {
    textChanged(i_ctch_lng, run.ctch_lng);
}
void DefineRun::I_incondout_Change() {
    textChanged(I_incondout, run.incondout);
}
void DefineRun::I_logf_Change() {
    textChanged(I_logf, run.logf);
}
void DefineRun::I_Reps_Change() {
    wholeChanged(I_Reps, run.reps);
}

} // namespace cw
