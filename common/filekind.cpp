#include "common/filekind.h"

#include <system_error>

namespace vesk {

std::optional<std::string> notRegularFile(const std::filesystem::path& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    switch (fs::status(path, ec).type()) {
    case fs::file_type::regular:
    case fs::file_type::not_found:
    case fs::file_type::none:
        return std::nullopt;
    case fs::file_type::directory:
        return "a folder";
    case fs::file_type::fifo:
        return "a named pipe";
    case fs::file_type::block:
    case fs::file_type::character:
        return "a device";
    case fs::file_type::socket:
        return "a socket";
    default:
        return "not a regular file";
    }
}

} // namespace vesk
