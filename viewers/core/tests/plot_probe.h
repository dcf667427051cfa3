#pragma once
// Reads a drawn plot back from the plot window's persistent image, in the plot's own user scale.
#include "platform/surface.h"

#include <QImage>

#include <algorithm>
#include <cmath>
#include <string>

namespace probe {

inline bool isBlack(QRgb c) {
    return (c & 0xFFFFFF) == 0;
}

// A black pixel within `slack` pixels of (x, y) in the surface's current scale.
inline bool blackNear(const plat::Surface& s, float x, float y, int slack = 1) {
    const QImage& img = s.image();
    const int px = int(std::lround(s.toPixelX(x))), py = int(std::lround(s.toPixelY(y)));
    for (int dy = -slack; dy <= slack; ++dy)
        for (int dx = -slack; dx <= slack; ++dx) {
            const int qx = px + dx, qy = py + dy;
            if (qx >= 0 && qy >= 0 && qx < img.width() && qy < img.height() &&
                isBlack(img.pixel(qx, qy)))
                return true;
        }
    return false;
}

// Black pixels in the pixel columns [x0, x1) of the image.
inline int blackInColumns(const plat::Surface& s, int x0, int x1) {
    const QImage& img = s.image();
    int n = 0;
    for (int x = std::max(x0, 0); x < std::min(x1, img.width()); ++x)
        for (int y = 0; y < img.height(); ++y)
            n += isBlack(img.pixel(x, y));
    return n;
}

// Whether `text`, printed with its upper-left corner at (x, y) of the surface's current scale in
// the font and colour given, stands on the image: every pixel of the text as printed alone on a
// blank surface has that colour on the plot. Text shifted by a pixel or spelled otherwise fails.
inline bool textAt(const plat::Surface& s, const std::string& text, float x, float y,
                   const std::string& font, float size, uint32_t color) {
    plat::Surface ref;
    ref.resize(s.pixelWidth(), s.pixelHeight());
    ref.setBackColor(plat::kWhite);
    ref.cls();
    ref.setScale(s.scaleLeft(), s.scaleTop(), s.scaleLeft() + s.scaleWidth(),
                 s.scaleTop() + s.scaleHeight());
    ref.setForeColor(color);
    ref.setFontName(font);
    ref.setFontSize(size);
    ref.setCurrentX(x);
    ref.setCurrentY(y);
    ref.print(text);
    const QImage& want = ref.image();
    const QImage& got = s.image();
    const QRgb expect = want.pixel(0, 0) & 0xFFFFFF; // white, the blank
    int inked = 0;
    for (int py = 0; py < want.height(); ++py)
        for (int px = 0; px < want.width(); ++px) {
            const QRgb w = want.pixel(px, py) & 0xFFFFFF;
            if (w == expect) continue;
            ++inked;
            if ((got.pixel(px, py) & 0xFFFFFF) != w) return false;
        }
    return inked > 5;
}

} // namespace probe
