#include "free_format.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>

#include "common/eightbytes.h"
#include "common/filekind.h"
#include "common/longnumber.h"
#include "common/visibletext.h"
#include "file_names.h"

namespace tez {

namespace {

bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}
bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

std::string fit_text(std::string_view text, std::size_t length) {
    std::string out(text.substr(0, length));
    out.resize(length, ' ');
    return out;
}

std::string_view trim_blanks(std::string_view text) {
    while (!text.empty() && is_blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && is_blank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool parse_integer(std::string_view text, int& value) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty() || (text.front() == '-' && text.size() == 1)) return false;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end;
}

namespace {

// The powers of ten that a double holds exactly.
constexpr std::array<double, 23> kExactPowers = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                 1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                                 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Digits that make a whole number of at most 2^53 scaled by a power of ten that a double holds
// exactly: one rounded product or quotient of two exact doubles is the nearest double to the
// number, which from_chars gives too. Only where doubles are computed at their own width, so that
// no wider intermediate rounds twice.
bool exact_real(std::uint64_t digits, std::int64_t power, bool negative, double& value) {
#if defined(FLT_EVAL_METHOD) && FLT_EVAL_METHOD == 0
    if (digits > (std::uint64_t{1} << 53) || power < -22 || power > 22) return false;
    const double whole = static_cast<double>(digits);
    const double v = power < 0 ? whole / kExactPowers[static_cast<std::size_t>(-power)]
                               : whole * kExactPowers[static_cast<std::size_t>(power)];
    value = negative ? -v : v;
    return true;
#else
    (void)digits, (void)power, (void)negative, (void)value;
    return false;
#endif
}

} // namespace

bool parse_real(std::string_view text, double& value, bool* too_large) {
    if (too_large) *too_large = false;
    // Checked by hand first: from_chars would also take "inf", "nan" and hexadecimal forms.
    std::size_t i = 0;
    bool plus = false;
    bool minus = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        plus = text[i] == '+';
        minus = !plus;
        ++i;
    }
    // The digits as a whole number while it stays small enough to be exact.
    std::uint64_t whole = 0;
    bool whole_exact = true;
    const auto add_digit = [&](char c) {
        if (whole > ((std::uint64_t{1} << 53) - 9) / 10)
            whole_exact = false;
        else
            whole = whole * 10 + static_cast<std::uint64_t>(c - '0');
    };
    std::int64_t fraction_digits = 0;
    std::size_t digits = 0;
    // The power of ten of the leading significant digit, before the exponent part: it tells an
    // overflow from an underflow, which from_chars reports alike.
    std::int64_t lead_power = 0;
    bool seen_significant = false;
    std::size_t int_digits = 0;
    while (i < text.size() && is_digit(text[i])) {
        if (text[i] != '0' && !seen_significant) seen_significant = true;
        if (seen_significant) ++int_digits;
        add_digit(text[i]);
        ++i, ++digits;
    }
    if (seen_significant) lead_power = static_cast<std::int64_t>(int_digits) - 1;
    if (i < text.size() && text[i] == '.') {
        ++i;
        std::int64_t place = 0;
        while (i < text.size() && is_digit(text[i])) {
            --place;
            if (text[i] != '0' && !seen_significant) {
                seen_significant = true;
                lead_power = place;
            }
            add_digit(text[i]);
            ++i, ++digits;
        }
        fraction_digits = -place;
    }
    if (digits == 0) return false;
    // 64 bits on every platform (a long has 32 on some), and capped: far beyond any double either
    // way, the sign is all that counts.
    constexpr std::int64_t kExponentCap = 1000000000;
    std::int64_t exponent = 0;
    std::size_t letter = std::string_view::npos;
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
        letter = i++;
        bool negative = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
        std::size_t exp_digits = 0;
        while (i < text.size() && is_digit(text[i])) {
            if (exponent < kExponentCap) exponent = exponent * 10 + (text[i] - '0');
            ++i, ++exp_digits;
        }
        if (exp_digits == 0) return false;
        exponent = std::min(exponent, kExponentCap);
        if (negative) exponent = -exponent;
    }
    if (i != text.size()) return false;
    if (whole_exact && exact_real(whole, exponent - fraction_digits, minus, value)) return true;
    // from_chars takes neither a plus sign nor the exponent letter D: those are read from a copy.
    std::string copy;
    std::string_view number = text;
    if (plus ||
        (letter != std::string_view::npos && (text[letter] == 'D' || text[letter] == 'd'))) {
        copy.assign(text.substr(plus ? 1 : 0));
        if (letter != std::string_view::npos) copy[letter - (plus ? 1 : 0)] = 'e';
        number = copy;
    }
    const char* end = number.data() + number.size();
    double v = 0.0;
    auto [ptr, ec] = std::from_chars(number.data(), end, v);
    if (ec == std::errc::result_out_of_range) {
        // Underflow reads as 0 of the number's sign; a magnitude beyond the largest double is
        // refused.
        if (lead_power + exponent < 0) {
            value = minus ? -0.0 : 0.0;
            return true;
        }
        if (too_large) *too_large = true;
        return false;
    }
    if (ec != std::errc() || ptr != end) return false;
    value = v;
    return true;
}

