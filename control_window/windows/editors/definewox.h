#pragma once
// The yield-per-recruit definition editor: the biology and management files of one evaluation,
// its two outputs, the range and step of fishing mortality and the years, loading and saving the
// definition, and the button that starts the yield-per-recruit engine on it.
#include <cstdint>

#include "control_window/files/woxfile.h"
#include "control_window/model/maincode.h"
#include "platform/form.h"

namespace cw {

class DefineWOX : public plat::Form {
  public:
    DefineWOX();

    plat::TextBox I_bio{*this, "I_bio", "Biological data input file"};
    plat::TextBox I_mgt{*this, "I_mgt", "Management file"};
    plat::TextBox i_fmaxfil{*this, "i_fmaxfil", "Output file for F0.1 && Fmax"};
    plat::TextBox i_woxout{*this, "i_woxout", "Output file for plots"};
    plat::TextBox i_fmin{*this, "i_fmin", "Min F to evaluate", "0"};
    plat::TextBox i_fmax{*this, "i_fmax", "Max F to evaluate", "1"};
    plat::TextBox I_Finc{*this, "I_Finc", "Fincrement", "0.01"};
    plat::TextBox I_nyr{*this, "I_nyr", "Number of years to estimate", "1"};
    // The Auto increment button: fills the output years onward from the one shown.
    plat::OptionButton Option1{*this, "Option1", "Auto increment"};
    plat::TextBox i_yr{*this, "i_yr", "Output year number"};
    bool valyrBeside_ = (sameRow(), true);
    plat::TextBox I_valyr{*this, "I_valyr", ""};
    // The output year scroll bar: steps through the output year numbers.
    plat::HScrollBar HScroll1{*this, "HScroll1"};
    // The buttons stand in a column of their own at the right.
    bool buttonColumn_ = (nextColumn(), true);
    plat::CommandButton readwox{*this, "readwox", "Load WOX"};
    plat::CommandButton writewox{*this, "writewox", "Save WOX"};
    plat::CommandButton run{*this, "run", "Execute"};

    // The window's values, the current year index and whether they are those of the current
    // file.
    WoxData data;
    int16_t iyr = 0;
    bool clean = false;

    void Form_Load() override;

    // Rewrites the controls from the values (number boxes only when their number differs),
    // clamps the year count and index.
    void update();
    // Reads the definition open as file number 1 and closes it. On success the window takes the
    // file's values and is clean; otherwise a message says what was wrong and nothing changes.
    bool readwoxdata();
    // Asks for a file and saves the values in it; the window is clean afterwards only when the
    // file was written.
    void writewox_click();

    void I_bio_Change();
    void I_mgt_Change();
    void i_fmaxfil_Change();
    void i_woxout_Change();
    void i_fmin_Change();
    void i_fmax_Change();
    void I_Finc_Change();
    void I_nyr_Change();
    void I_valyr_Change();
    void i_yr_Change();
    void HScroll1_Change();
    void Option1_Click();
    void readwox_Click();
    void run_Click();

  private:
    bool refreshing_ = false; // update is moving the scroll bar
};

} // namespace cw
