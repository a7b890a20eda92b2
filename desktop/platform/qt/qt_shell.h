// Runs a command line through /bin/sh -c with QProcess; while it runs, the window's events keep
// being handled by a local event loop that wakes on the process's end (no polling).
#pragma once

#include "platform/shell.h"

namespace kvr {

class QtShell : public Shell {
public:
    ShellOutcome Run(const std::string& commandLine, const std::string& folder) override;
};

}  // namespace kvr
