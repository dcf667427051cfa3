#pragma once
// Reading the text of a detached console window in a test: the console keeps it in the folder
// named by VESK_CONSOLE_TRANSCRIPTS (the test main sets one) as the program's id followed by
// ".txt".
#include <chrono>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include <QString>
#include <QtGlobal>

namespace plat::testing {

inline std::string consoleTranscript(int64_t pid) {
    std::ifstream in(qEnvironmentVariable("VESK_CONSOLE_TRANSCRIPTS").toStdString() + "/" +
                     std::to_string(pid) + ".txt");
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The text once it holds `wanted` (by default the closing line), or what it held when the wait
// (bounded by `seconds`) ran out.
inline std::string awaitConsoleText(int64_t pid, const std::string& wanted = "ended with",
                                    int seconds = 30) {
    std::string text;
    for (int k = 0; k < seconds * 50; ++k) {
        text = consoleTranscript(pid);
        if (text.find(wanted) != std::string::npos) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return text;
}

} // namespace plat::testing
