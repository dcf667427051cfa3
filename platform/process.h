#pragma once
// Starting programs and watching them. The engines that the control window starts run each in a
// console window of its own that outlives the control window, and the control window can ask
// whether one still runs.
#include <cstdint>
#include <string>
#include <vector>

namespace plat {

// True while the process with this id runs; an ended one that its parent has not yet collected
// counts as ended. False for ids below 1.
bool processRunning(int64_t pid);

// The program as it will be started: `path` when it exists, else the same without a trailing
// ".exe" when that exists (the engines are built without it off Windows); empty when neither.
std::string resolveProgram(const std::string& path);

// Starts a program in a normal window without waiting and without arguments; the process id, or
// -1 when it could not be started. A name ending in ".exe" that does not exist is started
// without ".exe" (the engines are built without it off Windows).
int64_t startProgram(const std::string& path);

// The console window program: "vesk-console" beside the running program, unless set for a test
// (an empty path puts that back).
std::string consoleProgram();
void setConsoleProgramForTesting(const std::string& path);

struct StartResult {
    int64_t pid = -1;  // the program's own id, not that of its console window
    std::string error; // why it could not be started, when pid is -1
};

// Starts `program` (a path) with `arguments` in `folder`, in a console window of its own that
// comes to the front, shows the program's output as it is written, sends typed lines to its input
// and stays after the program ended until the user closes it. The console runs apart from the
// caller: it neither reads the caller's input nor ends with it. Waits a few seconds at most for
// the program to start.
StartResult startInConsole(const std::string& program, const std::vector<std::string>& arguments,
                           const std::string& folder);

} // namespace plat
