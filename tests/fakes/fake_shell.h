// A shell for tests: records each command line and folder and lets the test act in its place
// (write the output a real aligner would, or nothing). The action runs at the start; its outcome
// is what the wait reports. An outcome with the status Running stands for a process that never
// ends by itself: a wait with a deadline then reports TimedOut at once, as if time had passed.
#pragma once

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/shell.h"

namespace kvr {

class FakeShell : public Shell {
  public:
    using Action =
        std::function<ShellOutcome(const std::string& commandLine, const std::string& folder)>;
    enum class Finish { InStartOrder, NewestFirst };  // which ended process a wait reports

    explicit FakeShell(Action action = {}) : action_(std::move(action)) {}

    ShellOutcome Start(const std::string& commandLine, const std::string& folder) override {
        commands.push_back(commandLine);
        folders.push_back(folder);
        ShellOutcome outcome = action_ ? action_(commandLine, folder)
                                       : ShellOutcome{ShellOutcome::Status::Ended, 0, 0, {}};
        if (outcome.status == ShellOutcome::Status::NotStarted) return outcome;
        outcome.processId = nextId_++;
        processIds.push_back(outcome.processId);
        running_.push_back(outcome);
        mostRunning = std::max(mostRunning, static_cast<int>(running_.size()));
        return {ShellOutcome::Status::Running, outcome.processId, -1, {}};
    }

    ShellOutcome WaitAny(std::optional<ShellClock::time_point> deadline = std::nullopt) override {
        if (Stop().Raised()) return {ShellOutcome::Status::Stopped, 0, -1, {}};
        const auto ended = [](const ShellOutcome& o) {
            return o.status == ShellOutcome::Status::Ended;
        };
        auto found = running_.end();
        if (finish == Finish::InStartOrder) {
            found = std::find_if(running_.begin(), running_.end(), ended);
        } else {
            const auto last = std::find_if(running_.rbegin(), running_.rend(), ended);
            if (last != running_.rend()) found = std::next(last).base();
        }
        if (found != running_.end()) {
            const ShellOutcome outcome = *found;
            running_.erase(found);
            return outcome;
        }
        if (running_.empty())
            return {ShellOutcome::Status::NotStarted, 0, -1, "no process is running"};
        if (deadline) return {ShellOutcome::Status::TimedOut, 0, -1, {}};
        throw std::logic_error("FakeShell: a wait without a deadline on processes that never end");
    }

    void End(int processId) override {
        const auto found =
            std::find_if(running_.begin(), running_.end(),
                         [&](const ShellOutcome& o) { return o.processId == processId; });
        if (found == running_.end()) return;
        running_.erase(found);
        endedEarly.push_back(processId);
    }

    Finish finish = Finish::InStartOrder;
    std::vector<std::string> commands;
    std::vector<std::string> folders;
    std::vector<int> processIds;  // of each start, from 1000 on
    std::vector<int> endedEarly;  // the processes ended through End
    int mostRunning = 0;          // the most processes running at once

  private:
    Action action_;
    std::vector<ShellOutcome> running_;
    int nextId_ = 1000;
};

}  // namespace kvr
