#include "platform/surface.h"

#include "platform/savefile.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace plat {

namespace {

// 96 dots per inch, so that point sizes and the saved file's header never depend on the screen.
constexpr int kDotsPerMeter = 3780;

QColor toQColor(uint32_t c) {
    return QColor(int(c & 255), int((c >> 8) & 255), int((c >> 16) & 255));
}

QImage makeImage(int w, int h, uint32_t back) {
    QImage img(std::max(w, 1), std::max(h, 1), QImage::Format_RGB32);
    img.setDotsPerMeterX(kDotsPerMeter);
    img.setDotsPerMeterY(kDotsPerMeter);
    img.fill(toQColor(back));
    return img;
}

// Every position is clipped in floating point before it becomes an integer pixel, so that a value
// far outside the surface can neither overflow a conversion nor cost a walk across pixels that
// are never seen.

// A thin line whose ends lie within this many pixels around the surface keeps its ends exactly;
// a longer one is cut at this band first. The band keeps every step of the line walk within
// 64-bit integers.
constexpr double kLineBand = double(1 << 29);
// Qt's raster engine works in fixed point; thick lines, circles and text stay well inside it.
constexpr double kQtBand = double(1 << 14);

// The pixel a scale position lands on: the position as a single value, rounded half up. Kept in
// a double, since it may lie far beyond the integers; a single that overflows keeps the double.
double pixelOf(double p) {
    const float f = float(p);
    return std::isfinite(f) ? std::floor(double(f) + 0.5) : std::floor(p + 0.5);
}

bool within(double v, double lo, double hi) {
    return v >= lo && v <= hi;
}

// Cuts the segment a-b to the rectangle [x0, x1] x [y0, y1] (Liang-Barsky). False when nothing
// of it lies inside. Ends that are inside already are left exactly as they are.
bool clipSegment(double& ax, double& ay, double& bx, double& by, double x0, double y0, double x1,
                 double y1) {
    const bool aIn = within(ax, x0, x1) && within(ay, y0, y1);
    const bool bIn = within(bx, x0, x1) && within(by, y0, y1);
    if (aIn && bIn) return true;
    const double dx = bx - ax, dy = by - ay;
    if (!std::isfinite(dx) || !std::isfinite(dy)) return false;
    double t0 = 0, t1 = 1;
    int edge0 = -1, edge1 = -1; // the edge that cuts each end
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {ax - x0, x1 - ax, ay - y0, y1 - ay};
    const double edges[4] = {x0, x1, y0, y1};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0 && t > t0) t0 = t, edge0 = i;
        if (p[i] > 0 && t < t1) t1 = t, edge1 = i;
        if (t0 > t1) return false;
    }
    // The cut coordinate is the edge itself; the other one follows the line. Both ends may be so
    // far out that the parameter alone would lose the edge in rounding.
    const double sx = ax, sy = ay;
    const auto cut = [&](double t, int edge, double& x, double& y) {
        x = edge == 0 || edge == 1 ? edges[edge] : std::clamp(sx + t * dx, x0, x1);
        y = edge == 2 || edge == 3 ? edges[edge] : std::clamp(sy + t * dy, y0, y1);
    };
    if (!bIn && edge1 >= 0) cut(t1, edge1, bx, by);
    if (!aIn && edge0 >= 0) cut(t0, edge0, ax, ay);
    return true;
}

