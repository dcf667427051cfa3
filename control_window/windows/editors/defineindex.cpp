#include "control_window/windows/editors/defineindex.h"

#include <QWidget>

#include <algorithm>
#include <cctype>
#include <cfloat>
#include <cmath>

#include "control_window/files/indexfile.h"
#include "control_window/windows/editorsupport.h"
#include "platform/numtext.h"
#include "platform/prompts.h"

namespace cw {

using editor::boxInteger;
using editor::boxSingle;
using editor::rewriteSingle;

namespace {

constexpr int kFileNumber = 1;

std::string upper(std::string s) {
    for (char& c : s)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

} // namespace

Defineindex::Defineindex() : plat::Form("Defineindex", "Index Data") {
    // Boxes that share a label, or stand under a column heading, still get a name of their own
    // for screen readers.
    I_LYR.widget()->setAccessibleName(QStringLiteral("Last year"));
    L_err.widget()->setAccessibleName(QStringLiteral("Lengths Error"));
    A_err.widget()->setAccessibleName(QStringLiteral("Ages Error"));
    I_Minvulsiz.widget()->setAccessibleName(QStringLiteral("Min Vul Size"));
    II_nlngs.widget()->setAccessibleName(QStringLiteral("Nbins"));
    I_minlng.widget()->setAccessibleName(QStringLiteral("Min"));
    I_mxlng.widget()->setAccessibleName(QStringLiteral("Max"));
    HScroll3.widget()->setAccessibleName(QStringLiteral("ID"));
    editor::nameYearStepper(Frame6, yr2, HScroll1, sznyrCheck, cpysznpyr, cpyszntlyr);
    editor::nameYearStepper(Frame2, I_yr, HScroll2, s_yrseq, cpyprv, cpyforward);
    // The index characteristics show a "Type" too.
    editor::nameInFrame(Frame2, {{&I_seltyp, "Type"}});
    editor::nameInFrame(Frame7, {{&I_type, "Type"}});

    I_FYR.onChange = [this] { I_FYR_Change(); };
    I_LYR.onChange = [this] { I_LYR_Change(); };
    I_nindices.onChange = [this] { I_nindices_Change(); };
    I_Nages.onChange = [this] { I_Nages_Change(); };
    I_nsexes.onChange = [this] { I_nsexes_Change(); };
    I_nszns.onChange = [this] { I_nszns_Change(); };
    Index_ID.onChange = [this] { Index_ID_Change(); };
    HScroll3.onChange = [this] { HScroll3_Change(); };
    I_yr.onChange = [this] { I_yr_Change(); };
    yr2.onChange = [this] { yr2_Change(); };
    HScroll1.onChange = [this] { HScroll1_Change(); };
    HScroll2.onChange = [this] { HScroll2_Change(); };
    I_assoc.onChange = [this] { I_assoc_Change(); };
    I_type.onChange = [this] { I_type_Change(); };
    I_outfile.onChange = [this] { I_outfile_Change(); };
    I_err.onChange = [this] { I_err_Change(); };
    I_Ferr.onChange = [this] { I_Ferr_Change(); };
    L_sampsize.onChange = [this] { L_sampsize_Change(); };
    L_err.onChange = [this] { L_err_Change(); };
    A_sampsize.onChange = [this] { A_sampsize_Change(); };
    A_err.onChange = [this] { A_err_Change(); };
    for (auto [box, field] :
         {std::pair{&I_err, &Maincode::i_err}, std::pair{&I_Ferr, &Maincode::i_ferr},
          std::pair{&L_sampsize, &Maincode::l_sampsize}, std::pair{&L_err, &Maincode::l_err},
          std::pair{&A_err, &Maincode::a_err}, std::pair{&II_nlngs, &Maincode::i_nlngs},
          std::pair{&I_minlng, &Maincode::i_minlng}, std::pair{&I_mxlng, &Maincode::i_mxlng},
          std::pair{&I_Minvulsiz, &Maincode::i_minvulsiz}}) {
        editor::showsStored(*box, editor::BoxKind::Single,
                            [this, f = field] { return plat::strSingle((mc.*f)(cur())); });
    }
    editor::showsStored(A_sampsize, editor::BoxKind::Double,
                        [this] { return mc.a_sampsize(cur()).text(); });
    II_nlngs.onChange = [this] { II_nlngs_Change(); };
    I_minlng.onChange = [this] { I_minlng_Change(); };
    I_mxlng.onChange = [this] { I_mxlng_Change(); };
    I_Minvulsiz.onChange = [this] { I_Minvulsiz_Change(); };
    I_seltyp.onChange = [this] { I_seltyp_Change(); };
    s_sexeq.onClick = [this] { s_sexeq_Click(); };
    s_yrseq.onClick = [this] { s_yrseq_Click(); };
    sznyrCheck.onClick = [this] { sznyrCheck_Click(); };
    saveindex.onClick = [this] { saveindex_Click(); };
    loadindex.onClick = [this] { loadindex_Click(); };
    I_Q.onClick = [this] { I_Q_Click(); };
    II_szn.onClick = [this] { II_szn_Click(); };
    L_sex1.onClick = [this] { L_sex1_Click(); };
    L_sex2.onClick = [this] { L_sex2_Click(); };
    cpyforward.onClick = [this] { cpyforward_Click(); };
    cpyprv.onClick = [this] { cpyprv_Click(); };
    Matchother.onClick = [this] { Matchother_Click(); };
    Option1.onClick = [this] { Option1_Click(); };
    Option2.onClick = [this] { Option2_Click(); };
    cpyszntlyr.onClick = [this] { cpyszntlyr_Click(); };
    cpysznpyr.onClick = [this] { cpysznpyr_Click(); };
}

void Defineindex::Form_Load() {
    // The count outlives the window as the indices' data do, so that a window opened again over
    // a file shows all of its indices and a save keeps them.
    nindices = mc.ndfcount;
    if (const auto opened = editor::openStartfile("ndf", kFileNumber, "index data file");
        opened && loadindexdata())
        mc.ndffile = *opened;
    // A window opened again over a file's indices shows their types as the file has them.
    if (!mc.ndffile.empty()) typesAreTheFiles(kMaxIndices);
    updateindex();
}

void Defineindex::Form_Unload() {
    mc.ndfcount = nindices;
}

void Defineindex::typesAreTheFiles(int count) {
    for (int k = 1; k <= std::min(count, kMaxIndices); ++k)
        typeFromFile_[k] = true;
}

int Defineindex::cur() const {
    return std::clamp<int>(curindex, 1, kMaxIndices);
}

void Defineindex::updateindex() {
    // The arrays hold 10 indices; a larger count is taken as 10.
    nindices = std::clamp<int16_t>(nindices, 1, kMaxIndices);
    if (curindex > nindices) curindex = nindices;
    if (curindex < 1) curindex = 1;
    const int c = curindex;

    if (!mc.ndffile.empty()) setCaption(mc.ndffile);
    I_nindices.setText(plat::strInteger(nindices));
    rewriteSingle(L_sampsize, mc.l_sampsize(c));
    Index_ID.setText(plat::strInteger(curindex));
    if (mc.i_type(c) != "N") mc.i_type(c) = "W";
    I_type.setText(mc.i_type(c));
    rewriteSingle(A_err, mc.a_err(c));
    editor::rewriteVariant(A_sampsize, mc.a_sampsize(c), mc.a_sampsize(c).text());
    rewriteSingle(L_err, mc.l_err(c));
    rewriteSingle(I_err, mc.i_err(c));
    rewriteSingle(I_Ferr, mc.i_ferr(c));
    if (mc.i_outfile(c).empty()) mc.i_outfile(c) = "sample.ndx";
    I_outfile.setText(mc.i_outfile(c));
    I_FYR.setText(plat::strInteger(mc.fyr));
    I_LYR.setText(plat::strInteger(mc.lyr));

    if (mc.yr == 0 && mc.fyr >= 1) mc.yr = mc.fyr;
    // Years far apart can give a count beyond 16 bits; it is kept at the largest one.
    mc.nyrs = int16_t(std::clamp<int>(int(mc.lyr) - int(mc.fyr) + 1, INT16_MIN, INT16_MAX));

    I_yr.setText(plat::strInteger(mc.yr));
    yr2.setText(plat::strInteger(mc.yr));
    {
        // New ranges move a bar whose position falls outside them; such a move is not the user's
        // choice of an index or year, so it changes neither.
        settingBars_ = true;
        HScroll3.setMax(nindices);
        HScroll3.setMin(1);
        HScroll3.setValue(curindex);
        for (plat::HScrollBar* bar : {&HScroll2, &HScroll1}) {
            bar->setMax(mc.lyr);
            bar->setMin(mc.fyr);
            if (mc.fyr <= mc.yr && mc.yr <= mc.lyr) bar->setValue(mc.yr);
        }
        settingBars_ = false;
    }

    I_assoc.setText(plat::strInteger(mc.i_assoc(c)));
    const bool population = mc.i_assoc(c) == 0;
    Frame2.setVisible(population);
    Frame6.setVisible(population);
    I_Nages.setText(plat::strInteger(mc.nages));

    // The selectivity arrays hold 100 length bins.
    if (mc.i_nlngs(c) < 50) mc.i_nlngs(c) = 50;
    if (mc.i_nlngs(c) > kMaxLengthBins) mc.i_nlngs(c) = kMaxLengthBins;
    // Rewritten only when their number differs, so that a decimal point being typed ("2.")
    // stays; a bin count that the lines above changed shows its new value.
    rewriteSingle(II_nlngs, mc.i_nlngs(c));
    rewriteSingle(I_minlng, mc.i_minlng(c));
    rewriteSingle(I_mxlng, mc.i_mxlng(c));
    rewriteSingle(I_Minvulsiz, mc.i_minvulsiz(c));

    // An untyped index of a file shows an empty box: the letter the box held for the index shown
    // before must not become its type. One never set takes that letter.
    if (mc.i_seltyp(c) == "A" || mc.i_seltyp(c) == "L")
        I_seltyp.setText(mc.i_seltyp(c).str());
    else if (typeFromFile_[c])
        I_seltyp.setText("");
    const std::string type = I_seltyp.text();
    mc.i_seltyp(c) = type == "L" || type == "A" ? type : std::string(" ");
    editor::showSelectivityType(type, minvul_label, I_Minvulsiz, Frame4);
    if (const std::optional<float> n = boxSingle(II_nlngs.text())) mc.i_nlngs(c) = *n;

    mc.nsexes = std::clamp<int16_t>(mc.nsexes, 1, kMaxSexes);
    I_nszns.setText(plat::strInteger(mc.nszns));
    I_Nages.setText(plat::strInteger(mc.nages));
    I_nsexes.setText(plat::strInteger(mc.nsexes));

    editor::showSexButtons(mc.nsexes, sexeqflag, L_sex1, L_sex2, s_sexeq, Matchother);
}

void Defineindex::testrange() {
    const int n = int(mc.lyr) - int(mc.fyr) + 1;
    mc.npts = n;
    rangeok = n != 1 && n < 251;
}

bool Defineindex::loadindexdata() {
    IndexData copy = indexDataFrom(mc, nindices);
    if (!editor::readOpenFile(kFileNumber, copy, readIndexFile)) return false;
    storeIndexData(mc, copy);
    nindices = copy.nindices;
    typesAreTheFiles(nindices);
    curindex = 1;
    I_outfile.setText(mc.i_outfile(1));
    mc.yr = mc.fyr;
    updateindex();
    return true;
}

// ---- Field handlers -------------------------------------------------------------------------

void Defineindex::yearBoxChanged(plat::TextBox& box) {
    if (const std::optional<int16_t> v = boxInteger(box.text())) mc.yr = *v;
    updateindex();
}

void Defineindex::countBoxChanged(plat::TextBox& box, int16_t& count) {
    if (const std::optional<int16_t> v = boxInteger(box.text())) count = *v;
    updateindex();
}

void Defineindex::singleBoxChanged(plat::TextBox& box,
                                   Bounded<float, 1, kMaxIndices> Maincode::*field, bool refresh) {
    // A number that does not fit a single is left as typed: the box puts back its value when the
    // user leaves it.
    if (const std::optional<float> v = boxSingle(box.text())) (mc.*field)(cur()) = *v;
    if (refresh) updateindex();
}

void Defineindex::I_FYR_Change() {
    countBoxChanged(I_FYR, mc.fyr);
}
void Defineindex::I_LYR_Change() {
    countBoxChanged(I_LYR, mc.lyr);
}
void Defineindex::I_nindices_Change() {
    countBoxChanged(I_nindices, nindices);
}

// A negative number of ages is refused; more than the arrays hold is taken as their limit.
void Defineindex::I_Nages_Change() {
    const std::optional<int16_t> v = boxInteger(I_Nages.text());
    if (v && *v >= 0) mc.nages = std::min<int16_t>(*v, kMaxAge);
    updateindex();
}

void Defineindex::I_nsexes_Change() {
    countBoxChanged(I_nsexes, mc.nsexes);
}

void Defineindex::I_nszns_Change() {
    if (const std::optional<int16_t> v = boxInteger(I_nszns.text()))
        mc.nszns = std::clamp<int16_t>(*v, 1, kMaxSeasons);
    updateindex();
}

void Defineindex::Index_ID_Change() {
    countBoxChanged(Index_ID, curindex);
}

void Defineindex::HScroll3_Change() {
    if (settingBars_) return;
    curindex = int16_t(HScroll3.value());
    updateindex();
}

void Defineindex::I_yr_Change() {
    yearBoxChanged(I_yr);
}
void Defineindex::yr2_Change() {
    yearBoxChanged(yr2);
}

void Defineindex::HScroll1_Change() {
    if (settingBars_) return;
    mc.yr = int16_t(HScroll1.value());
    updateindex();
}
void Defineindex::HScroll2_Change() {
    if (settingBars_) return;
    mc.yr = int16_t(HScroll2.value());
    updateindex();
}

void Defineindex::I_assoc_Change() {
    if (const std::optional<int16_t> v = boxInteger(I_assoc.text())) mc.i_assoc(cur()) = *v;
    updateindex();
}

void Defineindex::I_type_Change() {
    mc.i_type(cur()) = upper(I_type.text());
    updateindex();
}

void Defineindex::I_outfile_Change() {
    mc.i_outfile(cur()) = I_outfile.text();
    updateindex();
}

void Defineindex::I_err_Change() {
    singleBoxChanged(I_err, &Maincode::i_err);
}
void Defineindex::I_Ferr_Change() {
    singleBoxChanged(I_Ferr, &Maincode::i_ferr);
}
void Defineindex::L_sampsize_Change() {
    singleBoxChanged(L_sampsize, &Maincode::l_sampsize);
}
void Defineindex::L_err_Change() {
    singleBoxChanged(L_err, &Maincode::l_err);
}

void Defineindex::A_sampsize_Change() {
    // A number too large is refused; the refresh shows the stored value again.
    if (const auto v = editor::boxDouble(A_sampsize.text())) mc.a_sampsize(cur()) = *v;
    updateindex();
}

void Defineindex::A_err_Change() {
    singleBoxChanged(A_err, &Maincode::a_err, false);
}
void Defineindex::II_nlngs_Change() {
    singleBoxChanged(II_nlngs, &Maincode::i_nlngs);
}
void Defineindex::I_minlng_Change() {
    singleBoxChanged(I_minlng, &Maincode::i_minlng);
}
void Defineindex::I_mxlng_Change() {
    singleBoxChanged(I_mxlng, &Maincode::i_mxlng);
}
void Defineindex::I_Minvulsiz_Change() {
    singleBoxChanged(I_Minvulsiz, &Maincode::i_minvulsiz);
}

void Defineindex::I_seltyp_Change() {
    const std::string text = I_seltyp.text();
    // Writing the box runs this handler again; the nested pass finds the text settled.
    I_seltyp.setText(upper(text.substr(0, 1)));
    if (I_seltyp.text() != "L" && I_seltyp.text() != "A") {
        I_seltyp.setText("");
    } else {
        mc.i_seltyp(cur()) = I_seltyp.text();
    }
    updateindex();
}

void Defineindex::s_sexeq_Click() {
    sexeqflag = s_sexeq.value() != 0;
    updateindex();
}
void Defineindex::s_yrseq_Click() {
    yrseqflag = s_yrseq.value() != 0;
}
void Defineindex::sznyrCheck_Click() {
    sznyrflag = sznyrCheck.value() != 0;
}

// ---- Loading and saving ---------------------------------------------------------------------

void Defineindex::saveindex_Click() {
    if (!editor::readyForFiles()) return;
    const IndexData data = indexDataFrom(mc, nindices);
    if (const std::optional<std::string> problem = indexSaveProblem(data)) {
        plat::msgBox(*problem);
        return;
    }
    prompttitle = "Save Index data";
    mc.dlgfilter = "Index data file (*.ndf)|*.ndf";
    if (editor::saveChosenFile(mc.ndffile, prompttitle, mc.dlgfilter, kFileNumber,
                               indexFileText(data)) != editor::SaveResult::written)
        return;
    typesAreTheFiles(data.nindices);
    curindex = 1;
    I_outfile.setText(mc.i_outfile(1));
    mc.yr = mc.fyr;
    updateindex();
}

void Defineindex::loadindex_Click() {
    prompttitle = "Load Index data";
    mc.dlgfilter = "Index input file (*.ndf)|*.ndf";
    editor::loadChosenFile(mc.ndffile, prompttitle, mc.dlgfilter, kFileNumber,
                           [this] { return loadindexdata(); });
}

} // namespace cw
