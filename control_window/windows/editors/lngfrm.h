#pragma once
// The length-interval dialog of the fecundity edit by length: the number of intervals, the lower
// and upper sizes (stored as they are typed) and the value at max length that sets the graph's
// scale.
#include <string>

#include "platform/form.h"

namespace cw {

class lngfrm : public plat::Form {
  public:
    lngfrm();

    plat::TextBox Lng_intervals{*this, "Lng_intervals", "Number of length intervals", "50"};
    plat::TextBox Lowest_included_size{*this, "Lowest_included_size", "Lower size", "0"};
    plat::TextBox Maximum_included_size{*this, "Maximum_included_size", "Upper size", "100"};
    plat::TextBox Maxfecundity{*this, "Maxfecundity", "Value at max length", " 1e6"};
    plat::CommandButton OKButton{*this, "OKButton", "OK"};
    plat::CommandButton CancelButton{*this, "CancelButton", "Cancel"};

    void Form_Load() override;
    void Form_Unload() override;

    // Rewrites the three size boxes from the data model.
    void showsizes();

    void Lng_intervals_Change();
    void Lowest_included_size_Change();
    void Maximum_included_size_Change();
    void OKButton_Click();
    void CancelButton_Click();

    // What the dialog's boxes held when it went away, by OK, Cancel or its close box. The close
    // box unloads the dialog; its values live on here so that closing it acts as Cancel.
    struct Answer {
        std::string maxFecundity, lowerSize, upperSize;
    };
    static Answer lastAnswer();
    Answer answer() const;

  private:
    static Answer closed_;
};

} // namespace cw
