#include "viewers/core/itemreader.h"

#include "platform/numtext.h"

#include "common/visibletext.h"

namespace viewers {

void Item::clear() {
    head_.clear();
    size_ = 0;
    numberEnd_ = 0;
    number_.clear();
    characters_ = {};
}

void Item::addRun(std::string_view run) {
    // The bytes kept one by one, then what is left at once.
    std::size_t kept = 0;
    while (kept < run.size() && head_.size() < kHeadBytes)
        add(run[kept++]);
    run.remove_prefix(kept);
    if (run.empty()) return;
    if (!number_.ended()) {
        const std::size_t taken = number_.add(run);
        if (taken < run.size()) numberEnd_ = size_ + taken;
    }
    size_ += run.size();
    characters_.add(run);
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
    return vesk::visibleStart(head_, characters_.count());
}

} // namespace viewers
