#pragma once
// The list of loaded windows, the handlers that run for their events, and the wait primitive.
//
// Every window is one program-wide instance of a class derived from Form, reached through
// instance<F>(): the first use creates it with its controls at their design values and runs its
// Form_Load; unload() takes it away again, and the next use loads a fresh one. Unloaded window
// objects are destroyed only when no handler of any window is running any more, so a handler that
// waited while its own window was unloaded resumes on a live object.
#include <functional>
#include <memory>
#include <string>
#include <typeindex>
#include <vector>

namespace plat {

class Form;

namespace detail {
Form* findLoaded(std::type_index type);
void registerLoaded(std::type_index type, std::unique_ptr<Form> form);
void runLoad(Form& form); // Form_Load, counted as a running handler
// Moves a window that is being unloaded off the list of loaded windows, to be destroyed later.
void takeOffLoaded(Form& form);
} // namespace detail

// The program-wide instance of window class F, created and loaded (Form_Load run) on first use.
template <class F> F& instance() {
    if (Form* f = detail::findLoaded(typeid(F))) return static_cast<F&>(*f);
    auto made = std::make_unique<F>();
    F& ref = *made;
    detail::registerLoaded(typeid(F), std::move(made));
    detail::runLoad(ref);
    return ref;
}

template <class F> bool isLoaded() {
    return detail::findLoaded(typeid(F)) != nullptr;
}

// Loaded windows, in load order.
std::vector<Form*> loadedForms();
// Unloads every loaded window, last loaded first.
void unloadAll();
// Number of windows that are shown (a loaded but hidden window does not count).
int shownCount();

// The wait primitive: runs every pending window event (handlers of any window, nested as they
// come) and returns the number of windows shown. When nothing was pending it lets the prompt
// service idle first, so a wait loop sleeps until the next event instead of spinning.
int doEvents();

// Runs a handler the way the platform runs one for an event: counts it as running (so unloaded
// windows stay alive until it returns) and keeps an exception from escaping into Qt.
void runHandler(const std::function<void()>& handler);
// Where an exception that a handler let out is reported (standard error by default; the test main
// turns it into a test failure).
void setHandlerErrorReporter(std::function<void(const std::string&)> reporter);

// Unloaded window objects are destroyed here, and only when no handler is running. The wait
// primitive calls it when it runs outside every handler (the programs' main loops); tests turn
// that off so that their references stay valid, and the test main collects after each test.
void destroyUnloaded();
void setDestroyInWaits(bool on);

// The end of the program asked for by a handler ("end at once"); main loops look at it.
void requestEnd();
bool endRequested();
void resetEndRequest();
} // namespace plat
