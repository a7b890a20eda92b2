#include "platform/process_group.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string_view>
#include <vector>

extern char** environ;

namespace kvr {

namespace {

// What the children report through the start pipe when a step fails: the step and errno.
enum StartStep : int { kFork = 1, kFolder = 2, kExec = 3 };
constexpr int kReportFd = 3;  // where the start pipe sits in the children

// Everything below runs in the children between fork and exec, where this program may have had
// other threads: async-signal-safe calls only, no allocation.

[[noreturn]] void ReportAndExit(int step, int error) {
    const int report[2] = {step, error};
    [[maybe_unused]] const ssize_t written = ::write(kReportFd, report, sizeof report);
    ::_exit(127);
}

// The status as the shell reports it: 128 + n for a process ended by signal n.
int ExitCode(int status) {
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

void KillGroup(int) {
    ::kill(0, SIGKILL);
}

void ResetSignals() {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (int s = 1; s < NSIG; ++s)
        if (s != SIGKILL && s != SIGSTOP) ::sigaction(s, &action, nullptr);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
}

[[noreturn]] void RunShell(char* const argv[], char* const envp[], const char* folder) {
    const int input = ::open("/dev/null", O_RDONLY);
    if (input > 0) {
        ::dup2(input, 0);
        ::close(input);
    }
    if (::chdir(folder) != 0) ReportAndExit(kFolder, errno);
    ::execve("/bin/sh", argv, envp);
    ReportAndExit(kExec, errno);
}

[[noreturn]] void Supervise(char* const argv[], char* const envp[], const char* folder,
                            pid_t parent, int reportFd) {
    ::setpgid(0, 0);
    ResetSignals();
    // The parent-death signal, and a SIGTERM from anyone, kill the group.
    struct sigaction action {};
    action.sa_handler = KillGroup;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGTERM, &action, nullptr);
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (::getppid() != parent) KillGroup(0);  // the parent died before the line above

    // Only the start pipe is kept, as descriptor 3; the program's other files stay closed.
    if (reportFd != kReportFd) {
        ::dup3(reportFd, kReportFd, O_CLOEXEC);
        ::close(reportFd);
    }
    ::close_range(kReportFd + 1, ~0U, 0);

    const pid_t supervisor = ::getpid();
    const pid_t shell = ::fork();
    if (shell < 0) ReportAndExit(kFork, errno);
    if (shell == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != supervisor) ::_exit(127);
        ::signal(SIGTERM, SIG_DFL);
        RunShell(argv, envp, folder);
    }
    ::close(kReportFd);
    int status = 0;
    while (::waitpid(shell, &status, 0) < 0)
        if (errno != EINTR) ::_exit(127);
    ::_exit(ExitCode(status));
}

}  // namespace

std::vector<std::string> ChildEnvironment(char* const* environment) {
    constexpr std::string_view kTunables = "GLIBC_TUNABLES=";
    constexpr std::string_view kHugePages = "glibc.malloc.hugetlb=";
    std::vector<std::string> variables;
    bool tuned = false;
    for (char* const* variable = environment; *variable; ++variable) {
        std::string text = *variable;
        if (text.starts_with(kTunables)) {
            tuned = true;
            if (text.find(kHugePages) == std::string::npos)
                text +=
                    (text.size() == kTunables.size() ? "" : ":") + std::string(kHugePages) + "1";
        }
        variables.push_back(std::move(text));
    }
    if (!tuned) variables.push_back(std::string(kTunables) + std::string(kHugePages) + "1");
    return variables;
}

namespace {

// The system call itself: glibc 2.36 declares pidfd_open without C linkage for C++.
int OpenPidFd(pid_t pid) {
    return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
}

int WaitFor(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) return -1;
    return ExitCode(status);
}

void Close(ProcessGroup& group) {
    if (group.endedFd >= 0) ::close(group.endedFd);
    group = {};
}

}  // namespace

ProcessGroupStart StartProcessGroup(const std::string& commandLine, const std::string& folder) {
    ProcessGroupStart start;
    const char* argv[] = {"/bin/sh", "-c", commandLine.c_str(), nullptr};
    // Built before the fork: the children may not allocate.
    const std::vector<std::string> variables = ChildEnvironment(environ);
    std::vector<char*> envp;
    for (const std::string& variable : variables)
        envp.push_back(const_cast<char*>(variable.c_str()));
    envp.push_back(nullptr);
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) {
        start.error = std::string("cannot start /bin/sh: ") + std::strerror(errno);
        return start;
    }
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0)
        Supervise(const_cast<char* const*>(argv), envp.data(), folder.c_str(), parent, report[1]);
    const int forkError = errno;
    ::close(report[1]);
    if (pid < 0) {
        ::close(report[0]);
        start.error = std::string("cannot start /bin/sh: ") + std::strerror(forkError);
        return start;
    }
    // Also here, so that the group exists before anyone can try to kill it.
    ::setpgid(pid, pid);

    // The pipe closes without a word once the shell has started (close-on-exec).
    int failure[2] = {0, 0};
    ssize_t got = 0;
    do got = ::read(report[0], failure, sizeof failure);
    while (got < 0 && errno == EINTR);
    ::close(report[0]);

    ProcessGroup group{pid, OpenPidFd(pid)};
    if (got == sizeof failure || group.endedFd < 0) {
        const int watchError = errno;
        KillProcessGroup(group);
        if (group.endedFd < 0 && got != sizeof failure)
            start.error = std::string("cannot watch the process: ") + std::strerror(watchError);
        else if (failure[0] == kFolder)
            start.error = "cannot work in the folder " + folder + ": " + std::strerror(failure[1]);
        else
            start.error = std::string("cannot start /bin/sh: ") + std::strerror(failure[1]);
        return start;
    }
    start.group = group;
    return start;
}

int ReapProcessGroup(ProcessGroup& group) {
    // The supervisor is a zombie until reaped, so the group id cannot have been reused yet.
    ::kill(-group.processId, SIGKILL);
    const int code = WaitFor(group.processId);
    Close(group);
    return code;
}

void KillProcessGroup(ProcessGroup& group) {
    if (group.processId <= 0) return;
    ::kill(-group.processId, SIGKILL);
    WaitFor(group.processId);
    Close(group);
}

void AdoptOrphans() {
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);
}

namespace {

// The processes whose parent is this program, from /proc.
std::vector<pid_t> Children() {
    std::vector<pid_t> children;
    const pid_t self = ::getpid();
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        const std::string name = entry.path().filename().string();
        pid_t pid = 0;
        const auto [end, ec] = std::from_chars(name.data(), name.data() + name.size(), pid);
        if (ec != std::errc() || end != name.data() + name.size()) continue;
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        std::getline(stat, line);
        // "pid (name) state ppid ...": the name may hold spaces and parentheses.
        const auto close = line.rfind(')');
        if (close == std::string::npos) continue;
        std::istringstream rest(line.substr(close + 1));
        char state = 0;
        pid_t parent = 0;
        if (rest >> state >> parent && parent == self) children.push_back(pid);
    }
    return children;
}

}  // namespace

void EndStrayChildren() {
    // A stray's own children reach this program only once it has died: a few rounds.
    for (int round = 0, quiet = 0; round < 20 && quiet < 2; ++round) {
        const std::vector<pid_t> children = Children();
        quiet = children.empty() ? quiet + 1 : 0;
        for (const pid_t pid : children) {
            ::kill(-pid, SIGKILL);  // the group it may lead, after setsid
            ::kill(pid, SIGKILL);
            WaitFor(pid);
        }
        if (children.empty()) ::usleep(10'000);
    }
}

}  // namespace kvr
