#include "platform/posix_shell.h"
#include "platform/process_group.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

#include "io/file_io.h"
#include "io/program_folder.h"
#include "support/process_watch.h"
#include "support/temp_folder.h"

namespace kvr {
namespace {

using testing::StillRunning;
using testing::TempFolder;
using testing::WaitForIds;

using Status = ShellOutcome::Status;

// A command that starts a child of its own, as MAFFT's script does, and lists both ids in pids.
const std::string kSleepsWithAChild = "sleep 30 & echo $! >> pids; echo $$ >> pids; wait";

TEST(PosixShell, RunsInTheFolderWithoutMovingThisProcess) {
    TempFolder folder;
    const std::string before = CurrentDirectory();
    PosixShell shell;
    const ShellOutcome outcome = shell.Run("echo aligned > out.fas && exit 7", folder.Path());
    EXPECT_EQ(outcome.status, Status::Ended);
    EXPECT_EQ(outcome.exitCode, 7);
    EXPECT_EQ(*ReadWholeFile(folder.File("out.fas")), "aligned\n");
    EXPECT_EQ(CurrentDirectory(), before);

    EXPECT_EQ(shell.Run("kill -9 $$", folder.Path()).exitCode, 128 + 9);
    EXPECT_EQ(shell.Run("no-such-aligner-here 2>/dev/null", folder.Path()).exitCode, 127);
    EXPECT_EQ(shell.Run("read line; echo \"[$line]\" > in.txt", folder.Path()).exitCode, 0);
    EXPECT_EQ(*ReadWholeFile(folder.File("in.txt")), "[]\n");  // the input is /dev/null

    const ShellOutcome nowhere = shell.Run("true", "/no/such/folder");
    EXPECT_EQ(nowhere.status, Status::NotStarted);
    EXPECT_EQ(nowhere.message,
              "cannot work in the folder /no/such/folder: No such file or directory");
}

TEST(PosixShell, AlignersGetHugePagesUnlessTheUserTunedThem) {
    using Variables = std::vector<std::string>;
    const auto environment = [](std::vector<const char*> variables) {
        variables.push_back(nullptr);
        return ChildEnvironment(const_cast<char* const*>(variables.data()));
    };
    EXPECT_EQ(environment({"HOME=/h", "PATH=/bin"}),
              (Variables{"HOME=/h", "PATH=/bin", "GLIBC_TUNABLES=glibc.malloc.hugetlb=1"}));
    EXPECT_EQ(environment({"GLIBC_TUNABLES=glibc.malloc.arena_max=2", "A=b"}),
              (Variables{"GLIBC_TUNABLES=glibc.malloc.arena_max=2:glibc.malloc.hugetlb=1", "A=b"}));
    EXPECT_EQ(environment({"GLIBC_TUNABLES="}),
              (Variables{"GLIBC_TUNABLES=glibc.malloc.hugetlb=1"}));
    EXPECT_EQ(environment({"GLIBC_TUNABLES=glibc.malloc.hugetlb=0"}),
              (Variables{"GLIBC_TUNABLES=glibc.malloc.hugetlb=0"}));

    TempFolder folder;
    PosixShell shell;
    const std::string shown =
        "case $GLIBC_TUNABLES in *glibc.malloc.hugetlb=*) exit 0;; esac; exit 1";
    EXPECT_EQ(shell.Run(shown, folder.Path()).exitCode, 0);
}

TEST(PosixShell, ReportsEachProcessOnceInTheOrderTheyEnd) {
    TempFolder folder;
    PosixShell shell;
    const int slow = shell.Start("sleep 0.6; exit 1", folder.Path()).processId;
    const int fast = shell.Start("exit 2", folder.Path()).processId;
    const int middle = shell.Start("sleep 0.3; exit 3", folder.Path()).processId;
    ASSERT_GT(slow, 0);
    std::vector<std::pair<int, int>> ended;
    for (int k = 0; k < 3; ++k) {
        const ShellOutcome outcome = shell.WaitAny();
        ASSERT_EQ(outcome.status, Status::Ended);
        ended.emplace_back(outcome.processId, outcome.exitCode);
    }
    EXPECT_EQ(ended, (std::vector<std::pair<int, int>>{{fast, 2}, {middle, 3}, {slow, 1}}));
    EXPECT_EQ(shell.WaitAny().status, Status::NotStarted);  // nothing left to wait for
}

TEST(PosixShell, EndingAProcessEndsItsWholeGroup) {
    TempFolder folder;
    PosixShell shell;
    const ShellOutcome started = shell.Start(kSleepsWithAChild, folder.Path());
    ASSERT_EQ(started.status, Status::Running);
    const auto ids = WaitForIds(folder.File("pids"), 2);
    ASSERT_EQ(ids.size(), 2u);

    const auto soon = ShellClock::now() + std::chrono::milliseconds(100);
    EXPECT_EQ(shell.WaitAny(soon).status, Status::TimedOut);
    EXPECT_GE(ShellClock::now(), soon);
    EXPECT_TRUE(StillRunning(ids, 0).size() == 2u);  // a deadline ends nothing

    shell.End(started.processId);
    EXPECT_TRUE(StillRunning(ids).empty());
    EXPECT_EQ(shell.WaitAny().status, Status::NotStarted);
}

TEST(PosixShell, AStopRequestWakesTheWait) {
    TempFolder folder;
    PosixShell shell;
    std::thread cancel([&] {
        WaitForIds(folder.File("pids"), 2);
        shell.Stop().Raise();
    });
    const ShellOutcome outcome = shell.Run(kSleepsWithAChild, folder.Path());
    cancel.join();
    EXPECT_EQ(outcome.status, Status::Stopped);
    EXPECT_GT(outcome.processId, 0);
    EXPECT_TRUE(StillRunning(testing::ReadIds(folder.File("pids"))).empty());

    // The request stays until cleared: the next wait returns at once, and after a clear it waits.
    EXPECT_EQ(shell.Run("exit 0", folder.Path()).status, Status::Stopped);
    shell.Stop().Clear();
    EXPECT_EQ(shell.Run("exit 4", folder.Path()).exitCode, 4);
}

TEST(PosixShell, NothingOutlivesTheProgram) {
    struct Case {
        const char* how;
        int signal;  // 0: the shell is destroyed as the program exits
    };
    for (const Case c : {Case{"exit", 0}, Case{"SIGKILL", SIGKILL}, Case{"SIGTERM", SIGTERM}}) {
        TempFolder folder;
        const pid_t program = ::fork();
        ASSERT_GE(program, 0);
        if (program == 0) {
            {
                PosixShell shell;
                shell.Start(kSleepsWithAChild, folder.Path());
                shell.Start(kSleepsWithAChild, folder.Path());
                if (c.signal != 0) ::pause();
                WaitForIds(folder.File("pids"), 4);
            }
            ::_exit(0);
        }
        const auto ids = WaitForIds(folder.File("pids"), 4);
        ASSERT_EQ(ids.size(), 4u) << c.how;
        if (c.signal != 0) ::kill(program, c.signal);
        int status = 0;
        ::waitpid(program, &status, 0);
        EXPECT_EQ(StillRunning(ids), std::vector<int>{}) << c.how;
    }
}

}  // namespace
}  // namespace kvr
