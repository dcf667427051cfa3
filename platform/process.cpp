#include "platform/process.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cctype>
#include <chrono>
#include <fstream>
#include <thread>

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

namespace plat {

namespace {

std::string& consoleOverride() {
    static std::string* s = new std::string;
    return *s;
}

} // namespace

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
    // A process that has ended but is not yet collected by its parent still answers; its state
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

std::string resolveProgram(const std::string& path) {
    if (fileExists(path)) return path;
    if (path.size() >= 4) {
        std::string ext = path.substr(path.size() - 4);
        for (char& c : ext)
            c = char(std::tolower(static_cast<unsigned char>(c)));
        const std::string bare = path.substr(0, path.size() - 4);
        if (ext == ".exe" && fileExists(bare)) return bare;
    }
    return {};
}

int64_t startProgram(const std::string& path) {
    std::string program = resolveProgram(path);
    if (program.empty()) program = path;
    qint64 pid = -1;
    if (!QProcess::startDetached(QString::fromStdString(program), {}, QString(), &pid)) return -1;
    return pid;
}

std::string consoleProgram() {
    if (!consoleOverride().empty()) return consoleOverride();
#ifdef _WIN32
    const char* name = "vesk-console.exe";
#else
    const char* name = "vesk-console";
#endif
    return folderOfRunningProgram() + "/" + name;
}

void setConsoleProgramForTesting(const std::string& path) {
    consoleOverride() = path;
}

StartResult startInConsole(const std::string& program, const std::vector<std::string>& arguments,
                           const std::string& folder) {
    StartResult result;
    const std::string console = consoleProgram();
    if (!fileExists(console)) {
        result.error = "its console window program " + console + " is missing";
        return result;
    }
    // The console tells the program's id through a file, written whole once it tried the start.
    QTemporaryDir handshake;
    if (!handshake.isValid()) {
        result.error = "no temporary folder could be made for starting it";
        return result;
    }
    const QString started = handshake.filePath("started");
    QStringList args{"--started", started, "--", QString::fromStdString(program)};
    for (const std::string& a : arguments)
        args << QString::fromStdString(a);

    QProcess p;
    p.setProgram(QString::fromStdString(console));
    p.setArguments(args);
    p.setWorkingDirectory(QString::fromStdString(folder));
    // Neither the console nor the program it runs ever reads what is typed to the caller.
    p.setStandardInputFile(QProcess::nullDevice());
    qint64 consolePid = -1;
    if (!p.startDetached(&consolePid)) {
        result.error = "its console window program " + console + " could not be started";
        return result;
    }
    // Reads the console's answer; false while there is none yet.
    auto answered = [&] {
        QFile f(started);
        if (!f.open(QIODevice::ReadOnly)) return false;
        const QByteArray answer = f.readAll().trimmed();
        bool ok = false;
        const qint64 pid = answer.toLongLong(&ok);
        if (ok && pid > 0) {
            result.pid = pid;
        } else {
            result.error = answer.startsWith("error ") ? answer.mid(6).toStdString()
                                                       : std::string("it could not be started");
        }
        return true;
    };
    for (int k = 0; k < 500; ++k) {
        if (answered()) return result;
        if (!processRunning(consolePid)) {
            if (answered()) return result;
            result.error = "its console window program " + console + " ended at once";
            return result;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    result.error = "its console window did not start it within 10 seconds";
    return result;
}

} // namespace plat
