// The shell on plain POSIX: each command in a process group of its own (see process_group.h),
// waits that sleep in poll(2) on the processes' pidfds and the stop request. For the headless
// program and the tests; the window's shell derives from it and waits in its event loop instead.
#pragma once

#include <vector>

#include "platform/process_group.h"
#include "platform/shell.h"

namespace kvr {

class PosixShell : public Shell {
  public:
    PosixShell() = default;
    ~PosixShell() override;  // ends every process still running
    PosixShell(const PosixShell&) = delete;
    PosixShell& operator=(const PosixShell&) = delete;

    ShellOutcome Start(const std::string& commandLine, const std::string& folder) override;
    ShellOutcome WaitAny(std::optional<ShellClock::time_point> deadline = std::nullopt) override;
    void End(int processId) override;

  protected:
    // Returns when one of the descriptors is readable or the deadline has passed (or a little
    // earlier: the caller looks again).
    virtual void Sleep(const std::vector<int>& descriptors,
                       std::optional<ShellClock::time_point> deadline);

  private:
    std::vector<ProcessGroup> running_;  // in start order
};

}  // namespace kvr
