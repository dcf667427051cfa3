#pragma once
// The fishery editor: up to ten fisheries over one range of years, each with its catch limits,
// annual F, size limits and discard mortality by year, its seasonal share of F and its
// selectivity by age or length; loading and saving the fishery definition file and exporting the
// management file that the engines read.
//
// The class stands in two sources: definefishery.cpp holds the window, its boxes and check boxes,
// loading and saving and the management export; fisheryseries.cpp holds the series edits on the
// graph window (TAC, Annual F, the sizes, discard mortality, Seasonal Fractions, the
// selectivity's Male and Female), the copy and initialize buttons and the F scaler's Execute.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "control_window/model/maincode.h"
#include "platform/form.h"

namespace cw {

struct FisheryData;
class MgtBlockBodies;

class DefineFishery : public plat::Form {
  public:
    DefineFishery();
    ~DefineFishery() override;

    plat::TextBox F_FYR{*this, "F_FYR", "First and last year"};
    bool lyrBeside_ = (sameRow(), true);
    plat::TextBox F_LYR{*this, "F_LYR", ""};
    plat::TextBox F_ngear{*this, "F_ngear", "Number of Fisheries"};
    plat::TextBox F_Nages{*this, "F_Nages", "Number of Ages"};
    plat::TextBox F_nsexes{*this, "F_nsexes", "Number of sexes"};
    plat::TextBox F_nszns{*this, "F_nszns", "Number of seasons"};

    // The F scaler's frame: a factor for the shown fishery's annual F.
    plat::Frame Frame5{*this, "Frame5", "F Scalar"};
    plat::TextBox F_Fscaler{Frame5, "F_Fscaler", "", "1.0"};
    // The F scaler's Execute button: scales the shown fishery's annual F in every year.
    plat::OptionButton Option4{Frame5, "Option4", "Execute"};

    plat::CommandButton loadfishery{*this, "loadfishery", "Load Fishery Definition"};
    plat::CommandButton savefisherydefinition{*this, "savefisherydefinition",
                                              "Save Fishery Definition"};
    plat::CommandButton MakeMgt{*this, "MakeMgt", "Export Management"};
    // The export's progress bar, shown while the management file is written.
    plat::ProgressBar ProgressBar1{*this, "ProgressBar1"};

    // The fisheries' data stand in a second column of the window, in three columns of their own.
    bool dataColumn_ = (nextColumnOfItsOwn(), true);
    // The frame of one fishery's data, with its ID box and scroll bar.
    plat::Frame Frame1{*this, "Frame1", "Load Fishery Data"};
    plat::TextBox Fishery_ID{Frame1, "Fishery_ID", "Fishery ID"};
    // The fishery scroll bar: steps through the fisheries by ID.
    plat::HScrollBar HScroll3{Frame1, "HScroll3"};
    plat::CommandButton CmdTAC{Frame1, "CmdTAC", "TAC"};
    plat::CommandButton F_F{Frame1, "F_F", "Annual F"};
    plat::CommandButton L_minsize{Frame1, "L_minsize", "Minimum sizes"};
    plat::CommandButton L_maxsize{Frame1, "L_maxsize", "Maximum sizes"};
    plat::CommandButton F_relmort{Frame1, "F_relmort", "Discard mortality"};
    // The frame of the total F randomization scalar (one box, for every fishery).
    plat::Frame Frame7{Frame1, "Frame7", "Total F Randomization Scalar"};
    // The total F randomization scalar's box.
    plat::TextBox Txt_fcv{Frame7, "Txt_fcv", ""};

    bool seasonColumn_ = (Frame1.nextColumnOfItsOwn(), true);
    // The seasonal proportions' frame: the shares of a year's F by season.
    plat::Frame Frame6{Frame1, "Frame6", "Seasonal Proportions"};
    // The seasonal proportions' year box.
    plat::TextBox yr2{Frame6, "yr2", "Year"};
    // The seasonal proportions' year scroll bar.
    plat::HScrollBar HScroll1{Frame6, "HScroll1"};
    plat::CommandButton F_sznfract{Frame6, "F_sznfract", "Seasonal Fractions"};
    plat::CheckBox sznyrCheck{Frame6, "sznyrCheck", "Years equal"};
    // The seasonal proportions' Initialize with Mean button: every season its equal share.
    plat::OptionButton Option2{Frame6, "Option2", " Initialize with Mean"};
    // The seasonal proportions' Copy frame (to the previous or the last year).
    plat::Frame Frame8{Frame6, "Frame8", "Copy"};
    plat::OptionButton cpysznpyr{Frame8, "cpysznpyr", "Prev Year"};
    plat::OptionButton cpyszntlyr{Frame8, "cpyszntlyr", "To last Year"};

