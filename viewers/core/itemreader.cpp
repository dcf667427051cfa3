#include "viewers/core/itemreader.h"

#include "platform/numtext.h"

#include "common/visibletext.h"

namespace viewers {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isExponentLetter(char c) {
    return c == 'e' || c == 'E' || c == 'd' || c == 'D';
}

constexpr long long kExponentCeiling = 1000000000000000LL;

} // namespace

void Item::clear() {
    head_.clear();
    size_ = 0;
    numberEnd_ = 0;
    number_.reset();
    characters_ = 0;
    need_ = 0;
    pending_ = 0;
}

void Item::Number::reset() {
    part = Part::Start;
    done = false;
    negative = false;
    mantissaDigits = 0;
    digits.clear();
    sticky = false;
    lead = 0;
    exponentNegative = false;
    exponent = 0;
    hasExponent = false;
}

// The number's syntax is plat::leadingNumber's: a sign, digits with a point (at least one digit),
// then an exponent letter (e or d) with a sign and at least one digit.
void Item::Number::addOther(char c) {
    switch (part) {
    case Part::Start:
        if (c == '+' || c == '-') {
            negative = c == '-';
            part = Part::Sign;
            return;
        }
        [[fallthrough]];
    case Part::Sign:
    case Part::Whole:
        if (isDigit(c)) {
            digit(c, false);
            part = Part::Whole;
        } else if (c == '.') {
            part = Part::Fraction;
        } else if (mantissaDigits > 0 && isExponentLetter(c)) {
            part = Part::ExponentLetter;
        } else {
            done = true;
        }
        return;
    case Part::Fraction:
        if (isDigit(c))
            digit(c, true);
        else if (mantissaDigits > 0 && isExponentLetter(c))
            part = Part::ExponentLetter;
        else
            done = true;
        return;
    case Part::ExponentLetter:
        if (c == '+' || c == '-') {
            exponentNegative = c == '-';
            part = Part::ExponentSign;
            return;
        }
        [[fallthrough]];
    case Part::ExponentSign:
    case Part::Exponent:
        if (!isDigit(c)) {
            done = true;
            return;
        }
        part = Part::Exponent;
        hasExponent = true;
        if (exponent < kExponentCeiling) exponent = exponent * 10 + (c - '0');
        return;
    }
}

// 0.DIGITS times ten to the power of the leading digit's place and the exponent. The digits
// beyond the first 800 cannot change the double nearest to the value, only whether it lies above
// the digits kept; a last 1 says so. (A double lies half-way between two doubles with at most
// 767 significant digits.)
std::string Item::Number::text() const {
    if (mantissaDigits == 0) return {};
    std::string t = negative ? "-" : "";
    if (digits.empty()) return t + "0";
    const long long e = lead + (hasExponent ? (exponentNegative ? -exponent : exponent) : 0);
    t += "0." + digits;
    if (sticky) t += '1';
    return t + "e" + std::to_string(e);
}

void Item::addRun(std::string_view run) {
    const std::size_t n = run.size();
    for (std::size_t i = 0; i < n;) {
        if (head_.size() < kHeadBytes || need_ != 0) {
            add(run[i++]);
            continue;
        }
        std::size_t j = i;
        if (!number_.done) {
            // Digits that move the leading digit's place or only tell whether one is not 0.
            bool nonzero = false;
            while (j < n && isDigit(run[j]) && number_.countsOnly(run[j])) {
                nonzero |= run[j] != '0';
                ++j;
            }
            const long long digits = static_cast<long long>(j - i);
            number_.mantissaDigits += std::size_t(digits);
            number_.sticky |= nonzero;
            if (number_.digits.empty()) {
                if (number_.part == Number::Part::Fraction) number_.lead -= digits;
            } else if (number_.part == Number::Part::Whole) {
                number_.lead += digits;
            }
        } else {
            // Plain text after the number: one character a byte.
            while (j < n && static_cast<unsigned char>(run[j]) < 0x80)
                ++j;
        }
        if (j == i) {
            add(run[i++]);
            continue;
        }
        size_ += j - i;
        characters_ += j - i;
        i = j;
    }
}

std::optional<double> Item::number() const {
    // Decided within the bytes kept: read as it stands.
    if (size_ <= kHeadBytes || (number_.done && numberEnd_ < kHeadBytes))
        return plat::leadingNumber(head_);
    return plat::leadingNumber(number_.text());
}

std::string Item::visible() const {
    if (size_ <= kHeadBytes) return vesk::visibleText(head_);
    // The quoted start is that of the bytes kept; the count is the whole item's.
    std::string shown = vesk::visibleText(head_);
    shown.resize(shown.rfind("\xE2\x80\xA6 ("));
    return shown + "\xE2\x80\xA6 (" + std::to_string(characters()) + " characters)";
}

void Item::count(unsigned char b) {
    if (need_ > 0) {
        if ((b & 0xC0) == 0x80) {
            code_ = (code_ << 6) | (b & 0x3F);
            ++pending_;
            if (--need_ == 0) {
                // Overlong forms, the halves of surrogate pairs and codes beyond Unicode are
                // bytes of their own.
                const bool wellFormed =
                    code_ >= least_ && !(code_ >= 0xD800 && code_ <= 0xDFFF) && code_ <= 0x10FFFF;
                characters_ += wellFormed ? 1 : std::size_t(1 + pending_);
                pending_ = 0;
            }
            return;
        }
        // A sequence cut short: each of its bytes is a character, and this byte starts anew.
        characters_ += std::size_t(1 + pending_);
        need_ = 0;
        pending_ = 0;
    }
    if (b < 0x80) {
        ++characters_;
    } else if (b >= 0xC2 && b <= 0xDF) {
        need_ = 1, code_ = b & 0x1F, least_ = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
        need_ = 2, code_ = b & 0x0F, least_ = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
        need_ = 3, code_ = b & 0x07, least_ = 0x10000;
    } else {
        ++characters_;
    }
}

} // namespace viewers