// The pixels of the line walk from a towards b, b itself left out, as the old desktop draws a
// thin line. Step k of the walk lands on a closed form, so only the steps that can fall on the
// image are taken: the walk steps one pixel along its major axis each time, and the minor axis
// follows the major one rounded half up.
void thinLine(QImage& img, int64_t ax, int64_t ay, int64_t bx, int64_t by, QRgb rgb) {
    const int64_t w = img.width(), h = img.height();
    const auto plot = [&](int64_t x, int64_t y) {
        if (x >= 0 && y >= 0 && x < w && y < h) img.setPixel(int(x), int(y), rgb);
    };
    if (ax == bx && ay == by) {
        plot(ax, ay);
        return;
    }
    const int64_t a = std::abs(bx - ax), b = std::abs(by - ay);
    const int64_t sx = ax < bx ? 1 : -1, sy = ay < by ? 1 : -1;
    const bool xMajor = a >= b;
    const int64_t steps = xMajor ? a : b;
    // The steps whose major coordinate lies on the image.
    const int64_t start = xMajor ? ax : ay, sign = xMajor ? sx : sy, size = xMajor ? w : h;
    int64_t kFirst = sign > 0 ? -start : start - (size - 1);
    int64_t kLast = sign > 0 ? size - 1 - start : start;
    kFirst = std::max<int64_t>(kFirst, 0);
    kLast = std::min<int64_t>(kLast, steps - 1);
    for (int64_t k = kFirst; k <= kLast; ++k) {
        if (xMajor)
            plot(ax + sx * k, ay + sy * ((2 * b * k + a) / (2 * a)));
        else
            plot(ax + sx * ((2 * a * k + b) / (2 * b)), ay + sy * k);
    }
}

} // namespace

struct Surface::Impl {
    QImage img = makeImage(320, 240, kWhite);
    QWidget* widget = nullptr;
    ScaleMode mode = ScaleMode::Twips;
    // The user scale, kept also while another mode is in force.
    float userLeft = 0, userTop = 0, userWidth = 320, userHeight = 240;
    float cx = 0, cy = 0;
    uint32_t fore = kBlack, back = kWhite, fill = kBlack;
    int fillStyle = 1;
    int drawWidth = 1;
    std::string fontName = "Arial";
    float fontSize = 8.25f;
    bool bold = false;

    float left() const { return mode == ScaleMode::User ? userLeft : 0.f; }
    float top() const { return mode == ScaleMode::User ? userTop : 0.f; }
    float width() const {
        switch (mode) {
        case ScaleMode::User:
            return userWidth;
        case ScaleMode::Twips:
            return float(img.width() * kTwipsPerPixel);
        default:
            return float(img.width());
        }
    }
    float height() const {
        switch (mode) {
        case ScaleMode::User:
            return userHeight;
        case ScaleMode::Twips:
            return float(img.height() * kTwipsPerPixel);
        default:
            return float(img.height());
        }
    }
    double px(float x) const {
        const float w = width();
        return w == 0 ? 0.0 : (double(x) - left()) * img.width() / w;
    }
    double py(float y) const {
        const float h = height();
        return h == 0 ? 0.0 : (double(y) - top()) * img.height() / h;
    }
    float ux(double p) const { return float(left() + p * width() / img.width()); }
    float uy(double p) const { return float(top() + p * height() / img.height()); }

    QFont font() const {
        QFont f(QString::fromStdString(fontName));
        f.setPointSizeF(fontSize > 0 ? fontSize : 1.0);
        f.setBold(bold);
        // Pixel-exact readers of the image need pure black text.
        f.setStyleStrategy(QFont::NoAntialias);
        return f;
    }
    void changed() {
        if (widget) widget->update();
    }
    QPen pen(uint32_t color) const {
        QPen p(toQColor(color));
        p.setWidth(drawWidth);
        p.setCapStyle(Qt::SquareCap);
        p.setJoinStyle(Qt::MiterJoin);
        return p;
    }
    // Changes the scale while keeping the current position where it is on the image.
    template <class Fn> void rescale(Fn change) {
        const double pxx = px(cx), pyy = py(cy);
        change();
        cx = ux(pxx);
        cy = uy(pyy);
    }
};

Surface::Surface() : d(std::make_unique<Impl>()) {}
Surface::~Surface() = default;

void Surface::resize(int widthPixels, int heightPixels) {
    widthPixels = std::max(widthPixels, 1);
    heightPixels = std::max(heightPixels, 1);
    if (widthPixels == d->img.width() && heightPixels == d->img.height()) return;
    QImage next = makeImage(widthPixels, heightPixels, d->back);
    {
        QPainter p(&next);
        p.drawImage(0, 0, d->img);
    }
    d->img = next;
    d->changed();
}

