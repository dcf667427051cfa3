#pragma once
// The yield-per-recruit table (*.yro) written by the yield-per-recruit engine: two header lines,
// then 101 rows (0 to 100) of the fishing-mortality multiplier, the realized F (yield / biomass),
// the yield per recruit and the spawning-potential ratio. Nothing is normalised.
#include <array>
#include <string>

namespace tovrask {

constexpr int kLastRow = 100;
constexpr int kRows = kLastRow + 1;
constexpr int kColumns = 4;

struct PerRecruitTable {
    std::array<float, kRows> fmult{};
    std::array<float, kRows> realizedF{};
    std::array<float, kRows> ypr{};
    std::array<float, kRows> spr{};
    float maxFmult = 0; // maxima of columns 1 to 3, from 0
    float maxRealizedF = 0;
    float maxYpr = 0;
    int nrows = kLastRow;
};

// Reads the table and its maxima. Returns false, with a message saying what is wrong, when it
// cannot be read or holds fewer than 404 numbers; the table is then left as it was.
bool readyrofile(const std::string& path, PerRecruitTable& table, std::string& error);

// The message for a mode whose axis would be empty (no positive value in the abscissa column of
// the mode, 1 or 2, or in the yield per recruit); empty when the mode can be drawn.
std::string emptyRangeError(const PerRecruitTable& table, int plotmode);

} // namespace tovrask