namespace {

// The longest item the reader holds as it stands. A longer number is followed byte by byte to its
// end (vesk::LongNumber), a longer text item is cut at once: whatever the length of a line, the
// reader holds a block of the file and one item.
constexpr std::size_t kItemBytes = 4096;
constexpr std::size_t kBlockBytes = 1 << 16;

// Bytes that end an item, the line's end included (a carriage return is a blank).
constexpr std::array<bool, 256> kEndsItem = [] {
    std::array<bool, 256> t{};
    for (const unsigned char c : {' ', '\t', '\r', ',', '/', '\n'})
        t[c] = true;
    return t;
}();

// Whether one of eight bytes ends an item.
bool holds_item_end(std::uint64_t x) {
    // Every byte that ends an item stands below '0': most runs need the first test only.
    if (((x - vesk::kEachByte * '0') & ~x & (vesk::kEachByte * 0x80)) == 0) return false;
    using vesk::holdsByte;
    return holdsByte(x, ' ') || holdsByte(x, '\t') || holdsByte(x, '\r') || holdsByte(x, ',') ||
           holdsByte(x, '/') || holdsByte(x, '\n');
}

// A short text that reads as the same number as the whole item, or a text that is no number: the
// whole item must be a number.
std::string real_text(const vesk::LongNumber& number) {
    return number.ended() || !number.complete() ? "x" : number.text();
}
std::string integer_text(const vesk::LongNumber& number) {
    return number.ended() || !number.integer() ? "x" : number.integerText();
}

} // namespace

struct FreeReader::Item {
    explicit Item(std::string& room) : text(room) { text.clear(); }
    std::string& text; // its first bytes
    bool cut = false;  // it has more
    std::optional<vesk::LongNumber> number;
    vesk::CharacterCount characters;
};

bool FreeReader::open(const std::filesystem::path& path, std::string display_name) {
    close();
    file_.open(path, std::ios::in | std::ios::binary);
    name_ = vesk::visibleName(display_name);
    if (!file_) return false;
    in_ = &file_;
    blocks_ = true;
    return true;
}

void FreeReader::open_input(const std::filesystem::path& path, std::string display_name,
                            std::string_view what) {
    std::string message =
        "Cannot open the " + std::string(what) + " \"" + vesk::visibleName(display_name) + "\"";
    // The system would take the name as far as its first zero byte only.
    if (display_name.find('\0') != std::string::npos)
        throw InputError(message + ": a file name cannot hold a NUL byte (\\x00)");
#ifdef _WIN32
    // A device opens as a file that may never end or never answer.
    if (const std::string device = windows_device(display_name); !device.empty())
        throw InputError(message + ": it is the device " + device + " on Windows, not a file");
#endif
    // A folder opens as a stream that reads nothing and would pass for an empty file; a named
    // pipe waits for a writer before it opens, and a device may never end.
    if (!display_name.empty())
        if (const std::optional<std::string> kind = vesk::notRegularFile(path))
            throw InputError(message + ": it is " + *kind + ", not a file");
    if (display_name.empty() || !open(path, std::move(display_name))) throw InputError(message);
}

void FreeReader::attach(std::istream& in, std::string display_name) {
    close();
    in_ = &in;
    blocks_ = false;
    name_ = vesk::visibleName(display_name);
}

void FreeReader::close() {
    if (file_.is_open()) file_.close();
    file_.clear();
    in_ = nullptr;
    blocks_ = false;
    buffer_.clear();
    buffer_.shrink_to_fit();
    head_ = tail_ = 0;
    input_ended_ = false;
    line_no_ = 0;
    in_line_ = false;
    cr_alone_ = false;
    in_read_ = false;
    have_line_ = false;
    ended_ = false;
}

