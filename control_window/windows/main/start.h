#pragma once
// The main window: the menu from which every editor opens, the command-line hand-off and the
// common-dialog control that the shared file dialogs use.
#include <functional>
#include <string>

#include "control_window/model/maincode.h"
#include "control_window/windows/dialogs.h"
#include "platform/form.h"

namespace cw {

// The editors that a command-line file can open, chosen by the name's last three letters.
enum class Editor { None, Run, Bio, Fishery, Index, Yoy, Tez, Wox };
Editor editorForName(const std::string& startfile);

// Opens an editor modeless; an editor that is not built yet opens nothing.
void showEditor(Editor editor);
// Tests: when set, showEditor calls it in place of opening the editor.
extern std::function<void(Editor)> editorShownHook;

class start : public plat::Form {
  public:
    start();

    plat::MenuItem exitprog{*this, "exitprog", "Exit  "};
    plat::MenuItem fishery{*this, "fishery", "Fishery  "};
    plat::MenuItem indxmenu{*this, "indxmenu", "Index  "};
    plat::MenuItem biodatmenu{*this, "biodatmenu", "Bio data  "};
    plat::MenuItem yoymu{*this, "yoymu", "YOY  "};
    plat::MenuItem runmu{*this, "runmu", "VESK "};
    plat::MenuItem TEZ{*this, "TEZ", "TEZ"};
    plat::MenuItem WOX{*this, "WOX", "WOX"};
    plat::MenuItem help{*this, "help", "Help"};
    plat::MenuItem Documentation{help, "Documentation", "Documentation"};
    plat::MenuItem About{help, "About", "About"};

    // The main window's file dialog, which every editor's Load and Save use.
    CommonDialog CommonDialog1;

    void Form_Load() override;

    void exitprog_Click();
    void fishery_Click();
    void indxmenu_Click();
    void biodatmenu_Click();
    void yoymu_Click();
    void runmu_Click();
    void TEZ_Click();
    void WOX_Click();
    void Documentation_Click();
    void About_Click();
};

// The program's start-up: sets installdir, shows the main window (which takes over a file named on
// the command line) and waits until no window is shown; returns the exit code.
int Main();

// Unloads every loaded window, last loaded first (the main window's Exit).
void unloadEveryWindow();

// The index entry's way: show the window, wait while any window is shown, then unload it.
// The wait starts from the count of shown windows (at least the one just shown) rather than
// from a count that an earlier wait may not have stored yet.
template <class F> void showAndWaitThenUnload() {
    plat::instance<F>().show();
    mc.nforms = int16_t(plat::shownCount());
    while (mc.nforms > 0 && !plat::endRequested())
        mc.nforms = int16_t(plat::doEvents());
    if (plat::isLoaded<F>()) plat::instance<F>().unload();
}

} // namespace cw
