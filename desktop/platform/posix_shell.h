// Runs a command line through /bin/sh -c in a folder and blocks until it ends. For the headless
// program and the tests; the window uses its own shell that keeps events running.
#pragma once

#include "platform/shell.h"

namespace kvr {

class PosixShell : public Shell {
public:
    ShellOutcome Run(const std::string& commandLine, const std::string& folder) override;
};

}  // namespace kvr
