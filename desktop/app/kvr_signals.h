// Ctrl-C (SIGINT), SIGTERM and SIGHUP raise the stop request of kvr's shell instead of ending the
// program at once, so that the run ends its aligners and removes its folder before kvr exits
// with 128 + the signal's number. A file being written is dropped with its temporary file, and
// no further file is written: each output is its old file or the whole new one.
#pragma once

#include <string_view>

#include "platform/stop_request.h"

namespace kvr::cli {

// A write to a closed pipe fails with EPIPE instead of ending kvr: kvr run ... | head -1 ends
// the display order, not the run. Called once at start.
void EndStreamsOnBrokenPipe();

class StopOnSignals {
  public:
    explicit StopOnSignals(StopRequest& stop);  // one at a time
    ~StopOnSignals();                           // the previous handlers again
    StopOnSignals(const StopOnSignals&) = delete;
    StopOnSignals& operator=(const StopOnSignals&) = delete;

    int Signal() const;              // the signal that asked to stop, 0 while none has
    const char* SignalName() const;  // "SIGINT", ...
    int ExitStatus() const { return 128 + Signal(); }
    // Says "NAME: cancelled by SIGNAL: OUTCOME" on standard error and returns the exit status of
    // a cancelled command: 128 + the signal's number, 1 when no signal asked.
    int Cancelled(std::string_view name, std::string_view outcome) const;
};

}  // namespace kvr::cli
