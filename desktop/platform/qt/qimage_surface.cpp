#include "platform/qt/qimage_surface.h"

#include <QPainter>

namespace kvr {

namespace {

int Px(int twips) { return twips / QImageSurface::kTwipsPerPixel; }

QColor ToQColor(Rgb c) { return QColor(c.r, c.g, c.b); }

QString ToQString(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QImageSurface::QImageSurface(QFont font) : font_(std::move(font)) { Resize(kTwipsPerPixel, kTwipsPerPixel); }

void QImageSurface::Resize(int width, int height) {
    width_ = width;
    height_ = height;
    image_ = QImage(std::max(1, Px(width)), std::max(1, Px(height)), QImage::Format_RGB32);
    Clear();
}

void QImageSurface::Clear() { image_.fill(Qt::white); }

void QImageSurface::Fill(QColor colour) { image_.fill(colour); }

void QImageSurface::FillRect(int x1, int y1, int x2, int y2, Rgb fill) {
    QPainter painter(&image_);
    painter.fillRect(QRect(QPoint(Px(std::min(x1, x2)), Px(std::min(y1, y2))),
                           QPoint(Px(std::max(x1, x2)), Px(std::max(y1, y2)))),
                     ToQColor(fill));
}

void QImageSurface::Box(int x1, int y1, int x2, int y2, Rgb fill) {
    FillRect(x1, y1, x2, y2, fill);
    Line(x1, y1, x2, y1, kBlack);
    Line(x1, y1, x1, y2, kBlack);
    Line(x2, y1, x2, y2, kBlack);
    Line(x1, y2, x2, y2, kBlack);
}

void QImageSurface::Line(int x1, int y1, int x2, int y2, Rgb colour) {
    QPainter painter(&image_);
    painter.setPen(QPen(ToQColor(colour), 1));
    painter.drawLine(Px(x1), Px(y1), Px(x2), Px(y2));
}

void QImageSurface::Text(int x, int y, std::string_view text) {
    QPainter painter(&image_);
    painter.setFont(font_);
    painter.setPen(Qt::black);
    const QFontMetrics metrics(font_);
    painter.drawText(Px(x), Px(y) + metrics.ascent(), ToQString(text));
}

void QImageSurface::RotatedText(int x, int y, std::string_view text) {
    QPainter painter(&image_);
    painter.setFont(font_);
    painter.setPen(Qt::black);
    const QFontMetrics metrics(font_);
    painter.translate(Px(x), Px(y));
    painter.rotate(-90);
    // Reading upwards from the point, the glyphs lie to the right of it by one line height.
    painter.drawText(0, metrics.ascent(), ToQString(text));
}

}  // namespace kvr
