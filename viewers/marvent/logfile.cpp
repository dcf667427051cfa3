// Reader of the simulation output log.
#include "viewers/marvent/logfile.h"

#include "platform/numtext.h"
#include "platform/seqfile.h"
#include "viewers/core/plot.h"

#include <cctype>
#include <cfloat>
#include <cmath>

namespace marvent {

LogTable logtable;

namespace {

constexpr const char* kBlanks = " \t\r";

bool isBlankLine(const std::string& line) {
    return line.find_first_not_of(kBlanks) == std::string::npos;
}

// A token that a number starts: an optional sign, then a digit or a point and a digit.
bool startsWithNumber(const std::string& token) {
    std::size_t i = 0;
    if (i < token.size() && (token[i] == '+' || token[i] == '-')) ++i;
    if (i < token.size() && token[i] == '.') ++i;
    return i < token.size() && std::isdigit(static_cast<unsigned char>(token[i]));
}

std::string firstToken(const std::string& line) {
    const auto start = line.find_first_not_of(kBlanks);
    if (start == std::string::npos) return {};
    return line.substr(start, line.find_first_of(kBlanks, start) - start);
}

std::string lineText(int n) {
    return "line " + std::to_string(n);
}

// Closes the log on every way out of the reader.
struct InputFile {
    plat::SeqFile& file = plat::fileNumber(1);
    ~InputFile() {
        if (file.isOpen()) file.close();
    }
};

} // namespace

double nextnumber(std::string& line, bool* missing, std::string* token) {
    if (missing) *missing = false;
    if (token) token->clear();
    const auto start = line.find_first_not_of(kBlanks);
    if (start == std::string::npos) {
        line.clear();
        return 0;
    }
    const auto end = line.find_first_of(kBlanks, start);
    const std::string text = line.substr(start, end - start);
    line = end == std::string::npos ? std::string() : line.substr(end);
    if (token) *token = text;
    if (text == "NaN") {
        if (missing) *missing = true;
        return -1;
    }
    return plat::leadingNumber(text).value_or(std::nan(""));
}

bool isDividedColumn(int column) {
    return column >= 2 && column <= kColumns && column != 3;
}

std::string columnQuantity(int column) {
    static const char* const names[kColumns + 1] = {"",
                                                    "year",
                                                    "recruitment",
                                                    "spawning-potential ratio",
                                                    "spawning biomass",
                                                    "stock biomass",
                                                    "yield",
                                                    "fishing mortality",
                                                    "mean length",
                                                    "mean weight",
                                                    "mean age"};
    return column >= 1 && column <= kColumns ? names[column] : std::string();
}

std::optional<std::string> readlogfile(const std::string& file) {
    logtable = LogTable{};
    InputFile in;
    if (!in.file.openInput(viewers::resolvePlotFile(file)))
        return "the file cannot be opened: " + in.file.error() + ".";

    int lineNumber = 0;
    for (; lineNumber < 4; ++lineNumber)
        if (!in.file.lineInput()) return "it ends within its four header lines.";

    LogTable& t = logtable;
    int n = 0;
    int closingLine = 0; // a last line that holds no year, such as a closing remark
    while (auto read = in.file.lineInput()) {
        ++lineNumber;
        std::string line = *read;
        if (isBlankLine(line)) continue;
        if (closingLine)
            return lineText(closingLine) + " does not start with a year, and rows follow it.";
        if (!startsWithNumber(firstToken(line))) {
            closingLine = lineNumber;
            continue;
        }
        if (n == kMaxRows)
            return "it holds more than " + std::to_string(kMaxRows) + " years; at most " +
                   std::to_string(kMaxRows) + " can be plotted.";
        ++n;
        std::string token;
        const double yearValue = nextnumber(line, nullptr, &token);
        const auto year = plat::toInteger16(yearValue);
        if (!year)
            return lineText(lineNumber) + ": the year " +
                   (std::isnan(yearValue) ? plat::visibleText(token) : plat::strDouble(yearValue)) +
                   " lies outside -32768 to 32767.";
        if (n > 1 && *year < t.year[n - 1])
            return lineText(lineNumber) + ": the year " + std::to_string(*year) +
                   " comes before the year " + std::to_string(t.year[n - 1]) +
                   " of the row above it.";
        t.year[n] = *year;
        for (int c = 2; c <= kColumns; ++c) {
            bool missing = false;
            double v = nextnumber(line, &missing, &token);
            if (std::isnan(v))
                return lineText(lineNumber) + ": the " + columnQuantity(c) + " " +
                       plat::visibleText(token) + " is too large.";
            if (c <= 8) {
                if (std::fabs(v) > FLT_MAX)
                    return lineText(lineNumber) + ": the " + columnQuantity(c) + " " +
                           plat::strDouble(v) + " is too large.";
                v = double(float(v));
            }
            t.value[c][n] = v;
            t.missing[c][n] = missing;
            if (isDividedColumn(c) && v > t.maximum[c]) t.maximum[c] = v;
        }
    }
    if (n == 0) return "it holds no rows of data after its four header lines.";
    t.nrows = n;

    for (int c = 2; c <= kColumns; ++c) {
        if (!isDividedColumn(c) || !(t.maximum[c] > 0)) continue;
        for (int row = 1; row <= n; ++row) {
            if (c <= 8)
                t.value[c][row] = double(float(t.value[c][row]) / float(t.maximum[c]));
            else
                t.value[c][row] /= t.maximum[c];
        }
    }
    return std::nullopt;
}

} // namespace marvent
