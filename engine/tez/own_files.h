// The files a run makes for itself and the few system calls they need beyond standard C++:
// exclusive creation that never follows a link, sync, file identity and mode, a removal that takes
// away only the run's own file, a rename that waits out another program's brief hold on Windows,
// and the removal of the run's temporary files when a signal (or on Windows a console event)
// ends the run.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

namespace tez::files {

// A file's identity: device and inode on POSIX systems, volume and file index on Windows.
using FileId = std::array<std::uint64_t, 2>;
using Handle = std::intptr_t; // the platform's file handle
inline constexpr Handle kNoHandle = -1;

unsigned long process_number();

// Creates the file afresh, never through a link (a link at the name, dangling or not, is a file
// that is there: `exists` is then set). `reason` gets the system's words on a failure.
bool create_exclusive(const std::filesystem::path& p, Handle& h, bool& exists, std::string& reason);
bool write_all(Handle h, std::string_view text, std::string& reason);
bool sync_file(Handle h, std::string& reason);
bool close_file(Handle h, std::string& reason);
bool id_of_open(Handle h, FileId& id);
// The mode bits of an open file (0 where the system has none).
unsigned mode_of_open(Handle h);
// Gives an open file the mode bits (nothing on Windows, which keeps no such bits).
void set_mode(Handle h, unsigned mode);

// What stands at a name itself: a link is looked at, not what it names.
struct AtName {
    bool exists = false;
    bool folder = false;
    bool regular = false;
    // A regular file that the user may not write: on POSIX systems the file's write bit for the
    // user's class (the owner's bit for its owner and for root, who could write it anyway), on
    // Windows its read-only attribute.
    bool read_only = false;
    unsigned mode = 0;
    FileId id{};
};
AtName look_at(const std::filesystem::path& p);
bool id_at(const std::filesystem::path& p, FileId& id);

// Removes the file at `p` only when it is the file `id`; true when it was removed. Never a check
// and then a removal by name: on POSIX systems the file is first moved to a name of this run's own
// and looked at there, and put back when it is not the run's; on Windows it is opened and removed
// through its handle once the handle shows it is the run's.
bool remove_own(const std::filesystem::path& p, const FileId& id);

// Moves `from` over `to`. On Windows another process may hold `to` open for a moment (another run
// looking at what stands there): the rename is tried again for a bounded time then.
bool rename_replacing(const std::filesystem::path& from, const std::filesystem::path& to,
                      std::string& reason);

// A hook that the tests set: called with the name just before remove_own() takes a file away, so
// that a test can stand where another program could put its own file at that name.
using BeforeRemoval = void (*)(const std::filesystem::path& p);
void set_before_removal(BeforeRemoval hook);

// The run's temporary files that a signal is to remove, in storage set aside before the run, so
// that the handler allocates nothing. hold() returns the slot or -1 when none is free (or the
// name does not fit); release() gives it up once the file is in place or removed.
int hold_on_signal(const std::filesystem::path& temp, const FileId& id);
void release_on_signal(int slot);

// While it lives, SIGTERM, SIGINT and SIGHUP (on Windows the console's events) wait: a temporary
// file is created and held, or the outputs are moved into place, as one step.
class SignalsHeld {
  public:
    SignalsHeld();
    ~SignalsHeld();
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;

  private:
    std::array<unsigned char, 128> saved_{}; // the thread's signal mask before
};

// Installs the handlers: SIGTERM, SIGINT and SIGHUP remove the held files and then end the
// program as the signal would have (Windows: Ctrl+C, Ctrl+Break and the console's closing).
void remove_own_files_on_signals();

} // namespace tez::files
