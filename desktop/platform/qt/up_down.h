// An up-down spin control: two arrow buttons that step a whole value within a range; the value
// itself is shown by a label beside it.
#pragma once

#include <QWidget>

class QToolButton;

namespace kvr {

class UpDown : public QWidget {
    Q_OBJECT
  public:
    explicit UpDown(QWidget* parent = nullptr);

    int value() const { return value_; }
    void setValue(int value);
    int maximum() const { return maximum_; }
    void setMaximum(int maximum);
    // Ends an arrow's auto-repeat, as if the mouse had been released: a message box opened by a
    // step takes the release, and the arrow would go on stepping behind it.
    void stopRepeat();

  signals:
    void valueChanged(int value);

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    QToolButton* up_;
    QToolButton* down_;
    int value_ = 0;
    int maximum_ = 99;  // the design's upper stop
};

}  // namespace kvr
