#pragma once
// The index editor: up to 10 abundance indices over the years that the fishery editor shares,
// each with its fishery association, type, output file and errors, its catchability by year and,
// for an index that samples the population, its selectivity and season fractions by year; and
// loading and saving the index definition file.
//
// The class stands in two sources: defineindex.cpp holds the window, its boxes and check boxes,
// and loading and saving; indexseries.cpp holds the series edits on the graph window (Annual Q,
// Seasonal Fractions, the selectivity's Male and Female) and the copy and initialize buttons.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "control_window/model/maincode.h"
#include "platform/form.h"

namespace cw {

class Defineindex : public plat::Form {
  public:
    Defineindex();

    plat::TextBox I_FYR{*this, "I_FYR", "First and last year"};
    bool lyrBeside_ = (sameRow(), true);
    plat::TextBox I_LYR{*this, "I_LYR", ""};
    plat::TextBox I_nindices{*this, "I_nindices", "Number of Indices"};
    plat::TextBox I_Nages{*this, "I_Nages", "Number of Ages"};
    plat::TextBox I_nsexes{*this, "I_nsexes", "Number of sexes"};
    plat::TextBox I_nszns{*this, "I_nszns", "Number of seasons"};

    // The frame of the Load and Save Index Definition buttons.
    plat::Frame Frame1{*this, "Frame1", "Load Index Data"};
    plat::CommandButton saveindex{Frame1, "saveindex", "Save Index Definition"};
    plat::CommandButton loadindex{Frame1, "loadindex", "Load Index Definition"};

    // The index characteristics' frame, with the index ID box and scroll bar.
    plat::Frame Frame7{*this, "Frame7", "Index Characteristics"};
    plat::TextBox Index_ID{Frame7, "Index_ID", "ID"};
    // The index scroll bar: steps through the indices by ID.
    plat::HScrollBar HScroll3{Frame7, "HScroll3"};
    plat::TextBox I_assoc{Frame7, "I_assoc", "Fishery association 0 = Population"};
    plat::TextBox I_type{Frame7, "I_type", "Type"};
    plat::CommandButton I_Q{Frame7, "I_Q", "Annual Q"};

    // The index samples' frame: output file, errors and sample sizes.
    plat::Frame Frame5{*this, "Frame5", "Index samples"};
    plat::TextBox I_outfile{Frame5, "I_outfile", "Output file for index", "sample.ndf"};
    plat::Label errorHeading{Frame5, "errorHeading", "Error"};
    plat::TextBox I_err{Frame5, "I_err", "Index", "0"};
    plat::TextBox I_Ferr{Frame5, "I_Ferr", "Effort", "0"};
    plat::Label sampleHeading{Frame5, "sampleHeading", "Sample size"};
    plat::TextBox L_sampsize{Frame5, "L_sampsize", "Lengths", "0"};
    plat::TextBox A_sampsize{Frame5, "A_sampsize", "Ages", "0"};
    plat::Label sampleErrorHeading{Frame5, "sampleErrorHeading", "Error"};
    plat::TextBox L_err{Frame5, "L_err", "", "0"};
    plat::TextBox A_err{Frame5, "A_err", "", "0"};

    // The selectivities and seasonal proportions stand in a second column, so that the window
    // fits on a screen.
    bool seriesColumn_ = (nextColumnOfItsOwn(), true);
    // The selectivities' frame: by age or by length, by sex and year.
    plat::Frame Frame2{*this, "Frame2", "Selectivities"};
    // The selectivities' year scroll bar.
    plat::HScrollBar HScroll2{Frame2, "HScroll2"};
    plat::TextBox I_yr{Frame2, "I_yr", "Year"};
    plat::TextBox I_seltyp{Frame2, "I_seltyp", "Type", "A"};
    plat::Label minvul_label{Frame2, "minvul_label", "Min Vul Size"};
    plat::TextBox I_Minvulsiz{Frame2, "I_Minvulsiz", "", "0"};
    // The length bins' frame: bin count, smallest and largest length.
    plat::Frame Frame4{Frame2, "Frame4", " Nbins        Min         Max"};
    // The bin count and the two lengths stand side by side under the frame's caption.
    plat::TextBox II_nlngs{Frame4, "II_nlngs", ""};
    bool minColumn_ = (Frame4.nextColumn(), true);
    plat::TextBox I_minlng{Frame4, "I_minlng", ""};
    bool maxColumn_ = (Frame4.nextColumn(), true);
    plat::TextBox I_mxlng{Frame4, "I_mxlng", ""};
    plat::CommandButton L_sex1{Frame2, "L_sex1", "Male"};
    plat::CommandButton L_sex2{Frame2, "L_sex2", "Female"};
    plat::CheckBox s_sexeq{Frame2, "s_sexeq", "Sexes equal"};
    plat::CheckBox s_yrseq{Frame2, "s_yrseq", "Years equal"};
    // The selectivities' Initialize with 1.0 button: the shown selectivity all ones.
    plat::OptionButton Option1{Frame2, "Option1", " Initialize with 1.0"};
    // The selectivities' Copy frame (to the other sex, the previous or the last year).
    plat::Frame Frame3{Frame2, "Frame3", "Copy"};
    plat::OptionButton cpyforward{Frame3, "cpyforward", "To last Year"};
    plat::OptionButton cpyprv{Frame3, "cpyprv", "Prev Year"};
    plat::OptionButton Matchother{Frame3, "Matchother", "To Other Sex"};

