#include "control_window/windows/launch.h"

#include <cctype>
#include <cstdint>
#include <filesystem>
#include <map>

#include "control_window/model/maincode.h"
#include "control_window/windows/graph.h"
#include "platform/controls.h"
#include "platform/process.h"
#include "platform/prompts.h"
#include "platform/system.h"

namespace cw {

namespace {

// The engine started last on each hand-over name, by its lower-cased name: "Tez.000" and
// "tez.000" are one file where names ignore case.
std::map<std::string, int64_t>& lastStarted() {
    static std::map<std::string, int64_t>* m = new std::map<std::string, int64_t>;
    return *m;
}

std::string lower(std::string s) {
    for (char& c : s)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string inCurrentFolder(const std::string& name) {
#ifdef _WIN32
    return plat::currentFolder() + "\\" + name;
#else
    return plat::currentFolder() + "/" + name;
#endif
}

} // namespace

bool launch(std::string& definition, const bool& clean, const std::function<void()>& save,
            const std::string& handover, const std::string& program, const Refusal& refuse) {
    if (refusedWhileGraphOpen()) return false;
    // What is handed over is what every box shows.
    plat::showStoredValues();
    // A definition the program cannot read is refused before the save dialog, so that nothing
    // is asked, copied or started for it.
    if (refuse) {
        if (const std::optional<std::string> problem = refuse()) {
            plat::msgBox(*problem);
            return false;
        }
    }
    if (definition.empty() || !clean) {
        save();
        // A cancelled, refused or failed save has said so; what is on disk is not what the
        // window holds, so nothing is handed over.
        if (definition.empty() || !clean) return false;
    }
    return handOver(definition, handover, program);
}

bool handOver(const std::string& definition, const std::string& handover,
              const std::string& program) {
    const std::string key = lower(handover);
    // An engine may still be reading the file it was handed; replacing it under its feet would
    // give it half of one definition and half of another.
    if (plat::fileExists(handover)) {
        const auto it = lastStarted().find(key);
        if (it != lastStarted().end() && plat::processRunning(it->second)) {
            const plat::MsgAnswer answer =
                plat::msgBox("The engine started earlier on " + handover +
                                 " is still running and may not have read it yet. Replace " +
                                 handover + " and start " + program + "?",
                             plat::MsgButtons::YesNo);
            if (answer != plat::MsgAnswer::Yes) return false;
        }
    }

    if (!plat::fileExists(definition)) {
        plat::msgBox("The definition file " + definition + " is missing: nothing was handed to " +
                     program + ".");
        return false;
    }
    // A definition saved under the hand-over name is its own hand-over: the engine would take
    // the user's only copy and delete it after reading.
    std::error_code ec;
    if (std::filesystem::equivalent(std::filesystem::path(definition),
                                    std::filesystem::path(handover), ec)) {
        plat::msgBox("The definition file " + definition + " is itself the hand-over file " +
                     handover + ", which " + program +
                     " takes over and may delete after reading it: save the definition under " +
                     "another name and start it again. Nothing was handed over.");
        return false;
    }
    // The copy is written beside and renamed into place: a failed one leaves the earlier
    // hand-over file whole.
    std::string reason;
    if (!plat::copyFile(definition, handover, &reason)) {
        plat::msgBox("The definition file " + definition + " could not be copied to " + handover +
                     " in the folder " + plat::currentFolder() + " (" + reason +
                     "): nothing was handed to " + program + ".");
        return false;
    }

    const std::string path = mc.installdir + program;
    const std::string written = "The definition was handed over as " + inCurrentFolder(handover);
    const std::string found = plat::resolveProgram(path);
    if (found.empty()) {
        plat::msgBox(written + ", but the engine " + path + " could not be started: it was " +
                     "looked for there and not found. The folder of the engines is taken from " +
                     "the environment variable tarvesk, else it is the control window's own.");
        return false;
    }
    const plat::StartResult started = plat::startInConsole(found, {}, plat::currentFolder());
    if (started.pid < 0) {
        plat::msgBox(written + ", but the engine " + found +
                     " could not be started: " + started.error + ".");
        return false;
    }
    mc.taskid = double(started.pid);
    lastStarted()[key] = started.pid;
    return true;
}

} // namespace cw
