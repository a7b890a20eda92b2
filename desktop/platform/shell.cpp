#include "platform/shell.h"

namespace kvr {

ShellOutcome Shell::Run(const std::string& commandLine, const std::string& folder) {
    const ShellOutcome started = Start(commandLine, folder);
    if (started.status != ShellOutcome::Status::Running) return started;
    while (true) {
        ShellOutcome outcome = WaitAny();
        if (outcome.status == ShellOutcome::Status::Stopped) {
            End(started.processId);
            outcome.processId = started.processId;
            return outcome;
        }
        if (outcome.status != ShellOutcome::Status::Ended || outcome.processId == started.processId)
            return outcome;
    }
}

}  // namespace kvr
