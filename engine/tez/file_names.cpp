#include "file_names.h"

#include "free_format.h"

#include "common/visibletext.h"

#include <array>
#include <string>

namespace tez {

namespace {

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

} // namespace

std::filesystem::path named_file(const std::filesystem::path& folder, std::string_view name) {
    // The system would take the name only as far as its first zero byte: another file, or the
    // folder itself.
    if (name.find('\0') != std::string_view::npos)
        throw InputError("The file name \"" + vesk::visibleName(name) +
                         "\" holds a NUL byte (\\x00), which no file name can hold");
    const std::u8string text(name.begin(), name.end());
    try {
        return folder / std::filesystem::path(text);
    } catch (const std::exception&) {
        throw InputError("The file name \"" + vesk::visibleName(name) + "\" is not UTF-8 text");
    }
}

std::string windows_device(std::string_view name) {
    const std::size_t folder_end = name.find_last_of("/\\");
    if (folder_end != std::string_view::npos) name.remove_prefix(folder_end + 1);
    // The device is what stands before the extension (or a colon), trailing blanks left out.
    name = name.substr(0, name.find_first_of(".:"));
    while (!name.empty() && name.back() == ' ')
        name.remove_suffix(1);
    std::string base;
    for (const char c : name)
        base += upper(c);
    static const std::array<std::string_view, 6> plain = {"CON", "PRN",    "AUX",
                                                          "NUL", "CONIN$", "CONOUT$"};
    for (const std::string_view device : plain)
        if (base == device) return base;
    if (base.size() > 3 && (base.starts_with("COM") || base.starts_with("LPT"))) {
        const std::string_view number = std::string_view(base).substr(3);
        if (number.size() == 1 && number[0] >= '0' && number[0] <= '9') return base;
        // Superscript one, two and three in UTF-8.
        if (number == "\xC2\xB9" || number == "\xC2\xB2" || number == "\xC2\xB3") return base;
    }
    return {};
}

bool names_a_device(std::string_view name) {
#ifdef _WIN32
    return !windows_device(name).empty();
#else
    (void)name;
    return false;
#endif
}

void refuse_device_output(std::string_view what, std::string_view name) {
#ifdef _WIN32
    const std::string device = windows_device(name);
    if (!device.empty())
        throw InputError("Cannot create the " + std::string(what) + " \"" + std::string(name) +
                         "\": it is the device " + device + " on Windows, not a file");
#else
    (void)what;
    (void)name;
#endif
}

} // namespace tez
