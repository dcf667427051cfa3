#pragma once
// The About box: title, version, rights notice, credit and disclaimer, and a button that starts
// the system-information tool.
#include "platform/form.h"

namespace cw {

inline constexpr int kVersionMajor = 3;
inline constexpr int kVersionMinor = 0;
inline constexpr int kVersionRevision = 0;

class frmAbout : public plat::Form {
  public:
    frmAbout();

    plat::Label lblTitle{*this, "lblTitle", ""};
    plat::Label lblVersion{*this, "lblVersion", ""};
    // The rule under the title and version.
    plat::Label Line1{*this, "Line1", ""};
    plat::Label lblDescription{*this, "lblDescription", ""};
    plat::Label LblAuthor{*this, "LblAuthor", ""};
    // The rule above the disclaimer (a second line of the same name).
    plat::Label Line1_1{*this, "Line1", ""};
    plat::Label lblDisclaimer{*this, "lblDisclaimer",
                              "The source code of this program is available from its authors "
                              "on request."};
    plat::CommandButton cmdOK{*this, "cmdOK", "OK"};
    plat::CommandButton cmdSysInfo{*this, "cmdSysInfo", "&System Info..."};

    void Form_Load() override;
    void cmdOK_Click();
    void cmdSysInfo_Click();
};

} // namespace cw
