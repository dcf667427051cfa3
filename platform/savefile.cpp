#include "platform/savefile.h"

#include <QSaveFile>

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace plat {

namespace {

// The reason of the last failed call: the system's own text when errno has one, Qt's otherwise.
std::string reasonOf(int err, const QSaveFile& file) {
    if (err != 0) return std::strerror(err);
    const std::string qt = file.errorString().toStdString();
    return qt.empty() ? "the write failed" : qt;
}

bool syncToDisk(QSaveFile& file) {
    const int fd = file.handle();
    if (fd < 0) return true;
#ifdef _WIN32
    return _commit(fd) == 0;
#else
    if (::fsync(fd) == 0) return true;
    // A file system that cannot sync (a pipe, some network mounts) has already taken the bytes.
    return errno == EINVAL || errno == EROFS || errno == ENOTSUP;
#endif
}

} // namespace

bool writeChecked(QSaveFile& file, std::string_view bytes, std::string& error) {
    if (bytes.empty()) return true;
    errno = 0;
    if (file.write(bytes.data(), qint64(bytes.size())) == qint64(bytes.size()) &&
        file.error() == QFileDevice::NoError)
        return true;
    error = reasonOf(errno, file);
    return false;
}

bool commitChecked(QSaveFile& file, std::string& error) {
    errno = 0;
    bool ok = file.flush() && file.error() == QFileDevice::NoError;
    if (ok) {
        errno = 0;
        ok = syncToDisk(file);
    }
    if (!ok) {
        error = reasonOf(errno, file);
        file.cancelWriting();
        file.commit(); // drops the temporary file and leaves the named one alone
        return false;
    }
    errno = 0;
    if (!file.commit()) {
        error = reasonOf(errno, file);
        return false;
    }
    return true;
}

bool writeFileWhole(const std::string& path, std::string_view bytes, std::string& error) {
    QSaveFile file(QString::fromStdString(path));
    errno = 0;
    if (!file.open(QIODevice::WriteOnly)) {
        error = reasonOf(errno, file);
        return false;
    }
    if (!writeChecked(file, bytes, error)) {
        file.cancelWriting();
        file.commit();
        return false;
    }
    return commitChecked(file, error);
}

} // namespace plat
