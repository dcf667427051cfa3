#pragma once
// What the control window's windows ask of the person and of the system outside the data model:
// the common-dialog control and the two file dialogs that open a definition file under a file
// number, the waits on shown windows, and the registry look-up and system-information tool of the
// About box. The main window, which owns the dialog control, hands it in through
// setDialogControl.
#include <cstdint>
#include <functional>
#include <string>

#include "control_window/model/maincode.h"
#include "platform/form.h"
#include "platform/prompts.h"

namespace cw {

// The common-dialog control: the settings of the next file dialog and the name chosen.
struct CommonDialog {
    std::string DialogTitle;
    std::string Filter;
    std::string InitDir;
    std::string FileName;
    bool CancelError = false; // cancelling returns normally with an empty FileName
    void ShowOpen();
    void ShowSave();

  private:
    void show(plat::FileDialogKind kind);
};

// Where the file dialogs take their dialog control from: the main window hands in a function
// that loads it when needed and gives its control, or null when the program is ending. Without
// one the dialogs use a control of their own.
void setDialogControl(std::function<CommonDialog*()> control);

// The two file dialogs. On return name holds the chosen path and the file is open under
// filenumber, or name is empty (cancelled, or the file could not be opened; a message said so).
void openinput(std::string& name, const std::string& title, const std::string& filter,
               int filenumber);
void openoutput(std::string& name, const std::string& title, const std::string& filter,
                int filenumber);

// Reads a registry value as text (text values as stored, 32-bit values as decimal digits).
bool GetKeyValue(uintptr_t KeyRoot, const std::string& KeyName, const std::string& SubKeyRef,
                 std::string& KeyVal);
// Starts the system-information tool, or says that it is unavailable.
void StartSysInfo();

// Waits, letting window events run, while window F is loaded and shown; stores the count of
// shown windows in nforms as every wait does.
template <class F> void waitWhileShown() {
    while (plat::isLoaded<F>() && plat::instance<F>().visible())
        mc.nforms = int16_t(plat::doEvents());
}
// Waits while any window is shown.
void waitWhileAnyShown();

} // namespace cw
