#pragma once
// A named pipe for the tests of readers that must refuse one. A reader that opened it anyway
// would wait for a writer for ever; this helper's thread opens it for writing now and then, so
// that such a reader sees the pipe end at once and its test fails instead of hanging the suite.
#ifndef _WIN32
#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vesktest {

class NamedPipe {
  public:
    explicit NamedPipe(std::filesystem::path path)
        : path_(std::move(path)), made_(::mkfifo(path_.c_str(), 0600) == 0) {
        rescuer_ = std::thread([this] {
            while (!done_) {
                // Fails at once while no reader waits; frees one that does.
                const int fd = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0) ::close(fd);
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        });
    }
    ~NamedPipe() {
        done_ = true;
        rescuer_.join();
        std::error_code ec;
        std::filesystem::remove(path_, ec);
    }
    NamedPipe(const NamedPipe&) = delete;
    NamedPipe& operator=(const NamedPipe&) = delete;

    bool made() const { return made_; }
    std::string path() const { return path_.string(); }

  private:
    std::filesystem::path path_;
    bool made_;
    std::atomic<bool> done_{false};
    std::thread rescuer_;
};

} // namespace vesktest
#endif
