#include "fuzz_support.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <system_error>
#include <unistd.h>

namespace fuzz {

namespace {

std::filesystem::path makeWorkFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vesk-fuzz-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        std::perror("vesk fuzz: cannot make a working folder");
        std::abort();
    }
    return pattern;
}

struct Folder {
    std::filesystem::path path = makeWorkFolder();
    ~Folder() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool startsLikeNumber(std::string_view w) {
    std::size_t i = 0;
    if (i < w.size() && (w[i] == '-' || w[i] == '+')) ++i;
    if (i < w.size() && w[i] == '.') ++i;
    return i < w.size() && isDigit(w[i]);
}

bool finiteNumber(std::string_view w) {
    std::string t(w);
    if (!t.empty() && t.front() == '+') t.erase(0, 1);
    if (t.find_first_not_of("0123456789.eE+-") != std::string::npos) return false;
    double v = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
    return ec == std::errc() && end == t.data() + t.size() && std::isfinite(v);
}

} // namespace

const std::filesystem::path& workFolder() {
    static Folder folder;
    return folder.path;
}

void writeFile(const std::filesystem::path& path, std::string_view text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), std::streamsize(text.size()));
    if (!out) finding("cannot write " + path.string());
}

std::filesystem::path writeInput(const std::string& name, const uint8_t* data, std::size_t size) {
    const std::filesystem::path path = workFolder() / name;
    writeFile(path, std::string_view(reinterpret_cast<const char*>(data), size));
    return path;
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::filesystem::path copySeed(const std::string& target, const std::string& file) {
    const std::filesystem::path from = std::filesystem::path(VESK_FUZZ_SEEDS) / target / file;
    const std::string text = readFile(from);
    if (text.empty()) finding("the seed " + from.string() + " is missing");
    const std::filesystem::path to = workFolder() / file;
    writeFile(to, text);
    return to;
}

void finding(const std::string& what) {
    std::cerr << "\nvesk fuzz finding: " << what << std::endl;
    std::abort();
}

std::string badNumberWord(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\r' || text[i] == '\n' ||
                                   text[i] == '\t' || text[i] == ','))
            ++i;
        std::size_t j = i;
        while (j < text.size() && text[j] != ' ' && text[j] != '\r' && text[j] != '\n' &&
               text[j] != '\t' && text[j] != ',')
            ++j;
        const std::string_view w = text.substr(i, j - i);
        if (w.find("**") != std::string_view::npos) return std::string(w);
        if (startsLikeNumber(w) && !finiteNumber(w)) return std::string(w);
        i = j;
    }
    return {};
}

} // namespace fuzz
