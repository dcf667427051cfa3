#include "platform/form.h"
#include "platform/surface.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <array>
#include <cmath>
#include <fstream>
#include <random>
#include <sstream>
#include <vector>

namespace {

using namespace plat;

std::string slurp(const std::string& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

int blackPixels(const Surface& s) {
    int n = 0;
    for (int y = 0; y < s.pixelHeight(); ++y)
        for (int x = 0; x < s.pixelWidth(); ++x)
            if ((s.image().pixel(x, y) & 0xFFFFFF) == 0) ++n;
    return n;
}

class SurfaceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        s.resize(100, 80);
        s.cls();
    }
    Surface s;
};

TEST_F(SurfaceTest, StartsWhiteInTwipsWithAPersistentRgb32Image) {
    EXPECT_EQ(s.image().format(), QImage::Format_RGB32);
    EXPECT_EQ(s.scaleMode(), ScaleMode::Twips);
    EXPECT_EQ(s.scaleWidth(), 1500.f);
    EXPECT_EQ(s.scaleHeight(), 1200.f);
    EXPECT_EQ(s.point(0, 0), int64_t(kWhite));
    EXPECT_EQ(s.point(1500, 0), -1); // outside
}

TEST_F(SurfaceTest, PointsAndLinesInEveryScale) {
    s.pset(150, 300, rgb(255, 0, 0)); // twips: pixel (10, 20)
    s.setScaleMode(ScaleMode::Pixels);
    EXPECT_EQ(s.point(10, 20), int64_t(rgb(255, 0, 0)));
    EXPECT_EQ(s.point(10, 20), 255);
    // A user scale with y growing upward: (0, 8) top left, (10, 0) bottom right.
    s.setScale(0, 8, 10, 0);
    EXPECT_EQ(s.scaleHeight(), -8.f);
    s.pset(5, 2, kBlack);
    s.setScaleMode(ScaleMode::Pixels);
    EXPECT_EQ(s.point(50, 60), 0);
    s.setScale(0, 8, 10, 0);
    EXPECT_EQ(s.point(5, 2), 0);
    s.line(0, 1, 10, 1, rgb(0, 0, 255));
    s.setScaleMode(ScaleMode::Pixels);
    for (int x : {0, 30, 99})
        EXPECT_EQ(s.point(float(x), 70), int64_t(rgb(0, 0, 255))) << x;
    EXPECT_EQ(s.currentX(), 100.f); // the line's end, kept where it is on the image
    EXPECT_EQ(s.currentY(), 70.f);
    // A thin line stops short of its last point.
    s.line(10, 5, 50, 5);
    EXPECT_EQ(s.point(10, 5), 0);
    EXPECT_EQ(s.point(49, 5), 0);
    EXPECT_EQ(s.point(50, 5), int64_t(kWhite));
    s.line(20, 30, 20, 10);
    EXPECT_EQ(s.point(20, 11), 0);
    EXPECT_EQ(s.point(20, 10), int64_t(kWhite));
}

TEST_F(SurfaceTest, BoxesAndCircles) {
    s.setScaleMode(ScaleMode::Pixels);
    s.box(10, 10, 20, 20);
    EXPECT_EQ(s.point(10, 15), 0);
    EXPECT_EQ(s.point(20, 15), 0);
    EXPECT_EQ(s.point(15, 15), int64_t(kWhite)); // transparent fill by default
    s.box(30, 10, 40, 20, rgb(0, 255, 0), true);
    EXPECT_EQ(s.point(35, 15), int64_t(rgb(0, 255, 0)));
    s.circle(60, 40, 10);
    EXPECT_EQ(s.point(70, 40), 0);
    EXPECT_EQ(s.point(60, 40), int64_t(kWhite));
    s.setFillStyle(0);
    s.setFillColor(rgb(255, 0, 0));
    s.circle(60, 40, 5, kBlack);
    EXPECT_EQ(s.point(60, 40), int64_t(rgb(255, 0, 0)));
    EXPECT_EQ(s.currentX(), 60.f);
}

// The thin line as it was drawn before positions were clipped: the plain walk of every pixel
// from the first end to the last, the last left out. Kept here to hold the drawing to it.
QImage walkedLine(int w, int h, int ax, int ay, int bx, int by) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    const auto plot = [&](int x, int y) {
        if (x >= 0 && y >= 0 && x < w && y < h) img.setPixel(x, y, 0xFF000000);
    };
    if (ax == bx && ay == by) {
        plot(ax, ay);
        return img;
    }
    int x = ax, y = ay;
    const int dx = std::abs(bx - x), dy = -std::abs(by - y);
    const int sx = x < bx ? 1 : -1, sy = y < by ? 1 : -1;
    long long err = dx + dy;
    while (x != bx || y != by) {
        plot(x, y);
        const long long e2 = 2 * err;
        if (e2 >= dy) err += dy, x += sx;
        if (e2 <= dx) err += dx, y += sy;
    }
    return img;
}

