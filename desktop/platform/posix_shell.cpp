#include "platform/posix_shell.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>

namespace kvr {

namespace {

// Milliseconds until the deadline for poll(2): -1 for none, rounded up so that a wake-up never
// comes before it.
int PollTimeout(std::optional<ShellClock::time_point> deadline) {
    if (!deadline) return -1;
    const auto left = *deadline - ShellClock::now();
    if (left <= ShellClock::duration::zero()) return 0;
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
    return static_cast<int>(std::min<decltype(ms)>(ms, 24 * 3600 * 1000));
}

}  // namespace

PosixShell::~PosixShell() {
    for (ProcessGroup& group : running_) KillProcessGroup(group);
}

ShellOutcome PosixShell::Start(const std::string& commandLine, const std::string& folder) {
    ProcessGroupStart start = StartProcessGroup(commandLine, folder);
    if (start.group.processId == 0)
        return {ShellOutcome::Status::NotStarted, 0, -1, std::move(start.error)};
    running_.push_back(start.group);
    return {ShellOutcome::Status::Running, start.group.processId, -1, {}};
}

ShellOutcome PosixShell::WaitAny(std::optional<ShellClock::time_point> deadline) {
    std::vector<pollfd> ended(running_.size());
    while (true) {
        if (Stop().Raised()) return {ShellOutcome::Status::Stopped, 0, -1, {}};
        if (running_.empty())
            return {ShellOutcome::Status::NotStarted, 0, -1, "no process is running"};
        ended.resize(running_.size());
        for (std::size_t k = 0; k < running_.size(); ++k)
            ended[k] = {running_[k].endedFd, POLLIN, 0};
        if (::poll(ended.data(), ended.size(), 0) > 0) {
            for (std::size_t k = 0; k < running_.size(); ++k) {
                if (ended[k].revents == 0) continue;
                ProcessGroup group = running_[k];
                running_.erase(running_.begin() + static_cast<std::ptrdiff_t>(k));
                const int processId = group.processId;
                return {ShellOutcome::Status::Ended, processId, ReapProcessGroup(group), {}};
            }
        }
        if (deadline && ShellClock::now() >= *deadline)
            return {ShellOutcome::Status::TimedOut, 0, -1, {}};
        std::vector<int> descriptors{Stop().WakeDescriptor()};
        for (const ProcessGroup& group : running_) descriptors.push_back(group.endedFd);
        Sleep(descriptors, deadline);
    }
}

void PosixShell::End(int processId) {
    const auto found = std::find_if(running_.begin(), running_.end(), [&](const ProcessGroup& g) {
        return g.processId == processId;
    });
    if (found == running_.end()) return;
    ProcessGroup group = *found;
    running_.erase(found);
    KillProcessGroup(group);
}

void PosixShell::Sleep(const std::vector<int>& descriptors,
                       std::optional<ShellClock::time_point> deadline) {
    std::vector<pollfd> watched;
    for (int fd : descriptors) watched.push_back({fd, POLLIN, 0});
    // EINTR (a signal, which may have raised the stop request) returns too: the caller looks.
    ::poll(watched.data(), watched.size(), PollTimeout(deadline));
}

}  // namespace kvr
