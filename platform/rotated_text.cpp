#include "platform/rotated_text.h"

#include "platform/numtext.h"
#include "platform/surface.h"

#include <algorithm>
#include <cmath>

namespace plat {

namespace {

// Whole pixels, halves to even, as the old desktop's integer conversion rounds.
int roundEven(double v) {
    const double r = std::nearbyint(v); // the default rounding mode is to nearest, ties to even
    return int(r);
}

} // namespace

PackedText packText(Surface& canvas, std::string_view text, const std::string& fontName,
                    float fontSize) {
    canvas.setFontName(fontName);
    canvas.setFontSize(fontSize);
    canvas.setScaleMode(ScaleMode::Pixels);
    PackedText packed;
    packed.width = roundEven(canvas.textWidth(text));
    packed.height = roundEven(canvas.textHeight(text));
    packed.groupsPerRow = packed.width / 8 + 1;

    // The canvas is never shown; make it large enough that the whole text lands on it.
    const int needW = packed.groupsPerRow * 8 + 8, needH = packed.height + 2;
    if (canvas.pixelWidth() < needW || canvas.pixelHeight() < needH)
        canvas.resize(std::max(canvas.pixelWidth(), needW), std::max(canvas.pixelHeight(), needH));

    canvas.setCurrentX(0);
    canvas.setCurrentY(0);
    canvas.print(text);

    packed.bytes.reserve(std::size_t(packed.height + 1) * std::size_t(packed.groupsPerRow));
    for (int r = 0; r <= packed.height; ++r) {
        for (int c = 0; c <= packed.width; c += 8) {
            unsigned byte = 0;
            for (int k = 0; k < 8; ++k)
                if (canvas.point(float(c + k), float(r)) == 0) byte |= 128u >> k;
            packed.bytes.push_back(static_cast<unsigned char>(byte));
        }
    }
    canvas.cls();
    return packed;
}

void printRotated(Surface& target, Surface& canvas, std::string_view text,
                  const std::string& fontName, float fontSize, int angle, float x, float y) {
    target.setDrawWidth(1);
    const PackedText packed = packText(canvas, text, fontName, fontSize);
    target.setScaleMode(ScaleMode::Pixels);
    target.setCurrentX(x + float(packed.height));
    target.setCurrentY(y + float(packed.width));
    const int x0 = roundEven(target.currentX());
    const int y0 = roundEven(target.currentY());
    if (angle != 0 && angle != 90 && angle != 180) return;

    std::size_t at = 0;
    for (int r = 0; r <= packed.height; ++r) {
        for (int g = 0; g < packed.groupsPerRow; ++g) {
            const unsigned byte = packed.bytes[at++];
            for (int k = 0; k < 8; ++k) {
                if (!(byte & (128u >> k))) continue;
                const int c = g * 8 + k;
                int px = 0, py = 0;
                switch (angle) {
                case 0:
                    px = x0 + c;
                    py = y0 + r;
                    break;
                case 90:
                    px = x0 + r;
                    py = y0 + 8 - c;
                    break;
                default:
                    px = x0 - r;
                    py = y0 + c - 8;
                    break;
                }
                target.pset(float(px), float(py), kBlack);
            }
        }
    }
}

} // namespace plat
