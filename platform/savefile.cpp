#include "platform/savefile.h"

#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <io.h>
#else
#include <locale.h>
#include <string.h>
#include <unistd.h>
#endif

namespace plat {

std::string systemReason(int err) {
#ifdef _WIN32
    // The C run time's texts do not follow the locale.
    return std::strerror(err);
#else
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(0));
    return c ? strerror_l(err, c) : std::strerror(err);
#endif
}

namespace {

// The reason of the last failed call: the system's own text when errno has one, Qt's otherwise.
std::string reasonOf(int err, const QSaveFile& file) {
    if (err != 0) return systemReason(err);
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

bool openChecked(QSaveFile& file, std::string& error) {
    errno = 0;
    if (file.open(QIODevice::WriteOnly)) return true;
    const int openErrno = errno;
#ifndef _WIN32
    // The temporary file is made in the folder, and the file itself is replaced: whichever of
    // the two the system refuses gives the reason.
    const QFileInfo target(file.fileName());
    const QByteArray folder = QFile::encodeName(target.absolutePath());
    if (::access(folder.constData(), W_OK) != 0) {
        error = systemReason(errno);
        return false;
    }
    if (target.exists() && ::access(QFile::encodeName(target.absoluteFilePath()), W_OK) != 0) {
        error = systemReason(errno);
        return false;
    }
#endif
    error = reasonOf(openErrno, file);
    return false;
}

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
    if (!openChecked(file, error)) return false;
    if (!writeChecked(file, bytes, error)) {
        file.cancelWriting();
        file.commit();
        return false;
    }
    return commitChecked(file, error);
}

} // namespace plat
