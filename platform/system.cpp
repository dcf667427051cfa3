#include "platform/system.h"

#include "platform/savefile.h"

#include "common/filekind.h"

#include <QByteArrayView>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <filesystem>
#include <optional>
#include <system_error>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace plat {

namespace fs = std::filesystem;

namespace {

struct SystemState {
    std::string commandLine;
    int screenTwipsOverride = 0;
    RegistryApi* registry = nullptr;
};

SystemState& state() {
    static SystemState* s = new SystemState;
    return *s;
}

std::string lower(std::string s) {
    for (char& c : s)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

#ifdef _WIN32
class WindowsRegistry : public RegistryApi {
  public:
    long openKey(uintptr_t root, const std::string& subKey, uint32_t access,
                 uintptr_t* handle) override {
        HKEY key = nullptr;
        const LONG r =
            RegOpenKeyExA(reinterpret_cast<HKEY>(root), subKey.c_str(), 0, REGSAM(access), &key);
        *handle = reinterpret_cast<uintptr_t>(key);
        return r;
    }
    long queryValue(uintptr_t handle, const std::string& valueName, uint32_t* type,
                    unsigned char* data, uint32_t* size) override {
        DWORD t = 0, n = *size;
        const LONG r = RegQueryValueExA(reinterpret_cast<HKEY>(handle), valueName.c_str(), nullptr,
                                        &t, data, &n);
        *type = t;
        *size = n;
        return r;
    }
    long closeKey(uintptr_t handle) override { return RegCloseKey(reinterpret_cast<HKEY>(handle)); }
};
#else
// Off Windows there is no registry: every key is missing (the system's "file not found").
class NoRegistry : public RegistryApi {
  public:
    long openKey(uintptr_t, const std::string&, uint32_t, uintptr_t* handle) override {
        if (handle) *handle = 0;
        return 2;
    }
    long queryValue(uintptr_t, const std::string&, uint32_t* type, unsigned char*,
                    uint32_t* size) override {
        if (type) *type = 0;
        if (size) *size = 0;
        return 2;
    }
    long closeKey(uintptr_t) override { return 6; } // invalid handle
};
#endif

RegistryApi& systemRegistry() {
#ifdef _WIN32
    static WindowsRegistry* r = new WindowsRegistry;
#else
    static NoRegistry* r = new NoRegistry;
#endif
    return *r;
}

} // namespace

void setCommandLine(const std::string& text) {
    state().commandLine = text;
}

void setCommandLine(int argc, char** argv) {
    std::string text;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) text += ' ';
        text += argv[i];
    }
    setCommandLine(text);
}

const std::string& commandLine() {
    return state().commandLine;
}

std::string commandLineFile(std::string_view commandLine, std::string_view ending) {
    const std::string text = lower(commandLineName(commandLine));
    if (ending.empty()) return text;
    if (text.size() >= ending.size() &&
        text.compare(text.size() - ending.size(), ending.size(), ending) == 0)
        return text;
    return {};
}

std::string commandLineName(std::string_view commandLine) {
    std::string text(commandLine);
    // Blanks around the whole line are the shell's, not the name's.
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    text = text.substr(first, text.find_last_not_of(" \t") - first + 1);
    while (!text.empty() && text.back() == '"')
        text.pop_back();
    while (!text.empty() && text.front() == '"')
        text.erase(0, 1);
    const auto slash = text.find_last_of("\\/");
    if (slash != std::string::npos) text = text.substr(slash + 1);
    return text;
}

std::string lowerCaseName(const std::string& name) {
    const QByteArrayView bytes(name.data(), qsizetype(name.size()));
    if (!bytes.isValidUtf8()) return lower(name);
    return QString::fromUtf8(bytes).toLower().toStdString();
}

std::vector<std::string> filesMatchingWithoutCase(const std::string& folder,
                                                  const std::string& name) {
    const std::string wanted = lowerCaseName(name);
    std::error_code ec;
    std::vector<std::string> matches;
    for (fs::directory_iterator it(folder.empty() ? fs::path(".") : fs::path(folder), ec), end;
         !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec)) continue;
        const std::string entry = it->path().filename().string();
        if (lowerCaseName(entry) == wanted) matches.push_back(entry);
    }
    std::sort(matches.begin(), matches.end());
    return matches;
}

std::string environmentVariable(const std::string& name) {
    return qEnvironmentVariable(name.c_str()).toStdString();
}