// Lines that reach the image, from ends on it, near it and far beyond it (but within reach of
// the walk above), draw exactly the pixels of the plain walk.
TEST(SurfaceLines, ClippedLinesKeepThePixelsOfTheWholeWalk) {
    constexpr int w = 120, h = 90;
    std::vector<std::array<int, 4>> lines = {
        {-5, -5, 130, 97},           {60, 45, 60, 45},           {-1, 0, 120, 0},
        {119, -40, 0, 300},          {-3000, 44, 3000, 46},      {50, -2500, 52, 2600},
        {-400000, -300000, 500, 80}, {10, 10, 2000000, 1500001}, {200, 10, -50, 10},
    };
    std::mt19937 random(19);
    std::uniform_int_distribution<int> near(-700, 800), far(-2000000, 2000000);
    for (int i = 0; i < 400; ++i)
        lines.push_back({near(random), near(random), near(random), near(random)});
    for (int i = 0; i < 20; ++i)
        lines.push_back({near(random) / 8 + 60, near(random) / 8 + 40, far(random), far(random)});
    Surface s;
    s.resize(w, h);
    s.setScaleMode(ScaleMode::Pixels);
    for (const auto& l : lines) {
        s.cls();
        s.line(float(l[0]), float(l[1]), float(l[2]), float(l[3]), kBlack);
        const QImage want = walkedLine(w, h, l[0], l[1], l[2], l[3]);
        ASSERT_EQ(s.image(), want) << l[0] << "," << l[1] << " to " << l[2] << "," << l[3];
    }
}

// Positions far beyond the image, even beyond every integer, draw at once what can be seen of
// them and nothing else, in every drawing call.
TEST(SurfaceLines, PositionsFarOutsideDrawTheirVisiblePartOnly) {
    Surface s;
    s.resize(120, 90);
    s.setScale(0, 90, 120, 0); // y grows upward
    s.cls();
    s.line(50.2f, 40.8f, 1e30f, 40.8f, kBlack);   // pixel row 49, to the right across the edge
    s.line(30.2f, 3e38f, 30.2f, -3e38f, kBlack);  // pixel column 30, through the whole height
    s.line(-1e30f, 1e30f, -1e25f, 2e30f, kBlack); // never in sight
    s.lineTo(1e30f, -1e30f);
    EXPECT_EQ(s.currentX(), 1e30f);
    s.pset(1e35f, 5.f, kBlack);
    s.circle(-1e20f, 1e20f, 3.f);
    s.setCurrentX(1e30f);
    s.setCurrentY(1e30f);
    s.print("far away");
    s.setDrawWidth(3);
    s.line(1e20f, 1e20f, 2e20f, -1e20f, kBlack);
    s.pset(-1e30f, -1e30f);
    s.setDrawWidth(1);
    EXPECT_EQ(s.point(1e30f, 1e30f), -1);
    const QImage& img = s.image();
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const bool onLine = (y == 49 && x >= 50) || x == 30;
            ASSERT_EQ((img.pixel(x, y) & 0xFFFFFF) == 0, onLine) << x << "," << y;
        }

    // A box cut at the edge draws what it would if the surface were larger; a thick line to a
    // far point still runs from its first end in its direction.
    Surface big, cut;
    for (Surface* t : {&big, &cut}) {
        t->resize(t == &big ? 400 : 120, 90);
        t->setScaleMode(ScaleMode::Pixels);
        t->cls();
        t->setDrawWidth(2);
    }
    big.box(20, 30, 300, 60);
    cut.box(20, 30, 1e30f, 60);
    EXPECT_EQ(cut.image(), big.image().copy(0, 0, 120, 90));
    cut.cls();
    cut.line(10, 10, 1e9f * 380 + 10, 1e9f * 70 + 10, kBlack);
    for (int x = 10; x < 120; x += 10)
        EXPECT_EQ(cut.point(float(x), std::round(10 + (x - 10) * 70.f / 380)), 0) << x;
    EXPECT_EQ(cut.point(100, 60), int64_t(kWhite));

    // A filled circle that covers the whole image fills it.
    s.cls();
    s.setFillStyle(0);
    s.setFillColor(rgb(255, 0, 0));
    s.circle(60, 45, 1e30f);
    s.setScaleMode(ScaleMode::Pixels);
    EXPECT_EQ(s.point(0, 0), int64_t(rgb(255, 0, 0)));
    EXPECT_EQ(s.point(119, 89), int64_t(rgb(255, 0, 0)));
}

