// The recruitment data file (.yoy) of the recruitment editor.
#include "cw_support.h"

#include "control_window/yoyfile.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::startApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::checkRoundTrip<cw::YoyData>(
        data, size, "yoy", 4, cw::readYoyFile,
        [](const cw::YoyData& d, std::string& text) -> std::optional<std::string> {
            if (!cw::yearRangeValid(cw::yearCount(d.byr, d.eyr)))
                return std::string("the year range is refused by the save");
            text = cw::yoyFileText(d);
            return std::nullopt;
        });
    return 0;
}
