#pragma once
// The numbers of an engine's result table: two header lines, then values separated by blanks,
// commas or line ends, so the arrangement of the values on lines is free. Shared by the
// production-table and per-recruit readers.
#include <string>
#include <vector>

namespace sulbrin {

// Reads the first `wanted` values after the two header lines of `path`. A value is read leniently
// (the number at its start, 0 when there is none); an empty item between two commas reads 0.
// Returns false, with a message saying what is wrong (the caller names the file), when the file
// cannot be read or holds fewer than `wanted` values; values beyond the first `wanted` are not
// read, and a line of any length is read in a memory that does not grow with it. `what` names
// the table in the message ("a production table").
bool readTableNumbers(const std::string& path, std::size_t wanted, const std::string& what,
                      std::vector<float>& values, std::string& error);

} // namespace sulbrin
