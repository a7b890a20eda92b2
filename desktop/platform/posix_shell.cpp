#include "platform/posix_shell.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

extern char** environ;

namespace kvr {

ShellOutcome PosixShell::Run(const std::string& commandLine, const std::string& folder) {
    ShellOutcome outcome;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // The child starts in the folder; this process's current directory is never touched.
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    const char* argv[] = {"/bin/sh", "-c", commandLine.c_str(), nullptr};
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, "/bin/sh", &actions, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        outcome.message = std::string("cannot start /bin/sh: ") + std::strerror(rc);
        return outcome;
    }
    outcome.processId = pid;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            outcome.message = std::string("lost the process: ") + std::strerror(errno);
            return outcome;
        }
    }
    outcome.status = ShellOutcome::Status::Ended;
    outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return outcome;
}

}  // namespace kvr
