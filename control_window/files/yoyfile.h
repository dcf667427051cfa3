#pragma once
// The recruitment data file (*.yoy): its writer and its reader.
//
// The reader fills a copy and hands it back only when the whole file was read, so a bad or short
// file never leaves the recruitment editor half-loaded.
#include <cstdint>
#include <optional>
#include <string>

#include "control_window/model/maincode.h"

namespace plat {
class SeqFile;
}

namespace cw {

// Every value that a recruitment file holds: the editor's two years and the data model's
// recruitment variables.
struct YoyData {
    int16_t byr = 0, eyr = 0;
    int16_t vgflag = 0;
    double myoy = 0; // the mean; 0 when none was entered
    Bounded<float, 1, kMaxYears> yoyrec, yoygro;
};

// Number of years of a range, computed wide so that no pair of 16-bit years can overflow it.
inline int yearCount(int16_t first, int16_t last) {
    return int(last) - int(first) + 1;
}

// The years that a range check accepts: anything but exactly one year, and at most 250. A last
// year before the first passes, and such a file holds no year line.
inline bool yearRangeValid(int n) {
    return n != 1 && n <= kMaxYears;
}

YoyData yoyDataFrom(const Maincode& m, int16_t byr, int16_t eyr);
void storeYoyData(Maincode& m, const YoyData& d);

// The whole file text, lines ended by CR LF. Call only with a valid year range.
std::string yoyFileText(const YoyData& d);

// Reads a whole recruitment file from f (open for input) into `into`, which should start as a
// copy of the current values so that the years the file does not cover keep what they held. On
// failure the result is the message to show (it names fileName and what was wrong) and `into`
// must be dropped.
std::optional<std::string> readYoyFile(plat::SeqFile& f, const std::string& fileName,
                                       YoyData& into);

} // namespace cw
