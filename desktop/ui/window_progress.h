// The window's side of the core's progress: steps in lblProgress, the bar in ProgressBar1 and
// lblPrgPercent, the pair under way in lblFilePath, messages in message boxes, and the window's
// events run while the core breathes.
#pragma once

#include <string>

#include "platform/progress.h"
#include "platform/window.h"

namespace kvr {

class WindowProgress final : public Progress {
  public:
    // source: the input named in the pair caption ("... for SOURCE  Number of alignments: ...").
    explicit WindowProgress(Window& window, std::string source = {})
        : window_(window), source_(std::move(source)) {}

    void Step(std::string_view name) override;
    void Percent(int percent) override;
    void Pair(int i, int j, double count, double total) override;
    void End(std::string_view name) override;
    void Message(std::string_view text) override;
    void Breathe() override;

  private:
    Window& window_;
    std::string source_;
};

}  // namespace kvr
