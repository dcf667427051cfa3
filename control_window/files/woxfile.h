#pragma once
// The yield-per-recruit definition file (*.wox): its writer and its reader.
#include <cstdint>
#include <optional>
#include <string>

#include "control_window/files/tezfile.h"
#include "control_window/model/maincode.h"

namespace plat {
class SeqFile;
}

namespace cw {

struct WoxData {
    std::string bio, mgt, fmaxfil, woxout;
    float fmin = 0, fmax = 0, finc = 0;
    int16_t nyr = 0;
    Bounded<int16_t, 1, kMaxDefinitionYears> years;
};

// The plot table name as it is saved: the part up to and including the first dot followed by
// "yro", or the name followed by ".yro" when it has no dot. No name is exempt.
std::string plotTableName(const std::string& name);

// The values as the save writes them: names without surrounding blanks (the reader drops them)
// and the plot table name with its extension.
WoxData woxSaveForm(const WoxData& d);

// What keeps these values (in their save form) from reading back the same, as a message that
// says what to fix; nothing when they can be saved.
std::optional<std::string> woxSaveProblem(const WoxData& d);

// The whole file text, lines ended by CR LF.
std::string woxFileText(const WoxData& d);

// Reads a whole definition from f (open for input) into `into` (a copy of the window's values).
// On failure the result is the message to show and `into` must be dropped.
std::optional<std::string> readWoxFile(plat::SeqFile& f, const std::string& fileName,
                                       WoxData& into);

} // namespace cw
