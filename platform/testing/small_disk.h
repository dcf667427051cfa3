#pragma once
// A small file system of its own for tests of what a full disk does to a save: a tmpfs mounted on
// a fresh folder for the test's life. Mounting needs root (as CI runs); elsewhere available() is
// false and the test skips with reason() (VESK_NEED_SMALL_DISK).
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#ifdef __linux__
#include <sys/mount.h>
#endif

namespace plattest {

class SmallDisk {
  public:
    explicit SmallDisk(std::size_t bytes) {
#ifdef __linux__
        const std::string options = "size=" + std::to_string(bytes);
        if (::mount("tmpfs", dir_.path().toLocal8Bit().constData(), "tmpfs", 0, options.c_str()) ==
            0) {
            mounted_ = true;
        } else {
            reason_ = std::string("a tmpfs cannot be mounted here (") + std::strerror(errno) +
                      "); the full-disk test needs root";
        }
#else
        (void)bytes;
        reason_ = "a small file system is only mounted on Linux";
#endif
    }
    ~SmallDisk() {
#ifdef __linux__
        if (mounted_) ::umount2(dir_.path().toLocal8Bit().constData(), MNT_DETACH);
#endif
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool available() const {
        return mounted_;
    }
    const std::string& reason() const {
        return reason_;
    }
    std::string path(const std::string& name) const {
        return QDir(dir_.path()).filePath(QString::fromStdString(name)).toStdString();
    }
    // Fills what is left of the disk, so that the next write finds no room.
    void fill() const {
        QFile f(QString::fromStdString(path("filler")));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return;
        const QByteArray block(4096, 'x');
        while (f.write(block) > 0) {
        }
        QByteArray one(1, 'x');
        while (f.write(one) > 0) {
        }
    }

  private:
    QTemporaryDir dir_;
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

} // namespace plattest

// Ends the test when `disk` could not be mounted: a failure under CI, a skip with the reason
// elsewhere.
#define VESK_NEED_SMALL_DISK(disk)                                                                 \
    do {                                                                                           \
        if (!(disk).available()) {                                                                 \
            if (plattest::smallDiskRequired()) GTEST_FAIL() << (disk).reason() << " (under CI)";   \
            GTEST_SKIP() << (disk).reason();                                                       \
        }                                                                                          \
    } while (false)