int Surface::pixelWidth() const {
    return d->img.width();
}
int Surface::pixelHeight() const {
    return d->img.height();
}

void Surface::cls() {
    d->img.fill(toQColor(d->back));
    d->cx = d->left();
    d->cy = d->top();
    d->changed();
}

ScaleMode Surface::scaleMode() const {
    return d->mode;
}

void Surface::setScaleMode(ScaleMode mode) {
    d->rescale([&] { d->mode = mode; });
}

void Surface::setScale(float left, float top, float right, float bottom) {
    d->rescale([&] {
        d->mode = ScaleMode::User;
        d->userLeft = left;
        d->userTop = top;
        d->userWidth = right - left;
        d->userHeight = bottom - top;
    });
}

float Surface::scaleLeft() const {
    return d->left();
}
float Surface::scaleTop() const {
    return d->top();
}
float Surface::scaleWidth() const {
    return d->width();
}
float Surface::scaleHeight() const {
    return d->height();
}
float Surface::toPixelX(float x) const {
    return float(d->px(x));
}
float Surface::toPixelY(float y) const {
    return float(d->py(y));
}
float Surface::fromPixelX(float px) const {
    return d->ux(px);
}
float Surface::fromPixelY(float py) const {
    return d->uy(py);
}

float Surface::currentX() const {
    return d->cx;
}
float Surface::currentY() const {
    return d->cy;
}
void Surface::setCurrentX(float x) {
    d->cx = x;
}
void Surface::setCurrentY(float y) {
    d->cy = y;
}

uint32_t Surface::foreColor() const {
    return d->fore;
}
void Surface::setForeColor(uint32_t c) {
    d->fore = c & 0xFFFFFF;
}
uint32_t Surface::backColor() const {
    return d->back;
}
void Surface::setBackColor(uint32_t c) {
    d->back = c & 0xFFFFFF;
}
uint32_t Surface::fillColor() const {
    return d->fill;
}
void Surface::setFillColor(uint32_t c) {
    d->fill = c & 0xFFFFFF;
}
int Surface::fillStyle() const {
    return d->fillStyle;
}
void Surface::setFillStyle(int style) {
    d->fillStyle = style == 0 ? 0 : 1;
}
int Surface::drawWidth() const {
    return d->drawWidth;
}
void Surface::setDrawWidth(int w) {
    d->drawWidth = std::max(w, 1);
}
const std::string& Surface::fontName() const {
    return d->fontName;
}
void Surface::setFontName(const std::string& name) {
    d->fontName = name;
}
float Surface::fontSize() const {
    return d->fontSize;
}
void Surface::setFontSize(float points) {
    d->fontSize = points;
}
bool Surface::fontBold() const {
    return d->bold;
}
void Surface::setFontBold(bool bold) {
    d->bold = bold;
}

void Surface::line(float x1, float y1, float x2, float y2) {
    line(x1, y1, x2, y2, d->fore);
}

// A thin line is drawn as the old desktop's line drawing does it: from its first point up to,
// but not including, its last one, so that a tick drawn towards a label stops short of it.
// Thicker lines are drawn whole with Qt's pen.
void Surface::line(float x1, float y1, float x2, float y2, uint32_t color) {
    double ax = pixelOf(d->px(x1)), ay = pixelOf(d->py(y1));
    double bx = pixelOf(d->px(x2)), by = pixelOf(d->py(y2));
    const double w = d->img.width(), h = d->img.height();
    if (d->drawWidth <= 1) {
        const double band = kLineBand;
        if (clipSegment(ax, ay, bx, by, -band, -band, w + band, h + band))
            thinLine(d->img, int64_t(pixelOf(ax)), int64_t(pixelOf(ay)), int64_t(pixelOf(bx)),
                     int64_t(pixelOf(by)), toQColor(color).rgb());
    } else if (clipSegment(ax, ay, bx, by, -kQtBand, -kQtBand, w + kQtBand, h + kQtBand)) {
        const QPoint a(int(pixelOf(ax)), int(pixelOf(ay))), b(int(pixelOf(bx)), int(pixelOf(by)));
        QPainter p(&d->img);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(d->pen(color));
        if (a == b)
            p.drawPoint(a);
        else
            p.drawLine(a, b);
    }
    d->cx = x2;
    d->cy = y2;
    d->changed();
}

