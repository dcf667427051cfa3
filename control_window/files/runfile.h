#pragma once
// The run definition file (*.run) of the simulation engine: its writer and its reader.
//
// The reader fills a copy and hands it back only when all 19 values were read, so a bad or short
// file never leaves the run editor half-loaded.
#include <cstdint>
#include <optional>
#include <string>

namespace plat {
class SeqFile;
}

namespace cw {

// The run editor's fields, one per line of the file.
struct RunData {
    int16_t reps = 0;
    std::string bio, yoy, refpoints, incond, mgt, ndx;
    int32_t lngs = 0;
    float lme = 0;
    int32_t l_a = 0;
    float ame = 0;
    int16_t fyrout = 0, lyrout = 0;
    std::string lnds, ctch, stock, ctch_lng, incondout, logf;

    bool operator==(const RunData&) const = default;
};

// The nine optional names, in the order the editor normalises them.
inline constexpr std::string RunData::*kOptionalNames[] = {
    &RunData::refpoints, &RunData::incond,   &RunData::ndx,       &RunData::lnds, &RunData::ctch,
    &RunData::stock,     &RunData::ctch_lng, &RunData::incondout, &RunData::logf,
};

// An optional name as the editor keeps it: empty, "NUL" or "NULL" in any case becomes "NUL".
std::string normalisedOptionalName(const std::string& name);

// What keeps these values from being saved as a file that reads back the same, as a message for
// the user; nothing when they can be saved.
std::optional<std::string> runSaveProblem(const RunData& d);

// The whole file text, 19 lines ended by CR LF.
std::string runFileText(const RunData& d);

// Reads a whole run definition from f (open for input) into `into`. On failure the result is the
// message to show (it names fileName and what was wrong) and `into` must be dropped.
std::optional<std::string> readRunFile(plat::SeqFile& f, const std::string& fileName,
                                       RunData& into);

} // namespace cw
