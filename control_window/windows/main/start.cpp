#include "control_window/windows/main/start.h"

#include "control_window/model/maincode.h"
#include "control_window/windows/editors/definebio.h"
#include "control_window/windows/editors/definefishery.h"
#include "control_window/windows/editors/defineindex.h"
#include "control_window/windows/editors/definerun.h"
#include "control_window/windows/editors/definetez.h"
#include "control_window/windows/editors/definewox.h"
#include "control_window/windows/editors/defineyoy.h"
#include "control_window/windows/main/frmabout.h"
#include "platform/prompts.h"
#include "platform/system.h"

namespace cw {

std::function<void(Editor)> editorShownHook;

Editor editorForName(const std::string& startfile) {
    if (startfile.size() < 3) return Editor::None;
    const std::string last = startfile.substr(startfile.size() - 3);
    static const std::pair<const char*, Editor> kByExtension[] = {
        {"run", Editor::Run},   {"bio", Editor::Bio}, {"fst", Editor::Fishery},
        {"ndf", Editor::Index}, {"yoy", Editor::Yoy}, {"tez", Editor::Tez},
        {"wox", Editor::Wox},
    };
    for (const auto& [ext, editor] : kByExtension) {
        if (last == ext) return editor;
    }
    return Editor::None;
}

// One place per editor: each shows its editor modeless (plat::instance<X>().show()) once the
// editor is built; until then the entry does nothing.
namespace {
void showRunEditor() {
    plat::instance<DefineRun>().show();
}
void showBioEditor() {
    plat::instance<DefineBio>().show();
}
void showFisheryEditor() {
    plat::instance<DefineFishery>().show();
}
void showIndexEditorAndWait() {
    showAndWaitThenUnload<Defineindex>();
}
void showIndexEditor() {
    plat::instance<Defineindex>().show();
}
void showYoyEditor() {
    plat::instance<DefineYOY>().show();
}
void showTezEditor() {
    plat::instance<DefineTEZ>().show();
}
void showWoxEditor() {
    plat::instance<DefineWOX>().show();
}
} // namespace

void showEditor(Editor editor) {
    if (editorShownHook) {
        editorShownHook(editor);
        return;
    }
    switch (editor) {
    case Editor::Run:
        showRunEditor();
        break;
    case Editor::Bio:
        showBioEditor();
        break;
    case Editor::Fishery:
        showFisheryEditor();
        break;
    case Editor::Index:
        showIndexEditor();
        break;
    case Editor::Yoy:
        showYoyEditor();
        break;
    case Editor::Tez:
        showTezEditor();
        break;
    case Editor::Wox:
        showWoxEditor();
        break;
    case Editor::None:
        break;
    }
}

start::start() : plat::Form("start", "Vesk Control Window") {
    exitprog.onClick = [this] { exitprog_Click(); };
    fishery.onClick = [this] { fishery_Click(); };
    indxmenu.onClick = [this] { indxmenu_Click(); };
    biodatmenu.onClick = [this] { biodatmenu_Click(); };
    yoymu.onClick = [this] { yoymu_Click(); };
    runmu.onClick = [this] { runmu_Click(); };
    TEZ.onClick = [this] { TEZ_Click(); };
    WOX.onClick = [this] { WOX_Click(); };
    Documentation.onClick = [this] { Documentation_Click(); };
    About.onClick = [this] { About_Click(); };
}

namespace {
// Wherever the main window is part of the program, the file dialogs use its dialog control,
// loading the window first when it is not loaded (also after the user closed it).
const bool dialogControlHandedIn = (setDialogControl([]() -> CommonDialog* {
                                        start& main = plat::instance<start>();
                                        return main.isLoaded() ? &main.CommonDialog1 : nullptr;
                                    }),
                                    true);
} // namespace

void unloadEveryWindow() {
    const std::vector<plat::Form*> loaded = plat::loadedForms();
    for (auto it = loaded.rbegin(); it != loaded.rend(); ++it) {
        // A window's unload handler may unload another one; skip what is gone already.
        if ((*it)->isLoaded()) (*it)->unload();
    }
}

int Main() {
    plat::resetEndRequest();
    plat::setApplicationTitle("Vesk Control Window");
    mc.installdir = engineFolder(plat::environmentVariable("tarvesk"));
    // Loading the main window hands a command-line file to its editor and, in that case, runs the
    // whole session and asks for the end.
    start& main = plat::instance<start>();
    if (!plat::endRequested()) {
        if (main.isLoaded()) main.show();
        waitWhileAnyShown();
    }
    unloadEveryWindow();
    return 0;
}

void start::Form_Load() {
    mc.startfile = plat::commandLineFile(plat::commandLine());
    mc.startname = plat::commandLineName(plat::commandLine());
    if (mc.startfile.empty()) {
        show();
        return;
    }
    showEditor(editorForName(mc.startfile));
    hide();
    waitWhileAnyShown();
    // The user has closed the editor and all it opened: unload everything and end at once.
    if (isLoaded()) show();
    unloadEveryWindow();
    plat::requestEnd();
}

void start::exitprog_Click() {
    unloadEveryWindow();
}
void start::fishery_Click() {
    showFisheryEditor();
}
void start::indxmenu_Click() {
    showIndexEditorAndWait();
}
void start::biodatmenu_Click() {
    showBioEditor();
}
void start::yoymu_Click() {
    showYoyEditor();
}
void start::runmu_Click() {
    showRunEditor();
}
void start::TEZ_Click() {
    showTezEditor();
}
void start::WOX_Click() {
    showWoxEditor();
}

void start::Documentation_Click() {
    plat::msgBox("See file Veskguide.pdf");
}

void start::About_Click() {
    plat::instance<frmAbout>().show();
}

} // namespace cw
