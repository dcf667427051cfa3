#pragma once
// What every fuzz target shares: a working folder of its own where the input is written as a
// file, the seeds of the bundled example, and the checks that turn a wrong result into a finding
// (the process aborts, so that libFuzzer keeps the input).
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace fuzz {

// A fresh folder for this process, made on first use and removed when the process ends.
const std::filesystem::path& workFolder();

// Writes the input bytes as the file `name` in the working folder; its path.
std::filesystem::path writeInput(const std::string& name, const uint8_t* data, std::size_t size);
void writeFile(const std::filesystem::path& path, std::string_view text);
std::string readFile(const std::filesystem::path& path);

// Copies seeds/<target>/<file> into the working folder under its own name; its path.
std::filesystem::path copySeed(const std::string& target, const std::string& file);

// Reports a finding on the error stream and aborts.
[[noreturn]] void finding(const std::string& what);

inline void requireFinite(double v, std::string_view what) {
    if (!std::isfinite(v)) finding(std::string(what) + " is not finite after an accepted input");
}
template <class Range> void requireAllFinite(const Range& values, std::string_view what) {
    for (const auto& v : values) {
        if constexpr (std::is_arithmetic_v<std::decay_t<decltype(v)>>)
            requireFinite(double(v), what);
        else
            requireAllFinite(v, what);
    }
}

// Every blank-separated word of `text` that starts like a number (a digit, or a sign or point
// before a digit) must be a whole finite number in plain or exponent form, and no field may be
// filled with asterisks. The first bad word, or nothing.
std::string badNumberWord(std::string_view text);

} // namespace fuzz
