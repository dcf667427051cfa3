// The platform layer's number text: the strict and the lenient reader, and the print forms of
// what they read. An input with a line end gives a plot picture before it and a number after it.
#include "fuzz_support.h"

#include "platform/numtext.h"

#include <cfloat>
#include <string>
#include <string_view>

namespace {

void requireNumberText(const std::string& text, const std::string& what) {
    const std::optional<double> back = plat::parseNumber(text);
    if (!back || !std::isfinite(*back))
        fuzz::finding("the " + what + " \"" + text + "\" does not read back as a number");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t cut = input.find('\n');
    const std::string_view picture = cut == std::string_view::npos ? "" : input.substr(0, cut);
    const std::string_view text = cut == std::string_view::npos ? input : input.substr(cut + 1);

    const double lenient = plat::val(text);
    fuzz::requireFinite(lenient, "the leading number of a text");
    const std::optional<double> strict = plat::parseNumber(text);
    if (!strict) return 0;
    fuzz::requireFinite(*strict, "a number read strictly");
    if (lenient != *strict)
        fuzz::finding("the lenient reading " + std::to_string(lenient) +
                      " differs from the strict one " + std::to_string(*strict));

    const double v = *strict;
    requireNumberText(plat::printDouble(v), "printed double");
    requireNumberText(plat::strDouble(v), "box text of a double");
    if (std::fabs(v) <= double(FLT_MAX)) {
        requireNumberText(plat::printSingle(float(v)), "printed single");
        requireNumberText(plat::strSingle(float(v)), "box text of a single");
    }
    (void)plat::toInteger16(v);
    // A picture of format characters only; any other text is shown as it stands.
    if (!picture.empty() && picture.find_first_not_of("0#.eE+-") == std::string_view::npos) {
        const std::string shown = plat::formatPicture(v, picture);
        if (shown.find("Infinity") != std::string::npos || shown.find("NaN") != std::string::npos)
            fuzz::finding("the picture \"" + std::string(picture) + "\" shows " + shown);
    }
    return 0;
}
