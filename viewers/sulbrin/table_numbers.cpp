#include "viewers/sulbrin/table_numbers.h"

#include "platform/system.h"
#include "viewers/core/itemreader.h"

#include <cmath>
#include <optional>

namespace sulbrin {

// A comma ends an item, and so does a run of blanks; the blanks around a comma belong to it. Two
// commas with nothing between them make an empty item, and so does a comma that starts a line,
// but a comma that ends the line does not start one. The file is read only as far as the values
// wanted, and of each item only what its value needs is kept.
bool readTableNumbers(const std::string& path, std::size_t wanted, const std::string& what,
                      std::vector<float>& values, std::string& error) {
    values.clear();
    error.clear();
    viewers::ByteReader in;
    if (!in.open(plat::resolveWithoutCase(path), error)) {
        error = "the file cannot be opened: " + error + ".";
        return false;
    }

    int lineNo = 1;
    // What came last on the line: nothing yet, an item, or a comma.
    enum class Last { Nothing, Item, Comma } last = Last::Nothing;
    viewers::Item item;
    bool inItem = false;
    // Takes the item read; false once it was out of range.
    const auto take = [&]() -> bool {
        const std::optional<double> read = item.number();
        const float v = read ? float(*read) : 0.0f;
        if (!read || !std::isfinite(v)) {
            error = "the value " + item.visible() + " on line " + std::to_string(lineNo) +
                    " is out of range.";
            values.clear();
            return false;
        }
        values.push_back(v);
        item.clear();
        last = Last::Item;
        return true;
    };
    while (values.size() < wanted) {
        const int c = in.get();
        const bool lineEnd = c == '\r' || c == '\n';
        if (inItem &&
            (c == viewers::ByteReader::kEnd || lineEnd || c == ' ' || c == '\t' || c == ',')) {
            inItem = false;
            if (!take()) return false;
            if (values.size() >= wanted) break;
        }
        if (c == viewers::ByteReader::kEnd) break;
        if (lineEnd) {
            // A line ends in CR LF, LF or a CR alone.
            if (c == '\r' && in.peek() == '\n') in.get();
            ++lineNo;
            last = Last::Nothing;
            continue;
        }
        if (lineNo <= 2) { // the header
            viewers::skipWhile(in, [](char b) { return b != '\r' && b != '\n'; });
            continue;
        }
        if (c == ' ' || c == '\t') {
            viewers::skipWhile(in, [](char b) { return b == ' ' || b == '\t'; });
            continue;
        }
        if (c == ',') {
            if (last != Last::Item) {
                if (!take()) return false; // an empty item
            }
            last = Last::Comma;
            continue;
        }
        inItem = true;
        item.add(char(c));
        viewers::readItemRest(in, item, [](char b) {
            return b == ' ' || b == '\t' || b == ',' || b == '\r' || b == '\n';
        });
    }
    if (values.size() < wanted) {
        if (!in.error().empty()) {
            error = "the file cannot be read: " + in.error() + ".";
            values.clear();
            return false;
        }
        error = "it holds " + std::to_string(values.size()) +
                " numbers after its two header lines; " + what + " needs " +
                std::to_string(wanted) + ".";
        values.clear();
        return false;
    }
    return true;
}

} // namespace sulbrin
