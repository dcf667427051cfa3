#pragma once
// The control window's readers under the fuzzer: the input is opened under the editor's file
// number and read with the editor's own load step, while a stand-in user answers the message a
// refused file shows. An accepted file must then save, read back, and save again to the very same
// text: the values read back are the values loaded, to the precision that the file keeps.
#include "fuzz_support.h"

#include "control_window/windows/editorsupport.h"
#include "platform/prompts.h"
#include "platform/seqfile.h"

#include <functional>
#include <optional>
#include <string>

namespace fuzz {

// Answers every message with OK and keeps its text; a reader that asks anything else (an input
// box, a file dialog) is a finding, since nobody could answer it.
class MessageUser : public plat::PromptService {
  public:
    MessageUser();
    ~MessageUser() override;
    plat::MsgAnswer messageBox(const std::string& text, plat::MsgButtons buttons,
                               const std::optional<std::string>& title) override;
    std::string inputBox(const std::string& prompt, const std::string& title,
                         const std::string& defaultText) override;
    std::string fileDialog(const plat::FileDialogRequest& request) override;
    void idle() override;

    int messages = 0;
    std::string last;

  private:
    plat::PromptService* previous_;
};

// Where the text saved again differs from the text saved first: "line 2 of the saved file
// reads back as ...".
std::string firstDifference(const std::string& first, const std::string& second);

// Every control-window target starts the headless application that the control window's
// library expects, before its first input (LLVMFuzzerInitialize, in cw_support.cpp).

// Reads the file at `path` into `into` through the editor's load step under file `number`; true
// when it was accepted. A refusal must have said why in a message that names the file.
// `fixedMessage` is a refusal whose text is the program's own and names no file.
template <class Data, class Read>
bool loadThroughEditor(const std::string& path, int number, Data& into, Read read,
                       const std::string& fixedMessage) {
    plat::SeqFile& f = plat::fileNumber(number);
    if (!f.openInput(path)) finding("cannot open the input file " + path);
    MessageUser user;
    const bool accepted = cw::editor::readOpenFile(number, into, read);
    if (f.isOpen()) finding("the load left its file open");
    if (accepted && user.messages != 0) finding("an accepted file showed: " + user.last);
    if (!accepted && user.messages != 1) finding("a refused file showed no single message");
    const std::string name = std::filesystem::path(path).filename().string();
    if (!accepted && user.last != fixedMessage && user.last.find(name) == std::string::npos)
        finding("the message does not name the file: " + user.last);
    return accepted;
}

// The save of an editor: the problem that keeps the values from being saved, or nothing and the
// file's text in `text`.
template <class Data>
using SaveStep = std::function<std::optional<std::string>(const Data& d, std::string& text)>;

// The save step of an editor from its problem check and its writer, applied to the values in the
// form the save gives them (as they are, unless a form is given).
template <class Data, class Problem, class Text>
SaveStep<Data> saveStep(Problem problem, Text text, Data (*form)(const Data&) = nullptr) {
    return [=](const Data& d, std::string& out) -> std::optional<std::string> {
        // Copied only for a form: the large arrays cost more to copy than the whole read.
        std::optional<Data> formed;
        if (form) formed = form(d);
        const Data& saved = formed ? *formed : d;
        if (std::optional<std::string> p = problem(saved)) return p;
        out = text(saved);
        return std::nullopt;
    };
}

// The whole check of one input, loaded into default values: when its values can be
// saved, the saved text must read back and save again to the same text. A value that is not
// finite would be saved as "NaN" or "Infinity", which no reader takes, so this also finds any
// such value left in the data model.
template <class Data, class Read>
void checkRoundTrip(const uint8_t* data, std::size_t size, const std::string& extension, int number,
                    Read read, const SaveStep<Data>& save, const std::string& fixedMessage = {}) {
    const std::string path = writeInput("input." + extension, data, size).string();
    // The values are made once and reset for each input from untouched defaults: making the
    // large arrays anew costs more than the whole read.
    static const Data defaults{};
    static Data& loaded = *new Data;
    static Data& reread = *new Data;
    loaded = defaults;
    if (!loadThroughEditor(path, number, loaded, read, fixedMessage)) return;
    // A save may refuse values with a message that says what to fix: nothing is written then,
    // and nothing is lost.
    std::string first;
    if (save(loaded, first)) return;
    const std::string savedPath = (workFolder() / ("saved." + extension)).string();
    writeFile(savedPath, first);
    reread = defaults;
    if (!loadThroughEditor(savedPath, number, reread, read, fixedMessage))
        finding("the saved file is refused:\n" + first);
    std::string second;
    if (auto problem = save(reread, second))
        finding("the saved file reads back into values that cannot be saved: " + *problem);
    if (second != first) finding(firstDifference(first, second));
}

} // namespace fuzz
