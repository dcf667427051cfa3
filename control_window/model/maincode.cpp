#include "control_window/model/maincode.h"

#include "platform/numtext.h"
#include "platform/seqfile.h"
#include "platform/system.h"

#include <cstdint>
#include <memory>
#include <vector>

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

StartfileLookup findStartfile(const std::string& what) {
    StartfileLookup found;
    if (mc.startfile.empty()) return found;
    // A full path, as the folder of this moment resolves the name: a dialog that later changes
    // the current folder must not turn the window's file into another folder's.
    const std::string folder = plat::currentFolder();
    std::string prefix = folder;
    if (prefix.empty() || !isSeparator(prefix.back())) prefix += kNativeSeparator;
    const std::string typed = mc.startname.empty() ? mc.startfile : mc.startname;
    for (const std::string& name : {typed, plat::lowerCaseName(typed)}) {
        if (plat::fileExists(prefix + name)) {
            found.path = prefix + name;
            return found;
        }
    }
    const std::vector<std::string> matches = plat::filesMatchingWithoutCase(folder, typed);
    found.path = prefix + (matches.size() == 1 ? matches.front() : typed);
    const std::string named = "The " + what + " " + plat::visibleName(typed);
    if (matches.empty()) {
        found.problem = named + " is not in the folder " + plat::visibleName(folder) +
                        ", where a file named on the command line is looked for.";
    } else if (matches.size() > 1) {
        std::string list;
        for (const std::string& m : matches)
            list += (list.empty() ? "" : ", ") + plat::visibleName(m);
        found.problem = named + " matches several files of the folder " +
                        plat::visibleName(folder) + " that differ only in case (" + list +
                        "): start the program with the name of one of them as it is written.";
    }
    return found;
}

} // namespace cw
