// A shell for tests: records each command line and folder and lets the test act in its place
// (write the output a real aligner would, or nothing).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/shell.h"

namespace kvr {

class FakeShell : public Shell {
public:
    using Action = std::function<ShellOutcome(const std::string& commandLine, const std::string& folder)>;

    explicit FakeShell(Action action = {}) : action_(std::move(action)) {}

    ShellOutcome Run(const std::string& commandLine, const std::string& folder) override {
        commands.push_back(commandLine);
        folders.push_back(folder);
        if (action_) return action_(commandLine, folder);
        return ShellOutcome{ShellOutcome::Status::Ended, 4242, 0, {}};
    }

    std::vector<std::string> commands;
    std::vector<std::string> folders;

private:
    Action action_;
};

}  // namespace kvr
