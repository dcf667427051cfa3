#include "platform/testing/scripted_user.h"

#include "platform/form.h"

#include <gtest/gtest.h>

namespace plat::testing {

namespace {

std::string answerText(MsgAnswer a) {
    switch (a) {
    case MsgAnswer::OK:
        return "OK";
    case MsgAnswer::Cancel:
        return "Cancel";
    case MsgAnswer::Yes:
        return "Yes";
    case MsgAnswer::No:
        return "No";
    }
    return "OK";
}

MsgAnswer parseAnswer(const std::string& s, MsgButtons buttons) {
    if (s == "Yes") return MsgAnswer::Yes;
    if (s == "No") return MsgAnswer::No;
    if (s == "Cancel") return MsgAnswer::Cancel;
    if (s == "OK") return MsgAnswer::OK;
    return buttons == MsgButtons::OK ? MsgAnswer::OK : MsgAnswer::Cancel;
}

// What a user who cannot read the script does: the box's way out.
MsgAnswer wayOut(MsgButtons buttons) {
    return buttons == MsgButtons::OK      ? MsgAnswer::OK
           : buttons == MsgButtons::YesNo ? MsgAnswer::No
                                          : MsgAnswer::Cancel;
}

const char* kindName(PromptRecord::Kind k) {
    switch (k) {
    case PromptRecord::Kind::Message:
        return "message box";
    case PromptRecord::Kind::Input:
        return "input box";
    case PromptRecord::Kind::FileDialog:
        return "file dialog";
    }
    return "prompt";
}

} // namespace

void hideAllShown() {
    for (Form* f : loadedForms())
        if (f->visible()) f->hide();
}

ScriptedUser::ScriptedUser() : previous_(installedPromptService()) {
    setPromptService(this);
}

ScriptedUser::~ScriptedUser() {
    setPromptService(previous_);
    for (const Step& s : steps_) {
        ADD_FAILURE() << "scripted user: a step was never taken: "
                      << (s.kind == Step::Kind::Act ? std::string("an action") : s.text);
    }
}

ScriptedUser& ScriptedUser::message(const std::string& text, MsgAnswer answer) {
    Step s{Step::Kind::Message, text, answerText(answer), answer, {}, {}};
    steps_.push_back(std::move(s));
    return *this;
}

ScriptedUser& ScriptedUser::input(const std::string& prompt, const std::string& answer) {
    steps_.push_back(Step{Step::Kind::Input, prompt, answer, MsgAnswer::OK, {}, {}});
    return *this;
}

ScriptedUser& ScriptedUser::fileDialog(const std::string& title, const std::string& answer) {
    steps_.push_back(Step{Step::Kind::FileDialog, title, answer, MsgAnswer::OK, {}, {}});
    return *this;
}

ScriptedUser& ScriptedUser::act(std::function<void()> action) {
    steps_.push_back(Step{Step::Kind::Act, {}, {}, MsgAnswer::OK, std::move(action), {}});
    return *this;
}

ScriptedUser& ScriptedUser::custom(std::function<std::string(const PromptRecord&)> step) {
    steps_.push_back(
        Step{Step::Kind::Custom, "a custom step", {}, MsgAnswer::OK, {}, std::move(step)});
    return *this;
}

bool ScriptedUser::finished() const {
    return steps_.empty();
}
const std::vector<PromptRecord>& ScriptedUser::seen() const {
    return seen_;
}

std::optional<ScriptedUser::Step> ScriptedUser::takeFor(const PromptRecord& record) {
    seen_.push_back(record);
    idleStreak_ = 0;
    if (steps_.empty()) {
        ADD_FAILURE() << "scripted user: unexpected " << kindName(record.kind) << " \""
                      << record.text << "\" after the last step";
        return std::nullopt;
    }
    Step step = steps_.front();
    const bool kindMatches =
        step.kind == Step::Kind::Custom ||
        (step.kind == Step::Kind::Message && record.kind == PromptRecord::Kind::Message) ||
        (step.kind == Step::Kind::Input && record.kind == PromptRecord::Kind::Input) ||
        (step.kind == Step::Kind::FileDialog && record.kind == PromptRecord::Kind::FileDialog);
    if (!kindMatches) {
        ADD_FAILURE() << "scripted user: got " << kindName(record.kind) << " \"" << record.text
                      << "\" where the script expects "
                      << (step.kind == Step::Kind::Act ? std::string("an action")
                                                       : "\"" + step.text + "\"");
        return std::nullopt;
    }
    steps_.pop_front();
    if (step.kind == Step::Kind::Custom) return step;
    const bool textMatches = step.kind == Step::Kind::FileDialog
                                 ? (step.text.empty() || step.text == record.text)
                                 : step.text == record.text;
    if (!textMatches) {
        ADD_FAILURE() << "scripted user: " << kindName(record.kind) << " reads \"" << record.text
                      << "\", the script expects \"" << step.text << "\"";
        return std::nullopt;
    }
    return step;
}

MsgAnswer ScriptedUser::messageBox(const std::string& text, MsgButtons buttons,
                                   const std::optional<std::string>& title) {
    PromptRecord r{PromptRecord::Kind::Message, text, title, {}};
    const auto step = takeFor(r);
    if (!step) return wayOut(buttons);
    if (step->kind == Step::Kind::Custom) return parseAnswer(step->custom(r), buttons);
    return step->msgAnswer;
}

std::string ScriptedUser::inputBox(const std::string& prompt, const std::string& title,
                                   const std::string&) {
    PromptRecord r{PromptRecord::Kind::Input, prompt, title, {}};
    const auto step = takeFor(r);
    if (!step) return {};
    if (step->kind == Step::Kind::Custom) return step->custom(r);
    return step->answer;
}

std::string ScriptedUser::fileDialog(const FileDialogRequest& request) {
    PromptRecord r{PromptRecord::Kind::FileDialog, request.title, std::nullopt, request};
    const auto step = takeFor(r);
    if (!step) return {};
    if (step->kind == Step::Kind::Custom) return step->custom(r);
    return step->answer;
}

void ScriptedUser::idle() {
    if (!steps_.empty() && steps_.front().kind == Step::Kind::Act) {
        idleStreak_ = 0;
        auto action = std::move(steps_.front().action);
        steps_.pop_front();
        if (action) action();
        return;
    }
    if (++idleStreak_ < kStuckIdles) return;
    idleStreak_ = 0;
    if (!stuck_) {
        stuck_ = true;
        ADD_FAILURE() << "scripted user: a wait loop has nothing left to wait for"
                      << (steps_.empty() ? std::string(" (the script is used up)")
                                         : "; the next step is \"" + steps_.front().text + "\"")
                      << "; every shown window is hidden to end it";
    }
    hideAllShown();
}

MsgAnswer NobodyHome::messageBox(const std::string& text, MsgButtons buttons,
                                 const std::optional<std::string>&) {
    ADD_FAILURE() << "message box \"" << text << "\" with no scripted user to answer it";
    return wayOut(buttons);
}

std::string NobodyHome::inputBox(const std::string& prompt, const std::string&,
                                 const std::string&) {
    ADD_FAILURE() << "input box \"" << prompt << "\" with no scripted user to answer it";
    return {};
}

std::string NobodyHome::fileDialog(const FileDialogRequest& request) {
    ADD_FAILURE() << "file dialog \"" << request.title << "\" with no scripted user to answer it";
    return {};
}

void NobodyHome::idle() {
    if (++idleStreak_ < ScriptedUser::kStuckIdles) return;
    idleStreak_ = 0;
    ADD_FAILURE() << "a wait loop has no scripted user to end it; every shown window is hidden";
    hideAllShown();
}

} // namespace plat::testing
