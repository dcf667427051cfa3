// The recruitment data file (.yoy) of the recruitment editor.
#include "cw_support.h"

#include "control_window/files/yoyfile.h"

namespace {

// The editor's save refuses a year range that its range check refuses.
std::optional<std::string> rangeProblem(const cw::YoyData& d) {
    if (cw::yearRangeValid(cw::yearCount(d.byr, d.eyr))) return std::nullopt;
    return "the year range is refused by the save";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::checkRoundTrip<cw::YoyData>(data, size, "yoy", 4, cw::readYoyFile,
                                      fuzz::saveStep<cw::YoyData>(rangeProblem, cw::yoyFileText));
    return 0;
}
