// The splash window: title, short name and version for 50 ticks of a 40 ms timer, then the main
// window.
#pragma once

#include <QTimer>
#include <QWidget>
#include <functional>

namespace kvr {

class Splash : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kTicks = 50;
    static constexpr int kTickMilliseconds = 40;

    // onDone runs once, after the last tick, when the splash has closed.
    explicit Splash(std::function<void()> onDone);

  private:
    QTimer timer_;
    int ticks_ = 0;
    std::function<void()> onDone_;
};

}  // namespace kvr
