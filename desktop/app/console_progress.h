// What kvr tells of its work, having no window: steps, percent and messages go to a stream
// (standard error), and to a log file when one is kept. Progress is rate-limited: on a terminal
// it rewrites one line; elsewhere (a pipe, a file, the log) a new step is written at once and its
// progress a line every few seconds.
#pragma once

#include <chrono>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/progress.h"

namespace kvr {

class ConsoleProgress final : public Progress {
  public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    // quiet keeps the steps back from out; messages are always written. terminal: out is shown
    // on a terminal, where the progress line is rewritten in place. log: a log file that gets
    // every message and step, quiet or not. clock: the time, for the rate limits.
    ConsoleProgress(std::ostream& out, std::string prefix, bool quiet, bool terminal,
                    std::ostream* log = nullptr, Clock clock = std::chrono::steady_clock::now);
    ~ConsoleProgress() override;  // ends a terminal's open progress line
    ConsoleProgress(const ConsoleProgress&) = delete;
    ConsoleProgress& operator=(const ConsoleProgress&) = delete;

    void Step(std::string_view name) override;
    void Percent(int percent) override;
    void Pair(int i, int j, double count, double total) override;
    void End(std::string_view name) override;
    void Message(std::string_view text) override;

    // Writes a step still waiting for its turn.
    void Flush();

  private:
    // One stream the texts go to, with its own manner and pace.
    struct Sink {
        std::ostream* out;
        bool quiet;
        bool terminal;
        bool progressOpen = false;  // a progress line without its line end is on the terminal
        bool statusPending = false;
        std::string lastWritten{};
        std::string lastStep{};  // the last status written, its numbers left out
        std::chrono::steady_clock::time_point lastWrite{};
    };
    void Offer(Sink& sink);  // a new status text
    void Flush(Sink& sink);
    void WriteStatus(Sink& sink);
    void WriteLine(Sink& sink, std::string_view text);  // ends a progress line left open first
    void WriteLine(std::string_view text);              // to every sink

    std::string prefix_;
    Clock clock_;
    std::vector<Sink> sinks_;
    std::string step_;  // the step under way, as the status line tells it
    int percent_ = 0;
};

}  // namespace kvr
