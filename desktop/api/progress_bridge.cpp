#include "api/progress_bridge.h"

#include <algorithm>

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

std::string ProgressWindow::MessageText() const {
    std::string text;
    for (const std::string& message : messages_) {
        if (!text.empty()) text += '\n';
        text += message;
    }
    return text;
}

void ProgressWindow::SetCaption(Control c, std::string_view text) {
    if (c != Control::lblProgress) return;
    step_ = text;
    shell_.Report(step_, percent_ / 100.0);
}

std::string ProgressWindow::Caption(Control c) const {
    return c == Control::lblProgress ? step_ : std::string();
}

void ProgressWindow::SetValue(Control c, int value) {
    if (c != Control::ProgressBar1) return;
    percent_ = std::clamp(value, 0, 100);
    shell_.Report(step_, percent_ / 100.0);
}

int ProgressWindow::Value(Control c) const {
    return c == Control::ProgressBar1 ? percent_ : 0;
}

bool ProgressWindow::AskYesNo(std::string_view text) {
    messages_.emplace_back(text);
    return false;
}

}  // namespace kvr::api