bool FreeReader::refill(std::size_t count) {
    while (tail_ - head_ < count && !input_ended_ && in_ != nullptr) {
        if (buffer_.size() < kBlockBytes) buffer_.resize(kBlockBytes);
        if (head_ == tail_) head_ = tail_ = 0;
        if (head_ > 0 && tail_ + count > buffer_.size()) {
            std::memmove(buffer_.data(), buffer_.data() + head_, tail_ - head_);
            tail_ -= head_;
            head_ = 0;
        }
        std::streambuf* source = in_->rdbuf();
        if (blocks_) {
            const std::streamsize got = source->sgetn(
                buffer_.data() + tail_, static_cast<std::streamsize>(buffer_.size() - tail_));
            if (got <= 0)
                input_ended_ = true;
            else
                tail_ += static_cast<std::size_t>(got);
        } else {
            const int c = source->sbumpc();
            if (c == std::char_traits<char>::eof())
                input_ended_ = true;
            else
                buffer_[tail_++] = static_cast<char>(c);
        }
    }
    return tail_ - head_ >= count;
}

int FreeReader::peek() {
    if (!in_line_ || !fill(1)) return -1;
    const char c = buffer_[head_];
    if (c == '\n') return -1;
    if (c == '\r') {
        // A carriage return before a line feed or the end is no part of the line.
        if (!fill(2) || buffer_[head_ + 1] == '\n') return -1;
        // One before other text ends no line here: a file of the old Macintosh's line ends.
        if (buffer_[head_ + 1] != '\r') cr_alone_ = true;
    }
    return static_cast<unsigned char>(c);
}

template <class Go, class Take> void FreeReader::scan(Go go, Take take, bool item) {
    while (in_line_ && fill(1)) {
        const char* const from = buffer_.data() + head_;
        const char* const end = buffer_.data() + tail_;
        const char* at = from;
        if (item)
            while (at + 8 <= end && !holds_item_end(vesk::eightBytes(at)))
                at += 8;
        while (at < end && *at != '\n' && *at != '\r' && go(*at))
            ++at;
        if (at > from) {
            take(from, static_cast<std::size_t>(at - from));
            head_ += static_cast<std::size_t>(at - from);
        }
        if (at == end) continue;
        // A carriage return that stands in the line goes as any byte of it.
        if (*at != '\r' || peek() < 0 || !go('\r')) return;
        take(buffer_.data() + head_, 1);
        ++head_;
    }
}

void FreeReader::skip_blanks() {
    scan([](char c) { return is_blank(c); }, [](const char*, std::size_t) {});
}

void FreeReader::skip_line() {
    if (!in_line_) return;
    in_line_ = false;
    while (fill(1)) {
        const char* const from = buffer_.data() + head_;
        const std::size_t size = tail_ - head_;
        const char* const feed = static_cast<const char*>(std::memchr(from, '\n', size));
        const std::size_t upto = feed ? static_cast<std::size_t>(feed - from) : size;
        // Only whether the line holds a carriage return that ends no line is kept of it.
        std::size_t done = upto;
        for (const char* cr = from; !cr_alone_ && cr < from + upto; ++cr) {
            cr = static_cast<const char*>(
                std::memchr(cr, '\r', static_cast<std::size_t>(from + upto - cr)));
            if (cr == nullptr) break;
            if (cr + 1 == from + size) {
                // The byte after it is still to come.
                done = static_cast<std::size_t>(cr - from);
                break;
            }
            if (cr[1] != '\n' && cr[1] != '\r') cr_alone_ = true;
        }
        head_ += done;
        if (done < upto) {
            if (!fill(2)) head_ = tail_; // it ends the input
            continue;
        }
        if (feed) {
            ++head_;
            return;
        }
    }
}

bool FreeReader::next_line() {
    skip_line();
    if (in_ == nullptr || !fill(1)) return false;
    ++line_no_;
    in_line_ = true;
    cr_alone_ = false;
    // A byte-order mark that an editor put before the first line is no part of it.
    if (line_no_ == 1 && fill(3) && buffer_.compare(head_, 3, "\xEF\xBB\xBF") == 0) head_ += 3;
    return true;
}

void FreeReader::fail(std::string_view what) const {
    std::string msg = "Error reading " + name_;
    if (line_no_ > 0) msg += ", line " + std::to_string(line_no_);
    msg += ": ";
    msg += what;
    throw InputError(msg);
}

void FreeReader::fail_at_end(std::string_view expected) const {
    // The whole file read as one line: its lines end in a carriage return alone.
    if (cr_alone_)
        fail("its lines end in a carriage return alone (CR); lines must end in CR LF or LF");
    std::string msg = "Error reading " + name_;
    msg += line_no_ > 0 ? ": the file ends after line " + std::to_string(line_no_)
                        : std::string(": the file is empty");
    msg += " where ";
    msg += expected;
    msg += " is expected";
    throw InputError(msg);
}

