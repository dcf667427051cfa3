#include "viewers/core/itemreader.h"

#include "platform/numtext.h"

#include "common/visibletext.h"

namespace viewers {

void Item::clear() {
    head_.clear();
    size_ = 0;
    numberEnd_ = 0;
    number_.clear();
    characters_ = 0;
    need_ = 0;
    pending_ = 0;
}

void Item::addRun(std::string_view run) {
    const std::size_t n = run.size();
    for (std::size_t i = 0; i < n;) {
        if (head_.size() < kHeadBytes || need_ != 0) {
            add(run[i++]);
            continue;
        }
        std::size_t j = i;
        if (!number_.ended()) {
            // The bytes that go on with the number, each a character of its own.
            j += number_.add(run.substr(i));
            if (j < n) numberEnd_ = size_ + (j - i);
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
    if (size_ <= kHeadBytes || (number_.ended() && numberEnd_ < kHeadBytes))
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
