#pragma once
// The equilibrium definition editor: the biology and management files of one maximum-yield
// evaluation, its output tables, title and years, loading and saving the definition, and the two
// buttons that start the equilibrium engine and the production engine on it.
#include <cstdint>

#include "control_window/files/tezfile.h"
#include "control_window/model/maincode.h"
#include "platform/form.h"

namespace cw {

class DefineTEZ : public plat::Form {
  public:
    DefineTEZ();

    plat::TextBox I_bio{*this, "I_bio", "Biological data input file"};
    plat::TextBox I_mgt{*this, "I_mgt", "Management file"};
    plat::TextBox i_TEZ{*this, "i_TEZ", "TEZ Output Table"};
    plat::TextBox i_bnch{*this, "i_bnch", "TEZ Benchmark Table"};
    plat::TextBox i_pmo{*this, "i_pmo", "Equlibrium Production Table (*.pmo)"};
    plat::TextBox I_title{*this, "I_title", "Title for run"};
    plat::TextBox I_nyr{*this, "I_nyr", "Number of years to estimate"};
    // The Auto increment button: fills the output years onward from the one shown.
    plat::OptionButton Option1{*this, "Option1", "Auto increment"};
    plat::TextBox i_yr{*this, "i_yr", "Output year number"};
    // The output year scroll bar: steps through the output year numbers.
    plat::HScrollBar HScroll1{*this, "HScroll1"};
    plat::TextBox I_valyr{*this, "I_valyr", "Year"};
    // The buttons stand in a column of their own at the right.
    bool buttonColumn_ = (nextColumn(), true);
    plat::CommandButton readtez{*this, "readtez", "Load TEZ "};
    plat::CommandButton writetez{*this, "writetez", "Save TEZ"};
    // The Execute frame: the buttons that start the engines.
    plat::Frame Frame1{*this, "Frame1", "Execute"};
    plat::CommandButton dotez{Frame1, "dotez", "TEZ"};
    plat::CommandButton dokuv{Frame1, "dokuv", "Equlibrium Production"};

    // The window's values: what the boxes edit, the current year index and whether they are
    // those of the current file.
    TezData data;
    int16_t iyr = 0;
    bool clean = false;

    void Form_Load() override;

    // Rewrites the controls from the values, clamps the year count and index.
    void update();
    // Reads the definition open as file number 1 and closes it. On success the window takes the
    // file's values and is clean; otherwise a message says what was wrong and nothing changes.
    bool readtezdata();
    // Asks for a file and saves the values in it; the window is clean afterwards only when the
    // file was written.
    void writetez_click();

    void I_bio_Change();
    void I_mgt_Change();
    void i_TEZ_Change();
    void i_bnch_Change();
    void i_pmo_Change();
    void I_title_Change();
    void I_nyr_Change();
    void I_valyr_Change();
    void i_yr_Change();
    void HScroll1_Change();
    void Option1_Click();
    void readtez_Click();
    void dotez_Click();
    void dokuv_Click();

  private:
    bool refreshing_ = false; // update is moving the scroll bar
};

} // namespace cw