std::string currentFolder() {
    std::error_code ec;
    std::string s = fs::current_path(ec).string();
    while (s.size() > 1 && (s.back() == '/' || s.back() == '\\') && !(s.size() == 3 && s[1] == ':'))
        s.pop_back();
    return s;
}

bool setCurrentFolder(const std::string& folder) {
    std::error_code ec;
    fs::current_path(fs::path(folder), ec);
    return !ec;
}

std::string folderOfRunningProgram() {
    if (QCoreApplication::instance()) return QCoreApplication::applicationDirPath().toStdString();
    return currentFolder();
}

bool fileExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::exists(fs::path(path), ec);
}

std::string resolveWithoutCase(const std::string& path) {
    if (path.empty() || fileExists(path)) return path;
    const auto cut = path.find_last_of("/\\");
    const std::string folder = cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
    const std::vector<std::string> matches =
        filesMatchingWithoutCase(folder, cut == std::string::npos ? path : path.substr(cut + 1));
    if (matches.empty()) return path;
    return folder + matches.front();
}

namespace {

// Opens a regular file only: anything else is refused, named in `error`. A path whose bytes are not
// UTF-8 has no text of its own to give the file system: where file names are bytes it is opened by
// them, so that a file named so on a command line can be read.
bool openForReading(QFile& f, const std::string& path, std::string& error) {
    if (const std::optional<std::string> kind = vesk::notRegularFile(fs::path(path))) {
        error = "it is " + *kind + ", not a file";
        return false;
    }
#ifndef _WIN32
    if (!QByteArrayView(path.data(), qsizetype(path.size())).isValidUtf8()) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            error = systemReason(errno);
            return false;
        }
        if (f.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) return true;
        ::close(fd);
        error = f.errorString().toStdString();
        return false;
    }
#endif
    f.setFileName(QString::fromStdString(path));
    if (f.open(QIODevice::ReadOnly)) return true;
    error = f.errorString().toStdString();
    return false;
}

} // namespace

bool readWholeFile(const std::string& path, std::string& bytes, std::string& error) {
    bytes.clear();
    QFile f;
    if (!openForReading(f, path, error)) return false;
    const QByteArray read = f.readAll();
    if (f.error() != QFileDevice::NoError) {
        error = f.errorString().toStdString();
        return false;
    }
    bytes.assign(read.constData(), std::size_t(read.size()));
    return true;
}

struct FileReader::Impl {
    QFile file;
    std::string piece = std::string(kPieceBytes, '\0');
    std::string error;
};

FileReader::FileReader() : d(std::make_unique<Impl>()) {}
FileReader::~FileReader() = default;

bool FileReader::open(const std::string& path, std::string& error) {
    return openForReading(d->file, path, error);
}

std::string_view FileReader::next() {
    if (!d->file.isOpen()) return {};
    const qint64 n = d->file.read(d->piece.data(), qint64(d->piece.size()));
    if (n > 0) return std::string_view(d->piece.data(), std::size_t(n));
    if (n < 0) d->error = d->file.errorString().toStdString();
    d->file.close();
    return {};
}

const std::string& FileReader::error() const {
    return d->error;
}

bool copyFile(const std::string& from, const std::string& to, std::string* error) {
    std::string reason;
    std::error_code ec;
    if (!fs::exists(fs::path(from), ec)) {
        if (error) *error = "it is not there";
        return false;
    }
    if (fs::exists(fs::path(to), ec) && fs::equivalent(fs::path(from), fs::path(to), ec))
        return true;
    // Read whole and written beside under another name, renamed into place once every byte is on
    // the disk: a reader of the target finds the earlier file or the whole new one.
    std::string bytes;
    if (!readWholeFile(from, bytes, reason)) {
        if (error) *error = reason;
        return false;
    }
    if (!writeFileWhole(to, bytes, reason)) {
        if (error) *error = reason;
        return false;
    }
    return true;
}

int screenWidthTwips() {
    if (state().screenTwipsOverride > 0) return state().screenTwipsOverride;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        if (QScreen* screen = QGuiApplication::primaryScreen())
            return screen->geometry().width() * 15;
    }
    return 1024 * 15;
}

void setScreenWidthTwipsForTesting(int twips) {
    state().screenTwipsOverride = twips;
}

RegistryApi& registry() {
    return state().registry ? *state().registry : systemRegistry();
}

void setRegistry(RegistryApi* api) {
    state().registry = api;
}

} // namespace plat
