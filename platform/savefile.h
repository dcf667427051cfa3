#pragma once
// Every file the programs write goes through here: written beside its name and renamed into place
// only once every byte is known to be on the disk. Qt's QSaveFile alone does not promise that: its
// commit reports success when the last flush fails (a full disk) and renames the short temporary
// file over the earlier one, and a failed write is reported as "Unknown error".
#include <string>
#include <string_view>

class QSaveFile;

namespace plat {

// The system's reason for the error code `err` ("No space left on device") in the words it has
// in the C locale, whatever the user's locale: every message of the programs is in one language.
std::string systemReason(int err);

// Opens `file` for writing (its temporary file beside the named one); false, with the system's
// reason for the folder or the file that refused it ("Read-only file system", "Permission
// denied"), when it cannot. Qt's own text calls the file "not writable" also where only its
// folder is.
bool openChecked(QSaveFile& file, std::string& error);

// Writes `bytes` to `file`; false, with the system's reason in `error`, when not all went out.
bool writeChecked(QSaveFile& file, std::string_view bytes, std::string& error);

// Flushes and syncs `file`, then renames it into place. On any failure the temporary file is
// dropped, the named file is left as it was, `error` holds the system's reason (such as "No space
// left on device") and the result is false.
bool commitChecked(QSaveFile& file, std::string& error);

// Replaces the file at `path` by `bytes` whole, as above.
bool writeFileWhole(const std::string& path, std::string_view bytes, std::string& error);

} // namespace plat