    bool selectivityColumn_ = (Frame1.nextColumnOfItsOwn(), true);
    // The selectivities' frame: by age or by length, by sex and year.
    plat::Frame Frame2{Frame1, "Frame2", "Selectivities"};
    plat::TextBox F_yr{Frame2, "F_yr", "Year"};
    // The selectivities' year scroll bar.
    plat::HScrollBar HScroll2{Frame2, "HScroll2"};
    plat::TextBox F_seltyp{Frame2, "F_seltyp", "Type", "A"};
    plat::Label minvul_label{Frame2, "minvul_label", "Min Vul Size"};
    plat::TextBox F_Minvulsiz{Frame2, "F_Minvulsiz", "", "0"};
    // The length bins' frame: bin count, smallest and largest length.
    plat::Frame Frame4{Frame2, "Frame4", " Nbins        Min         Max"};
    // The bin count and the two lengths stand side by side under the frame's caption.
    plat::TextBox F_nlng{Frame4, "F_nlng", ""};
    bool minColumn_ = (Frame4.nextColumn(), true);
    plat::TextBox F_minlng{Frame4, "F_minlng", ""};
    bool maxColumn_ = (Frame4.nextColumn(), true);
    plat::TextBox F_mxlng{Frame4, "F_mxlng", ""};
    plat::CommandButton L_sex1{Frame2, "L_sex1", "Male"};
    plat::CommandButton L_sex2{Frame2, "L_sex2", "Female"};
    plat::CheckBox s_sexeq{Frame2, "s_sexeq", "Sexes equal"};
    plat::CheckBox s_yrseq{Frame2, "s_yrseq", "Years equal"};
    // The selectivities' Initialize with 1.0 button: the shown selectivity all ones.
    plat::OptionButton Option1{Frame2, "Option1", " Initialize with 1.0"};
    // The selectivities' Copy frame (to the other sex, the previous or the last year).
    plat::Frame Frame3{Frame2, "Frame3", "Copy"};
    plat::OptionButton Matchother{Frame3, "Matchother", "To Other Sex"};
    plat::OptionButton cpyprv{Frame3, "cpyprv", "Prev Year"};
    plat::OptionButton cpyforward{Frame3, "cpyforward", "To last Year"};

    // Window-level state.
    int16_t yearidx = 0; // year index of the last selectivity, copy or season edit
    int16_t cursex = 0;  // sex of the last sex button; 0 before the first
    bool sexeqflag = false;
    bool yrseqflag = false;
    bool sznyrflag = false;
    bool rangeok = false;
    float seriesmean = 0;
    std::string prompttitle;

    void Form_Load() override;

    // Rewrites the controls from the data model, applies the defaults and clamps the counts.
    void update();
    // Sets npts to the year count and rangeok to whether a series by year can be edited on it.
    void testrange();

    // Reads the fishery definition file open as file number 2 and closes it. On success the data
    // model takes the file's values, fishery 1 and the first year become current and the window
    // shows them; otherwise a message says what was wrong and nothing changes. True on success.
    bool loadfishdata();
    // Writes the rest of one year block of the management export (from the fishery count on)
    // with the data of year index d to the open file number 6.
    void f_putf(int d);

    // Series edits on the graph window (fisheryseries.cpp).
    void loadseries();
    void loadseason();
    // Edits the selectivity of fishery_id, sex isex, year yearidx. False when no graph could be
    // drawn (no selectivity type, no usable axis): then nothing was stored.
    bool loadsel();

    // The boxes' and check boxes' handlers, loading, saving and the export (definefishery.cpp).
    void F_FYR_Change();
    void F_LYR_Change();
    void F_ngear_Change();
    void F_Nages_Change();
    void F_nsexes_Change();
    void F_nszns_Change();
    void Fishery_ID_Change();
    void HScroll3_Change();
    void F_yr_Change();
    void yr2_Change();
    void HScroll1_Change();
    void HScroll2_Change();
    void F_nlng_Change();
    void F_mxlng_Change();
    void F_Minvulsiz_Change();
    void F_minlng_Change();
    void F_seltyp_Change();
    void F_Fscaler_Change();
    void Txt_fcv_Change();
    void s_sexeq_Click();
    void s_yrseq_Click();
    void sznyrCheck_Click();

    void loadfishery_Click();
    void savefisherydefinition_Click();
    void MakeMgt_Click();

    // The series buttons', the copy and initialize buttons' and the F scaler's handlers
    // (fisheryseries.cpp).
    void CmdTAC_Click();
    void F_F_Click();
    void F_relmort_Click();
    void L_minsize_Click();
    void L_maxsize_Click();
    void F_sznfract_Click();
    void L_sex1_Click();
    void L_sex2_Click();
    void cpyforward_Click();
    void cpyprv_Click();
    void Matchother_Click();
    void Option1_Click();
    void Option2_Click();
    void cpyszntlyr_Click();
    void cpysznpyr_Click();
    void Option4_Click();

  private:
    enum class Series { Tac, AnnualF, Discard, MinSize, MaxSize };
    void editSeries(Series which);
    void editSelectivity(int sex);
    // The year index of the current year, or nothing (after a message) when it lies outside
    // the range of years or the range itself is out of limits.
    std::optional<int> currentYearIndex();
    // The ages or bins of a fishery's selectivity: first and last index, none for no type.
    bool selRange(int fishery, int& first, int& last) const;
    // Whether the fishery shown has a selectivity type ("A" or "L").
    bool selectivityTyped() const;

    // True while update re-ranges the scroll bars: a position that the new range moves is not
    // a choice of the user and changes no year or fishery.
    bool rangingBars_ = false;
    // The data of a management export in progress and its blocks as they are formatted, for
    // f_putf.
    std::unique_ptr<MgtBlockBodies> exporting_;
};

} // namespace cw