void FreeReader::expect_end(std::string_view what) {
    while (next_line()) {
        skip_blanks();
        if (peek() >= 0) fail(what);
    }
}

void FreeReader::begin_read() {
    in_read_ = true;
    have_line_ = false;
    ended_ = false;
}

bool FreeReader::next_value() {
    if (!in_read_) begin_read();
    if (ended_) return false;
    for (;;) {
        if (!have_line_) {
            if (!next_line()) fail_at_end("a value");
            have_line_ = true;
        }
        skip_blanks();
        const int c = peek();
        if (c < 0) {
            // The line end separates values; a read that needs more goes on to the next line.
            have_line_ = false;
            continue;
        }
        if (c == '/') {
            ended_ = true;
            ++head_;
            return false;
        }
        if (c == ',') {
            ++head_;
            skip_blanks();
            return false; // a null value
        }
        return true;
    }
}

void FreeReader::take_item(Item& item, std::size_t keep, bool number) {
    scan([](char c) { return !kEndsItem[static_cast<unsigned char>(c)]; },
         [&](const char* bytes, std::size_t size) {
             if (!item.cut) {
                 const std::size_t room = keep - item.text.size();
                 item.text.append(bytes, std::min(room, size));
                 if (size <= room) return;
                 item.cut = true;
                 if (!number) return;
                 item.number.emplace().add(item.text);
                 item.characters.add(item.text);
                 bytes += room, size -= room;
             }
             if (!number) return;
             item.number->add(std::string_view(bytes, size));
             item.characters.add(std::string_view(bytes, size));
         },
         true);
}

std::string FreeReader::quoted(const Item& item) const {
    if (!item.cut) return vesk::visibleText(item.text);
    // The first characters as a message shows them, with the length of the whole item.
    return vesk::visibleStart(item.text, item.characters.count());
}

void FreeReader::after_value() {
    skip_blanks();
    const int c = peek();
    if (c == ',') {
        ++head_;
    } else if (c == '/') {
        ++head_;
        ended_ = true;
    }
}

void FreeReader::integer(int& value) {
    if (!next_value()) return;
    Item item(item_text_);
    take_item(item, kItemBytes, true);
    int v = 0;
    if (!parse_integer(item.cut ? integer_text(*item.number) : item.text, v))
        fail("a whole number is expected, found \"" + quoted(item) + "\"");
    value = v;
    after_value();
}

void FreeReader::real(double& value) {
    if (!next_value()) return;
    Item item(item_text_);
    take_item(item, kItemBytes, true);
    double v = 0.0;
    bool too_large = false;
    if (!parse_real(item.cut ? real_text(*item.number) : item.text, v, &too_large))
        fail("a number is expected, found \"" + quoted(item) + "\"" +
             (too_large ? ", which is beyond the largest number (about 1.8E+308)" : ""));
    value = v;
    after_value();
}

void FreeReader::text(std::string& value, std::size_t length) {
    if (!next_value()) return;
    std::string item;
    const auto keep = [&](const char* bytes, std::size_t size) {
        item.append(bytes, std::min(size, length - std::min(length, item.size())));
    };
    const char quote = buffer_[head_];
    if (quote == '\'' || quote == '"') {
        ++head_;
        for (;;) {
            scan([quote](char c) { return c != quote; }, keep);
            if (peek() != quote) break;
            ++head_;
            // A doubled quote stands for one.
            if (peek() != quote) break;
            keep(&quote, 1);
            ++head_;
        }
    } else {
        scan([](char c) { return !kEndsItem[static_cast<unsigned char>(c)]; }, keep, true);
    }
    value = fit_text(item, length);
    after_value();
}

void FreeReader::whole_line(std::string& value, std::size_t length) {
    if (!next_line()) fail_at_end("a line");
    std::string line;
    std::size_t taken = 0;
    scan([&](char) { return taken++ < length; },
         [&](const char* bytes, std::size_t size) {
             line.append(bytes, std::min(size, length - std::min(length, line.size())));
         });
    value = fit_text(line, length);
    // The next read starts on a new line.
    have_line_ = false;
    in_read_ = false;
}

int FreeReader::read_integer() {
    begin_read();
    int v = 0;
    integer(v);
    return v;
}

double FreeReader::read_real() {
    begin_read();
    double v = 0.0;
    real(v);
    return v;
}

std::string FreeReader::read_text(std::size_t length) {
    begin_read();
    std::string v(length, ' ');
    text(v, length);
    return v;
}

} // namespace tez
