#pragma once
// The simulation output log and its reader. After four header lines each line holds one year:
// year, recruitment, spawning-potential ratio, spawning biomass, stock biomass, yield, fishing
// mortality, mean length, mean weight and mean age, separated by blanks. Every column but the
// year and the spawning-potential ratio is divided by its maximum over the file.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace marvent {

constexpr int kMaxRows = 100;
constexpr int kColumns = 10;

// Returns the value of the first token of line and removes the token (the blank after it stays
// at the line's front). "NaN" reads -1 and sets *missing; any other token reads as the number at
// its start (0 when there is none); a line without tokens gives 0. A token whose number is too
// large for a double has no value: it reads NaN, for the reader to refuse. *token, when given,
// receives the token read.
double nextnumber(std::string& line, bool* missing = nullptr, std::string* token = nullptr);

// The columns of the last log read, rows from index 1. Columns 2 to 8 are singles, 9 and 10
// doubles; all are kept here as the values they were stored as.
struct LogTable {
    int nrows = 0;
    std::array<int16_t, kMaxRows + 1> year{};
    // value[c][row] for columns 2..10 (index 0 and 1 unused).
    std::array<std::array<double, kMaxRows + 1>, kColumns + 1> value{};
    std::array<std::array<bool, kMaxRows + 1>, kColumns + 1> missing{};
    // Running maximum of each divided column, from 0; a column whose maximum stays at 0 or less
    // is left as read.
    std::array<double, kColumns + 1> maximum{};
};

extern LogTable logtable;

// True for the columns that are divided by their maximum (all but the year and the ratio).
bool isDividedColumn(int column);
// What the column holds, for messages ("recruitment", "mean length", ...).
std::string columnQuantity(int column);

// Reads the log into logtable and divides it by its maxima. Returns what is wrong with the file
// when it cannot be plotted at all; logtable is then not to be used.
std::optional<std::string> readlogfile(const std::string& file);

} // namespace marvent