void Surface::lineTo(float x2, float y2) {
    line(d->cx, d->cy, x2, y2, d->fore);
}
void Surface::lineTo(float x2, float y2, uint32_t color) {
    line(d->cx, d->cy, x2, y2, color);
}

void Surface::box(float x1, float y1, float x2, float y2, bool filled) {
    box(x1, y1, x2, y2, d->fore, filled);
}

void Surface::box(float x1, float y1, float x2, float y2, uint32_t color, bool filled) {
    {
        QPainter p(&d->img);
        p.setRenderHint(QPainter::Antialiasing, false);
        // An edge beyond the margin stays out of sight wherever it lies, so it is pulled in
        // to the margin before it becomes an integer.
        const double margin = d->drawWidth + 2.0;
        const auto clampX = [&](double v) {
            return int(std::clamp(v, -margin, d->img.width() + margin));
        };
        const auto clampY = [&](double v) {
            return int(std::clamp(v, -margin, d->img.height() + margin));
        };
        const double fx1 = pixelOf(d->px(x1)), fy1 = pixelOf(d->py(y1));
        const double fx2 = pixelOf(d->px(x2)), fy2 = pixelOf(d->py(y2));
        if (std::isnan(fx1) || std::isnan(fy1) || std::isnan(fx2) || std::isnan(fy2)) {
            d->cx = x2;
            d->cy = y2;
            return;
        }
        const int ax = clampX(fx1), ay = clampY(fy1), bx = clampX(fx2), by = clampY(fy2);
        const QRect inclusive = QRect(QPoint(ax, ay), QPoint(bx, by)).normalized();
        if (filled) {
            p.fillRect(inclusive, toQColor(color));
        } else {
            if (d->fillStyle == 0) p.fillRect(inclusive, toQColor(d->fill));
            p.setPen(d->pen(color));
            p.setBrush(Qt::NoBrush);
            p.drawRect(
                QRect(inclusive.x(), inclusive.y(), inclusive.width() - 1, inclusive.height() - 1));
        }
    }
    d->cx = x2;
    d->cy = y2;
    d->changed();
}

void Surface::circle(float x, float y, float radius) {
    circle(x, y, radius, d->fore);
}

void Surface::circle(float x, float y, float radius, uint32_t color) {
    const float w = d->width();
    const double r = w == 0 ? 0.0 : std::fabs(double(radius) * d->img.width() / double(w));
    const double cx = pixelOf(d->px(x)), cy = pixelOf(d->py(y));
    const double iw = d->img.width(), ih = d->img.height();
    const double reach = r + d->drawWidth + 1.0;
    // Nearest and farthest point of the image from the centre.
    const double nx = std::clamp(cx, 0.0, iw) - cx, ny = std::clamp(cy, 0.0, ih) - cy;
    const double fx = std::max(std::fabs(cx), std::fabs(cx - iw));
    const double fy = std::max(std::fabs(cy), std::fabs(cy - ih));
    const bool drawn =
        std::isfinite(cx) && std::isfinite(cy) && std::isfinite(r) && std::hypot(nx, ny) <= reach;
    if (drawn && std::hypot(fx, fy) < r - d->drawWidth - 1.0) {
        // The image lies wholly inside the ring: only the fill can show.
        if (d->fillStyle == 0) d->img.fill(toQColor(d->fill));
    } else if (drawn) {
        QPainter p(&d->img);
        p.setRenderHint(QPainter::Antialiasing, false);
        const QPointF centre(cx, cy);
        p.setPen(d->pen(color));
        if (d->fillStyle == 0)
            p.setBrush(toQColor(d->fill));
        else
            p.setBrush(Qt::NoBrush);
        p.drawEllipse(centre, r, r);
    }
    d->cx = x;
    d->cy = y;
    d->changed();
}

