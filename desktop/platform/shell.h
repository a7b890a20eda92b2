// The process seam: run one command line through /bin/sh -c in a folder and return when it has
// ended. The window's implementation keeps its events running meanwhile.
#pragma once

#include <string>

namespace kvr {

struct ShellOutcome {
    enum class Status { Ended, NotStarted };
    Status status = Status::NotStarted;
    int processId = 0;  // 0 when not started
    int exitCode = -1;  // the shell's exit status; 128 + n when killed by signal n
    std::string message;  // why it did not start
};

class Shell {
public:
    virtual ~Shell() = default;
    virtual ShellOutcome Run(const std::string& commandLine, const std::string& folder) = 0;
};

}  // namespace kvr
