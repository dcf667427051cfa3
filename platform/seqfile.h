#pragma once
// Sequential text files under fixed file numbers, as the file dialogs hand them to their callers.
// Output goes to a temporary file beside the named one and replaces it only when the file is
// closed, so a failed or interrupted write never loses the file that was there before.
// Readers take CR LF and LF alike; writers write CR LF.
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "common/visibletext.h"

namespace plat {

enum class ItemStatus {
    Ok,
    EndOfFile,  // nothing left to read
    Empty,      // an empty item (",," or a blank line where a text was expected)
    NotANumber, // a number was expected and the item is text
};

struct NumberItem {
    ItemStatus status = ItemStatus::EndOfFile;
    double value = 0;
    std::string text; // the item as it stood in the file
};

struct TextItem {
    ItemStatus status = ItemStatus::EndOfFile;
    std::string text;
};

class SeqFile {
  public:
    enum class Mode { Closed, Input, Output };

    SeqFile();
    ~SeqFile();
    SeqFile(const SeqFile&) = delete;
    SeqFile& operator=(const SeqFile&) = delete;

    // Open for reading. False (and error() says why) when the file cannot be read.
    bool openInput(const std::string& path);
    // Open for writing through a temporary file in the same folder. False when that cannot be made.
    bool openOutput(const std::string& path);

    bool isOpen() const;
    Mode mode() const;
    const std::string& path() const;
    const std::string& error() const;

    // Writing.
    void print(std::string_view text);          // text as it stands
    void printLine(std::string_view text = {}); // text followed by CR LF

    // Reading. A number item ends at a blank, a comma or the line end; blanks before it and one
    // comma after it are passed over. A text item runs from its first non-blank character to the
    // next comma or the line end (a quoted text to its closing quote), trailing blanks dropped.
    NumberItem inputNumber();
    TextItem inputText();
    std::optional<std::string> lineInput(); // one whole line without its line end; nothing at end
    bool eof() const;                       // true when only blanks and line ends are left
    int lineNumber() const;                 // 1-based line of the next item, for messages

    // Closing an output file moves the temporary file into place. When that or any earlier write
    // failed, a message naming the file is shown, the old file is left as it was, and the result
    // is false. Closing an input file always succeeds.
    bool close();
    // Drops an output file without touching the named file (a writer that gave up).
    void discard();

  private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// Text read from a file as a message quotes it (every byte visible, cut after a few dozen
// characters), and a file name as a message names it (every byte visible).
using vesk::visibleName;
using vesk::visibleText;

// The program-wide file numbers 1..255 (any other number gets one spare file of its own).
SeqFile& fileNumber(int n);

} // namespace plat
