#include "control_window/windows/dialogs.h"

#include "platform/process.h"
#include "platform/prompts.h"
#include "platform/seqfile.h"
#include "platform/system.h"

#include <algorithm>
#include <cstdint>

namespace cw {

void waitWhileAnyShown() {
    mc.nforms = int16_t(plat::doEvents());
    while (mc.nforms > 0 && !plat::endRequested())
        mc.nforms = int16_t(plat::doEvents());
}

namespace {

std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of("\\/");
    if (slash == std::string::npos) return {};
    if (slash == 0) return path.substr(0, 1);
    return path.substr(0, slash);
}

std::function<CommonDialog*()>& dialogControl() {
    static std::function<CommonDialog*()> control;
    return control;
}

// Shows the dialog of the main window's common-dialog control; the chosen path, or empty.
std::string askForFile(bool save, const std::string& title, const std::string& filter) {
    static CommonDialog own;
    if (plat::endRequested()) return {};
    CommonDialog* control = dialogControl() ? dialogControl()() : &own;
    if (!control || plat::endRequested()) return {};
    CommonDialog& dialog = *control;
    dialog.DialogTitle = title;
    dialog.CancelError = false;
    dialog.Filter = filter;
    dialog.InitDir = plat::currentFolder();
    dialog.FileName.clear();
    if (save) {
        dialog.ShowSave();
    } else {
        dialog.ShowOpen();
    }
    return dialog.FileName;
}

void openChosen(std::string& name, const std::string& title, const std::string& filter,
                int filenumber, bool save) {
    const std::string before = name;
    name.clear();
    const std::string chosen = askForFile(save, title, filter);
    if (chosen.empty()) {
        plat::msgBox(save ? "No output data were saved" : "No input data were loaded",
                     plat::MsgButtons::OK, std::string());
        return;
    }
    plat::SeqFile& file = plat::fileNumber(filenumber);
    if (file.isOpen()) file.close();
    const bool opened = save ? file.openOutput(chosen) : file.openInput(chosen);
    if (!opened) {
        std::string text = (save ? "Cannot write the file " : "Cannot read the file ") + chosen;
        if (!file.error().empty()) text += ": " + file.error();
        plat::msgBox(text, plat::MsgButtons::OK, std::string());
        // The window still holds the file it held; only a cancelled dialog lets it go.
        name = before;
        return;
    }
    // Bare names inside a definition, and the hand-over files, resolve beside the chosen file;
    // a file that could not be opened leaves the folder as it was.
    const std::string folder = folderOf(chosen);
    if (!folder.empty()) plat::setCurrentFolder(folder);
    name = chosen;
}

} // namespace

void setDialogControl(std::function<CommonDialog*()> control) {
    dialogControl() = std::move(control);
}

void CommonDialog::show(plat::FileDialogKind kind) {
    plat::FileDialogRequest request;
    request.kind = kind;
    request.title = DialogTitle;
    request.filter = Filter;
    request.initialDir = InitDir;
    request.fileName = FileName;
    FileName = plat::prompts().fileDialog(request);
}

void CommonDialog::ShowOpen() {
    show(plat::FileDialogKind::Open);
}

void CommonDialog::ShowSave() {
    show(plat::FileDialogKind::Save);
}

void openinput(std::string& name, const std::string& title, const std::string& filter,
               int filenumber) {
    openChosen(name, title, filter, filenumber, false);
}

void openoutput(std::string& name, const std::string& title, const std::string& filter,
                int filenumber) {
    openChosen(name, title, filter, filenumber, true);
}

bool GetKeyValue(uintptr_t KeyRoot, const std::string& KeyName, const std::string& SubKeyRef,
                 std::string& KeyVal) {
    constexpr uint32_t kAccess = 0x2003F;
    constexpr uint32_t kBufferSize = 1024;
    plat::RegistryApi& reg = plat::registry();
    uintptr_t key = 0;
    if (reg.openKey(KeyRoot, KeyName, kAccess, &key) != 0) {
        KeyVal.clear();
        return false;
    }
    unsigned char buffer[kBufferSize] = {};
    uint32_t size = kBufferSize;
    uint32_t type = 0;
    if (reg.queryValue(key, SubKeyRef, &type, buffer, &size) != 0 || size > kBufferSize) {
        KeyVal.clear();
        reg.closeKey(key);
        return false;
    }
    // Text values usually carry their terminating code 0 in the returned length.
    uint32_t length = size;
    if (length > 0 && buffer[length - 1] == 0) --length;
    if (type == 1) {
        KeyVal.assign(reinterpret_cast<const char*>(buffer), length);
    } else if (type == 4) {
        uint32_t value = 0;
        for (uint32_t k = std::min<uint32_t>(length, 4); k > 0; --k) {
            value = (value << 8) | buffer[k - 1];
        }
        KeyVal = std::to_string(value);
    }
    reg.closeKey(key);
    return true;
}

void StartSysInfo() {
    std::string path;
    if (GetKeyValue(plat::kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH",
                    path)) {
        if (plat::startProgram(path) >= 0) return;
    } else if (GetKeyValue(plat::kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Shared Tools Location",
                           "MSINFO", path)) {
        const std::string tool = path + "\\MSINFO32.EXE";
        if (plat::fileExists(tool) && plat::startProgram(tool) >= 0) return;
    }
    plat::msgBox("System Information Is Unavailable At This Time");
}

} // namespace cw
