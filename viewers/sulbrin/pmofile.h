#pragma once
// The equilibrium production table (*.pmo) written by the equilibrium production engine: two
// header lines, then 101 rows (0 to 100) of F, two unused columns, biomass and yield.
#include <array>
#include <cstdint>
#include <string>

namespace sulbrin {

constexpr int kLastRow = 100;
constexpr int kRows = kLastRow + 1;
constexpr int kColumns = 5;

struct ProductionTable {
    // After reading: F / F of row 100, biomass / its maximum, yield / its maximum.
    std::array<float, kRows> f{};
    std::array<float, kRows> col2{};
    std::array<float, kRows> col3{};
    std::array<float, kRows> biomass{};
    std::array<float, kRows> yield{};
    float bmax = 0; // maxima of the raw columns
    float ymax = 0;
    int16_t pct = 0; // biomass at maximum yield, percent of the maximum biomass
    int nrows = kLastRow;
};

// Reads and normalises the table. Returns false, with a message saying what is wrong, when it
// cannot be read, holds fewer than 505 numbers, or has a column to divide by that would divide by
// zero or a negative number (no positive biomass or yield, or an F of row 100 that is not
// positive); the table is then left as it was.
bool readpmofile(const std::string& path, ProductionTable& table, std::string& error);

} // namespace sulbrin
