#pragma once
// What the viewers' readers keep of a file: its bytes one at a time, read a piece at a time, and
// of each item (a number or a word of a table) only its first bytes, its length and its leading
// number. So a line of any length is read in a memory that does not grow with it, and a reader
// stops reading once it has the values it needs.
#include "platform/system.h"

#include "common/longnumber.h"
#include "common/visibletext.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace viewers {

// A file's bytes in order.
class ByteReader {
  public:
    static constexpr int kEnd = -1;

    // False, and `error` says why, when the file cannot be opened.
    bool open(const std::string& path, std::string& error) { return file_.open(path, error); }
    // The next byte (0 to 255), or kEnd at the end of the file or where it could not be read.
    int get() {
        if (at_ == piece_.size() && !refill()) return kEnd;
        return static_cast<unsigned char>(piece_[at_++]);
    }
    // The next byte without taking it.
    int peek() {
        if (at_ == piece_.size() && !refill()) return kEnd;
        return static_cast<unsigned char>(piece_[at_]);
    }
    // The bytes read ahead and not yet taken (more are read when none are left); empty at the
    // end of the file. take() takes the first n of them.
    std::string_view available() {
        if (at_ == piece_.size()) refill();
        return piece_.substr(at_);
    }
    void take(std::size_t n) { at_ += n; }
    // Why the file could not be read to its end; empty when it was.
    const std::string& error() const { return file_.error(); }

  private:
    bool refill() {
        piece_ = file_.next();
        at_ = 0;
        return !piece_.empty();
    }
    plat::FileReader file_;
    std::string_view piece_;
    std::size_t at_ = 0;
};

// One item, added byte by byte. Its value and its quoted form are those of the whole item, as
// plat::leadingNumber and plat::visibleText give them, while only its first kHeadBytes bytes are
// kept.
class Item {
  public:
    static constexpr std::size_t kHeadBytes = 4096;

    void clear();
    void add(char c) {
        if (head_.size() < kHeadBytes) head_ += c;
        if (!number_.ended() && !number_.add(c)) numberEnd_ = size_;
        ++size_;
        characters_.add(c);
    }
    // The same as add() for each byte of run, a long run of digits or of plain text faster.
    void addRun(std::string_view run);
    bool empty() const { return size_ == 0; }
    std::size_t size() const { return size_; }
    // The item's first bytes (all of it when it is short).
    std::string_view head() const { return head_; }
    // plat::leadingNumber of the whole item.
    std::optional<double> number() const;
    // plat::visibleText of the whole item.
    std::string visible() const;

  private:
    std::string head_;
    std::size_t size_ = 0;
    std::size_t numberEnd_ = 0; // where the number ended, once it has
    // The number at the item's start, kept in a bounded form that converts to the same value.
    vesk::LongNumber number_;
    vesk::CharacterCount characters_;
};

// Adds to item the bytes that follow in `in` up to the first for which ends(byte) holds, which
// is left to be read.
template <class Ends> void readItemRest(ByteReader& in, Item& item, Ends ends) {
    for (std::string_view bytes = in.available(); !bytes.empty(); bytes = in.available()) {
        std::size_t n = 0;
        while (n < bytes.size() && !ends(bytes[n]))
            ++n;
        item.addRun(bytes.substr(0, n));
        in.take(n);
        if (n < bytes.size()) return;
    }
}

// Passes over the bytes that follow in `in` while passes(byte) holds.
template <class Passes> void skipWhile(ByteReader& in, Passes passes) {
    for (std::string_view bytes = in.available(); !bytes.empty(); bytes = in.available()) {
        std::size_t n = 0;
        while (n < bytes.size() && passes(bytes[n]))
            ++n;
        in.take(n);
        if (n < bytes.size()) return;
    }
}

} // namespace viewers
