// The engine's free-format reader: one read per line, values separated by blanks, commas or line
// ends, empty lines skipped, a read that needs more values going on into the next line.
#pragma once

#include <cstddef>
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
    // An item as far as the reader keeps it: its first bytes, and for a number item that is
    // longer, what its value and its message need of the rest.
    struct Item;

    // At least `count` bytes from the read position in the buffer, unless the input ends first;
    // false when fewer are there.
    bool fill(std::size_t count) { return tail_ - head_ >= count || refill(count); }
    bool refill(std::size_t count);
    // The byte at the read position when the current line goes on, else -1 (its end: a line
    // feed, a carriage return before one or before the end of the input, or the end).
    int peek();
    // Moves over the bytes of the current line while `go` holds for them, giving each run of
    // them to `take`; the line is never held whole. `item`: `go` holds for every byte that does not
    // end an item.
    template <class Go, class Take> void scan(Go go, Take take, bool item = false);
    void skip_blanks();
    // Skips what is left of the current line and its line end.
    void skip_line();
    bool next_line();
    // Moves to the next value of the read; false when the read has ended at a slash or the value
    // is null.
    bool next_value();
    // The item at the read position, up to its end (a blank, comma, slash or the line's end).
    void take_item(Item& item, std::size_t keep, bool number);
    void after_value();
    [[noreturn]] void fail_at_end(std::string_view expected) const;
    std::string quoted(const Item& item) const;

    std::ifstream file_;
    std::istream* in_ = nullptr;
    // A file is read in blocks; a stream of the caller's (the console) byte by byte, so that a
    // read waits for no more than its line.
    bool blocks_ = false;
    std::string buffer_;
    std::size_t head_ = 0; // the read position in the buffer
    std::size_t tail_ = 0; // the end of what the buffer holds
    bool input_ended_ = false;
    std::string item_text_; // the number item being read, kept for its room
    std::string name_;
    int line_no_ = 0;
    bool in_line_ = false;  // the read position stands in line line_no_
    bool cr_alone_ = false; // line line_no_ holds a carriage return that ends no line
    bool in_read_ = false;
    bool have_line_ = false;
    bool ended_ = false; // a slash ended the read in progress
};

// Number parsing of the reader, in the classic locale whatever the program's locale.
bool parse_integer(std::string_view text, int& value);
// A real number whose magnitude is beyond the largest double is refused and sets `too_large`; one
// that underflows reads as 0 of its sign.
bool parse_real(std::string_view text, double& value, bool* too_large = nullptr);

// Blank-padded or cut to length.
std::string fit_text(std::string_view text, std::size_t length);
// Without leading and trailing blanks.
std::string_view trim_blanks(std::string_view text);

} // namespace tez
