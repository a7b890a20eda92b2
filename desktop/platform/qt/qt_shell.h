// The window's shell: the processes of the POSIX shell, but its waits run a local event loop
// that wakes on a process's end, on the stop request (the Cancel of the window) or on the
// deadline, so the window stays live and nothing polls.
#pragma once

#include "platform/posix_shell.h"

namespace kvr {

class QtShell : public PosixShell {
  protected:
    void Sleep(const std::vector<int>& descriptors,
               std::optional<ShellClock::time_point> deadline) override;
};

}  // namespace kvr
