#include "viewers/sulbrin/table_numbers.h"

#include "platform/numtext.h"
#include "platform/seqfile.h"
#include "platform/system.h"

#include <cmath>
#include <optional>
#include <string_view>

namespace sulbrin {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

// Splits one line into its items. A comma ends an item, and so does a run of blanks; the blanks
// around a comma belong to it. Two commas with nothing between them make an empty item, but a
// comma that ends the line does not start one.
void splitLine(std::string_view line, std::vector<std::string_view>& items) {
    std::size_t i = 0;
    const std::size_t n = line.size();
    bool afterComma = false;
    while (true) {
        while (i < n && isBlank(line[i]))
            ++i;
        if (i >= n) return;
        if (line[i] == ',') {
            if (afterComma || items.empty()) items.push_back({});
            afterComma = true;
            ++i;
            continue;
        }
        std::size_t start = i;
        while (i < n && !isBlank(line[i]) && line[i] != ',')
            ++i;
        items.push_back(line.substr(start, i - start));
        while (i < n && isBlank(line[i]))
            ++i;
        afterComma = false;
        if (i < n && line[i] == ',') {
            afterComma = true;
            ++i;
        }
    }
}

} // namespace

bool readTableNumbers(const std::string& path, std::size_t wanted, const std::string& what,
                      std::vector<float>& values, std::string& error) {
    values.clear();
    error.clear();
    std::string bytes;
    if (!plat::readWholeFile(plat::resolveWithoutCase(path), bytes, error)) {
        error = "the file cannot be opened: " + error + ".";
        return false;
    }
    const std::string_view text(bytes);

    std::size_t pos = 0;
    int lineNo = 0;
    std::vector<std::string_view> items;
    while (pos < text.size() && values.size() < wanted) {
        // A line ends in CR LF, LF or a CR alone.
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + (text.substr(end, 2) == "\r\n" ? 2 : 1);
        if (++lineNo <= 2) continue; // the header
        items.clear();
        splitLine(line, items);
        for (std::string_view item : items) {
            if (values.size() >= wanted) break;
            const std::optional<double> read = plat::leadingNumber(item);
            const float v = read ? float(*read) : 0.0f;
            if (!read || !std::isfinite(v)) {
                error = "the value " + plat::visibleText(item) + " on line " +
                        std::to_string(lineNo) + " is out of range.";
                values.clear();
                return false;
            }
            values.push_back(v);
        }
    }
    if (values.size() < wanted) {
        error = "it holds " + std::to_string(values.size()) +
                " numbers after its two header lines; " + what + " needs " +
                std::to_string(wanted) + ".";
        values.clear();
        return false;
    }
    return true;
}

} // namespace sulbrin
