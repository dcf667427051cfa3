#pragma once
// A small file system of its own for tests of what a full disk does to a save: a tmpfs mounted on
// a fresh folder for the test's life. Mounting needs root (as CI runs); elsewhere available() is
// false and the test skips with reason().
#include <QDir>
#include <QTemporaryDir>

#include <cerrno>
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

} // namespace plattest
