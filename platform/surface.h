#pragma once
// The drawing surface of a window: a persistent image of the client area that survives hiding,
// covering and resizing, on which the plotting routines draw in twips, pixels or a user scale
// whose y may grow upward. Text is drawn without antialiasing, so pixel-exact routines that read
// the image back see pure black. Colours are the desktop's long colour values: 0x00BBGGRR,
// black 0, white 16777215.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class QImage;
class QWidget;

namespace plat {

constexpr int kTwipsPerPixel = 15;

constexpr uint32_t rgb(int r, int g, int b) {
    return uint32_t(r & 255) | (uint32_t(g & 255) << 8) | (uint32_t(b & 255) << 16);
}
constexpr uint32_t kBlack = 0;
constexpr uint32_t kWhite = 16777215;

enum class ScaleMode { User = 0, Twips = 1, Pixels = 3 };

class Surface {
  public:
    Surface();
    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    // Size of the drawing area in pixels (the window's client area). Content is kept at the
    // upper left when the size changes; new area takes the back colour.
    void resize(int widthPixels, int heightPixels);
    int pixelWidth() const;
    int pixelHeight() const;

    // Erases everything to the back colour; the current position goes to the scale's origin.
    void cls();

    // Coordinate system.
    ScaleMode scaleMode() const;
    void setScaleMode(ScaleMode mode); // Twips or Pixels; User is set by setScale
    void setScale(float left, float top, float right, float bottom); // user scale
    float scaleLeft() const;
    float scaleTop() const;
    float scaleWidth() const;  // negative when x grows leftward
    float scaleHeight() const; // negative when y grows upward
    // Conversions between the current scale and pixels (as floats, not rounded).
    float toPixelX(float x) const;
    float toPixelY(float y) const;
    float fromPixelX(float px) const;
    float fromPixelY(float py) const;

    // Current position, in scale units.
    float currentX() const;
    float currentY() const;
    void setCurrentX(float x);
    void setCurrentY(float y);

    // Drawing state.
    uint32_t foreColor() const;
    void setForeColor(uint32_t c);
    uint32_t backColor() const;
    void setBackColor(uint32_t c); // takes effect at the next cls()
    uint32_t fillColor() const;
    void setFillColor(uint32_t c);
    int fillStyle() const; // 0 solid, 1 transparent (the default)
    void setFillStyle(int style);
    int drawWidth() const; // pen width in pixels, at least 1
    void setDrawWidth(int w);
    const std::string& fontName() const;
    void setFontName(const std::string& name);
    float fontSize() const; // points, at 96 dots per inch
    void setFontSize(float points);
    bool fontBold() const;
    void setFontBold(bool bold);

    // Drawing; a colour that is not given is the fore colour. Each moves the current position
    // to the last point drawn (the circle: to its centre).
    void line(float x1, float y1, float x2, float y2);
    void line(float x1, float y1, float x2, float y2, uint32_t color);
    void lineTo(float x2, float y2); // from the current position
    void lineTo(float x2, float y2, uint32_t color);
    void box(float x1, float y1, float x2, float y2, bool filled = false);
    void box(float x1, float y1, float x2, float y2, uint32_t color, bool filled = false);
    // Radius in units of the x axis. The inside is painted with the fill colour when the fill
    // style is solid.
    void circle(float x, float y, float radius);
    void circle(float x, float y, float radius, uint32_t color);
    void pset(float x, float y);
    void pset(float x, float y, uint32_t color);
    // Colour of a pixel; -1 outside the image.
    int64_t point(float x, float y) const;

    // Prints text with its upper-left corner at the current position, then moves the current
    // position to the start of the next line (x back to where it was, y one text height down).
    void print(std::string_view text);
    // Like print but leaves the position after the text on the same line.
    void printInline(std::string_view text);
    float textWidth(std::string_view text) const;  // in scale units
    float textHeight(std::string_view text) const; // in scale units

    // Writes the image as a BMP file under exactly this name. False when it cannot be written;
    // `error` then holds the system's reason, and an earlier file of that name is left as it was.
    bool savePicture(const std::string& path, std::string* error = nullptr) const;

    const QImage& image() const;

    // The widget that shows the image (owned by the window); mouse handling is the window's.
    QWidget* widget() const;
    void attach(QWidget* widget);

  private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace plat
