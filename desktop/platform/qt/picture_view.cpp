#include "platform/qt/picture_view.h"

#include <QMouseEvent>
#include <QPainter>

namespace kvr {

PictureView::PictureView(QWidget* parent) : QWidget(parent) {}

void PictureView::setImage(const QImage& image) {
    image_ = image;
    update();
}

QImage PictureView::shownImage() const {
    if (image_.isNull() || image_.size() == size()) return image_;
    return image_.scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

void PictureView::paintEvent(QPaintEvent*) {
    if (image_.isNull()) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect(), image_);
}

void PictureView::resizeEvent(QResizeEvent*) { emit resized(); }

void PictureView::mousePressEvent(QMouseEvent* event) {
    emit mousePressed(event->button() == Qt::RightButton);
}

}  // namespace kvr
