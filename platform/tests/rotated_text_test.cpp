#include "platform/rotated_text.h"
#include "platform/surface.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cmath>
#include <set>
#include <utility>

namespace {

using namespace plat;
using Pixels = std::set<std::pair<int, int>>;

Pixels blackOf(const Surface& s) {
    Pixels out;
    for (int y = 0; y < s.pixelHeight(); ++y)
        for (int x = 0; x < s.pixelWidth(); ++x)
            if ((s.image().pixel(x, y) & 0xFFFFFF) == 0) out.insert({x, y});
    return out;
}

// The text as it stands upright at (0, 0) in the same font, for comparison.
Pixels upright(const std::string& text, int* w, int* h) {
    Surface ref;
    ref.resize(400, 60);
    ref.setScaleMode(ScaleMode::Pixels);
    ref.setFontName("arial");
    ref.setFontSize(12);
    *w = int(std::nearbyint(ref.textWidth(text)));
    *h = int(std::nearbyint(ref.textHeight(text)));
    ref.setCurrentX(0);
    ref.setCurrentY(0);
    ref.print(text);
    return blackOf(ref);
}

class RotatedText : public ::testing::Test {
  protected:
    void SetUp() override {
        target.resize(300, 300);
        target.cls();
        target.setScale(0, 1, 1, 0); // a plot's user scale, which the routine replaces
        canvas.resize(50, 20);
    }
    Surface target, canvas;
};

TEST_F(RotatedText, PacksRowsOfEightPixelGroupsLeftmostHigh) {
    int w = 0, h = 0;
    const Pixels ref = upright("Yield", &w, &h);
    const PackedText p = packText(canvas, "Yield", "arial", 12);
    EXPECT_EQ(p.width, w);
    EXPECT_EQ(p.height, h);
    EXPECT_EQ(p.groupsPerRow, w / 8 + 1);
    ASSERT_EQ(p.bytes.size(), std::size_t(h + 1) * std::size_t(p.groupsPerRow));
    Pixels unpacked;
    for (int r = 0; r <= h; ++r)
        for (int g = 0; g < p.groupsPerRow; ++g)
            for (int k = 0; k < 8; ++k)
                if (p.bytes[std::size_t(r * p.groupsPerRow + g)] & (128 >> k))
                    unpacked.insert({g * 8 + k, r});
    Pixels inside;
    for (auto [x, y] : ref)
        if (y <= h) inside.insert({x, y});
    ASSERT_GT(w, 20);
    ASSERT_FALSE(inside.empty());
    EXPECT_EQ(unpacked, inside);
    EXPECT_TRUE(blackOf(canvas).empty()) << "the canvas is cleared";
}

TEST_F(RotatedText, ReplaysAtZeroNinetyAndOneEighty) {
    int w = 0, h = 0;
    Pixels ref = upright("Biomass", &w, &h);
    std::erase_if(ref, [&](auto p) { return p.second > h; });
    ASSERT_FALSE(ref.empty());
    const int x = 10, y = 40;
    const int x0 = x + h, y0 = y + w;
    for (int angle : {0, 90, 180}) {
        target.cls();
        target.setScale(0, 1, 1, 0);
        printRotated(target, canvas, "Biomass", "arial", 12, angle, float(x), float(y));
        EXPECT_EQ(target.scaleMode(), ScaleMode::Pixels);
        Pixels want;
        for (auto [c, r] : ref) {
            if (angle == 0) want.insert({x0 + c, y0 + r});
            if (angle == 90) want.insert({x0 + r, y0 + 8 - c});
            if (angle == 180) want.insert({x0 - r, y0 + c - 8});
        }
        EXPECT_EQ(blackOf(target), want) << angle;
    }
}

TEST_F(RotatedText, DrawsNothingForEmptyTextOtherAnglesOrGreyText) {
    printRotated(target, canvas, "", "arial", 12, 90, 0, 65);
    EXPECT_EQ(target.scaleMode(), ScaleMode::Pixels);
    EXPECT_TRUE(blackOf(target).empty());
    EXPECT_EQ(packText(canvas, "", "arial", 12).bytes.size(),
              std::size_t(packText(canvas, "", "arial", 12).height + 1));

    target.setScale(0, 1, 1, 0);
    printRotated(target, canvas, "Catch", "arial", 12, 45, 0, 65);
    EXPECT_EQ(target.scaleMode(), ScaleMode::Pixels);
    EXPECT_TRUE(blackOf(target).empty());

    // Dark grey is not black: nothing is copied.
    canvas.setForeColor(rgb(1, 1, 1));
    printRotated(target, canvas, "Catch", "arial", 12, 90, 0, 65);
    EXPECT_TRUE(blackOf(target).empty());
}

} // namespace
