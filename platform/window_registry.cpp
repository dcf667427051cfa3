#include "platform/window_registry.h"

#include "platform/form.h"
#include "platform/prompts.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>

#include <cstdio>
#include <utility>

namespace plat {

namespace {

struct Registry {
    std::vector<std::pair<std::type_index, std::unique_ptr<Form>>> loaded;
    std::vector<std::unique_ptr<Form>> unloaded;
    int handlerDepth = 0;
    bool destroyInWaits = true;
    bool endRequested = false;
    std::function<void(const std::string&)> errorReporter;
};

// Never destroyed: windows still loaded at exit must not outlive the application object in a
// static destructor.
Registry& reg() {
    static Registry* r = new Registry;
    return *r;
}

void reportHandlerError(const std::string& what) {
    if (reg().errorReporter)
        reg().errorReporter(what);
    else
        std::fprintf(stderr, "vesk: a window handler failed: %s\n", what.c_str());
}

struct DepthGuard {
    DepthGuard() { ++reg().handlerDepth; }
    ~DepthGuard() { --reg().handlerDepth; }
};

} // namespace

// ---- The list of loaded windows and the wait primitive ---------------------------------------

namespace detail {

Form* findLoaded(std::type_index type) {
    for (auto& [t, f] : reg().loaded)
        if (t == type) return f.get();
    return nullptr;
}

void registerLoaded(std::type_index type, std::unique_ptr<Form> form) {
    form->markLoaded();
    reg().loaded.emplace_back(type, std::move(form));
}

void runLoad(Form& form) {
    runHandler([&form] { form.Form_Load(); });
}

void takeOffLoaded(Form& form) {
    auto& list = reg().loaded;
    for (auto it = list.begin(); it != list.end(); ++it) {
        if (it->second.get() == &form) {
            reg().unloaded.push_back(std::move(it->second));
            list.erase(it);
            break;
        }
    }
}

} // namespace detail

std::vector<Form*> loadedForms() {
    std::vector<Form*> out;
    for (auto& entry : reg().loaded)
        out.push_back(entry.second.get());
    return out;
}

// Index by index from the last down, looking at the list afresh each time, since unloading one
// window may unload others.
void unloadAll() {
    for (int i = int(reg().loaded.size()) - 1; i >= 0; --i) {
        if (i < int(reg().loaded.size())) reg().loaded[std::size_t(i)].second->unload();
    }
}

int shownCount() {
    int n = 0;
    for (auto& entry : reg().loaded)
        if (entry.second->visible()) ++n;
    return n;
}

int doEvents() {
    bool processed = false;
    if (QCoreApplication::instance()) {
        // Everything that is pending, in passes; the bound keeps a timer that is always due from
        // holding the caller forever.
        if (QAbstractEventDispatcher* d = QAbstractEventDispatcher::instance())
            for (int pass = 0; pass < 100 && d->processEvents(QEventLoop::AllEvents); ++pass)
                processed = true;
    }
    if (!processed) prompts().idle();
    if (reg().handlerDepth == 0 && reg().destroyInWaits) destroyUnloaded();
    return shownCount();
}

void runHandler(const std::function<void()>& handler) {
    if (!handler) return;
    DepthGuard guard;
    try {
        handler();
    } catch (const std::exception& e) {
        reportHandlerError(e.what());
    } catch (...) {
        reportHandlerError("unknown exception");
    }
}

void setHandlerErrorReporter(std::function<void(const std::string&)> reporter) {
    reg().errorReporter = std::move(reporter);
}

void destroyUnloaded() {
    if (reg().handlerDepth > 0) return;
    auto dead = std::move(reg().unloaded);
    reg().unloaded.clear();
    dead.clear();
}

void setDestroyInWaits(bool on) {
    reg().destroyInWaits = on;
}

void requestEnd() {
    reg().endRequested = true;
}
bool endRequested() {
    return reg().endRequested;
}
void resetEndRequest() {
    reg().endRequested = false;
}

} // namespace plat
