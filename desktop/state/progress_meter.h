// The progress bar of a long pass: set only when the shown percentage changes, with the pending
// window events let run then (and at least every few thousand steps), not for every item.
#pragma once

#include "platform/window.h"

namespace kvr {

class ProgressMeter {
  public:
    explicit ProgressMeter(Window& window, long stepsPerEventPump = 8192)
        : window_(window), stepsPerEventPump_(stepsPerEventPump) {}

    // Shows percent on ProgressBar1 when it differs from the value shown.
    void Show(int percent) {
        if (percent != shown_) {
            window_.SetValue(Control::ProgressBar1, percent);
            shown_ = percent;
        } else if (++sincePump_ < stepsPerEventPump_) {
            return;
        }
        window_.ProcessEvents();
        sincePump_ = 0;
    }

    // Starts a new pass: the next Show sets the bar whatever it shows.
    void Reset() {
        shown_ = -1;
        sincePump_ = 0;
    }

    // floor(done / total x 100), 0 for an empty pass.
    void Show(double done, double total) {
        Show(total > 0 ? static_cast<int>(done / total * 100) : 0);
    }

  private:
    Window& window_;
    long stepsPerEventPump_;
    int shown_ = -1;
    long sincePump_ = 0;
};

}  // namespace kvr
