#pragma once
// The fecundity sub-window: fecundity by age or by length interval, edited on the graph or, by
// length, computed from the equation fec = a_fec * L ^ b_fec at the lower edge of each interval.
#include "platform/form.h"

namespace cw {

class Fecfrm : public plat::Form {
  public:
    Fecfrm();

    plat::TextBox IFecOpt{*this, "IFecOpt", "Fec option (A or L)"};
    plat::CommandButton LoadFecundity{*this, "LoadFecundity", "Edit Plot"};
    // The length-based fecundity's frame: interval count, first and largest size.
    plat::Frame Frame2{*this, "Frame2", ""};
    plat::TextBox nfeclng{Frame2, "nfeclng", "Number length intervals"};
    plat::TextBox minsiz{Frame2, "minsiz", "Size at First Reproduction"};
    plat::TextBox maxlng{Frame2, "maxlng", "Maximum size allowed"};
    plat::CheckBox use_equation{*this, "use_equation", "Use equation"};
    // The fecundity-length equation's frame: a times L to the power b.
    plat::Frame Frame1{*this, "Frame1", "Fecundity Length Equation"};
    plat::TextBox a_fec{Frame1, "a_fec", ""};
    // The L between the equation's two boxes.
    plat::Label Label10{Frame1, "Label10", "L"};
    plat::TextBox b_fec{Frame1, "b_fec", ""};
    // The equation's Update button: fills the fecundity table from the equation.
    plat::OptionButton Option1{Frame1, "Option1", "Update"};

    void Form_Load() override;

    // Rewrites every box from the data model and shows the frames that the option asks for.
    void update();

    void IFecOpt_Change();
    void nfeclng_Change();
    void minsiz_Change();
    void maxlng_Change();
    void a_fec_Change();
    void b_fec_Change();
    void use_equation_Click();
    void Option1_Click();
    void LoadFecundity_Click();

  private:
    void editByAge();
    void editByLength();
};

} // namespace cw
