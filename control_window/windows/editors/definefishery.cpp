#include "control_window/windows/editors/definefishery.h"

#include <algorithm>

#include <QGridLayout>
#include <QWidget>

#include "control_window/files/fisheryfile.h"
#include "control_window/windows/dialogs.h"
#include "control_window/windows/editorsupport.h"
#include "control_window/windows/graph.h"
#include "platform/numtext.h"
#include "platform/prompts.h"
#include "platform/seqfile.h"
#include "platform/system.h"

namespace cw {

namespace {

std::optional<int16_t> wholeNumber(const plat::TextBox& box) {
    return editor::boxInteger(box.text());
}

std::optional<float> singleNumber(const plat::TextBox& box) {
    return editor::boxSingle(box.text());
}

std::string singleText(float v) {
    return editor::boxText(v, true);
}

std::string variantText(const Variant& v) {
    if (v.isEmpty()) return std::string();
    if (v.kind() == Variant::Kind::Text) return v.text();
    return editor::boxText(v.number(), false);
}

// Lets a tall frame run down beside every row of the column before it, so that it does not
// stretch the first of those rows.
void spanRows(plat::Control& tall, int rows) {
    QWidget* w = tall.widget();
    auto* grid =
        w->parentWidget() ? qobject_cast<QGridLayout*>(w->parentWidget()->layout()) : nullptr;
    if (!grid) return;
    const int at = grid->indexOf(w);
    if (at < 0) return;
    int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
    grid->getItemPosition(at, &row, &column, &rowSpan, &columnSpan);
    grid->removeWidget(w);
    grid->addWidget(w, row, column, rows, columnSpan, Qt::AlignTop);
}

} // namespace

DefineFishery::DefineFishery() : plat::Form("DefineFishery", "Fishery Data") {
    // Boxes that share a label, or stand under a frame's caption or a column heading, and the
    // scroll bars beside their boxes still get a name of their own for screen readers.
    F_LYR.setAccessibleName("Last year");
    F_Fscaler.setAccessibleName("F Scalar");
    Txt_fcv.setAccessibleName("Total F Randomization Scalar");
    F_Minvulsiz.setAccessibleName("Min Vul Size");
    F_nlng.setAccessibleName("Nbins");
    F_minlng.setAccessibleName("Min");
    F_mxlng.setAccessibleName("Max");
    HScroll3.setAccessibleName("Fishery ID");
    editor::nameYearStepper(Frame6, yr2, HScroll1, sznyrCheck, cpysznpyr, cpyszntlyr);
    editor::nameYearStepper(Frame2, F_yr, HScroll2, s_yrseq, cpyprv, cpyforward);
    ProgressBar1.setAccessibleName("Export progress");
    F_FYR.onChange = [this] { F_FYR_Change(); };
    F_LYR.onChange = [this] { F_LYR_Change(); };
    F_ngear.onChange = [this] { F_ngear_Change(); };
    F_Nages.onChange = [this] { F_Nages_Change(); };
    F_nsexes.onChange = [this] { F_nsexes_Change(); };
    F_nszns.onChange = [this] { F_nszns_Change(); };
    Fishery_ID.onChange = [this] { Fishery_ID_Change(); };
    HScroll3.onChange = [this] { HScroll3_Change(); };
    F_yr.onChange = [this] { F_yr_Change(); };
    yr2.onChange = [this] { yr2_Change(); };
    HScroll1.onChange = [this] { HScroll1_Change(); };
    HScroll2.onChange = [this] { HScroll2_Change(); };
    F_nlng.onChange = [this] { F_nlng_Change(); };
    F_mxlng.onChange = [this] { F_mxlng_Change(); };
    F_Minvulsiz.onChange = [this] { F_Minvulsiz_Change(); };
    F_minlng.onChange = [this] { F_minlng_Change(); };
    F_seltyp.onChange = [this] { F_seltyp_Change(); };
    F_Fscaler.onChange = [this] { F_Fscaler_Change(); };
    Txt_fcv.onChange = [this] { Txt_fcv_Change(); };
    editor::showsStored(Txt_fcv, editor::BoxKind::Single, [] { return singleText(mc.fcv); });
    // The selectivity settings of the fishery shown.
    for (auto [box, value] :
         {std::pair{&F_nlng, &Maincode::f_nlng}, std::pair{&F_mxlng, &Maincode::f_mxlng},
          std::pair{&F_Minvulsiz, &Maincode::f_minvulsiz}}) {
        editor::showsStored(*box, editor::BoxKind::Single,
                            [v = value] { return singleText((mc.*v)(mc.fishery_id)); });
    }
    editor::showsStored(F_minlng, editor::BoxKind::Double,
                        [] { return variantText(mc.f_minlng(mc.fishery_id)); });
    // A scalar never typed is the box's own text.
    editor::showsStored(F_Fscaler, editor::BoxKind::Double, [this] {
        return mc.f_fscaler.isEmpty() ? F_Fscaler.text() : mc.f_fscaler.text();
    });
    s_sexeq.onClick = [this] { s_sexeq_Click(); };
    s_yrseq.onClick = [this] { s_yrseq_Click(); };
    sznyrCheck.onClick = [this] { sznyrCheck_Click(); };

    loadfishery.onClick = [this] { loadfishery_Click(); };
    savefisherydefinition.onClick = [this] { savefisherydefinition_Click(); };
    MakeMgt.onClick = [this] { MakeMgt_Click(); };

    CmdTAC.onClick = [this] { CmdTAC_Click(); };
    F_F.onClick = [this] { F_F_Click(); };
    F_relmort.onClick = [this] { F_relmort_Click(); };
    L_minsize.onClick = [this] { L_minsize_Click(); };
    L_maxsize.onClick = [this] { L_maxsize_Click(); };
    F_sznfract.onClick = [this] { F_sznfract_Click(); };
    L_sex1.onClick = [this] { L_sex1_Click(); };
    L_sex2.onClick = [this] { L_sex2_Click(); };
    cpyforward.onClick = [this] { cpyforward_Click(); };
    cpyprv.onClick = [this] { cpyprv_Click(); };
    Matchother.onClick = [this] { Matchother_Click(); };
    Option1.onClick = [this] { Option1_Click(); };
    Option2.onClick = [this] { Option2_Click(); };
    cpyszntlyr.onClick = [this] { cpyszntlyr_Click(); };
    cpysznpyr.onClick = [this] { cpysznpyr_Click(); };
    Option4.onClick = [this] { Option4_Click(); };

    spanRows(Frame1, 11);
    spanRows(Frame6, 8);
    spanRows(Frame2, 8);
    spanRows(Frame7, 1);
}

DefineFishery::~DefineFishery() = default;

void DefineFishery::Form_Load() {
    if (const auto opened = editor::openStartfile("fst", 2, "fishery data file");
        opened && loadfishdata())
        mc.fstfile = *opened;
    update();
}

void DefineFishery::update() {
    F_FYR.setText(plat::strInteger(mc.fyr));
    F_LYR.setText(plat::strInteger(mc.lyr));
    Txt_fcv.setText(singleText(mc.fcv));
    if (!mc.fstfile.empty()) setCaption(mc.fstfile);
    if (mc.yr == 0 && mc.fyr >= 1) mc.yr = mc.fyr;
    mc.nyrs = int16_t(std::clamp(int(mc.lyr) - int(mc.fyr) + 1, -32768, 32767));
    if (mc.nsexes < 1) mc.nsexes = 1;
    if (mc.nsexes > 2) mc.nsexes = 2;
    F_yr.setText(plat::strInteger(mc.yr));
    yr2.setText(plat::strInteger(mc.yr));
    rangingBars_ = true;
    HScroll2.setMax(mc.lyr);
    HScroll2.setMin(mc.fyr);
    HScroll1.setMax(mc.lyr);
    HScroll1.setMin(mc.fyr);
    rangingBars_ = false;
    ProgressBar1.setVisible(false);
    if (mc.fyr <= mc.yr && mc.yr <= mc.lyr) {
        HScroll2.setValue(mc.yr);
        HScroll1.setValue(mc.yr);
    }
    rangingBars_ = true;
    HScroll3.setMax(mc.ngear);
    HScroll3.setMin(1);
    rangingBars_ = false;
    if (mc.fishery_id > mc.ngear) mc.fishery_id = mc.ngear;
    if (mc.fishery_id < 1) mc.fishery_id = 1;
    // A count of fisheries beyond the data model (set by no box of this window) shows the last
    // fishery the model holds.
    if (mc.fishery_id > kMaxFisheries) mc.fishery_id = kMaxFisheries;
    // The fishery bar stands on the fishery shown, so that its arrows step from there.
    rangingBars_ = true;
    HScroll3.setValue(mc.fishery_id);
    rangingBars_ = false;
    F_ngear.setText(plat::strInteger(mc.ngear));
    Fishery_ID.setText(plat::strInteger(mc.fishery_id));
    F_Nages.setText(plat::strInteger(mc.nages));

    const int k = mc.fishery_id;
    if (mc.f_nlng(k) == 0 || mc.f_nlng(k) > 100) mc.f_nlng(k) = 50;
    // These boxes are rewritten only when their number differs, so that a decimal point being
    // typed ("2.") stays; a bin count that the line above changed shows its new value.
    editor::rewriteSingle(F_nlng, mc.f_nlng(k));
    editor::rewriteVariant(F_minlng, mc.f_minlng(k), variantText(mc.f_minlng(k)));
    editor::rewriteSingle(F_mxlng, mc.f_mxlng(k));
    editor::rewriteSingle(F_Minvulsiz, mc.f_minvulsiz(k));
    F_seltyp.setText(mc.f_seltyp(k).str());

    const std::string type = F_seltyp.text();
    mc.f_seltyp(k) = type == "L" || type == "A" ? type : std::string(" ");
    editor::showSelectivityType(type, minvul_label, F_Minvulsiz, Frame4);
    if (const std::optional<float> bins = singleNumber(F_nlng)) mc.f_nlng(k) = *bins;

    F_nszns.setText(plat::strInteger(mc.nszns));
    F_Nages.setText(plat::strInteger(mc.nages));
    F_nsexes.setText(plat::strInteger(mc.nsexes));

    editor::showSexButtons(mc.nsexes, sexeqflag, L_sex1, L_sex2, s_sexeq, Matchother);
}

void DefineFishery::testrange() {
    mc.npts = int32_t(mc.lyr) - int32_t(mc.fyr) + 1;
    // A range of no years at all (the last year before the first) has no points to edit either.
    rangeok = mc.npts >= 2 && mc.npts < 251;
}

// Field handlers. A whole number beyond the 16-bit range is refused: the variable keeps its value
// and the refresh puts that back into the box. Counts stop at the data model's limits, and a
// negative count is refused.

void DefineFishery::F_FYR_Change() {
    if (const auto v = wholeNumber(F_FYR)) mc.fyr = *v;
    update();
}

void DefineFishery::F_LYR_Change() {
    if (const auto v = wholeNumber(F_LYR)) mc.lyr = *v;
    update();
}

void DefineFishery::F_ngear_Change() {
    const auto v = wholeNumber(F_ngear);
    if (v && *v >= 0) mc.ngear = std::min<int16_t>(*v, kMaxFisheries);
    update();
}

void DefineFishery::F_Nages_Change() {
    const auto v = wholeNumber(F_Nages);
    if (v && *v >= 0) mc.nages = std::min<int16_t>(*v, kMaxAge);
    update();
}

void DefineFishery::F_nsexes_Change() {
    if (const auto v = wholeNumber(F_nsexes)) mc.nsexes = *v;
    update();
}

void DefineFishery::F_nszns_Change() {
    const auto v = wholeNumber(F_nszns);
    if (v && *v >= 0) mc.nszns = std::min<int16_t>(*v, kMaxSeasons);
    update();
}

void DefineFishery::Fishery_ID_Change() {
    if (const auto v = wholeNumber(Fishery_ID)) mc.fishery_id = *v;
    update();
}

void DefineFishery::HScroll3_Change() {
    if (rangingBars_) return;
    mc.fishery_id = int16_t(HScroll3.value());
    update();
}

void DefineFishery::F_yr_Change() {
    if (const auto v = wholeNumber(F_yr)) mc.yr = *v;
    update();
}

void DefineFishery::yr2_Change() {
    if (const auto v = wholeNumber(yr2)) mc.yr = *v;
    update();
}

void DefineFishery::HScroll1_Change() {
    if (rangingBars_) return;
    mc.yr = int16_t(HScroll1.value());
    update();
}

void DefineFishery::HScroll2_Change() {
    if (rangingBars_) return;
    mc.yr = int16_t(HScroll2.value());
    update();
}

// The bin count is kept whole, since the files and the graph use it as a number of bins (the
// engines by dropping a fraction, the control window by rounding it); a negative count counts
// as none, which the refresh turns into the default.
void DefineFishery::F_nlng_Change() {
    if (const auto v = singleNumber(F_nlng)) {
        const float whole = float(plat::toInteger16(*v).value_or(int16_t(0)));
        mc.f_nlng(mc.fishery_id) = std::max(whole, 0.0f);
    }
    update();
}

void DefineFishery::F_mxlng_Change() {
    if (const auto v = singleNumber(F_mxlng)) mc.f_mxlng(mc.fishery_id) = *v;
    update();
}

void DefineFishery::F_Minvulsiz_Change() {
    if (const auto v = singleNumber(F_Minvulsiz)) mc.f_minvulsiz(mc.fishery_id) = *v;
    update();
}

void DefineFishery::F_minlng_Change() {
    // A number too large is refused like any text that does not fit; the refresh shows the value.
    if (const auto v = editor::boxDouble(F_minlng.text())) mc.f_minlng(mc.fishery_id) = *v;
    update();
}

void DefineFishery::F_seltyp_Change() {
    const std::string text = F_seltyp.text();
    if (text.empty()) {
        mc.f_seltyp(mc.fishery_id) = " ";
    } else {
        const char c = text.front();
        mc.f_seltyp(mc.fishery_id) = char(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    }
    update();
}

void DefineFishery::F_Fscaler_Change() {
    // A number too large is left as typed; the box puts back its value when the user leaves it.
    if (const auto v = editor::boxDouble(F_Fscaler.text())) mc.f_fscaler = *v;
    Option4.setValue(false);
    update();
}

// The scalar is converted strictly: an empty box or text that is not a number keeps the value
// held before, so that a half-typed entry never stores a 0 behind the user's back.
void DefineFishery::Txt_fcv_Change() {
    // A number that does not fit a single is refused as well: the box puts back its value when
    // the user leaves it.
    if (const std::optional<float> v = editor::answerSingle(Txt_fcv.text())) mc.fcv = *v;
}

void DefineFishery::s_sexeq_Click() {
    sexeqflag = s_sexeq.value() == 1;
    update();
}

void DefineFishery::s_yrseq_Click() {
    yrseqflag = s_yrseq.value() == 1;
}

void DefineFishery::sznyrCheck_Click() {
    sznyrflag = sznyrCheck.value() == 1;
}

// Files.

bool DefineFishery::loadfishdata() {
    auto copy = std::make_unique<FisheryData>(fisheryDataFrom(mc));
    if (!editor::readOpenFile(2, *copy, readFstFile)) return false;
    storeFisheryData(mc, *copy);
    mc.npts = mc.lyr - mc.fyr + 1;
    mc.fishery_id = 1;
    mc.yr = mc.fyr;
    update();
    return true;
}

void DefineFishery::loadfishery_Click() {
    prompttitle = "Load fishery data";
    mc.dlgfilter = "Fishery input file (*.fst)|*.fst";
    if (!editor::loadChosenFile(mc.fstfile, prompttitle, mc.dlgfilter, 2,
                                [this] { return loadfishdata(); }))
        return;
    mc.fishery_id = 1;
    update();
}

void DefineFishery::savefisherydefinition_Click() {
    if (!editor::readyForFiles()) return;
    const auto data = std::make_unique<FisheryData>(fisheryDataFrom(mc));
    if (const std::optional<std::string> problem = fstSaveProblem(*data)) {
        plat::msgBox(*problem);
        return;
    }
    prompttitle = "Save fishery data";
    mc.dlgfilter = "Fishery data file (*.fst)|*.fst";
    if (editor::saveChosenFile(mc.fstfile, prompttitle, mc.dlgfilter, 2, fstFileText(*data)) !=
        editor::SaveResult::written)
        return;
    mc.npts = mc.lyr - mc.fyr + 1;
    mc.fishery_id = 1;
    update();
}

void DefineFishery::f_putf(int d) {
    plat::SeqFile& f = plat::fileNumber(6);
    if (exporting_) {
        f.print(exporting_->body(d));
    } else {
        f.print(mgtBlockBody(*std::make_unique<FisheryData>(fisheryDataFrom(mc)), d));
    }
}

void DefineFishery::MakeMgt_Click() {
    // What is exported is what every box shows.
    if (!editor::readyForFiles()) return;
    // The year count is taken from the years themselves, so that a range changed in another
    // window since this one last refreshed cannot give blocks that do not fit it.
    const int nyrs = int(mc.lyr) - int(mc.fyr) + 1;
    auto data = std::make_unique<FisheryData>(fisheryDataFrom(mc));
    if (const std::optional<std::string> problem = mgtExportProblem(*data, nyrs)) {
        plat::msgBox(*problem);
        return;
    }
    prompttitle = "Save management data";
    mc.dlgfilter = "Fishery input file (*.mgt)|*.mgt";
    const std::string before = mc.mgtfile;
    const std::string folder = plat::currentFolder();
    openoutput(mc.mgtfile, prompttitle, mc.dlgfilter, 6);
    if (!plat::fileNumber(6).isOpen()) return;
    mc.nyrs = int16_t(nyrs);
    plat::SeqFile& f = plat::fileNumber(6);
    f.print(mgtHeaderText(*data));
    exporting_ = std::make_unique<MgtBlockBodies>(std::move(data), nyrs);
    ProgressBar1.setMin(0);
    ProgressBar1.setMax(nyrs + 2);
    ProgressBar1.setVisible(true);
    // The blocks are written year by year through the year shown, which is put back afterwards
    // so that the window's edits go on in the year the user was at.
    const int16_t shown = mc.yr;
    for (int b = 1; b <= nyrs + 1; ++b) {
        ProgressBar1.setValue(b);
        const int year = mc.fyr + b - 1;
        mc.yr = int16_t(std::min(year, 32767));
        f.print(plat::printInteger(year) + "\r\n");
        f_putf(year > mc.lyr ? b - 1 : b);
    }
    mc.yr = shown;
    exporting_.reset();
    // A failed write has said so and kept the earlier file; the name and the folder that a later
    // launch hands over in go back with it.
    if (!f.close()) {
        mc.mgtfile = before;
        plat::setCurrentFolder(folder);
    }
    ProgressBar1.setVisible(false);
    mc.fishery_id = 1;
    update();
}

} // namespace cw
