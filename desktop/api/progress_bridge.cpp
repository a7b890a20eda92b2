#include "api/progress_bridge.h"

#include <algorithm>
#include <cmath>

namespace kvr::api {

namespace {

// How long a wait for an external program sleeps before the callback is called again.
constexpr auto kWaitSlice = std::chrono::milliseconds(50);

}  // namespace

void ProgressShell::Report(std::string_view step, double fraction) {
    if (step_ != step) step_ = step;
    fraction_ = fraction;
    // A cancel holds for the rest of the run, even where a step clears the stop request.
    if (!cancelled_ && progress_ && !Stop().Raised()) cancelled_ = !progress_(step_, fraction_);
    if (cancelled_) Stop().Raise();
}

void ProgressShell::Sleep(const std::vector<int>& descriptors,
                          std::optional<ShellClock::time_point> deadline) {
    const auto slice = ShellClock::now() + kWaitSlice;
    PosixShell::Sleep(descriptors, deadline ? std::min(*deadline, slice) : slice);
    Tick();
}

std::string CallbackProgress::MessageText() const {
    std::string text;
    for (const std::string& message : messages_) {
        if (!text.empty()) text += '\n';
        text += message;
    }
    return text;
}

void CallbackProgress::Step(std::string_view name) {
    step_ = name;
    shell_.Report(step_, percent_ / 100.0);
}

void CallbackProgress::Percent(int percent) {
    percent_ = std::clamp(percent, 0, 100);
    shell_.Report(step_, percent_ / 100.0);
}

void CallbackProgress::Pair(int i, int j, double count, double total) {
    step_ = PairStep(i, j);
    Percent(static_cast<int>(std::nearbyint(PairPercent(count, total))));
}

void CallbackProgress::End(std::string_view name) {
    step_ = name;
    Percent(0);
}

}  // namespace kvr::api
