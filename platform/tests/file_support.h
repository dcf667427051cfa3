#pragma once
// Whole-file reads and writes for the platform tests, in binary so that line ends stay as written.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace plattest {

inline std::string slurp(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void spit(const std::filesystem::path& p, const std::string& text) {
    std::ofstream out(p, std::ios::binary);
    out << text;
}

} // namespace plattest
