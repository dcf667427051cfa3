#include "common/longnumber.h"

#include "common/eightbytes.h"

#include <algorithm>

namespace vesk {

namespace {

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}
bool is_exponent_letter(char c) {
    return c == 'E' || c == 'e' || c == 'D' || c == 'd';
}

} // namespace

bool LongNumber::add(char c) {
    if (ended_) return false;
    switch (part_) {
    case Part::start:
        if (c == '+' || c == '-') {
            negative_ = c == '-';
            part_ = Part::sign;
            return true;
        }
        [[fallthrough]];
    case Part::sign:
    case Part::integer:
        if (c == '.') {
            part_ = Part::fraction;
            return true;
        }
        if (is_digit(c)) part_ = Part::integer;
        [[fallthrough]];
    case Part::fraction:
        if (is_digit(c)) {
            digit(c);
            return true;
        }
        if (digit_ && is_exponent_letter(c)) {
            part_ = Part::letter;
            return true;
        }
        break;
    case Part::letter:
        if (c == '+' || c == '-') {
            exponent_negative_ = c == '-';
            part_ = Part::sign_e;
            return true;
        }
        [[fallthrough]];
    case Part::sign_e:
    case Part::exponent:
        if (is_digit(c)) {
            part_ = Part::exponent;
            exponent_ = std::min(exponent_ * 10 + (c - '0'), kExponentCap);
            return true;
        }
        break;
    }
    ended_ = true;
    return false;
}

std::size_t LongNumber::add(std::string_view bytes) {
    const char* const at = bytes.data();
    const std::size_t size = bytes.size();
    std::size_t i = 0;
    while (i < size) {
        // Runs of digits that change no kept digit go at once: zeros before the leading digit,
        // the digits after the kept ones, and those of an exponent already at its cap.
        std::size_t end = i;
        const bool mantissa = part_ == Part::integer || part_ == Part::fraction;
        if (mantissa && kept_.empty()) {
            while (end + 8 <= size && eightBytes(at + end) == kEachByte * '0')
                end += 8;
            while (end < size && at[end] == '0')
                ++end;
            if (end > i) digit_ = true;
            if (part_ == Part::fraction) place_ -= static_cast<std::int64_t>(end - i);
        } else if (mantissa && kept_.size() == kKeptDigits) {
            for (std::uint64_t x = 0; end + 8 <= size && allDigits(x = eightBytes(at + end));
                 end += 8)
                sticky_ = sticky_ || x != kEachByte * '0';
            for (; end < size && is_digit(at[end]); ++end)
                sticky_ = sticky_ || at[end] != '0';
            if (part_ == Part::integer) place_ += static_cast<std::int64_t>(end - i);
        } else if (part_ == Part::exponent && exponent_ == kExponentCap) {
            while (end + 8 <= size && allDigits(eightBytes(at + end)))
                end += 8;
            while (end < size && is_digit(at[end]))
                ++end;
        }
        if (end > i) {
            i = end;
            continue;
        }
        if (!add(at[i])) break;
        ++i;
    }
    return i;
}

std::string LongNumber::text() const {
    if (!digit_) return {};
    std::string out = negative_ ? "-" : "";
    if (kept_.empty()) return out + "0";
    const std::int64_t exponent = part_ != Part::exponent ? 0
                                  : exponent_negative_    ? -exponent_
                                                          : exponent_;
    out += kept_[0];
    out += '.';
    out.append(kept_, 1);
    if (sticky_) out += '1';
    // The power of ten of the leading digit, then of the whole number.
    return out + 'e' + std::to_string(place_ - 1 + exponent);
}

std::string LongNumber::integerText() const {
    return (negative_ ? "-" : "") + (kept_.empty() ? std::string("0") : kept_);
}

} // namespace vesk
