#pragma once
// A number text of any length, read in a memory that does not grow with it: the readers of the
// engine and of the viewers follow a huge number item through it and convert the short text it
// leaves, which has the same value.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vesk {

// A number text taken a byte at a time or in runs, of which only what its value needs is kept:
// its sign, its first kKeptDigits significant digits, whether a digit after them is not 0, the
// place of its leading digit and its exponent. Its syntax: a sign, digits with a point (at least
// one digit), then an exponent letter (E, e, D or d) with a sign and digits. The first byte that
// does not continue it ends it: a reader that takes the leading number of an item takes the
// number so far, one that wants the whole item to be a number refuses an item that ended early.
class LongNumber {
  public:
    // The significant digits kept: enough to tell every halfway point between two doubles (at
    // most 768 digits) from the numbers beside it.
    static constexpr std::size_t kKeptDigits = 800;
    // The exponent is held at this, far beyond any double and any count of digits, either way.
    static constexpr std::int64_t kExponentCap = 1000000000000000;

    void clear() { *this = LongNumber(); }
    // Takes c and returns true when it continues the number; otherwise the number has ended
    // before c and takes no byte more.
    bool add(char c);
    // Takes the bytes that continue the number, long runs of digits eight at a time; how many.
    std::size_t add(std::string_view bytes);

    // A byte did not continue the number.
    bool ended() const { return ended_; }
    // The bytes taken are a whole number: a digit, and one after an exponent letter.
    bool complete() const { return digit_ && part_ != Part::letter && part_ != Part::sign_e; }
    // A whole number without a point or an exponent.
    bool integer() const { return digit_ && part_ == Part::integer; }

    // The number that the bytes taken start with (an exponent without digits left out) as a
    // short text of the same value: "d.ddd…e±N", a last 1 standing for the digits after the
    // kept ones when one of them is not 0, or "0" with the number's sign; empty when there is no
    // digit. from_chars reads it as the nearest double to the whole text.
    std::string text() const;
    // An integer()'s sign and significant digits ("0" without any); a whole number of more than
    // kKeptDigits digits as its first ones, as far beyond any integer type.
    std::string integerText() const;

  private:
    enum class Part { start, sign, integer, fraction, letter, sign_e, exponent };

    void digit(char c) {
        digit_ = true;
        if (kept_.empty() && c == '0') {
            // A zero before the leading digit: only one after the point moves it.
            if (part_ == Part::fraction) --place_;
            return;
        }
        if (kept_.size() < kKeptDigits)
            kept_ += c;
        else if (c != '0')
            sticky_ = true;
        if (part_ == Part::integer) ++place_;
    }

    Part part_ = Part::start;
    bool ended_ = false;
    bool negative_ = false;
    bool digit_ = false;  // a digit before the exponent, a zero included
    std::string kept_;    // the significant digits, the first kKeptDigits of them
    bool sticky_ = false; // a digit other than 0 came after them
    // The number is 0.KEPT times ten to this, before the exponent: the count of significant
    // digits before the point, or less the zeros after the point before the leading digit.
    std::int64_t place_ = 0;
    bool exponent_negative_ = false;
    std::int64_t exponent_ = 0; // at most kExponentCap
};

} // namespace vesk
