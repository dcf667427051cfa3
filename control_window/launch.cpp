#include "control_window/launch.h"

#include <cctype>
#include <cstdint>
#include <fstream>
#include <map>

#include "control_window/maincode.h"
#include "platform/prompts.h"
#include "platform/system.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <cerrno>
#include <csignal>
#endif

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

bool processRunning(int64_t pid) {
    if (pid <= 0) return false;
#ifdef _WIN32
    HANDLE h = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, DWORD(pid));
    if (!h) return false;
    DWORD code = 0;
    const bool running = GetExitCodeProcess(h, &code) && code == STILL_ACTIVE;
    CloseHandle(h);
    return running;
#else
    if (::kill(pid_t(pid), 0) != 0 && errno != EPERM) return false;
#ifdef __linux__
    // An engine that has ended but is not yet reaped by its new parent still answers; its state
    // letter in /proc tells.
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (std::getline(stat, line)) {
        const auto close = line.rfind(')');
        if (close != std::string::npos && close + 2 < line.size() && line[close + 2] == 'Z')
            return false;
    }
#endif
    return true;
#endif
}

} // namespace

bool launch(std::string& definition, const bool& clean, const std::function<void()>& save,
            const std::string& handover, const std::string& program) {
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
        if (it != lastStarted().end() && processRunning(it->second)) {
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
    if (!plat::copyFile(definition, handover)) {
        plat::msgBox("The definition file " + definition + " could not be copied to " + handover +
                     " in the folder " + plat::currentFolder() + ": nothing was handed to " +
                     program + ".");
        return false;
    }

    const std::string path = mc.installdir + program;
    const int64_t pid = plat::startProgram(path);
    if (pid < 0) {
        plat::msgBox("The engine " + path + " could not be started. The folder of the engines is " +
                     "taken from the environment variable tarvesk.");
        return false;
    }
    mc.taskid = double(pid);
    lastStarted()[key] = pid;
    return true;
}

} // namespace cw
