#include "cw_support.h"

#include "qt_application.h"

#include <QApplication>

#include <clocale>
#include <cstdlib>

namespace fuzz {

MessageUser::MessageUser() : previous_(plat::installedPromptService()) {
    plat::setPromptService(this);
}

MessageUser::~MessageUser() {
    plat::setPromptService(previous_);
}

plat::MsgAnswer MessageUser::messageBox(const std::string& text, plat::MsgButtons,
                                        const std::optional<std::string>&) {
    ++messages;
    last = text;
    return plat::MsgAnswer::OK;
}

std::string MessageUser::inputBox(const std::string& prompt, const std::string&,
                                  const std::string&) {
    finding("a reader asked for input: " + prompt);
}

std::string MessageUser::fileDialog(const plat::FileDialogRequest& request) {
    finding("a reader opened a file dialog: " + request.title);
}

void MessageUser::idle() {
    finding("a reader waited for the user");
}

std::string firstDifference(const std::string& first, const std::string& second) {
    std::size_t line = 1, start = 0, i = 0;
    while (i < first.size() && i < second.size() && first[i] == second[i]) {
        if (first[i] == '\n') {
            ++line;
            start = i + 1;
        }
        ++i;
    }
    const auto lineAt = [start](const std::string& text) {
        const std::size_t end = text.find('\n', start);
        return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    };
    return "line " + std::to_string(line) + " of the saved file \"" + lineAt(first) +
           "\" reads back and saves as \"" + lineAt(second) + "\"";
}

} // namespace fuzz

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::startOffscreenApplication();
    return 0;
}
