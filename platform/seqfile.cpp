#include "platform/seqfile.h"

#include "platform/numtext.h"
#include "platform/prompts.h"
#include "platform/savefile.h"

#include <QByteArrayView>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <array>
#include <cerrno>
#include <cstring>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace plat {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

// A path whose bytes are not UTF-8 has no text of its own to give the file system: where file
// names are bytes it is opened by them, so that a file named so on a command line can be read.
bool openForReading(QFile& f, const std::string& path, std::string& error) {
#ifndef _WIN32
    if (!QByteArrayView(path.data(), qsizetype(path.size())).isValidUtf8()) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat st {};
        if (fd < 0 || ::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
            error = fd >= 0 && S_ISDIR(st.st_mode) ? "it is a folder" : std::strerror(errno);
            if (fd >= 0) ::close(fd);
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

struct SeqFile::Impl {
    Mode mode = Mode::Closed;
    std::string path;
    std::string error;
    // Input: the whole file, read at open.
    std::string data;
    std::size_t pos = 0;
    int line = 1;
    // Output.
    std::unique_ptr<QSaveFile> out;
    bool writeFailed = false;

    bool atEnd() const { return pos >= data.size(); }
    char peek() const { return data[pos]; }
    void skipBlanks() {
        while (!atEnd() && isBlank(peek()))
            ++pos;
    }
    // Passes over one line end (CR LF, LF or a lone CR).
    bool skipLineEnd() {
        if (atEnd()) return false;
        if (peek() == '\r') {
            ++pos;
            if (!atEnd() && peek() == '\n') ++pos;
            ++line;
            return true;
        }
        if (peek() == '\n') {
            ++pos;
            ++line;
            return true;
        }
        return false;
    }
    // After an item: blanks, then one comma or one line end.
    void endItem() {
        skipBlanks();
        if (atEnd()) return;
        if (peek() == ',')
            ++pos;
        else
            skipLineEnd();
    }
    // A quoted text, from its opening quote to the closing one (or the line end).
    std::string readQuoted() {
        std::string text;
        ++pos;
        while (!atEnd() && peek() != '"' && !isLineEnd(peek()))
            text += data[pos++];
        if (!atEnd() && peek() == '"') ++pos;
        return text;
    }
    void reset() {
        mode = Mode::Closed;
        data.clear();
        pos = 0;
        line = 1;
        out.reset();
        writeFailed = false;
    }
    void write(std::string_view text) {
        if (!out || writeFailed) return;
        if (!writeChecked(*out, text, error)) writeFailed = true;
    }
};

SeqFile::SeqFile() : d(std::make_unique<Impl>()) {}
SeqFile::~SeqFile() = default;

bool SeqFile::openInput(const std::string& path) {
    if (isOpen()) close();
    d->reset();
    d->path = path;
    d->error.clear();
    QFile f;
    if (!openForReading(f, path, d->error)) return false;
    if (QFileInfo(f).isDir()) {
        d->error = "it is a folder";
        return false;
    }
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError) {
        d->error = f.errorString().toStdString();
        return false;
    }
    d->data.assign(bytes.constData(), std::size_t(bytes.size()));
    // A byte-order mark that an editor put before the first line is no part of its value.
    if (d->data.rfind("\xEF\xBB\xBF", 0) == 0) d->data.erase(0, 3);
    d->mode = Mode::Input;
    return true;
}

bool SeqFile::openOutput(const std::string& path) {
    if (isOpen()) close();
    d->reset();
    d->path = path;
    d->error.clear();
    auto out = std::make_unique<QSaveFile>(QString::fromStdString(path));
    if (!out->open(QIODevice::WriteOnly)) {
        d->error = out->errorString().toStdString();
        return false;
    }
    d->out = std::move(out);
    d->mode = Mode::Output;
    return true;
}

bool SeqFile::isOpen() const {
    return d->mode != Mode::Closed;
}
SeqFile::Mode SeqFile::mode() const {
    return d->mode;
}
const std::string& SeqFile::path() const {
    return d->path;
}
const std::string& SeqFile::error() const {
    return d->error;
}

void SeqFile::print(std::string_view text) {
    if (d->mode == Mode::Output) d->write(text);
}

void SeqFile::printLine(std::string_view text) {
    if (d->mode != Mode::Output) return;
    d->write(text);
    d->write("\r\n");
}

NumberItem SeqFile::inputNumber() {
    NumberItem item;
    if (d->mode != Mode::Input) return item;
    // Blanks and line ends before a number are passed over.
    for (;;) {
        d->skipBlanks();
        if (!d->skipLineEnd()) break;
    }
    if (d->atEnd()) return item;
    if (d->peek() == ',') {
        ++d->pos;
        item.status = ItemStatus::Empty;
        return item;
    }
    std::string text;
    if (d->peek() == '"') {
        text = d->readQuoted();
    } else {
        while (!d->atEnd() && !isBlank(d->peek()) && d->peek() != ',' && !isLineEnd(d->peek()))
            text += d->data[d->pos++];
    }
    d->endItem();
    item.text = text;
    if (const auto v = parseNumber(text)) {
        item.status = ItemStatus::Ok;
        item.value = *v;
    } else {
        item.status = text.empty() ? ItemStatus::Empty : ItemStatus::NotANumber;
        item.value = val(text);
    }
    return item;
}

TextItem SeqFile::inputText() {
    TextItem item;
    if (d->mode != Mode::Input) return item;
    d->skipBlanks();
    if (d->atEnd()) return item;
    if (d->skipLineEnd()) {
        item.status = ItemStatus::Empty;
        return item;
    }
    if (d->peek() == ',') {
        ++d->pos;
        item.status = ItemStatus::Empty;
        return item;
    }
    std::string text;
    if (d->peek() == '"') {
        text = d->readQuoted();
    } else {
        while (!d->atEnd() && d->peek() != ',' && !isLineEnd(d->peek()))
            text += d->data[d->pos++];
        while (!text.empty() && isBlank(text.back()))
            text.pop_back();
    }
    d->endItem();
    item.status = ItemStatus::Ok;
    item.text = std::move(text);
    return item;
}

std::optional<std::string> SeqFile::lineInput() {
    if (d->mode != Mode::Input || d->atEnd()) return std::nullopt;
    std::string text;
    while (!d->atEnd() && !isLineEnd(d->peek()))
        text += d->data[d->pos++];
    d->skipLineEnd();
    return text;
}

// At the end when only blanks and line ends are left, so that a last line end (or a stray
// empty line) does not make a reader loop take one more, empty item.
bool SeqFile::eof() const {
    if (d->mode != Mode::Input) return true;
    for (std::size_t i = d->pos; i < d->data.size(); ++i)
        if (!isBlank(d->data[i]) && !isLineEnd(d->data[i])) return false;
    return true;
}

int SeqFile::lineNumber() const {
    return d->line;
}

bool SeqFile::close() {
    if (d->mode == Mode::Input) {
        d->reset();
        return true;
    }
    if (d->mode != Mode::Output) return true;
    bool ok = !d->writeFailed;
    if (ok) {
        ok = commitChecked(*d->out, d->error);
    } else {
        d->out->cancelWriting();
        d->out->commit(); // drops the temporary file and leaves the named one alone
    }
    const std::string reason = d->error;
    d->reset();
    if (!ok) {
        msgBox("Could not write " + d->path + (reason.empty() ? "" : ": " + reason) +
                   ". The file was left as it was.",
               MsgButtons::OK);
    }
    return ok;
}

void SeqFile::discard() {
    if (d->mode == Mode::Output) {
        d->out->cancelWriting();
        d->out->commit();
    }
    d->reset();
}

std::string visibleText(std::string_view text) {
    static const char* const digits = "0123456789ABCDEF";
    std::string out;
    const auto escape = [&](unsigned char c) {
        out += "\\x";
        out += digits[c >> 4];
        out += digits[c & 15];
    };
    const auto continuation = [&](std::size_t at) {
        return at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80;
    };
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            if (c < 0x20 || c == 0x7F)
                escape(c);
            else
                out += char(c);
            ++i;
            continue;
        }
        // A whole UTF-8 sequence that stands for a visible character is kept as it is.
        std::size_t n = 0;
        if (c >= 0xC2 && c <= 0xDF)
            n = 2;
        else if (c >= 0xE0 && c <= 0xEF)
            n = 3;
        else if (c >= 0xF0 && c <= 0xF4)
            n = 4;
        bool whole = n > 0;
        for (std::size_t k = 1; whole && k < n; ++k)
            whole = continuation(i + k);
        const std::string_view seq = whole ? text.substr(i, n) : std::string_view();
        const bool invisible =
            seq == "\xEF\xBB\xBF" ||
            (n == 2 && c == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0);
        if (whole && !invisible) {
            out += seq;
            i += n;
        } else {
            escape(c);
            ++i;
        }
    }
    return out;
}

SeqFile& fileNumber(int n) {
    static std::array<SeqFile, 256>* files = new std::array<SeqFile, 256>;
    if (n < 1 || n > 255) {
        // A number outside 1..255 gets a file of its own that nobody else shares.
        static SeqFile* stray = new SeqFile;
        return *stray;
    }
    return (*files)[std::size_t(n)];
}

} // namespace plat
