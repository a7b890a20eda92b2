// The process seam: start command lines through /bin/sh -c in a folder, wait for whichever
// started process ends first, end a process early. Each command runs in a process group of its
// own that is ended with it, and that ends itself when this program dies. The window's
// implementation keeps its events running while it waits.
#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "platform/stop_request.h"

namespace kvr {

using ShellClock = std::chrono::steady_clock;

struct ShellOutcome {
    enum class Status {
        Running,     // Start: the process has started
        Ended,       // Wait: the process with processId has ended with exitCode
        NotStarted,  // Start: it could not be started (message says why); Wait: nothing runs
        Stopped,     // Wait: the stop request was raised
        TimedOut,    // Wait: the deadline passed first
    };
    Status status = Status::NotStarted;
    int processId = 0;    // 0 when not started
    int exitCode = -1;    // the shell's exit status; 128 + n when killed by signal n
    std::string message;  // why it did not start
};

class Shell {
  public:
    virtual ~Shell() = default;

    // Starts the command line in folder and returns at once (status Running, or NotStarted).
    virtual ShellOutcome Start(const std::string& commandLine, const std::string& folder) = 0;

    // Returns when one of the started processes has ended (status Ended, reported once, the
    // earliest started first when several have), when the stop request is raised (Stopped), or
    // when the deadline passes (TimedOut). Stopped and TimedOut end no process.
    virtual ShellOutcome WaitAny(std::optional<ShellClock::time_point> deadline = std::nullopt) = 0;

    // Ends the process group of a started process that has not been reported yet, at once.
    virtual void End(int processId) = 0;

    // Start and wait, for one process with no other running. On a stop request the process is
    // ended and the outcome is Stopped (with its processId).
    ShellOutcome Run(const std::string& commandLine, const std::string& folder);

    StopRequest& Stop() { return stop_; }

  private:
    StopRequest stop_;
};

}  // namespace kvr
