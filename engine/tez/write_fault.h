// A stand-in for a full disk, for the tests on systems that have no full device to write to
// (Windows): while a fault is set, every write to an output that it picks fails as a write to a
// full disk would.
#pragma once

#include <filesystem>

namespace tez {

// Picks an output by its own path (not its temporary one).
using WriteFault = bool (*)(const std::filesystem::path& output);

// nullptr lets every write through again.
void set_write_fault(WriteFault fault);
// Whether the next write to `output` is to fail; the output writer asks before each write.
bool write_fails(const std::filesystem::path& output);

} // namespace tez
