// Reader of the simulation output log.
#include "viewers/marvent/logfile.h"

#include "platform/numtext.h"
#include "viewers/core/itemreader.h"
#include "viewers/core/plot.h"

#include <cctype>
#include <cfloat>
#include <cmath>
#include <string_view>

namespace marvent {

LogTable logtable;

namespace {

constexpr const char* kBlanks = " \t\r";

// A token that a number starts: an optional sign, then a digit or a point and a digit.
bool startsWithNumber(std::string_view token) {
    std::size_t i = 0;
    if (i < token.size() && (token[i] == '+' || token[i] == '-')) ++i;
    if (i < token.size() && token[i] == '.') ++i;
    return i < token.size() && std::isdigit(static_cast<unsigned char>(token[i]));
}

std::string lineText(int n) {
    return "line " + std::to_string(n);
}

// The value of a token: -1, and missing, for NaN; else its leading number, NaN when it has none.
double tokenValue(const viewers::Item& token, bool* missing) {
    if (missing) *missing = false;
    if (token.head() == "NaN") {
        if (missing) *missing = true;
        return -1;
    }
    return token.number().value_or(std::nan(""));
}

// The log's lines and their tokens, separated by blanks. A line ends in CR LF, LF or a CR alone;
// of a token only what its value and a message need is kept, so a line of any length is read in
// bounded memory, and what follows the last column is passed over unread.
class LogLines {
  public:
    // (A byte-order mark stands in the first header line, which is not read.)
    bool open(const std::string& path, std::string& error) { return in_.open(path, error); }
    // Starts the next line; false at the end of the file.
    bool startLine() {
        atLineEnd_ = false;
        return in_.peek() != viewers::ByteReader::kEnd;
    }
    // Passes over the rest of the line (a whole line when one was not started); false when the
    // file had ended.
    bool skipLine() {
        if (!atLineEnd_ && in_.peek() == viewers::ByteReader::kEnd) return false;
        while (!atLineEnd_) {
            viewers::skipWhile(in_, [](char b) { return b != '\r' && b != '\n'; });
            const int c = in_.get();
            if (c == viewers::ByteReader::kEnd) break;
            if (lineEnd(c)) break;
        }
        atLineEnd_ = false;
        return true;
    }
    // Reads the line's next token into token(); false when the line has no more.
    bool nextToken() {
        token_.clear();
        if (atLineEnd_) return false;
        viewers::skipWhile(in_, [](char b) { return b == ' ' || b == '\t'; });
        int c = in_.get();
        if (c != viewers::ByteReader::kEnd && c != ' ' && c != '\t' && !lineEnd(c)) {
            token_.add(char(c));
            viewers::readItemRest(in_, token_, [](char b) {
                return b == ' ' || b == '\t' || b == '\r' || b == '\n';
            });
            c = in_.get();
            if (c != ' ' && c != '\t') lineEnd(c);
        }
        if (c == viewers::ByteReader::kEnd) atLineEnd_ = true;
        return !token_.empty();
    }
    viewers::Item& token() { return token_; }
    const std::string& error() const { return in_.error(); }
    std::string endError(const std::string& ended) const {
        return error().empty() ? ended : "the file cannot be read: " + error() + ".";
    }

  private:
    // True for a line end, which it takes whole (CR LF is one).
    bool lineEnd(int c) {
        if (c != '\r' && c != '\n') return false;
        if (c == '\r' && in_.peek() == '\n') in_.get();
        atLineEnd_ = true;
        return true;
    }
    viewers::ByteReader in_;
    viewers::Item token_;
    bool atLineEnd_ = false;
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
    viewers::Item item;
    item.addRun(text);
    return tokenValue(item, missing);
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
    LogLines in;
    std::string error;
    if (!in.open(viewers::resolvePlotFile(file), error))
        return "the file cannot be opened: " + error + ".";

    int lineNumber = 0;
    for (; lineNumber < 4; ++lineNumber)
        if (!in.skipLine()) return in.endError("it ends within its four header lines.");

    LogTable& t = logtable;
    int n = 0;
    int closingLine = 0; // a last line that holds no year, such as a closing remark
    viewers::Item& token = in.token();
    while (in.startLine()) {
        ++lineNumber;
        if (!in.nextToken()) continue; // a blank line
        if (closingLine)
            return lineText(closingLine) + " does not start with a year, and rows follow it.";
        if (!startsWithNumber(token.head())) {
            closingLine = lineNumber;
            in.skipLine();
            continue;
        }
        if (n == kMaxRows)
            return "it holds more than " + std::to_string(kMaxRows) + " years; at most " +
                   std::to_string(kMaxRows) + " can be plotted.";
        ++n;
        const double yearValue = tokenValue(token, nullptr);
        const auto year = plat::toInteger16(yearValue);
        if (!year)
            return lineText(lineNumber) + ": the year " +
                   (std::isnan(yearValue) ? token.visible() : plat::strDouble(yearValue)) +
                   " lies outside -32768 to 32767.";
        if (n > 1 && *year < t.year[n - 1])
            return lineText(lineNumber) + ": the year " + std::to_string(*year) +
                   " comes before the year " + std::to_string(t.year[n - 1]) +
                   " of the row above it.";
        t.year[n] = *year;
        for (int c = 2; c <= kColumns; ++c) {
            bool missing = false;
            // A row cut short reads 0 for the columns it lacks.
            double v = in.nextToken() ? tokenValue(token, &missing) : 0.0;
            if (std::isnan(v))
                return lineText(lineNumber) + ": the " + columnQuantity(c) + " " + token.visible() +
                       " is too large.";
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
        // What follows the last column is not read.
        in.skipLine();
    }
    if (!in.error().empty()) return "the file cannot be read: " + in.error() + ".";
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
