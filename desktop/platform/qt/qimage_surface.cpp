#include "platform/qt/qimage_surface.h"

#include <sys/mman.h>

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace kvr {

namespace {

constexpr int kDotsPerMetre = 3780;  // 96 dpi: 8.25 pt is 11 pixels

// The canvas of a few hundred sequences is hundreds of megabytes. In 2 MiB pages it costs a page
// fault per 2 MiB rather than per 4 KiB, which was most of the time of drawing it.
QImage HugePageImage(int widthPx, int heightPx) {
    constexpr std::size_t kHugePage = std::size_t{2} << 20;
    const qsizetype bytesPerLine = qsizetype{widthPx} * 4;
    const std::size_t bytes = static_cast<std::size_t>(bytesPerLine) * heightPx;
    if (bytes < 4 * kHugePage) return QImage(widthPx, heightPx, QImage::Format_RGB32);
    void* data = std::aligned_alloc(kHugePage, (bytes + kHugePage - 1) / kHugePage * kHugePage);
    if (!data) return {};
    ::madvise(data, bytes, MADV_HUGEPAGE);
    return QImage(static_cast<uchar*>(data), widthPx, heightPx, bytesPerLine, QImage::Format_RGB32,
                  std::free, data);
}

QImage BlankImage(int widthPx, int heightPx) {
    QImage image = HugePageImage(std::max(1, widthPx), std::max(1, heightPx));
    image.setDotsPerMeterX(kDotsPerMetre);
    image.setDotsPerMeterY(kDotsPerMetre);
    image.fill(Qt::white);
    return image;
}

QColor ToQColor(Rgb c) {
    return QColor(c.r, c.g, c.b);
}

}  // namespace

int QImageSurface::ToPixels(int twips) {
    return static_cast<int>(std::floor(twips / static_cast<double>(kTwipsPerPixel) + 0.5));
}

QImageSurface::QImageSurface(QFont font) : image_(BlankImage(1, 1)), fonts_(std::move(font)) {
    ascent_ = fonts_.Ascent(TextTurn::Upright) / kTwipsPerPixel;
    turnedAscent_ = fonts_.Ascent(TextTurn::Rotated) / kTwipsPerPixel;
    width_ = height_ = kTwipsPerPixel;
}

TextExtent QImageSurface::MeasureText(std::string_view text, TextTurn turn) const {
    return fonts_.Measure(text, turn);
}

QImageSurface::~QImageSurface() = default;

QPainter& QImageSurface::Painter() {
    if (!painter_) {
        painter_ = std::make_unique<QPainter>(&image_);
        painter_->setRenderHint(QPainter::TextAntialiasing);
        painter_->setTransform(transform_);
        lineColour_.reset();
    }
    return *painter_;
}

void QImageSurface::EndPainting() const {
    painter_.reset();
}

const QImage& QImageSurface::Image() const {
    EndPainting();  // a copy taken while a painter is open would change with later drawing
    return image_;
}

void QImageSurface::Resize(int width, int height) {
    EndPainting();
    width_ = width;
    height_ = height;
    // The same rounding as the window's widgets, so that a canvas and a view of one size agree.
    transform_.reset();
    image_ = BlankImage(ToPixels(width), ToPixels(height));
}

void QImageSurface::BeginArea(QSize pixels, const QTransform& transform) {
    EndPainting();
    transform_ = transform;
    image_ = BlankImage(pixels.width(), pixels.height());
}

void QImageSurface::Clear() {
    Fill(Qt::white);
}

void QImageSurface::Fill(QColor colour) {
    EndPainting();
    image_.fill(colour);
}

void QImageSurface::FillRect(int x1, int y1, int x2, int y2, Rgb fill) {
    // Both corners belong to the rectangle.
    const QRect pixels(QPoint(ToPixels(std::min(x1, x2)), ToPixels(std::min(y1, y2))),
                       QPoint(ToPixels(std::max(x1, x2)), ToPixels(std::max(y1, y2))));
    Painter().fillRect(pixels, ToQColor(fill));
}

void QImageSurface::Box(int x1, int y1, int x2, int y2, Rgb fill) {
    FillRect(x1, y1, x2, y2, fill);
    Line(x1, y1, x2, y1, kBlack);
    Line(x1, y1, x1, y2, kBlack);
    Line(x2, y1, x2, y2, kBlack);
    Line(x1, y2, x2, y2, kBlack);
}

void QImageSurface::Line(int x1, int y1, int x2, int y2, Rgb colour) {
    QPainter& painter = Painter();
    // A matrix outlines every cell in black: a new pen per line was a third of the drawing.
    if (lineColour_ != colour) {
        painter.setPen(QPen(ToQColor(colour), 0));
        lineColour_ = colour;
    }
    painter.drawLine(ToPixels(x1), ToPixels(y1), ToPixels(x2), ToPixels(y2));
}

void QImageSurface::Text(int x, int y, std::string_view text) {
    QPainter& painter = Painter();
    painter.setFont(fonts_.Upright());
    painter.setPen(Qt::black);
    lineColour_.reset();
    painter.drawText(QPointF(ToPixels(x), ToPixels(y) + ascent_), CanvasText(text));
}

void QImageSurface::RotatedText(int x, int y, std::string_view text) {
    QPainter& painter = Painter();
    painter.save();
    painter.setFont(fonts_.Turned());
    painter.setPen(Qt::black);
    lineColour_.reset();
    painter.translate(ToPixels(x), ToPixels(y));
    painter.rotate(-90);
    // Reading upwards from the point, the glyphs lie to the right of it by one line height.
    painter.drawText(QPointF(0, turnedAscent_), CanvasText(text));
    painter.restore();
}

}  // namespace kvr
