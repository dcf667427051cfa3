#pragma once
// A scripted user for tests: answers every prompt in the order the test expects them, checks
// their texts, and acts inside wait loops (drags a point, closes a window). Installing it
// replaces the real prompt service until it goes out of scope.
#include "platform/prompts.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace plat::testing {

struct PromptRecord {
    enum class Kind { Message, Input, FileDialog } kind;
    std::string text;                 // message text, input prompt, or dialog title
    std::optional<std::string> title; // message or input title (nothing: application default)
    FileDialogRequest dialog;         // for file dialogs
};

class ScriptedUser : public PromptService {
  public:
    ScriptedUser();
    ~ScriptedUser() override; // puts the previous service back; reports unused steps as failures

    // Each expectation is one step; steps are taken in order. A prompt whose kind or text does
    // not match its step is a test failure (and is answered with Cancel / empty).
    ScriptedUser& message(const std::string& text, MsgAnswer answer = MsgAnswer::OK);
    ScriptedUser& input(const std::string& prompt, const std::string& answer);
    // answer: full path, or "" to cancel. title checked when not empty.
    ScriptedUser& fileDialog(const std::string& title, const std::string& answer);
    // An action taken when a wait loop idles (no window event pending).
    ScriptedUser& act(std::function<void()> action);
    // Any step: a callback that sees the prompt and gives the answer text ("OK"/"Cancel"/"Yes"/
    // "No" for messages).
    ScriptedUser& custom(std::function<std::string(const PromptRecord&)> step);

    bool finished() const;                         // every step taken
    const std::vector<PromptRecord>& seen() const; // every prompt, in order

    MsgAnswer messageBox(const std::string& text, MsgButtons buttons,
                         const std::optional<std::string>& title) override;
    std::string inputBox(const std::string& prompt, const std::string& title,
                         const std::string& defaultText) override;
    std::string fileDialog(const FileDialogRequest& request) override;
    // Takes the next step when it is an action. When a wait loop keeps idling with no action
    // next (kStuckIdles times in a row), the wait could never end: that is a test failure, and
    // every shown window is hidden so the loop ends. A few idles (a test's own doEvents calls)
    // are harmless.
    void idle() override;
    static constexpr int kStuckIdles = 1000;

    // True once a wait loop idled with nothing left to do (a failure has been recorded).
    bool stuck() const { return stuck_; }

  private:
    struct Step {
        enum class Kind { Message, Input, FileDialog, Act, Custom } kind;
        std::string text;
        std::string answer;
        MsgAnswer msgAnswer = MsgAnswer::OK;
        std::function<void()> action;
        std::function<std::string(const PromptRecord&)> custom;
    };
    // The next step for a prompt of this kind, or nothing (a failure has been recorded).
    std::optional<Step> takeFor(const PromptRecord& record);
    std::deque<Step> steps_;
    std::vector<PromptRecord> seen_;
    PromptService* previous_ = nullptr;
    bool stuck_ = false;
    int idleStreak_ = 0;
};

// Installed by the test main while no scripted user is: every prompt is a failure, and a wait
// loop that idles hides every shown window, so that a test without a script can never hang.
class NobodyHome : public PromptService {
  public:
    MsgAnswer messageBox(const std::string& text, MsgButtons buttons,
                         const std::optional<std::string>& title) override;
    std::string inputBox(const std::string& prompt, const std::string& title,
                         const std::string& defaultText) override;
    std::string fileDialog(const FileDialogRequest& request) override;
    void idle() override;

  private:
    int idleStreak_ = 0;
};

// Hides every shown window (ends every wait loop).
void hideAllShown();

} // namespace plat::testing