TEST_F(SurfaceTest, TextIsPureBlackAndPrintMovesDownALine) {
    s.setScaleMode(ScaleMode::Pixels);
    s.setFontName("arial");
    s.setFontSize(12);
    s.setCurrentX(5);
    s.setCurrentY(4);
    s.print("Ag1990");
    int other = 0;
    for (int y = 0; y < s.pixelHeight(); ++y)
        for (int x = 0; x < s.pixelWidth(); ++x) {
            const QRgb c = s.image().pixel(x, y) & 0xFFFFFF;
            if (c != 0 && c != 0xFFFFFF) ++other;
        }
    EXPECT_EQ(other, 0) << "antialiased text";
    EXPECT_GT(blackPixels(s), 20);
    const float h = s.textHeight("Ag1990");
    EXPECT_GT(h, 10.f);
    EXPECT_EQ(s.currentX(), 5.f);
    EXPECT_EQ(s.currentY(), 4.f + h);
    const float w = s.textWidth("Ag1990");
    EXPECT_GT(w, 30.f);
    s.setScaleMode(ScaleMode::Twips);
    EXPECT_FLOAT_EQ(s.textWidth("Ag1990"), w * 15);
    s.setScale(0, 8, 10, 0);
    EXPECT_GT(s.textHeight("Ag1990"), 0.f); // sizes are positive when y grows upward
}

TEST_F(SurfaceTest, BitmapFileIsByteStable) {
    QTemporaryDir tmp;
    const std::string a = tmp.filePath("a.bmp").toStdString();
    const std::string b = tmp.filePath("plot").toStdString(); // no extension added
    s.line(0, 0, 1500, 1200);
    ASSERT_TRUE(s.savePicture(a));
    ASSERT_TRUE(s.savePicture(b));
    const std::string bytes = slurp(a);
    ASSERT_GT(bytes.size(), 54u);
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    EXPECT_EQ(bytes, slurp(b));
    // 3780 dots per metre (96 dpi) in the header, whatever the screen.
    const auto le32 = [&](std::size_t at) {
        return uint32_t(uint8_t(bytes[at])) | uint32_t(uint8_t(bytes[at + 1])) << 8 |
               uint32_t(uint8_t(bytes[at + 2])) << 16 | uint32_t(uint8_t(bytes[at + 3])) << 24;
    };
    EXPECT_EQ(le32(38), 3780u);
    EXPECT_EQ(le32(18), 100u);
    EXPECT_EQ(uint8_t(bytes[28]), 24u); // bits per pixel
    QImage back(QString::fromStdString(a));
    EXPECT_EQ(back.pixel(50, 40) & 0xFFFFFF, 0u);
    EXPECT_FALSE(s.savePicture(tmp.filePath("no/such/dir.bmp").toStdString()));
}

// A drawing window's client area is the size given in twips; mouse input arrives in its scale.
class Plot : public Form {
  public:
    Plot() : Form("frmPlot", "Plot", Kind::Drawing) {}
    void Form_MouseDown(int button, int, float x, float y) override {
        got.push_back({button, x, y});
        events += "D";
    }
    void Form_MouseUp(int, int, float, float) override { events += "U"; }
    void Form_DblClick() override { events += "C"; }
    std::string events;
    struct Press {
        int button;
        float x, y;
    };
    std::vector<Press> got;
};

TEST(DrawingWindow, SizeInTwipsAndMouseInUserUnits) {
    Plot& p = instance<Plot>();
    p.setWidth(10000);
    p.setHeight(7000);
    EXPECT_EQ(p.width(), 10000);
    EXPECT_EQ(p.surface().pixelWidth(), 666);
    EXPECT_EQ(p.surface().pixelHeight(), 466);
    p.surface().setScale(0, 10, 100, 0);
    p.show();
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(333, 233), QPointF(333, 233),
                      Qt::RightButton, Qt::RightButton, Qt::NoModifier);
    QCoreApplication::sendEvent(p.surface().widget(), &press);
    ASSERT_EQ(p.got.size(), 1u);
    EXPECT_EQ(p.got[0].button, 2);
    EXPECT_NEAR(p.got[0].x, 50, 0.01);
    EXPECT_NEAR(p.got[0].y, 5, 0.01);

    // A double-click: the second press raises the double-click alone.
    p.events.clear();
    QTest::mouseClick(p.surface().widget(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QTest::mouseDClick(p.surface().widget(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QTest::mouseRelease(p.surface().widget(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    EXPECT_EQ(p.events, "DUCU");
    p.events.clear();
    p.dblClick(10, 10);
    EXPECT_EQ(p.events, "DUCU");
}

} // namespace
