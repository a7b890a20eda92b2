#include "platform/qt/picture_view.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace kvr {

PictureView::PictureView(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);  // the cell under the pointer is read out without a button held
}

void PictureView::mouseMoveEvent(QMouseEvent* event) {
    pointer_ = event->position().toPoint();
    emit pointerMoved(pointer_);
}

void PictureView::leaveEvent(QEvent*) {
    pointer_ = QPoint(-1, -1);
    emit pointerMoved(pointer_);
}

namespace {

constexpr int kTile = 256;       // pixels
constexpr int kMostTiles = 512;  // 128 MiB of tiles at most

}  // namespace

void PictureView::setImage(const QImage& image) {
    render_ = nullptr;
    tiles_.clear();
    image_ = image;
    scaled_ = QImage();
    update();
}

void PictureView::setMarks(QVector<QRect> marks) {
    if (marks == marks_) return;
    for (const QRect& box : marks_) update(box.adjusted(-2, -2, 2, 2));
    marks_ = std::move(marks);
    for (const QRect& box : marks_) update(box.adjusted(-2, -2, 2, 2));
}

void PictureView::setDrawing(AreaRenderer render) {
    image_ = QImage();
    scaled_ = QImage();
    tiles_.clear();
    render_ = std::move(render);
    update();
}

QImage PictureView::shownImage() const {
    if (render_) return render_(rect(), size());
    if (image_.isNull() || image_.size() == size()) return image_;
    if (scaled_.size() != size())
        scaled_ = image_.scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return scaled_;
}

QImage PictureView::RenderTile(const QRect& area) const {
    // On a screen of more device pixels than the view's own (a scale factor above 1) the tile is
    // drawn at the screen's resolution, so that cells and names stay sharp.
    const qreal ratio = devicePixelRatioF();
    if (ratio == 1.0) return render_(area, size());
    const auto device = [ratio](int v) { return qRound(v * ratio); };
    const QRect pixels(QPoint(device(area.left()), device(area.top())),
                       QPoint(device(area.right() + 1) - 1, device(area.bottom() + 1) - 1));
    QImage tile = render_(pixels, QSize(device(width()), device(height())));
    tile.setDevicePixelRatio(ratio);
    return tile;
}

void PictureView::paintEvent(QPaintEvent* event) {
    if (render_) {
        QPainter painter(this);
        const QRect exposed = event->rect() & rect();
        if (exposed.isEmpty()) return;
        if (tiles_.size() > kMostTiles) tiles_.clear();
        for (int ty = exposed.top() / kTile; ty <= exposed.bottom() / kTile; ++ty)
            for (int tx = exposed.left() / kTile; tx <= exposed.right() / kTile; ++tx) {
                const quint64 key = (quint64(quint32(ty)) << 32) | quint32(tx);
                auto tile = tiles_.find(key);
                const QRect area = QRect(tx * kTile, ty * kTile, kTile, kTile) & rect();
                if (tile == tiles_.end()) tile = tiles_.insert(key, RenderTile(area));
                painter.drawImage(area.topLeft(), *tile);
            }
        PaintMarks(painter);
        return;
    }
    if (image_.isNull()) return;
    // Scrolling repaints only the exposed strip; the stretched image is kept between repaints.
    QPainter painter(this);
    const QImage shown = shownImage();
    painter.drawImage(event->rect(), shown, event->rect());
    PaintMarks(painter);
}

void PictureView::PaintMarks(QPainter& painter) const {
    // A light tint that leaves the colours readable, and an edge that shows on every colour.
    for (const QRect& box : marks_) {
        painter.fillRect(box, QColor(255, 255, 255, 70));
        painter.setPen(QPen(Qt::black, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(box.adjusted(1, 1, -1, -1));
    }
}

void PictureView::resizeEvent(QResizeEvent*) {
    scaled_ = QImage();
    tiles_.clear();
    emit resized();
}

void PictureView::mousePressEvent(QMouseEvent* event) {
    // The press is on the point it was made at, whether or not a move was reported before it.
    const QPoint at = event->position().toPoint();
    if (at != pointer_) {
        pointer_ = at;
        emit pointerMoved(pointer_);
    }
    emit mousePressed(event->button() == Qt::RightButton);
}

void PictureView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit doubleClicked(event->position().toPoint());
}

}  // namespace kvr
