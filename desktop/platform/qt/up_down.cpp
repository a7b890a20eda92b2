#include "platform/qt/up_down.h"

#include <QToolButton>

namespace kvr {

UpDown::UpDown(QWidget* parent)
    : QWidget(parent), up_(new QToolButton(this)), down_(new QToolButton(this)) {
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    up_->setAutoRepeat(true);
    down_->setAutoRepeat(true);
    connect(up_, &QToolButton::clicked, this, [this] { setValue(value_ + 1); });
    connect(down_, &QToolButton::clicked, this, [this] { setValue(value_ - 1); });
}

void UpDown::setValue(int value) {
    value = std::clamp(value, 0, maximum_);
    if (value == value_) return;
    value_ = value;
    emit valueChanged(value_);
}

void UpDown::setMaximum(int maximum) {
    maximum_ = maximum;
    if (value_ > maximum_) setValue(maximum_);
}

void UpDown::stopRepeat() {
    up_->setDown(false);
    down_->setDown(false);
}

void UpDown::resizeEvent(QResizeEvent*) {
    const int half = height() / 2;
    up_->setGeometry(0, 0, width(), half);
    down_->setGeometry(0, half, width(), height() - half);
}

}  // namespace kvr
