// The library's bridge to the pipeline, which reports through the Progress seam and waits
// through the Shell seam: steps and percent become calls of the caller's progress callback
// (whose false raises the stop request), and the messages become the result's text.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "kvr/kvr.h"
#include "platform/posix_shell.h"
#include "platform/progress.h"

namespace kvr::api {

// A POSIX shell whose waits wake every few hundredths of a second to call the progress callback,
// so that a long external aligner can be cancelled by it.
class ProgressShell : public PosixShell {
  public:
    explicit ProgressShell(const Progress& progress) : progress_(progress) {}
    // The step and fraction last reported, shown again while a wait goes on.
    void Report(std::string_view step, double fraction);
    void Tick() { Report(step_, fraction_); }

  protected:
    void Sleep(const std::vector<int>& descriptors,
               std::optional<ShellClock::time_point> deadline) override;

  private:
    const Progress& progress_;
    std::string step_;
    double fraction_ = 0;
    bool cancelled_ = false;  // the callback returned false
};

// The core's progress told to the caller's callback through the shell (whose false raises the
// stop request); the messages a window would show are kept for the result's text.
class CallbackProgress final : public kvr::Progress {
  public:
    explicit CallbackProgress(ProgressShell& shell) : shell_(shell) {}

    // The messages told, in order.
    const std::vector<std::string>& Messages() const { return messages_; }
    // They, one a line.
    std::string MessageText() const;

    void Step(std::string_view name) override;
    void Percent(int percent) override;
    void Pair(int i, int j, double count, double total) override;
    void End(std::string_view name) override;
    void Message(std::string_view text) override { messages_.emplace_back(text); }
    void Breathe() override { shell_.Tick(); }

  private:
    ProgressShell& shell_;
    std::string step_;
    int percent_ = 0;
    std::vector<std::string> messages_;
};

}  // namespace kvr::api
