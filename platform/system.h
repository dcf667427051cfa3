#pragma once
// What the programs need of the operating system besides windows and started programs: the
// command line, environment variables, the current folder, copying a file, the screen width and
// the registry.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

// The program's own command line as one text (the arguments after the program name, joined by
// blanks, as the user typed them). main() stores it; tests set it.
void setCommandLine(const std::string& text);
void setCommandLine(int argc, char** argv);
const std::string& commandLine();
// The file named on a command line, as the programs take it: lower-cased, without the blanks
// around the line, then without trailing and leading double quotes, then without its folder (up
// to the last backslash or slash), since the file is read from the current folder. A viewer takes
// only a name that ends in its own ending (the last three letters, no dot needed) and passes that
// ending: any other name gives an empty text. The control window passes none: it takes any name
// and chooses the editor by the name's ending itself.
std::string commandLineFile(std::string_view commandLine, std::string_view ending = {});
// The file named on a command line as the user typed it: without the blanks around the line, the
// double quotes around the name and its folder (up to the last backslash or slash).
std::string commandLineName(std::string_view commandLine);

// A file name in lower case: every letter of a UTF-8 name ("STRÖM.BIO" gives "ström.bio"); in a
// name that is not UTF-8 only A to Z, its other bytes kept.
std::string lowerCaseName(const std::string& name);
// The regular files of `folder` (the current one when empty) whose names equal `name` without
// regard to case (lowerCaseName), in name order.
std::vector<std::string> filesMatchingWithoutCase(const std::string& folder,
                                                  const std::string& name);

// Empty when the variable is not set.
std::string environmentVariable(const std::string& name);

std::string currentFolder(); // without a trailing separator
bool setCurrentFolder(const std::string& folder);
std::string folderOfRunningProgram(); // without a trailing separator

bool fileExists(const std::string& path);
// When path does not exist, the one file in its folder whose name matches it without regard to
// case (the first in name order when there are several); otherwise path itself.
std::string resolveWithoutCase(const std::string& path);

// Reads a regular file whole into `bytes`. Anything else (a named pipe, which would wait for a
// writer, a device, which may never end, a socket, a folder) is refused before it is opened:
// false, and `error` says what it is ("it is a named pipe, not a file"), as it says why a file
// could not be opened or read.
bool readWholeFile(const std::string& path, std::string& bytes, std::string& error);

// A regular file read a piece at a time, for a reader that keeps only what its values need of a
// long line. Opened as readWholeFile opens a file (anything but a regular file is refused).
class FileReader {
  public:
    static constexpr std::size_t kPieceBytes = 64 * 1024;

    FileReader();
    ~FileReader();
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    // False, and `error` says why as readWholeFile says it, when the file cannot be opened.
    bool open(const std::string& path, std::string& error);
    // The next piece of the file, at most kPieceBytes; empty at the end of the file or when it
    // cannot be read further (error() then says why). Valid until the next call.
    std::string_view next();
    const std::string& error() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// Copies a file, replacing the target whole: the copy is written beside it and renamed into place
// once all of it is on the disk. False when it cannot; the target is then as it was, and `error`
// (when given) holds the reason.
bool copyFile(const std::string& from, const std::string& to, std::string* error = nullptr);

// Width of the screen in twips (pixels times 15); tests may set it.
int screenWidthTwips();
void setScreenWidthTwipsForTesting(int twips); // 0 puts the real screen back

// Registry read access. On Windows the real registry; elsewhere a stand-in that finds no key.
// Results are 0 on success, like the system's calls.
class RegistryApi {
  public:
    virtual ~RegistryApi() = default;
    virtual long openKey(uintptr_t root, const std::string& subKey, uint32_t access,
                         uintptr_t* handle) = 0;
    // data has room for *size bytes; on return *size holds the length and *type the value type
    // (1 text, 4 32-bit number, little-endian).
    virtual long queryValue(uintptr_t handle, const std::string& valueName, uint32_t* type,
                            unsigned char* data, uint32_t* size) = 0;
    virtual long closeKey(uintptr_t handle) = 0;
};
constexpr uintptr_t kHkeyLocalMachine = 0x80000002u;
RegistryApi& registry();
void setRegistry(RegistryApi* api); // tests; nullptr puts the system's back

} // namespace plat
