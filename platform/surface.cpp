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

int roundPixel(float v) {
    return int(std::floor(double(v) + 0.5));
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
    const QPoint a(roundPixel(float(d->px(x1))), roundPixel(float(d->py(y1))));
    const QPoint b(roundPixel(float(d->px(x2))), roundPixel(float(d->py(y2))));
    if (d->drawWidth <= 1) {
        const QRgb rgb = toQColor(color).rgb();
        const auto plot = [&](int x, int y) {
            if (x >= 0 && y >= 0 && x < d->img.width() && y < d->img.height())
                d->img.setPixel(x, y, rgb);
        };
        if (a == b) {
            plot(a.x(), a.y());
        } else {
            // Bresenham from a towards b; b itself is left out.
            int x = a.x(), y = a.y();
            const int dx = std::abs(b.x() - x), dy = -std::abs(b.y() - y);
            const int sx = x < b.x() ? 1 : -1, sy = y < b.y() ? 1 : -1;
            int err = dx + dy;
            while (x != b.x() || y != b.y()) {
                plot(x, y);
                const int e2 = 2 * err;
                if (e2 >= dy) {
                    err += dy;
                    x += sx;
                }
                if (e2 <= dx) {
                    err += dx;
                    y += sy;
                }
            }
        }
    } else {
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
        const int ax = roundPixel(float(d->px(x1))), ay = roundPixel(float(d->py(y1)));
        const int bx = roundPixel(float(d->px(x2))), by = roundPixel(float(d->py(y2)));
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
    {
        QPainter p(&d->img);
        p.setRenderHint(QPainter::Antialiasing, false);
        const float w = d->width();
        const double r = w == 0 ? 0.0 : std::fabs(double(radius) * d->img.width() / double(w));
        const QPointF centre(roundPixel(float(d->px(x))), roundPixel(float(d->py(y))));
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
    const int px = roundPixel(float(d->px(x))), py = roundPixel(float(d->py(y)));
    if (d->drawWidth <= 1) {
        if (px >= 0 && py >= 0 && px < d->img.width() && py < d->img.height())
            d->img.setPixel(px, py, toQColor(color).rgb());
    } else {
        QPainter p(&d->img);
        p.setRenderHint(QPainter::Antialiasing, false);
        const int w = d->drawWidth;
        p.fillRect(QRect(px - w / 2, py - w / 2, w, w), toQColor(color));
    }
    d->cx = x;
    d->cy = y;
    d->changed();
}

int64_t Surface::point(float x, float y) const {
    const int px = roundPixel(float(d->px(x))), py = roundPixel(float(d->py(y)));
    if (px < 0 || py < 0 || px >= d->img.width() || py >= d->img.height()) return -1;
    const QRgb c = d->img.pixel(px, py);
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
    const int px = roundPixel(float(d->px(d->cx))), py = roundPixel(float(d->py(d->cy)));
    {
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
