// The percent of a long pass: told only when it changes, with the caller let breathe then (and
// at least every few thousand steps), not for every item.
#pragma once

#include "platform/progress.h"

namespace kvr {

class ProgressMeter {
  public:
    explicit ProgressMeter(Progress& progress, long stepsPerEventPump = 8192)
        : progress_(progress), stepsPerEventPump_(stepsPerEventPump) {}

    // Tells the percent when it differs from the value told.
    void Show(int percent) {
        if (percent != shown_) {
            progress_.Percent(percent);
            shown_ = percent;
        } else if (++sincePump_ < stepsPerEventPump_) {
            return;
        }
        progress_.Breathe();
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
    Progress& progress_;
    long stepsPerEventPump_;
    int shown_ = -1;
    long sincePump_ = 0;
};

}  // namespace kvr
