#pragma once
// The growth sub-window: von Bertalanffy parameters and the mean lengths they give, mean lengths
// at age, first-year lengths and seasonal growth fractions on the graph, length-weight
// coefficients, the CV of length at age and the number of growth morphs.
#include "platform/form.h"

namespace cw {

class Growthfrm : public plat::Form {
  public:
    Growthfrm();

    plat::Frame VB_equations{*this, "VB_equations", "Von Bertalanffy Equations"};
    // The caption of the male row of von Bertalanffy parameters.
    plat::Label Label5{VB_equations, "Label5", "Male"};
    plat::TextBox L_sex1{VB_equations, "L_sex1", "Loo"};
    plat::TextBox K_sex1{VB_equations, "K_sex1", "K"};
    plat::TextBox t0_sex1{VB_equations, "t0_sex1", "t0"};
    // The caption of the female row of von Bertalanffy parameters.
    plat::Label Label4{VB_equations, "Label4", "Female"};
    plat::TextBox L_sex2{VB_equations, "L_sex2", "Loo"};
    plat::TextBox K_sex2{VB_equations, "K_sex2", "K"};
    plat::TextBox t0_sex2{VB_equations, "t0_sex2", "t0"};
    // The caption of the two Update Lengths buttons.
    plat::Label Label12{VB_equations, "Label12", "Update Lengths"};
    // The male Update Lengths button: mean lengths at age from the male equation.
    plat::OptionButton Option1{VB_equations, "Option1", "Option1"};
    // The female Update Lengths button: mean lengths at age from the female equation.
    plat::OptionButton Option2{VB_equations, "Option2", ""};
    plat::CheckBox use_VB{*this, "use_VB", "Use Von Bertalanffy"};

    plat::Frame LW_equations{*this, "LW_equations", "Length-Weight Equations"};
    // The caption of the male row of length-weight parameters.
    plat::Label Label6{LW_equations, "Label6", "Male"};
    plat::TextBox a_sex1{LW_equations, "a_sex1", "a"};
    plat::TextBox b_sex1{LW_equations, "b_sex1", "b"};
    plat::TextBox CV_sex1{LW_equations, "CV_sex1", "CV"};
    // The caption of the female row of length-weight parameters.
    plat::Label Label7{LW_equations, "Label7", "Female"};
    plat::TextBox a_sex2{LW_equations, "a_sex2", "a"};
    plat::TextBox b_sex2{LW_equations, "b_sex2", "b"};
    plat::TextBox CV_sex2{LW_equations, "CV_sex2", "CV"};

    plat::Frame MeanSizes{*this, "MeanSizes", "Mean Sizes at Age"};
    plat::CommandButton G_sex_1{MeanSizes, "G_sex_1", "Male"};
    plat::CommandButton G_sex_2{MeanSizes, "G_sex_2", "Female"};
    plat::Frame FirstYear{*this, "FirstYear", "First Year Growth"};
    plat::CommandButton FYG_1{FirstYear, "FYG_1", "Male"};
    plat::CommandButton fyg_2{FirstYear, "fyg_2", "Female"};
    plat::CommandButton LoadSznGro{*this, "LoadSznGro", "Seasonal Growth Fractions"};
    plat::TextBox nmorphs{*this, "nmorphs", "Number of growth morphs"};

    void Form_Load() override;

    // Applies the defaults of the dimensions and lays the window out for one or two sexes.
    void update();
    // Writes the twelve parameter boxes from the data model. With keepEqual a box whose number
    // already equals its variable keeps the user's text.
    void fillboxes(bool keepEqual);

    void vblengths();
    void loadgrowth();
    void loadfyg();

    void Option1_Click();
    void Option2_Click();
    void G_sex_1_Click();
    void G_sex_2_Click();
    void FYG_1_Click();
    void fyg_2_Click();
    void LoadSznGro_Click();
    void use_VB_Click();

  private:
    // Whether each von Bertalanffy button was selected after the last event: lengths are
    // computed only when a button becomes selected.
    void noteOptions();
    bool option1Was_ = false;
    bool option2Was_ = false;
};

} // namespace cw
