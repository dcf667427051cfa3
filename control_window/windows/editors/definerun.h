#pragma once
// The run definition editor: the input and output files, sampling settings, output years and
// replications of one simulation run; loading and saving the run definition file, and starting
// the simulation engine on it.
#include "control_window/files/runfile.h"
#include "platform/form.h"

namespace cw {

// Starts a new column group of controls where it stands among a window's members.
struct ColumnBreak {
    explicit ColumnBreak(plat::Container& c) { c.nextColumn(); }
};

class DefineRun : public plat::Form {
  public:
    DefineRun();

    plat::TextBox I_bio{*this, "I_bio", "Biological data input file"};
    plat::TextBox I_YOY{*this, "I_YOY", "Recruitment data file"};
    plat::TextBox I_refpoints{*this, "I_refpoints", "Prior known reference points", "nul"};
    plat::TextBox I_incond{*this, "I_incond", "Initial conditions input file", "nul"};
    plat::TextBox I_mgt{*this, "I_mgt", "Management file"};
    plat::TextBox i_ndx{*this, "i_ndx", "Index definition file", "nul"};
    plat::TextBox I_lngs{*this, "I_lngs", "Lengths per fishery per season", "0"};
    plat::TextBox i_lme{*this, "i_lme", "Length measurement error", "0"};
    plat::TextBox i_L_a{*this, "i_L_a", "Length && age per fishery-season", "0"};
    plat::TextBox I_ame{*this, "I_ame", "Age measurement error", "0"};
    plat::TextBox I_fyrout{*this, "I_fyrout", "First year to output"};
    plat::TextBox I_lyrout{*this, "I_lyrout", "Last year to output"};
    plat::TextBox i_lnds{*this, "i_lnds", "Landings output file", "nul"};
    plat::TextBox i_ctch{*this, "i_ctch", "Catch statistics output file", "nul"};
    plat::TextBox i_stock{*this, "i_stock", "Stock statistics output file", "nul"};
    plat::TextBox i_ctch_lng{*this, "i_ctch_lng", "Catch length output file", "nul"};
    plat::TextBox I_incondout{*this, "I_incondout", "File to put initial condititions", "nul"};
    plat::TextBox I_logf{*this, "I_logf", "Log file for output", "nul"};
    plat::TextBox I_Reps{*this, "I_Reps", "Number of Replications", "1"};

  private:
    ColumnBreak right_{*this};

  public:
    plat::CommandButton readrun{*this, "readrun", "Load run data"};
    plat::CommandButton writerun{*this, "writerun", "Save run data"};
    plat::CommandButton RUN{*this, "RUN", "Execute"};
    plat::Label vurdoNote{*this, "vurdoNote", "'VURDO' for VURDO input file"};

    // The window's values, and whether they are those of the current file.
    RunData run;
    bool clean = false;

    void Form_Load() override;

    // Rewrites the boxes from the values, normalises the optional names and the replications,
    // and marks the window as edited.
    void update();
    // Reads the file open as file number 5 and closes it. On success the window takes its values
    // and is clean; otherwise a message says what was wrong and nothing changes.
    bool readrundata();
    // Asks for a file and saves the values in it; the window is clean afterwards only when the
    // file was written.
    void writerun_click();

    void I_bio_Change();
    void I_yoy_Change();
    void I_refpoints_Change();
    void I_incond_Change();
    void I_mgt_Change();
    void i_ndx_Change();
    void I_lngs_Change();
    void i_lme_Change();
    void i_L_a_Change();
    void I_ame_Change();
    void I_fyrout_Change();
    void I_lyrout_Change();
    void i_lnds_Change();
    void i_ctch_Change();
    void i_stock_Change();
    void i_ctch_lng_Change();
    void I_incondout_Change();
    void I_logf_Change();
    void I_Reps_Change();
    void readrun_Click();
    void run_Click();

  private:
    void textChanged(plat::TextBox& box, std::string& value);
    template <class T> void wholeChanged(plat::TextBox& box, T& value);
    void singleChanged(plat::TextBox& box, float& value);
};

} // namespace cw
