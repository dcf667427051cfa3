#pragma once
// Every question the programs put to the user goes through one prompt service: message boxes,
// input boxes and file dialogs. The real service uses Qt; a test installs a scripted user
// (platform/testing/scripted_user.h) that answers each prompt and can act inside wait loops.
#include <optional>
#include <string>

class QAbstractFileIconProvider;

namespace plat {

enum class MsgButtons { OK, OKCancel, YesNo, YesNoCancel };
enum class MsgAnswer { OK, Cancel, Yes, No };

enum class FileDialogKind { Open, Save };

struct FileDialogRequest {
    FileDialogKind kind = FileDialogKind::Open;
    std::string title;
    std::string filter;     // "description|pattern", shown as the description with its pattern
    std::string initialDir; // the current folder at the time of the call
    std::string fileName;   // initial file name, usually empty
};

class PromptService {
  public:
    virtual ~PromptService() = default;
    // title: nothing means the application's default title; an empty text is an empty title.
    virtual MsgAnswer messageBox(const std::string& text, MsgButtons buttons,
                                 const std::optional<std::string>& title) = 0;
    // The answer, or the empty text when the user cancelled.
    virtual std::string inputBox(const std::string& prompt, const std::string& title,
                                 const std::string& defaultText) = 0;
    // The full path chosen, or the empty text when the user cancelled. Asks nothing of its own
    // (no overwrite question, no must-exist check).
    virtual std::string fileDialog(const FileDialogRequest& request) = 0;
    // Called by the wait primitive when no window event is pending. The real service sleeps until
    // the next event arrives; a scripted user performs its next action.
    virtual void idle() = 0;
};

// The icons of the file dialogs' lists: chosen by a file's name and kind only. Qt's own provider
// reads each file's first bytes to tell its type, and a folder such as /proc (remembered in Qt's
// dialog history, or typed) holds files whose reading never returns.
QAbstractFileIconProvider& fileDialogIconProvider();

PromptService& prompts();
// Installs a service (tests); nullptr puts the real one back. The caller keeps ownership.
void setPromptService(PromptService* service);
// The service a test installed, or nullptr while the real one is in force.
PromptService* installedPromptService();

// The application's default title for message boxes (the program's own name).
void setApplicationTitle(const std::string& title);
const std::string& applicationTitle();

// Short forms. A message's control bytes (but its line breaks and tabs), bytes that are not UTF-8
// and invisible characters are shown as \xHH (vesk::visibleMessage).
MsgAnswer msgBox(const std::string& text, MsgButtons buttons = MsgButtons::OK,
                 const std::optional<std::string>& title = std::nullopt);
std::string inputBox(const std::string& prompt, const std::string& title = {},
                     const std::string& defaultText = {});
// The common file dialog. As the old desktop's dialog did, choosing a file makes its folder the
// current folder, so that bare names in the chosen file resolve beside it.
std::string fileDialog(const FileDialogRequest& request);

} // namespace plat
