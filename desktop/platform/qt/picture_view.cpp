#include "platform/qt/picture_view.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace kvr {

PictureView::PictureView(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);  // the cell under the pointer is read out without a button held
}

void PictureView::mouseMoveEvent(QMouseEvent* event) {
    emit pointerMoved(event->position().toPoint());
}

void PictureView::leaveEvent(QEvent*) {
    emit pointerMoved(QPoint(-1, -1));
}

void PictureView::setImage(const QImage& image) {
    image_ = image;
    scaled_ = QImage();
    update();
}

QImage PictureView::shownImage() const {
    if (image_.isNull() || image_.size() == size()) return image_;
    if (scaled_.size() != size())
        scaled_ = image_.scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return scaled_;
}

void PictureView::paintEvent(QPaintEvent* event) {
    if (image_.isNull()) return;
    // Scrolling repaints only the exposed strip; the stretched image is kept between repaints.
    QPainter painter(this);
    const QImage shown = shownImage();
    painter.drawImage(event->rect(), shown, event->rect());
}

void PictureView::resizeEvent(QResizeEvent*) {
    scaled_ = QImage();
    emit resized();
}

void PictureView::mousePressEvent(QMouseEvent* event) {
    emit mousePressed(event->button() == Qt::RightButton);
}

}  // namespace kvr
