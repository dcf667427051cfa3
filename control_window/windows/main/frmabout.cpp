#include "control_window/windows/main/frmabout.h"

#include "control_window/model/maincode.h"
#include "control_window/windows/dialogs.h"
#include "platform/prompts.h"

#include <QFrame>

#include <string>

namespace cw {

frmAbout::frmAbout() : plat::Form("frmAbout", "About") {
    cmdOK.onClick = [this] { cmdOK_Click(); };
    cmdSysInfo.onClick = [this] { cmdSysInfo_Click(); };
    // The two Line1 controls only rule the box off into its parts.
    for (plat::Label* line : {&Line1, &Line1_1}) {
        line->setDecorative();
        if (auto* frame = qobject_cast<QFrame*>(line->widget())) {
            frame->setFrameShape(QFrame::HLine);
            frame->setFrameShadow(QFrame::Sunken);
        }
    }
}

void frmAbout::Form_Load() {
    const std::string& title = plat::applicationTitle();
    setCaption("About " + title);
    lblVersion.setCaption("Version " + std::to_string(kVersionMajor) + "." +
                          std::to_string(kVersionMinor) + "." + std::to_string(kVersionRevision));
    lblTitle.setCaption(title);
    lblDescription.setCaption("Copyright (C) the Vesk developers. All rights reserved.");
    LblAuthor.setCaption(std::string("The Vesk developers") + '\r' +
                         "Questions and reports: see the README" + '\r' + "December 2026");
}

void frmAbout::cmdOK_Click() {
    unload();
}

void frmAbout::cmdSysInfo_Click() {
    StartSysInfo();
}

} // namespace cw
