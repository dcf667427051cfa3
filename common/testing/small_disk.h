#pragma once
// A small file system of its own for tests of what a full disk does to a write: a tmpfs mounted on
// a folder for the test's life. Mounting needs root (as CI runs); elsewhere available() is false
// and VESK_NEED_SMALL_DISK ends the test: a skip with reason(), or a failure under CI.
#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#ifdef __linux__
#include <sys/mount.h>
#include <unistd.h>
#endif

namespace vesktest {

class SmallDisk {
  public:
    // A disk of `bytes` on a fresh folder of its own under the temporary folder.
    explicit SmallDisk(std::size_t bytes) : SmallDisk(bytes, freshFolder(), true) {}
    // A disk of `bytes` on `at`, which is made when it is not there and left when the disk goes.
    SmallDisk(std::size_t bytes, const std::filesystem::path& at) : SmallDisk(bytes, at, false) {}
    ~SmallDisk() {
#ifdef __linux__
        if (mounted_) ::umount2(at_.c_str(), MNT_DETACH);
#endif
        std::error_code ec;
        if (owned_) std::filesystem::remove_all(at_, ec);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool available() const {
        return mounted_;
    }
    const std::string& reason() const {
        return reason_;
    }
    const std::filesystem::path& folder() const {
        return at_;
    }
    std::string path(const std::string& name) const {
        return (at_ / name).string();
    }
    // Fills what is left of the disk, so that the next write finds no room.
    void fill() const {
        std::FILE* f = std::fopen(path("filler").c_str(), "wb");
        if (!f) return;
        std::setvbuf(f, nullptr, _IONBF, 0);
        const std::string block(4096, 'x');
        while (std::fwrite(block.data(), 1, block.size(), f) == block.size()) {
        }
        while (std::fputc('x', f) != EOF) {
        }
        std::fclose(f);
    }

  private:
    SmallDisk(std::size_t bytes, std::filesystem::path at, bool owned)
        : at_(std::move(at)), owned_(owned) {
        std::error_code ec;
        std::filesystem::create_directories(at_, ec);
#ifdef __linux__
        const std::string options = "size=" + std::to_string(bytes);
        if (::mount("tmpfs", at_.c_str(), "tmpfs", 0, options.c_str()) == 0)
            mounted_ = true;
        else
            reason_ = std::string("a tmpfs cannot be mounted here (") + std::strerror(errno) +
                      "); the full-disk test needs root";
#else
        (void)bytes;
        reason_ = "a small file system is only mounted on Linux";
#endif
    }
    static std::filesystem::path freshFolder() {
        static std::atomic<int> count{0};
        std::string name = "vesk-small-disk-";
#ifdef __linux__
        name += std::to_string(::getpid()) + "-";
#endif
        name += std::to_string(count++);
        return std::filesystem::temp_directory_path() / name;
    }

    std::filesystem::path at_;
    bool owned_ = false;
    bool mounted_ = false;
    std::string reason_;
};

// Whether a disk that cannot be mounted fails the test instead of skipping it: under CI (CI set,
// as CI services set it) on Linux, where the tests run as root and a skip would hide that
// something broke.
inline bool smallDiskRequired() {
#ifdef __linux__
    const char* ci = std::getenv("CI");
    return ci && *ci && std::string(ci) != "false" && std::string(ci) != "0";
#else
    return false;
#endif
}

} // namespace vesktest

// Ends the test when `disk` could not be mounted: a failure under CI, a skip with the reason
// elsewhere.
#define VESK_NEED_SMALL_DISK(disk)                                                                 \
    do {                                                                                           \
        if (!(disk).available()) {                                                                 \
            if (vesktest::smallDiskRequired()) GTEST_FAIL() << (disk).reason() << " (under CI)";   \
            GTEST_SKIP() << (disk).reason();                                                       \
        }                                                                                          \
    } while (false)
