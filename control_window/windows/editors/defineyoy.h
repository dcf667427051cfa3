#pragma once
// The recruitment editor: first and last year, mean recruitment, recruitment and year-class
// growth multipliers by year (edited on the graph window), and loading and saving the
// recruitment data file.
#include <cstdint>

#include "platform/form.h"

namespace cw {

class DefineYOY : public plat::Form {
  public:
    DefineYOY();

    plat::TextBox i_byr{*this, "i_byr", "First and last year"};
    bool lastYearBeside_ = (sameRow(), true);
    plat::TextBox i_eyr{*this, "i_eyr", ""};
    plat::TextBox i_myoy{*this, "i_myoy", "Mean recruitment"};
    plat::CheckBox c_vg{*this, "c_vg", "Enable variable growth"};
    plat::Label setgto1Label{*this, "setgto1Label", "Reset Growth to 1"};
    // The Reset Growth to 1 check box: sets every year's growth factor to 1.
    plat::CheckBox c_setgto1{*this, "c_setgto1", "Check2"};
    plat::CommandButton I_yoy{*this, "I_yoy", "Recruitment"};
    plat::CommandButton I_growth{*this, "I_growth", "Growth"};
    plat::CommandButton saveyoy{*this, "saveyoy", "Save Recruitment File"};
    plat::CommandButton loadyoy{*this, "loadyoy", "Load Recruitment File"};

    // First and last year; they live with the window.
    int16_t byr = 0, eyr = 0;

    void Form_Load() override;
    void Form_Unload() override;

    // Stores the number of years in npts; true when the range can be edited and saved.
    bool testrange();
    // Rewrites the caption, the mean, the growth flag and the years from the variables.
    void refreshyoy();
    // Reads the file open as file number 4 and closes it. On success the window and the data
    // model take the file's values; otherwise a message says what was wrong and nothing changes.
    bool readyoy();

    void i_byr_Change();
    void i_eyr_Change();
    void i_myoy_Change();
    void c_vg_Click();
    void c_setgto1_Click();
    void I_yoy_Click();
    void I_growth_Click();
    void saveyoy_Click();
    void loadyoy_Click();

  private:
    // The two graph edits differ only in their texts and series.
    struct SeriesEdit;
    void editSeries(const SeriesEdit& e);
    void yearBoxChanged(plat::TextBox& box, int16_t& year);
};

} // namespace cw
