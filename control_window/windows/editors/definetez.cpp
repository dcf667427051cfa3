#include "control_window/windows/editors/definetez.h"

#include <algorithm>

#include <QWidget>

#include "control_window/windows/editorsupport.h"
#include "control_window/windows/launch.h"
#include "platform/numtext.h"
#include "platform/prompts.h"

namespace cw {

DefineTEZ::DefineTEZ() : plat::Form("DefineTEZ", "Create/Edit TEZ File") {
    HScroll1.setAccessibleName("Output year number");
    // A title of up to 50 characters shows whole.
    I_title.widget()->setMinimumWidth(I_title.widget()->fontMetrics().averageCharWidth() * 40);
    I_bio.onChange = [this] { I_bio_Change(); };
    I_mgt.onChange = [this] { I_mgt_Change(); };
    i_TEZ.onChange = [this] { i_TEZ_Change(); };
    i_bnch.onChange = [this] { i_bnch_Change(); };
    i_pmo.onChange = [this] { i_pmo_Change(); };
    I_title.onChange = [this] { I_title_Change(); };
    I_nyr.onChange = [this] { I_nyr_Change(); };
    I_valyr.onChange = [this] { I_valyr_Change(); };
    i_yr.onChange = [this] { i_yr_Change(); };
    editor::showsStored(i_yr, editor::BoxKind::Whole, [this] { return plat::strInteger(iyr); });
    HScroll1.onChange = [this] { HScroll1_Change(); };
    HScroll1.setSmallChange(1);
    HScroll1.setLargeChange(1);
    Option1.onClick = [this] { Option1_Click(); };
    readtez.onClick = [this] { readtez_Click(); };
    writetez.onClick = [this] { writetez_click(); };
    dotez.onClick = [this] { dotez_Click(); };
    dokuv.onClick = [this] { dokuv_Click(); };
}

void DefineTEZ::Form_Load() {
    // Only a file read whole makes the window clean: a launch from a window that shows other
    // values than its file saves first.
    const bool loaded =
        editor::loadOnOpening(mc.tezfile, "tez", 1, "TEZ file", [this] { return readtezdata(); });
    update();
    clean = loaded;
}

void DefineTEZ::update() {
    clean = false;
    if (!mc.tezfile.empty()) setCaption(mc.tezfile);
    editor::showYearIndex(HScroll1, refreshing_, data.nyr, iyr);
    Option1.setEnabled(iyr == 1);
    // Each write of a changed text runs that box's handler, which stores the same value and
    // refreshes once more; that pass writes the same texts and so ends.
    I_valyr.setText(plat::strInteger(data.years(iyr)));
    I_bio.setText(data.bio);
    I_mgt.setText(data.mgt);
    i_TEZ.setText(data.tezout);
    i_bnch.setText(data.bnch);
    i_pmo.setText(data.pmo);
    I_title.setText(data.title);
    I_nyr.setText(plat::strInteger(data.nyr));
    i_yr.setText(plat::strInteger(iyr));
}

bool DefineTEZ::readtezdata() {
    TezData copy = data;
    if (!editor::readOpenFile(1, copy, readTezFile)) return false;
    data = copy;
    update();
    clean = true;
    return true;
}

void DefineTEZ::writetez_click() {
    if (!editor::readyForFiles()) return;
    const TezData saved = tezSaveForm(data);
    if (const std::optional<std::string> problem = tezSaveProblem(saved)) {
        plat::msgBox(*problem);
        return;
    }
    mc.dlgtitle = "Save tez data";
    mc.dlgfilter = "TEZ input file (*.tez)|*.tez";
    const editor::SaveResult result =
        editor::saveChosenFile(mc.tezfile, mc.dlgtitle, mc.dlgfilter, 1, tezFileText(saved));
    // A file that was not written has kept the earlier file, and the name goes back to it: the
    // window stays as clean as it was, so that a clean one hands over that file.
    if (result != editor::SaveResult::written) return;
    data = saved;
    update();
    clean = true;
}

void DefineTEZ::I_bio_Change() {
    data.bio = I_bio.text();
    update();
}
void DefineTEZ::I_mgt_Change() {
    data.mgt = I_mgt.text();
    update();
}
void DefineTEZ::i_TEZ_Change() {
    data.tezout = i_TEZ.text();
    update();
}
void DefineTEZ::i_bnch_Change() {
    data.bnch = i_bnch.text();
    update();
}
void DefineTEZ::i_pmo_Change() {
    data.pmo = i_pmo.text();
    update();
}
void DefineTEZ::I_title_Change() {
    data.title = I_title.text();
    update();
}

void DefineTEZ::I_nyr_Change() {
    if (const std::optional<int16_t> v = editor::typedYearCount(I_nyr.text())) data.nyr = *v;
    update();
}

void DefineTEZ::I_valyr_Change() {
    // A year beyond the 16-bit range is refused; the refresh puts the stored year back.
    if (const std::optional<int16_t> v = editor::boxInteger(I_valyr.text()))
        data.years(std::clamp<int>(iyr, 1, kMaxDefinitionYears)) = *v;
    update();
}

void DefineTEZ::i_yr_Change() {
    // Text that is not a number (an empty box too) is left for the user to finish; the index
    // stays as it was.
    const std::optional<int16_t> index = editor::strictInteger(i_yr.text());
    if (!index) return;
    iyr = *index;
    update();
}

void DefineTEZ::HScroll1_Change() {
    if (refreshing_) return;
    iyr = int16_t(HScroll1.value());
    update();
}

void DefineTEZ::Option1_Click() {
    // The button acts once per click: it is cleared whether or not the list was filled.
    Option1.setValue(false);
    if (editor::fillYearsOnward(data.years, data.nyr)) update();
}

void DefineTEZ::readtez_Click() {
    mc.dlgtitle = "Load TEZ data";
    mc.dlgfilter = "TEZ input file (*.tez)|*.tez";
    editor::loadChosenFile(mc.tezfile, mc.dlgtitle, mc.dlgfilter, 1,
                           [this] { return readtezdata(); });
}

void DefineTEZ::dotez_Click() {
    launch(
        mc.tezfile, clean, [this] { writetez_click(); }, "Tez.000", "tez.exe",
        [this] {
            const TezData saved = tezSaveForm(data);
            if (auto problem = tezSaveProblem(saved)) return problem;
            return tezEngineProblem(saved);
        });
}

void DefineTEZ::dokuv_Click() {
    // A file read with a name that the save refuses is not handed over either.
    launch(
        mc.tezfile, clean, [this] { writetez_click(); }, "tez.000", "kuv.exe",
        [this] { return tezSaveProblem(tezSaveForm(data)); });
}

} // namespace cw
