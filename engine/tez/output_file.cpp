// The engine's outputs: written under a temporary name of the run's own, synced, and moved into
// place whole. The few calls that standard C++ lacks (exclusive creation that never follows a link,
// sync, file identity) stand behind a small seam for POSIX and Windows.
#include "engine.h"
#include "write_fault.h"

#include <cerrno>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tez {

namespace {

// Attempts at a temporary name before the run gives up: each attempt meets something that stands
// there already (another run's file, a leftover, a link).
constexpr int kTemporaryAttempts = 100;

using FileId = std::array<std::uint64_t, 2>;

#ifdef _WIN32

HANDLE as_handle(std::intptr_t h) {
    return reinterpret_cast<HANDLE>(h);
}

std::string reason_of(DWORD err) {
    return std::system_category().message(static_cast<int>(err));
}

unsigned long process_number() {
    return GetCurrentProcessId();
}

// Creates the file afresh; a link at the name counts as a file that is there. Others may read,
// rename or remove it while it is written, as on POSIX systems: the run then finds it gone.
bool create_exclusive(const std::filesystem::path& p, std::intptr_t& h, bool& exists,
                      std::string& reason) {
    const HANDLE f =
        CreateFileW(p.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (f == INVALID_HANDLE_VALUE) {
        const DWORD err = GetLastError();
        exists = err == ERROR_FILE_EXISTS || err == ERROR_ALREADY_EXISTS;
        reason = reason_of(err);
        return false;
    }
    h = reinterpret_cast<std::intptr_t>(f);
    return true;
}

bool write_all(std::intptr_t h, std::string_view text, std::string& reason) {
    while (!text.empty()) {
        const DWORD chunk = text.size() > 0x40000000u ? 0x40000000u : DWORD(text.size());
        DWORD done = 0;
        if (!WriteFile(as_handle(h), text.data(), chunk, &done, nullptr) || done == 0) {
            reason = reason_of(GetLastError());
            return false;
        }
        text.remove_prefix(done);
    }
    return true;
}

bool sync_file(std::intptr_t h, std::string& reason) {
    if (FlushFileBuffers(as_handle(h))) return true;
    reason = reason_of(GetLastError());
    return false;
}

bool close_file(std::intptr_t h, std::string& reason) {
    if (CloseHandle(as_handle(h))) return true;
    reason = reason_of(GetLastError());
    return false;
}

bool id_of_handle(HANDLE f, FileId& id) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(f, &info)) return false;
    id = {info.dwVolumeSerialNumber,
          (std::uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
    return true;
}

bool id_of_open(std::intptr_t h, FileId& id) {
    return id_of_handle(as_handle(h), id);
}

// The identity of what stands at the name itself (a link, not what it names).
bool id_at(const std::filesystem::path& p, FileId& id) {
    const HANDLE f = CreateFileW(
        p.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    const bool ok = id_of_handle(f, id);
    CloseHandle(f);
    return ok;
}

#else

std::string reason_of(int err) {
    return std::generic_category().message(err);
}

unsigned long process_number() {
    return static_cast<unsigned long>(::getpid());
}

bool create_exclusive(const std::filesystem::path& p, std::intptr_t& h, bool& exists,
                      std::string& reason) {
    // With O_EXCL a link at the name, dangling or not, is a file that is there.
    const int fd = ::open(p.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
        exists = errno == EEXIST;
        reason = reason_of(errno);
        return false;
    }
    h = fd;
    return true;
}

bool write_all(std::intptr_t h, std::string_view text, std::string& reason) {
    while (!text.empty()) {
        const ssize_t done = ::write(static_cast<int>(h), text.data(), text.size());
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) {
            reason = reason_of(done < 0 ? errno : EIO);
            return false;
        }
        text.remove_prefix(static_cast<std::size_t>(done));
    }
    return true;
}

bool sync_file(std::intptr_t h, std::string& reason) {
    if (::fsync(static_cast<int>(h)) == 0) return true;
    // A file system that cannot sync has taken the bytes already.
    if (errno == EINVAL || errno == EROFS || errno == ENOTSUP) return true;
    reason = reason_of(errno);
    return false;
}

bool close_file(std::intptr_t h, std::string& reason) {
    if (::close(static_cast<int>(h)) == 0) return true;
    reason = reason_of(errno);
    return false;
}

bool id_of_open(std::intptr_t h, FileId& id) {
    struct stat st;
    if (::fstat(static_cast<int>(h), &st) != 0) return false;
    id = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
    return true;
}

bool id_at(const std::filesystem::path& p, FileId& id) {
    struct stat st;
    if (::lstat(p.c_str(), &st) != 0) return false;
    id = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
    return true;
}

#endif

} // namespace

std::filesystem::path OutputFile::temporary_path(const std::filesystem::path& path, int attempt) {
    std::string suffix = ".";
    suffix += std::to_string(process_number());
    suffix += '-';
    suffix += std::to_string(attempt);
    suffix += ".part";
    std::filesystem::path temp = path;
    temp += suffix;
    return temp;
}

OutputFile::~OutputFile() {
    if (!open_) return;
    fail("the run did not finish");
    finish();
}

void OutputFile::open(const std::filesystem::path& path, std::string_view what, std::string name) {
    path_ = path;
    what_ = std::string(what);
    name_ = std::move(name);
    failure_.clear();
    const std::string cannot = "Cannot create the " + what_ + " \"" + name_ + "\"";
    std::error_code ec;
    // A link at the name is replaced, whatever it names; a folder is not.
    if (std::filesystem::is_directory(std::filesystem::symlink_status(path, ec)))
        throw InputError(cannot + ": it is a folder, not a file");
    had_before_ = id_at(path, before_);
    std::string reason;
    // The output is there from the start of the run, as an empty file until it is written whole;
    // where anything stands at its name already (a link too), that stays until then.
    placeholder_ = false;
    if (!had_before_) {
        bool exists = false;
        std::intptr_t h = -1;
        if (create_exclusive(path, h, exists, reason)) {
            placeholder_ = id_of_open(h, placeholder_id_);
            close_file(h, reason);
        }
    }
    for (int attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
        temp_ = temporary_path(path, attempt);
        bool exists = false;
        if (create_exclusive(temp_, handle_, exists, reason)) {
            open_ = true;
            if (!id_of_open(handle_, temp_id_)) temp_id_ = {};
            return;
        }
        if (!exists) break;
    }
    FileId now{};
    if (placeholder_ && id_at(path, now) && now == placeholder_id_)
        std::filesystem::remove(path, ec);
    placeholder_ = false;
    throw InputError(cannot + ": " + reason);
}

void OutputFile::fail(std::string reason) {
    if (failure_.empty()) failure_ = reason.empty() ? "the write failed" : std::move(reason);
}

void OutputFile::write(std::string_view text) {
    if (!open_ || !failure_.empty()) return;
    std::string reason;
    if (write_fails(path_)) {
        fail(std::generic_category().message(ENOSPC));
        return;
    }
    if (!write_all(handle_, text, reason)) fail(std::move(reason));
}

void OutputFile::sync() {
    if (handle_ == -1) return;
    std::string reason;
    if (failure_.empty() && !sync_file(handle_, reason)) fail(std::move(reason));
    if (!close_file(handle_, reason) && failure_.empty()) fail(std::move(reason));
    handle_ = -1;
}

std::string OutputFile::finish() {
    if (!open_) return {};
    sync();
    open_ = false;
    std::error_code ec;
    if (failure_.empty()) {
        std::filesystem::rename(temp_, path_, ec);
        if (!ec) return {};
        fail(ec.message());
    }
    // Only the file this run created goes: another may stand at its name by now.
    FileId now{};
    if (id_at(temp_, now) && now == temp_id_) std::filesystem::remove(temp_, ec);
    bool there = id_at(path_, now);
    if (there && placeholder_ && now == placeholder_id_) {
        std::filesystem::remove(path_, ec);
        there = id_at(path_, now);
    }
    std::string left;
    if (had_before_ && there && now == before_)
        left = "the file as it was before the run is kept";
    else if (!had_before_ && !there)
        left = "no file of that name is left, as there was none before the run";
    else if (there)
        left = "the file now of that name was put there by another program during the run";
    else
        left = "the file that was there before the run was removed by another program";
    return "Cannot write the " + what_ + " \"" + name_ + "\" (" + failure_ + "): " + left;
}

void write_file_line(OutputFile& out, std::string_view line) {
    std::string text(line);
    text += "\r\n";
    out.write(text);
}

} // namespace tez
