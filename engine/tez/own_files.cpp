#include "own_files.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <windows.h>

#include <mutex>
#include <thread>
#else
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tez::files {

namespace {

std::atomic<BeforeRemoval> before_removal{nullptr};

// Room for the files of a run (two outputs) with plenty to spare for the tests' runs side by
// side; a name longer than the room is not held (the run is then not cleaned up on a signal).
constexpr int kSlots = 16;
constexpr std::size_t kNameRoom = 4096;
using Char = std::filesystem::path::value_type;

struct Slot {
    std::atomic<int> taken{0};
    std::atomic<int> armed{0};
    Char temp[kNameRoom];
    Char aside[kNameRoom];
    FileId id;
};
static_assert(std::atomic<int>::is_always_lock_free);
Slot slots[kSlots];

// The name a file is moved to while it is looked at: the temporary name with its last part
// changed, a name of this run's own.
std::filesystem::path aside_of(const std::filesystem::path& p) {
    std::filesystem::path a = p;
    a += ".gone";
    return a;
}

} // namespace

#ifdef _WIN32

namespace {

HANDLE as_handle(Handle h) {
    return reinterpret_cast<HANDLE>(h);
}

std::string reason_of(DWORD err) {
    return std::system_category().message(static_cast<int>(err));
}

bool id_of_handle(HANDLE f, FileId& id) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(f, &info)) return false;
    id = {info.dwVolumeSerialNumber,
          (std::uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
    return true;
}

// Opens what stands at the name itself (a link, not what it names), sharing it every way so that
// others may read, write, rename or remove it meanwhile.
HANDLE open_at(const std::filesystem::path& p, DWORD access) {
    return CreateFileW(p.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING,
                       FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// Held by the console's event handler from the moment it starts, so that the run moves nothing
// into place after it.
std::recursive_mutex& signal_lock() {
    static std::recursive_mutex m;
    return m;
}

} // namespace

unsigned long process_number() {
    return GetCurrentProcessId();
}

bool create_exclusive(const std::filesystem::path& p, Handle& h, bool& exists,
                      std::string& reason) {
    // Others may read, rename or remove the file while it is written, as on POSIX systems: the run
    // then finds it gone.
    const HANDLE f = CreateFileW(
        p.c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (f == INVALID_HANDLE_VALUE) {
        const DWORD err = GetLastError();
        exists = err == ERROR_FILE_EXISTS || err == ERROR_ALREADY_EXISTS;
        reason = reason_of(err);
        return false;
    }
    h = reinterpret_cast<Handle>(f);
    return true;
}

bool write_all(Handle h, std::string_view text, std::string& reason) {
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

bool sync_file(Handle h, std::string& reason) {
    if (FlushFileBuffers(as_handle(h))) return true;
    reason = reason_of(GetLastError());
    return false;
}

bool close_file(Handle h, std::string& reason) {
    if (CloseHandle(as_handle(h))) return true;
    reason = reason_of(GetLastError());
    return false;
}

bool id_of_open(Handle h, FileId& id) {
    return id_of_handle(as_handle(h), id);
}

unsigned mode_of_open(Handle) {
    return 0;
}

void set_mode(Handle, unsigned) {}

AtName look_at(const std::filesystem::path& p) {
    AtName at;
    const DWORD attributes = GetFileAttributesW(p.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return at;
    at.exists = true;
    const bool link = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    at.folder = !link && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    at.regular = !link && !at.folder;
    at.read_only = at.regular && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    id_at(p, at.id);
    return at;
}

bool id_at(const std::filesystem::path& p, FileId& id) {
    const HANDLE f = open_at(p, 0);
    if (f == INVALID_HANDLE_VALUE) return false;
    const bool ok = id_of_handle(f, id);
    CloseHandle(f);
    return ok;
}

bool remove_own(const std::filesystem::path& p, const FileId& id) {
    if (const BeforeRemoval hook = before_removal.load()) hook(p);
    // Through the handle that shows it is the run's file: no other file can be removed by it.
    const HANDLE f = open_at(p, DELETE);
    if (f == INVALID_HANDLE_VALUE) return false;
    FileId now{};
    bool removed = false;
    if (id_of_handle(f, now) && now == id) {
        FILE_DISPOSITION_INFO gone{};
        gone.DeleteFile = TRUE;
        removed = SetFileInformationByHandle(f, FileDispositionInfo, &gone, sizeof gone) != 0;
    }
    CloseHandle(f);
    return removed;
}

bool rename_replacing(const std::filesystem::path& from, const std::filesystem::path& to,
                      std::string& reason) {
    // Windows refuses to replace a name that another process holds open, as another run does
    // for a moment while it looks at what stands at its outputs' names. This is the one place
    // where the engine waits on something: the rename is tried again for at most about five
    // seconds, then the system's reason is reported.
    constexpr int kTries = 250;
    constexpr DWORD kPauseMs = 20;
    DWORD err = 0;
    for (int attempt = 0; attempt < kTries; ++attempt) {
        if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
        err = GetLastError();
        if (err != ERROR_SHARING_VIOLATION && err != ERROR_ACCESS_DENIED &&
            err != ERROR_LOCK_VIOLATION)
            break;
        // A read-only file is refused for good.
        const DWORD attributes = GetFileAttributesW(to.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) break;
        Sleep(kPauseMs);
    }
    reason = reason_of(err);
    return false;
}

SignalsHeld::SignalsHeld() {
    signal_lock().lock();
}

SignalsHeld::~SignalsHeld() {
    signal_lock().unlock();
}

namespace {

BOOL WINAPI on_console_event(DWORD event) {
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        break;
    default:
        return FALSE;
    }
    // Kept locked: the program ends without moving anything into place.
    signal_lock().lock();
    for (Slot& s : slots)
        if (s.armed.exchange(0) == 1) remove_own(s.temp, s.id);
    // The system's own handler ends the program as the event would have.
    return FALSE;
}

} // namespace

void remove_own_files_on_signals() {
    SetConsoleCtrlHandler(on_console_event, TRUE);
}

#else

namespace {

std::string reason_of(int err) {
    return std::generic_category().message(err);
}

// The three signals that ask a run to end.
sigset_t ending_signals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGHUP);
    return set;
}

FileId id_of(const struct stat& st) {
    return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

// Moves `from` to `to` unless something stands at `to`.
int rename_no_replace(const char* from, const char* to) {
#ifdef __linux__
    const int done = ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE);
    // A file system that cannot refuse to replace: the name was found free just before.
    if (done == 0 || (errno != EINVAL && errno != ENOSYS)) return done;
#endif
    struct stat st;
    if (::lstat(to, &st) == 0) {
        errno = EEXIST;
        return -1;
    }
    return ::rename(from, to);
}

// Async-signal-safe: system calls only.
bool remove_own_now(const char* p, const char* aside, const FileId& id) {
    if (rename_no_replace(p, aside) != 0) return false;
    struct stat st;
    if (::lstat(aside, &st) == 0 && id_of(st) == id) return ::unlink(aside) == 0;
    // Another's file: back to its name, or, where a newer one stands there now, left aside.
    if (rename_no_replace(aside, p) != 0 && errno != EEXIST) ::rename(aside, p);
    return false;
}

void on_signal(int sig) {
    const int saved = errno;
    for (Slot& s : slots)
        if (s.armed.exchange(0) == 1) remove_own_now(s.temp, s.aside, s.id);
    errno = saved;
    // The handler was reset to the default as it ran; the signal, raised again, ends the program
    // once the handler returns, with the status it would have had.
    ::raise(sig);
}

} // namespace

unsigned long process_number() {
    return static_cast<unsigned long>(::getpid());
}

bool create_exclusive(const std::filesystem::path& p, Handle& h, bool& exists,
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

bool write_all(Handle h, std::string_view text, std::string& reason) {
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

bool sync_file(Handle h, std::string& reason) {
    if (::fsync(static_cast<int>(h)) == 0) return true;
    // A file system that cannot sync has taken the bytes already.
    if (errno == EINVAL || errno == EROFS || errno == ENOTSUP) return true;
    reason = reason_of(errno);
    return false;
}

bool close_file(Handle h, std::string& reason) {
    if (::close(static_cast<int>(h)) == 0) return true;
    reason = reason_of(errno);
    return false;
}

bool id_of_open(Handle h, FileId& id) {
    struct stat st;
    if (::fstat(static_cast<int>(h), &st) != 0) return false;
    id = id_of(st);
    return true;
}

unsigned mode_of_open(Handle h) {
    struct stat st;
    if (::fstat(static_cast<int>(h), &st) != 0) return 0;
    return static_cast<unsigned>(st.st_mode & 0777);
}

void set_mode(Handle h, unsigned mode) {
    ::fchmod(static_cast<int>(h), static_cast<mode_t>(mode & 0777));
}

AtName look_at(const std::filesystem::path& p) {
    AtName at;
    struct stat st;
    if (::lstat(p.c_str(), &st) != 0) return at;
    at.exists = true;
    at.folder = S_ISDIR(st.st_mode);
    at.regular = S_ISREG(st.st_mode);
    at.mode = static_cast<unsigned>(st.st_mode & 0777);
    at.id = id_of(st);
    if (at.regular) {
        const uid_t user = ::geteuid();
        mode_t bit = S_IWOTH;
        if (user == 0 || user == st.st_uid)
            bit = S_IWUSR;
        else if (st.st_gid == ::getegid())
            bit = S_IWGRP;
        else {
            gid_t groups[256];
            const int n = ::getgroups(256, groups);
            for (int i = 0; i < n; ++i)
                if (groups[i] == st.st_gid) bit = S_IWGRP;
        }
        at.read_only = (st.st_mode & bit) == 0;
    }
    return at;
}

bool id_at(const std::filesystem::path& p, FileId& id) {
    struct stat st;
    if (::lstat(p.c_str(), &st) != 0) return false;
    id = id_of(st);
    return true;
}

bool remove_own(const std::filesystem::path& p, const FileId& id) {
    if (const BeforeRemoval hook = before_removal.load()) hook(p);
    return remove_own_now(p.c_str(), aside_of(p).c_str(), id);
}

bool rename_replacing(const std::filesystem::path& from, const std::filesystem::path& to,
                      std::string& reason) {
    if (::rename(from.c_str(), to.c_str()) == 0) return true;
    reason = reason_of(errno);
    return false;
}

static_assert(sizeof(sigset_t) <= sizeof(std::array<unsigned char, 128>));

SignalsHeld::SignalsHeld() {
    const sigset_t set = ending_signals();
    sigset_t old;
    pthread_sigmask(SIG_BLOCK, &set, &old);
    std::memcpy(saved_.data(), &old, sizeof old);
}

SignalsHeld::~SignalsHeld() {
    sigset_t old;
    std::memcpy(&old, saved_.data(), sizeof old);
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
}

void remove_own_files_on_signals() {
    struct sigaction action {};
    action.sa_handler = on_signal;
    action.sa_mask = ending_signals();
    action.sa_flags = SA_RESETHAND;
    for (const int sig : {SIGTERM, SIGINT, SIGHUP}) {
        // A signal ignored from the start (a run under nohup) stays ignored.
        struct sigaction before {};
        if (::sigaction(sig, nullptr, &before) == 0 && before.sa_handler == SIG_IGN) continue;
        ::sigaction(sig, &action, nullptr);
    }
}

#endif

void set_before_removal(BeforeRemoval hook) {
    before_removal.store(hook);
}

int hold_on_signal(const std::filesystem::path& temp, const FileId& id) {
    const std::filesystem::path::string_type& name = temp.native();
    const std::filesystem::path::string_type aside = aside_of(temp).native();
    if (aside.size() >= kNameRoom) return -1;
    for (int i = 0; i < kSlots; ++i) {
        Slot& s = slots[i];
        if (s.taken.exchange(1) == 1) continue;
        std::copy(name.begin(), name.end(), s.temp);
        s.temp[name.size()] = 0;
        std::copy(aside.begin(), aside.end(), s.aside);
        s.aside[aside.size()] = 0;
        s.id = id;
        s.armed.store(1);
        return i;
    }
    return -1;
}

void release_on_signal(int slot) {
    if (slot < 0 || slot >= kSlots) return;
    slots[slot].armed.store(0);
    slots[slot].taken.store(0);
}

} // namespace tez::files
