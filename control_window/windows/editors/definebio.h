#pragma once
// The biology editor: dimensions, species, seasons, stock-recruitment and natural mortality, the
// doors to the growth and fecundity windows, and loading and saving the biology file.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "control_window/model/maincode.h"
#include "platform/form.h"

namespace cw {

// Small conversions that the biology, growth and fecundity windows share.
namespace bioedit {
// An input-box answer: nothing when it is empty or not a number (treated alike).
std::optional<double> answerNumber(std::string_view text);
// The text an input box proposes for a value ("0.5", "1200").
std::string proposal(double v);
// Stores a number of length intervals typed into a box: a negative count, or one beyond the
// 16-bit range, is refused and the box takes the stored count back; above the table's length
// it is the table's length.
void storeLengthIntervals(plat::TextBox& box);
// Rewrites a number box only when the number in it differs, so that a typed 0.50 stays.
void rewriteIfDifferent(plat::TextBox& box, double value, const std::string& text);
// The caption every biology window takes from the current file, when there is one.
void takeFileCaption(plat::Form& form);
} // namespace bioedit

class DefineBio : public plat::Form {
  public:
    DefineBio();

    plat::TextBox Nspecies{*this, "Nspecies", "Species"};
    plat::TextBox nages{*this, "nages", "Number of ages"};
    plat::TextBox nsexes{*this, "nsexes", "Number of sexes"};
    plat::TextBox nszns{*this, "nszns", "Number of seasons"};
    plat::TextBox Ispszn{*this, "Ispszn", "Spawning season"};
    plat::TextBox IRecruitszn{*this, "IRecruitszn", "Recruit Season"};
    plat::TextBox ISRoption{*this, "ISRoption", "SR Option"};
    plat::TextBox ISRslope{*this, "ISRslope", "SR slope at origin"};
    plat::TextBox ITEZrecruitment{*this, "ITEZrecruitment", "TEZ Recruitment"};
    plat::TextBox IRecruitCV{*this, "IRecruitCV", "Recruitment CV", "0"};
    plat::Frame NMORT{*this, "NMORT", "Natural  Mortality"};
    plat::CommandButton M_sex_1{NMORT, "M_sex_1", "Male"};
    plat::CommandButton M_sex_2{NMORT, "M_sex_2", "Female"};
    plat::CommandButton LGrow{*this, "LGrow", "Growth"};
    plat::CommandButton LoadFecundity{*this, "LoadFecundity", "Fecundity"};
    plat::CommandButton Loadbio{*this, "Loadbio", "Load File"};
    plat::CommandButton SaveBio{*this, "SaveBio", "Save File"};

    void Form_Load() override;

    // Rewrites the controls from the data model and applies the defaults.
    void update();
    // Reads the biology file open as file number 3 and closes it. On success the data model takes
    // the file's values and every biology window shows them; otherwise a message says what was
    // wrong and nothing changes. True on success.
    bool loadbiodat();
    // Edits the natural mortality of sex isex: a mean for every age, or on the graph.
    void loadmort();

    void Nspecies_Change();
    void nages_Change();
    void nsexes_Change();
    void nszns_Change();
    void Ispszn_Change();
    void IRecruitszn_Change();
    void ISRoption_Change();
    void ISRslope_Change();
    void ITEZrecruitment_Change();
    void IRecruitCV_Change();
    void M_sex_1_Click();
    void M_sex_2_Click();
    void LGrow_Click();
    void LoadFecundity_Click();
    void Loadbio_Click();
    void SaveBio_Click();
};

} // namespace cw
