#include "control_window/model/maincode.h"

#include "platform/numtext.h"
#include "platform/system.h"

#include <cstdint>
#include <memory>

namespace cw {

Maincode mc;

void resetMaincode() {
    // The arrays copy element by element into the storage they already have, so nothing that
    // points into them is left dangling.
    const auto fresh = std::make_unique<Maincode>();
    mc = *fresh;
}

double Variant::number() const {
    switch (kind()) {
    case Kind::Empty:
        return 0;
    case Kind::Integer:
        return std::get<int16_t>(v_);
    case Kind::Double:
        return std::get<double>(v_);
    case Kind::Text:
        return plat::val(std::get<std::string>(v_));
    }
    return 0;
}

std::string Variant::text() const {
    switch (kind()) {
    case Kind::Empty:
        return {};
    case Kind::Integer:
        return plat::strInteger(std::get<int16_t>(v_));
    case Kind::Double:
        return plat::strDouble(std::get<double>(v_));
    case Kind::Text:
        return std::get<std::string>(v_);
    }
    return {};
}

namespace {
bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

#ifdef _WIN32
constexpr char kNativeSeparator = '\\';
#else
constexpr char kNativeSeparator = '/';
#endif
} // namespace

std::string engineFolder(const std::string& tarvesk) {
    if (tarvesk.empty()) {
#ifdef _WIN32
        return "C:\\Program Files\\VESK\\";
#else
        return plat::folderOfRunningProgram() + "/";
#endif
    }
    // Engine paths are the folder followed directly by the program name.
    if (isSeparator(tarvesk.back())) return tarvesk;
    return tarvesk + kNativeSeparator;
}

std::string startfilePath() {
    if (mc.startfile.empty()) return {};
    // A full path, as the folder of this moment resolves the name: a dialog that later changes
    // the current folder must not turn the window's file into another folder's.
    const std::string folder = plat::currentFolder();
    std::string full = folder;
    if (full.empty() || !isSeparator(full.back())) full += kNativeSeparator;
    return plat::resolveWithoutCase(full + mc.startfile);
}

} // namespace cw
