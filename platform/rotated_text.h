#pragma once
// Axis titles turned on their side. The text is printed upright on a hidden canvas, packed one bit
// a pixel (8 horizontally adjacent pixels a byte, leftmost in the bit of value 128, rows 0..h,
// groups starting at columns 0, 8, ... up to and including w), and replayed pixel by pixel on
// the target at 0, 90 or 180 degrees. Only pixels that are exactly black are copied.
#include <string>
#include <string_view>
#include <vector>

namespace plat {

class Surface;

struct PackedText {
    int width = 0;  // w: text width in pixels (rounded, halves to even)
    int height = 0; // h: text height in pixels
    int groupsPerRow = 0;
    std::vector<unsigned char> bytes; // (h + 1) rows of groupsPerRow bytes
};

// Prints text at (0, 0) of the canvas in the font given, packs its pixels, clears the canvas.
PackedText packText(Surface& canvas, std::string_view text, const std::string& fontName,
                    float fontSize);

// Draws text on target at angle 0, 90 or 180 (any other angle draws nothing), with the image's
// origin at the pixel position (x + h, y + w) rounded to whole pixels. Leaves the target
// measuring in pixels.
void printRotated(Surface& target, Surface& canvas, std::string_view text,
                  const std::string& fontName, float fontSize, int angle, float x, float y);

} // namespace plat
