#pragma once
// Reading the control window's definition files item by item, with messages that name the file,
// the line and what was expected, and the name checks that their saves share.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "control_window/model/maincode.h"

namespace plat {
class SeqFile;
}

namespace cw {

// The largest double whose 15-digit print form, as the files hold it, reads back as a double:
// 1.7976931348623157E+308 would be saved as 1.79769313486232E+308, which is beyond the range.
constexpr double kLargestSavedDouble = 1.79769313486231e308;

// Reads a definition file item by item. The first problem ends the reading with a message, and
// every later read then does nothing, so a reader's steps need no checks between them.
// What data after the last value means, for files with counts that size their blocks, for the
// year lists of the equilibrium and yield-per-recruit definitions, for the recruitment file's
// years and for a run definition, whose values are a fixed list.
inline constexpr std::string_view kCountDoesNotMatch =
    "a count in it does not match the values that follow.";
inline constexpr std::string_view kYearsDoNotMatch =
    "its number of years does not match the years that follow.";
inline constexpr std::string_view kYearRangeDoesNotMatch =
    "its first and last year do not match the year lines that follow.";
inline constexpr std::string_view kFixedListEnds =
    "a run definition ends with the name of the log file for output.";

class DefinitionReader {
  public:
    // `subject` opens every message, as in "The biological data file a.bio".
    DefinitionReader(plat::SeqFile& f, std::string subject);

    const std::optional<std::string>& problem() const { return problem_; }
    int line() const;

    // Ends the reading with the subject followed by a blank and `text`, unless a problem was
    // found already.
    void fail(const std::string& text);

    bool number(double& out, const std::string& what);
    bool single(float& out, const std::string& what);
    bool whole(int16_t& out, const std::string& what);
    // A count that sizes later blocks: refused before anything is read with it.
    bool count(int16_t& out, const std::string& what, int min, int max);
    // A text item; an empty one reads as an empty text.
    bool text(std::string& out, const std::string& what);
    // A number on a line of its own that may be left empty: read as a line, so that an empty
    // one does not take the next line's number, and kept as no value.
    bool numberOrEmpty(Variant& out, const std::string& what);
    // The age or season number that starts a table line, read for the reader's eye only.
    bool skip(const std::string& what);
    // After the last value: a file that still holds data is refused (trailingDataProblem, with
    // `why`). The problem found, if any.
    const std::optional<std::string>& finish(std::string_view why = kCountDoesNotMatch);

  private:
    bool found(int line, const std::string& text, const std::string& what);

    plat::SeqFile& f_;
    std::string subject_;
    std::optional<std::string> problem_;
};

// Once a file's last value was read: the message "<subject> holds data after its last value, from
// line N on: <why>" when anything but blanks and line ends is left, else nothing. A count that
// does not match the blocks that follow leaves data unread, so the file is refused rather than
// read shifted; `why` says what is wrong in a file of its kind.
std::optional<std::string> trailingDataProblem(plat::SeqFile& f, const std::string& subject,
                                               std::string_view why);

// A name that the reader would not give back as it stands, since a comma ends a text and a double
// quote starts a quoted one: the message "The <what> must not hold ...", else nothing.
std::optional<std::string> commaOrQuoteProblem(const std::string& name, const std::string& what);

// A file name with a blank or tab in it: the engines read a file name only up to its first blank
// and would open another file. The message "The <what> ... holds a blank ...", else nothing.
std::optional<std::string> blankInNameProblem(const std::string& name, const std::string& what);

// A count outside min..max: the message "The <what> is <value>; it must be <min> to <max>.",
// else nothing.
std::optional<std::string> countRangeProblem(const std::string& what, int value, int min, int max);

} // namespace cw
