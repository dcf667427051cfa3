#pragma once
// The equilibrium definition file (*.tez): its writer and its reader, and the rules that make a
// saved file read back the same in the control window and in the equilibrium engine.
#include <cstdint>
#include <optional>
#include <string>

#include "control_window/model/maincode.h"

namespace plat {
class SeqFile;
}

namespace cw {

// Positions of the year list of the equilibrium and yield-per-recruit definitions.
inline constexpr int kMaxDefinitionYears = 1000;
// What the equilibrium engine takes: bare names of at most 12 characters and at most 150 years.
inline constexpr int kEngineNameLength = 12;
inline constexpr int kEngineMaxYears = 150;

struct TezData {
    std::string bio, mgt, tezout, bnch, pmo, title;
    int16_t nyr = 0;
    Bounded<int16_t, 1, kMaxDefinitionYears> years;
};

// An output table name as it is saved: "NUL" for "NUL" or "NULL" in any case, else unchanged.
std::string tezOutputName(const std::string& name);
// A production table name as it is saved: "NUL" as above; otherwise the part up to and including
// the first dot of the file's own name followed by "pmo", or the name followed by ".pmo" when
// that name has no dot.
std::string productionTableName(const std::string& name);

// The values as the save writes them: texts without surrounding blanks (the readers drop them),
// output names and the production table name normalised.
TezData tezSaveForm(const TezData& d);

// What keeps these values (in their save form) from being saved as a file that reads back the
// same in the control window, as a message that says what to fix; nothing when they can be saved.
std::optional<std::string> tezSaveProblem(const TezData& d);

// What keeps the equilibrium engine from reading these values (in their save form) as they are:
// names on lines 1 to 4 that it cuts or ends early, an empty input name or title, more years than
// it evaluates. The message names what is wrong; nothing when the engine can read them.
std::optional<std::string> tezEngineProblem(const TezData& d);

// The whole file text, lines ended by CR LF.
std::string tezFileText(const TezData& d);

// Reads a whole definition from f (open for input) into `into`; the year positions beyond the
// file's list are cleared, and a list of no years is refused as the save refuses it. On
// failure the result is the message to show (it names fileName and what was wrong) and `into`
// must be dropped.
std::optional<std::string> readTezFile(plat::SeqFile& f, const std::string& fileName,
                                       TezData& into);

// Shared by the equilibrium and yield-per-recruit definitions.
namespace deffile {
std::string trimmed(const std::string& s);
std::string upper(std::string s);
// The name with `extension` forced after the first dot of the file's own name, after its last
// folder separator ("/" or "\\"), or appended with a dot when that name has none.
std::string forceExtension(const std::string& name, const std::string& extension);
// A text that the control window's reader would not give back as it stands (a comma ends it, a
// leading double quote starts a quoted text): the message naming `what`, else nothing.
std::optional<std::string> textProblem(const std::string& text, const std::string& what);
// A number of years to estimate outside 1..kMaxDefinitionYears: the message, else nothing.
std::optional<std::string> yearCountProblem(int nyr);
// Reads one text value; a problem when the file has ended.
std::optional<std::string> readText(plat::SeqFile& f, const std::string& kind,
                                    const std::string& fileName, const std::string& what,
                                    std::string& into);
// Reads one whole number within lo..hi (rounded, halves to even).
std::optional<std::string> readWhole(plat::SeqFile& f, const std::string& kind,
                                     const std::string& fileName, const std::string& what, int lo,
                                     int hi, int& into);
// Reads the number of years (at least 1) and that many years into nyr and years(1..nyr); the
// positions after them are cleared to 0.
std::optional<std::string> readYearList(plat::SeqFile& f, const std::string& kind,
                                        const std::string& fileName, int16_t& nyr,
                                        Bounded<int16_t, 1, kMaxDefinitionYears>& years);
} // namespace deffile

} // namespace cw
