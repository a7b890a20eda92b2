#include "platform/qt/vector_file_surface.h"

#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <algorithm>

#include "io/file_io.h"

namespace kvr {

namespace {

constexpr int kTwipsPerInch = 1440;
constexpr int kPixel = 15;  // twips: one pixel of the screen canvas

QColor ToQColor(Rgb c) {
    return QColor(c.r, c.g, c.b);
}

}  // namespace

VectorFileSurface::VectorFileSurface(PictureFormat format, QFont font)
    : format_(format), fonts_(std::move(font)) {}

VectorFileSurface::~VectorFileSurface() {
    EndPage();
}

void VectorFileSurface::EndPage() {
    if (painter_) painter_->end();
    painter_.reset();
    device_.reset();
    buffer_.close();
}

void VectorFileSurface::Resize(int width, int height) {
    EndPage();
    width_ = std::max(width, 1);
    height_ = std::max(height, 1);
    buffer_.setData(QByteArray());
    buffer_.open(QIODevice::WriteOnly);
    if (format_ == PictureFormat::Svg) {
        auto svg = std::make_unique<QSvgGenerator>();
        svg->setOutputDevice(&buffer_);
        svg->setResolution(kTwipsPerInch);
        svg->setSize(QSize(width_, height_));
        svg->setViewBox(QRect(0, 0, width_, height_));
        device_ = std::move(svg);
    } else {
        auto pdf = std::make_unique<QPdfWriter>(&buffer_);
        pdf->setResolution(kTwipsPerInch);
        pdf->setPageSize(QPageSize(QSizeF(width_ / 20.0, height_ / 20.0), QPageSize::Point));
        pdf->setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf->setCreator(QStringLiteral("KVRv1"));
        device_ = std::move(pdf);
    }
    painter_ = std::make_unique<QPainter>(device_.get());
    painter_->setRenderHint(QPainter::Antialiasing, false);
    Clear();
}

void VectorFileSurface::Clear() {
    if (painter_) painter_->fillRect(QRectF(0, 0, width_, height_), Qt::white);
}

void VectorFileSurface::FillRect(int x1, int y1, int x2, int y2, Rgb fill) {
    if (!painter_) return;
    const int left = std::min(x1, x2), top = std::min(y1, y2);
    painter_->fillRect(
        QRectF(left, top, std::max(x1, x2) - left + kPixel, std::max(y1, y2) - top + kPixel),
        ToQColor(fill));
}

void VectorFileSurface::FillRects(const std::vector<SurfaceBox>& corners, Rgb fill) {
    if (!painter_ || corners.empty()) return;
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    for (const SurfaceBox& b : corners) {
        const int left = std::min(b.left, b.right), top = std::min(b.top, b.bottom);
        path.addRect(QRectF(left, top, std::max(b.left, b.right) - left + kPixel,
                            std::max(b.top, b.bottom) - top + kPixel));
    }
    painter_->fillPath(path, ToQColor(fill));
}

void VectorFileSurface::Box(int x1, int y1, int x2, int y2, Rgb fill) {
    FillRect(x1, y1, x2, y2, fill);
    Line(x1, y1, x2, y1, kBlack);
    Line(x1, y1, x1, y2, kBlack);
    Line(x2, y1, x2, y2, kBlack);
    Line(x1, y2, x2, y2, kBlack);
}

void VectorFileSurface::Line(int x1, int y1, int x2, int y2, Rgb colour) {
    if (!painter_) return;
    // A screen line covers the pixels of both ends: the pen is a pixel wide with square caps,
    // about the pixels' centres.
    const double half = kPixel / 2.0;
    painter_->setPen(QPen(ToQColor(colour), kPixel, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter_->drawLine(QPointF(x1 + half, y1 + half), QPointF(x2 + half, y2 + half));
}

void VectorFileSurface::Text(int x, int y, std::string_view text) {
    if (!painter_) return;
    painter_->setFont(fonts_.Upright());
    painter_->setPen(Qt::black);
    painter_->drawText(QPointF(x, y + fonts_.Ascent(TextTurn::Upright)), CanvasText(text));
}

void VectorFileSurface::RotatedText(int x, int y, std::string_view text) {
    if (!painter_) return;
    painter_->save();
    painter_->setFont(fonts_.Turned());
    painter_->setPen(Qt::black);
    painter_->translate(x, y);
    painter_->rotate(-90);
    // Reading upwards from the point, the glyphs lie to the right of it by one line height.
    painter_->drawText(QPointF(0, fonts_.Ascent(TextTurn::Rotated)), CanvasText(text));
    painter_->restore();
}

TextExtent VectorFileSurface::MeasureText(std::string_view text, TextTurn turn) const {
    return fonts_.Measure(text, turn);
}

Result<void> VectorFileSurface::Save(const std::string& path) {
    if (!painter_) return Problem{"the picture could not be drawn"};
    const bool ended = painter_->end();
    painter_.reset();
    device_.reset();  // the PDF is complete only when its writer is gone
    buffer_.close();
    const QByteArray& bytes = buffer_.data();
    if (!ended || bytes.isEmpty()) return Problem{"the picture could not be drawn"};
    return WriteWholeFile(path, std::string_view(bytes.constData(), bytes.size()));
}

Result<void> WriteVectorFile(PictureFormat format, const std::string& path,
                             const std::function<void(DrawingSurface&)>& draw) {
    VectorFileSurface surface(format, CanvasFont());
    draw(surface);
    return surface.Save(path);
}

}  // namespace kvr