void Surface::pset(float x, float y) {
    pset(x, y, d->fore);
}

void Surface::pset(float x, float y, uint32_t color) {
    const double fx = pixelOf(d->px(x)), fy = pixelOf(d->py(y));
    const int w = d->drawWidth;
    if (!within(fx, -w, d->img.width() + w) || !within(fy, -w, d->img.height() + w)) {
        // Out of sight.
    } else if (w <= 1) {
        const int px = int(fx), py = int(fy);
        if (px >= 0 && py >= 0 && px < d->img.width() && py < d->img.height())
            d->img.setPixel(px, py, toQColor(color).rgb());
    } else {
        const int px = int(fx), py = int(fy);
        QPainter p(&d->img);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.fillRect(QRect(px - w / 2, py - w / 2, w, w), toQColor(color));
    }
    d->cx = x;
    d->cy = y;
    d->changed();
}

int64_t Surface::point(float x, float y) const {
    const double fx = pixelOf(d->px(x)), fy = pixelOf(d->py(y));
    if (!within(fx, 0, d->img.width() - 1) || !within(fy, 0, d->img.height() - 1)) return -1;
    const QRgb c = d->img.pixel(int(fx), int(fy));
    return int64_t(qRed(c)) | (int64_t(qGreen(c)) << 8) | (int64_t(qBlue(c)) << 16);
}

void Surface::print(std::string_view text) {
    const float startX = d->cx;
    printInline(text);
    d->cx = startX;
    d->cy = d->cy + textHeight(text) * (d->height() < 0 ? -1.f : 1.f);
}

void Surface::printInline(std::string_view text) {
    const QString t = QString::fromUtf8(text.data(), qsizetype(text.size()));
    const QFont f = d->font();
    const QFontMetricsF fm(f, &d->img);
    const double fx = pixelOf(d->px(d->cx)), fy = pixelOf(d->py(d->cy));
    // Text that starts this far away cannot reach the image.
    if (within(fx, -kQtBand, d->img.width() + 1.0) && within(fy, -kQtBand, d->img.height() + 1.0)) {
        const int px = int(fx), py = int(fy);
        QPainter p(&d->img);
        p.setRenderHint(QPainter::TextAntialiasing, false);
        p.setFont(f);
        p.setPen(toQColor(d->fore));
        p.drawText(QPointF(px, py + fm.ascent()), t);
    }
    d->cx = d->cx + textWidth(text) * (d->width() < 0 ? -1.f : 1.f);
    d->changed();
}

float Surface::textWidth(std::string_view text) const {
    const QFontMetricsF fm(d->font(), &d->img);
    const double pixels =
        fm.horizontalAdvance(QString::fromUtf8(text.data(), qsizetype(text.size())));
    return float(std::fabs(pixels * d->width() / d->img.width()));
}

float Surface::textHeight(std::string_view) const {
    const QFontMetricsF fm(d->font(), &d->img);
    return float(std::fabs(fm.height() * d->height() / d->img.height()));
}

bool Surface::savePicture(const std::string& path, std::string* error) const {
    // Encoded in memory first, so that the bytes reach the disk through the one checked writer.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    std::string reason;
    const bool ok =
        buffer.open(QIODevice::WriteOnly) && d->img.save(&buffer, "BMP") &&
        writeFileWhole(path, std::string_view(bytes.constData(), std::size_t(bytes.size())),
                       reason);
    if (!ok && error) *error = reason.empty() ? "the picture could not be encoded" : reason;
    return ok;
}

const QImage& Surface::image() const {
    return d->img;
}
QWidget* Surface::widget() const {
    return d->widget;
}
void Surface::attach(QWidget* widget) {
    d->widget = widget;
}

} // namespace plat