    // The seasonal proportions' frame: when in the year the index is sampled.
    plat::Frame Frame6{*this, "Frame6", "Seasonal Proportions"};
    // The seasonal proportions' year scroll bar.
    plat::HScrollBar HScroll1{Frame6, "HScroll1"};
    // The seasonal proportions' year box.
    plat::TextBox yr2{Frame6, "yr2", "Year"};
    plat::CommandButton II_szn{Frame6, "II_szn", "Seasonal Fractions"};
    plat::CheckBox sznyrCheck{Frame6, "sznyrCheck", "Years equal"};
    // The seasonal proportions' Initialize with Mean button: every season its equal share.
    plat::OptionButton Option2{Frame6, "Option2", " Initialize with Mean"};
    // The seasonal proportions' Copy frame (to the previous or the last year).
    plat::Frame Frame8{Frame6, "Frame8", "Copy"};
    plat::OptionButton cpyszntlyr{Frame8, "cpyszntlyr", "To last Year"};
    plat::OptionButton cpysznpyr{Frame8, "cpysznpyr", "Prev Year"};

    // Window-level state; a new window starts with 0, false and empty.
    int16_t nindices = 0;
    int16_t curindex = 0;
    int16_t yearidx = 0;
    int16_t cursex = 0;
    bool sexeqflag = false;
    bool yrseqflag = false;
    bool sznyrflag = false;
    bool rangeok = false;
    float qmean = 0;
    std::string prompttitle;

    void Form_Load() override;
    void Form_Unload() override;

    // Rewrites the controls from the variables, applies the defaults and clamps the counts.
    void updateindex();
    // Stores the year count in npts; rangeok tells whether the by-year edit can use it.
    void testrange();
    // Reads the index file open as file number 1 and closes it. On success the data model and
    // the window take the file's values; otherwise a message says what was wrong and nothing
    // changes. True on success.
    bool loadindexdata();

    // Series edits (indexseries.cpp).
    void loadq();
    void get_meanq();
    void loadseason();
    // Edits the selectivity of sex isex in year yearidx; true when a curve was edited and
    // stored, with that curve left in `curve` (points 1..n).
    bool loadsel(std::vector<float>& curve);

    // The boxes' and check boxes' handlers, and loading and saving (defineindex.cpp).
    void I_FYR_Change();
    void I_LYR_Change();
    void I_nindices_Change();
    void I_Nages_Change();
    void I_nsexes_Change();
    void I_nszns_Change();
    void Index_ID_Change();
    void HScroll3_Change();
    void I_yr_Change();
    void yr2_Change();
    void HScroll1_Change();
    void HScroll2_Change();
    void I_assoc_Change();
    void I_type_Change();
    void I_outfile_Change();
    void I_err_Change();
    void I_Ferr_Change();
    void L_sampsize_Change();
    void L_err_Change();
    void A_sampsize_Change();
    void A_err_Change();
    void II_nlngs_Change();
    void I_minlng_Change();
    void I_mxlng_Change();
    void I_Minvulsiz_Change();
    void I_seltyp_Change();
    void s_sexeq_Click();
    void s_yrseq_Click();
    void sznyrCheck_Click();

    void saveindex_Click();
    void loadindex_Click();

    // The series buttons' and the copy and initialize buttons' handlers (indexseries.cpp).
    void I_Q_Click();
    void II_szn_Click();
    void L_sex1_Click();
    void L_sex2_Click();
    void cpyforward_Click();
    void cpyprv_Click();
    void Matchother_Click();
    void Option1_Click();
    void Option2_Click();
    void cpyszntlyr_Click();
    void cpysznpyr_Click();

  private:
    // The index shown, as an element number the arrays can take.
    int cur() const;
    void editSelectivity(int sex);
    void yearBoxChanged(plat::TextBox& box);
    void countBoxChanged(plat::TextBox& box, int16_t& count);
    void singleBoxChanged(plat::TextBox& box, Bounded<float, 1, kMaxIndices> Maincode::*field,
                          bool refresh = true);
    // Year index of the current year, when it lies in a year range the arrays can hold.
    std::optional<int> currentYearIndex() const;
    // True while the refresh itself sets a scroll bar's range or position: the bar's change
    // handler then stores nothing.
    bool settingBars_ = false;
    // Indices whose selectivity type is a file's (read or written): the box shows it as it is,
    // an untyped one as an empty box. An index never set takes the letter the box holds.
    std::array<bool, kMaxIndices + 1> typeFromFile_{};
    void typesAreTheFiles(int count);
};

} // namespace cw
