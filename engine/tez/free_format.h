// The engine's free-format reader: one read per line, values separated by blanks, commas or line
// ends, empty lines skipped, a read that needs more values going on into the next line.
#pragma once

#include <filesystem>
#include <fstream>
#include <istream>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tez {

// A read that could not be completed; the message names the file and the line.
class InputError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class FreeReader {
  public:
    // Opens a file for reading; false when it cannot be opened.
    bool open(const std::filesystem::path& path, std::string display_name);
    // Opens the input file `what` ("biology file"); throws InputError naming it when it cannot be
    // opened, is not a regular file (a folder, a named pipe, a device), or has no name. Messages
    // show the name with every byte visible.
    void open_input(const std::filesystem::path& path, std::string display_name,
                    std::string_view what);
    // Reads from a stream the caller owns (the console).
    void attach(std::istream& in, std::string display_name);
    void close();
    bool is_open() const { return in_ != nullptr; }

    // Starts a new read: whatever is left on the current line is skipped.
    void begin_read();
    // The next value of the read in progress. A null value (two commas in a row) or a value
    // after a slash leaves the target unchanged. These throw InputError at the end of the input
    // or when the text is not a number of the wanted kind.
    void integer(int& value);
    void real(double& value);
    // A text item: it ends at a blank, comma or slash unless quoted, and is cut or padded with
    // blanks to `length` characters.
    void text(std::string& value, std::size_t length);
    // The next line whole (empty lines included), cut or padded to `length` characters.
    void whole_line(std::string& value, std::size_t length);

    // One-value reads, each on a line of its own.
    int read_integer();
    double read_real();
    std::string read_text(std::size_t length);

    // Throws InputError with `what`, naming the first line after the last read that holds more
    // than blanks; blank lines at the end are fine.
    void expect_end(std::string_view what);

    // Throws InputError naming the file and the current line.
    [[noreturn]] void fail(std::string_view what) const;

  private:
    bool next_line();
    // Moves to the next value of the read; false when the read has ended at a slash or the value
    // is null.
    bool next_value();
    std::string_view take_token();
    void after_value();

    std::ifstream file_;
    std::istream* in_ = nullptr;
    std::string name_;
    std::string line_;
    std::size_t pos_ = 0;
    int line_no_ = 0;
    bool in_read_ = false;
    bool have_line_ = false;
    bool ended_ = false; // a slash ended the read in progress
};

// Number parsing of the reader, in the classic locale whatever the program's locale.
bool parse_integer(std::string_view text, int& value);
// A real number whose magnitude is beyond the largest double is refused and sets `too_large`; one
// that underflows reads as 0.
bool parse_real(std::string_view text, double& value, bool* too_large = nullptr);

// Blank-padded or cut to length.
std::string fit_text(std::string_view text, std::size_t length);
// Without leading and trailing blanks.
std::string_view trim_blanks(std::string_view text);

} // namespace tez
