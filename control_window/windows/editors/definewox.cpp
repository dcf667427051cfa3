#include "control_window/windows/editors/definewox.h"

#include <QWidget>

#include <algorithm>

#include "control_window/windows/editorsupport.h"
#include "control_window/windows/launch.h"
#include "platform/numtext.h"
#include "platform/prompts.h"

namespace cw {

using editor::boxSingle;
using editor::rewriteSingle;
using editor::rewriteWhole;

DefineWOX::DefineWOX() : plat::Form("DefineWOX", "Create/Edit WOX File") {
    // The label's doubled ampersand shows as one; screen readers get the text as shown.
    i_fmaxfil.widget()->setAccessibleName(QStringLiteral("Output file for F0.1 & Fmax"));
    I_valyr.setAccessibleName("Year");
    HScroll1.setAccessibleName("Output year number");
    I_bio.onChange = [this] { I_bio_Change(); };
    I_mgt.onChange = [this] { I_mgt_Change(); };
    i_fmaxfil.onChange = [this] { i_fmaxfil_Change(); };
    i_woxout.onChange = [this] { i_woxout_Change(); };
    i_fmin.onChange = [this] { i_fmin_Change(); };
    i_fmax.onChange = [this] { i_fmax_Change(); };
    I_Finc.onChange = [this] { I_Finc_Change(); };
    I_nyr.onChange = [this] { I_nyr_Change(); };
    I_valyr.onChange = [this] { I_valyr_Change(); };
    i_yr.onChange = [this] { i_yr_Change(); };
    using editor::BoxKind;
    for (auto [box, value] :
         {std::pair{&i_fmin, &WoxData::fmin}, std::pair{&i_fmax, &WoxData::fmax},
          std::pair{&I_Finc, &WoxData::finc}}) {
        editor::showsStored(*box, BoxKind::Single,
                            [this, v = value] { return plat::strSingle(data.*v); });
    }
    editor::showsStored(I_nyr, BoxKind::Whole, [this] { return plat::strInteger(data.nyr); });
    editor::showsStored(i_yr, BoxKind::Whole, [this] { return plat::strInteger(iyr); });
    editor::showsStored(I_valyr, BoxKind::Whole, [this] {
        return plat::strInteger(data.years(std::clamp<int>(iyr, 1, kMaxDefinitionYears)));
    });
    HScroll1.onChange = [this] { HScroll1_Change(); };
    HScroll1.setSmallChange(1);
    HScroll1.setLargeChange(1);
    Option1.onClick = [this] { Option1_Click(); };
    readwox.onClick = [this] { readwox_Click(); };
    writewox.onClick = [this] { writewox_click(); };
    run.onClick = [this] { run_Click(); };
}

void DefineWOX::Form_Load() {
    // The window starts from what its boxes show, so that the values and the boxes agree.
    data.fmin = 0;
    data.fmax = 1;
    data.finc = 0.01f;
    data.nyr = 1;
    // Only a file read whole makes the window clean: a launch from a window that shows other
    // values than its file saves first.
    const bool loaded =
        editor::loadOnOpening(mc.woxfile, "wox", 1, "WOX file", [this] { return readwoxdata(); });
    update();
    clean = loaded;
}

void DefineWOX::update() {
    if (!mc.woxfile.empty()) setCaption(mc.woxfile);
    editor::showYearIndex(HScroll1, refreshing_, data.nyr, iyr);
    Option1.setEnabled(iyr == 1);
    // Number boxes are rewritten only when their number differs, so that partial input such as
    // "0." stays while it is typed. A rewrite runs the box's handler, which stores the same value
    // and refreshes once more; that pass finds nothing that differs.
    I_bio.setText(data.bio);
    I_mgt.setText(data.mgt);
    i_fmaxfil.setText(data.fmaxfil);
    rewriteSingle(i_fmax, data.fmax);
    i_woxout.setText(data.woxout);
    rewriteSingle(i_fmin, data.fmin);
    rewriteSingle(I_Finc, data.finc);
    rewriteWhole(I_nyr, data.nyr);
    rewriteWhole(i_yr, iyr);
    rewriteWhole(I_valyr, data.years(iyr));
    clean = false;
}

bool DefineWOX::readwoxdata() {
    WoxData copy = data;
    if (!editor::readOpenFile(1, copy, readWoxFile)) return false;
    data = copy;
    update();
    clean = true;
    return true;
}

void DefineWOX::writewox_click() {
    if (!editor::readyForFiles()) return;
    const WoxData saved = woxSaveForm(data);
    if (const std::optional<std::string> problem = woxSaveProblem(saved)) {
        plat::msgBox(*problem);
        return;
    }
    mc.dlgtitle = "Save wox data";
    mc.dlgfilter = "WOX input file (*.wox)|*.wox";
    const editor::SaveResult result =
        editor::saveChosenFile(mc.woxfile, mc.dlgtitle, mc.dlgfilter, 1, woxFileText(saved));
    // A file that was not written has kept the earlier file, and the name goes back to it: the
    // window stays as clean as it was, so that a clean one hands over that file.
    if (result != editor::SaveResult::written) return;
    data = saved;
    update();
    clean = true;
}

void DefineWOX::I_bio_Change() {
    data.bio = I_bio.text();
    update();
}
void DefineWOX::I_mgt_Change() {
    data.mgt = I_mgt.text();
    update();
}
void DefineWOX::i_fmaxfil_Change() {
    data.fmaxfil = i_fmaxfil.text();
    update();
}
void DefineWOX::i_woxout_Change() {
    data.woxout = i_woxout.text();
    update();
}

void DefineWOX::i_fmin_Change() {
    if (const std::optional<float> v = boxSingle(i_fmin.text())) data.fmin = *v;
    update();
}
void DefineWOX::i_fmax_Change() {
    if (const std::optional<float> v = boxSingle(i_fmax.text())) data.fmax = *v;
    update();
}
void DefineWOX::I_Finc_Change() {
    if (const std::optional<float> v = boxSingle(I_Finc.text())) data.finc = *v;
    update();
}

void DefineWOX::I_nyr_Change() {
    if (const std::optional<int16_t> v = editor::typedYearCount(I_nyr.text())) data.nyr = *v;
    update();
}

// The year and index boxes convert strictly: text that is not a number (an empty box too) is
// left for the user to finish and changes nothing.
void DefineWOX::I_valyr_Change() {
    const std::optional<int16_t> v = editor::strictInteger(I_valyr.text());
    if (!v) return;
    data.years(std::clamp<int>(iyr, 1, kMaxDefinitionYears)) = *v;
    update();
}

void DefineWOX::i_yr_Change() {
    const std::optional<int16_t> v = editor::strictInteger(i_yr.text());
    if (!v) return;
    iyr = *v;
    update();
}

void DefineWOX::HScroll1_Change() {
    if (refreshing_) return;
    iyr = int16_t(HScroll1.value());
    update();
}

void DefineWOX::Option1_Click() {
    // The button acts once per click: it is cleared whether or not the list was filled.
    Option1.setValue(false);
    if (editor::fillYearsOnward(data.years, data.nyr)) update();
}

void DefineWOX::readwox_Click() {
    mc.dlgtitle = "Load wox data";
    mc.dlgfilter = "WOX input file (*.wox)|*.wox";
    if (editor::loadChosenFile(mc.woxfile, mc.dlgtitle, mc.dlgfilter, 1,
                               [this] { return readwoxdata(); }))
        setCaption(mc.woxfile);
}

void DefineWOX::run_Click() {
    // A file read with a name that the save refuses is not handed over either.
    launch(
        mc.woxfile, clean, [this] { writewox_click(); }, "wox.000", "wox.exe",
        [this] { return woxSaveProblem(woxSaveForm(data)); });
}

} // namespace cw
