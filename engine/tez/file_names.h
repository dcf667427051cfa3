// The files that a definition names: their paths from the names' UTF-8 text, and the names that
// Windows keeps for its devices.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tez {

// The file `name` in `folder`. Names in a definition are UTF-8 text on every system, as the
// control window writes them; where the system converts them (Windows), a name that is not UTF-8
// is refused with an InputError, and so is a name that holds a NUL byte.
std::filesystem::path named_file(const std::filesystem::path& folder, std::string_view name);

// The device that the file part of `name` stands for on Windows, in capitals ("NUL", "COM1"): CON,
// PRN, AUX, NUL, COM0 to COM9 and LPT0 to LPT9 (also with the superscripts 1, 2 and 3), CONIN$ and
// CONOUT$, in any case, with any extension, in any folder. Empty for a name that is a file.
std::string windows_device(std::string_view name);

// Whether `name` stands for a device on this system: on Windows the names above, elsewhere none.
// A device is not a missing file: as an input it is refused when it is opened.
bool names_a_device(std::string_view name);

// On Windows a device cannot be an output: the run is refused, naming the output (`what`, as
// "TEZ output table") and the device. Elsewhere such names are plain file names.
void refuse_device_output(std::string_view what, std::string_view name);

} // namespace tez
