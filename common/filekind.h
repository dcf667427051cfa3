#pragma once
// Whether a name that a program is about to read names a file it can read whole. A named pipe
// blocks the reader until some writer comes, a device such as /dev/zero never ends, and a folder
// reads as nothing: the readers refuse them before they open them.
#include <filesystem>
#include <optional>
#include <string>

namespace vesk {

// Nothing when `path` names a regular file (through links) or nothing at all (the open then
// says that it is missing); otherwise what it names, for a message: "a folder", "a named pipe",
// "a device", "a socket" or "not a regular file".
std::optional<std::string> notRegularFile(const std::filesystem::path& path);

} // namespace vesk
