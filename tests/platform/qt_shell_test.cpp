#include "platform/qt/qt_shell.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QTimer>

#include "io/file_io.h"
#include "support/process_watch.h"
#include "support/temp_folder.h"

namespace kvr {
namespace {

using testing::TempFolder;

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

TEST(QtShell, RunsTheCommandInTheFolderAndReportsItsStatus) {
    TempFolder folder;
    QtShell shell;
    const ShellOutcome outcome =
        shell.Run("printf '%s' \"$PWD\" > where.txt; exit 3", folder.Path());
    EXPECT_EQ(outcome.status, ShellOutcome::Status::Ended);
    EXPECT_EQ(outcome.exitCode, 3);
    EXPECT_GT(outcome.processId, 0);
    EXPECT_EQ(*ReadWholeFile(folder.File("where.txt")), folder.Path());
}

TEST(QtShell, KeepsEventsRunningWithoutSpinning) {
    TempFolder folder;
    QtShell shell;
    // The command waits for a file that only an event of the window writes: it ends (status 0)
    // only if events run during the wait; it gives up after 60 seconds otherwise.
    QTimer::singleShot(0, [&] { folder.Write("go", ""); });
    const ShellOutcome handshake = shell.Run(
        "i=0; while [ ! -f go ]; do i=$((i+1)); [ $i -gt 6000 ] && exit 1; sleep 0.01; done",
        folder.Path());
    EXPECT_EQ(handshake.exitCode, 0) << "no event ran while the command ran";

    const double cpuBefore = CpuSeconds();
    const ShellOutcome outcome = shell.Run("sleep 1", folder.Path());
    const double cpuUsed = CpuSeconds() - cpuBefore;
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_LT(cpuUsed, 0.5);  // a polling loop would burn the whole second
}

// The window's Cancel: raised from an event while the shell waits, it ends the wait at once
// and, through the engine, the processes.
TEST(QtShell, ACancelFromTheWindowWakesTheWait) {
    TempFolder folder;
    QtShell shell;
    const auto started =
        shell.Start("sleep 30 & echo $! >> pids; echo $$ >> pids; wait", folder.Path());
    ASSERT_EQ(started.status, ShellOutcome::Status::Running);
    const int other = shell.Start("exit 5", folder.Path()).processId;

    // The short one ends first; then the cancel, raised by an event during the next wait.
    const ShellOutcome first = shell.WaitAny();
    EXPECT_EQ(first.status, ShellOutcome::Status::Ended);
    EXPECT_EQ(first.processId, other);
    EXPECT_EQ(first.exitCode, 5);
    QTimer::singleShot(0, [&] { shell.Stop().Raise(); });
    EXPECT_EQ(shell.WaitAny().status, ShellOutcome::Status::Stopped);
    const auto ids = testing::WaitForIds(folder.File("pids"), 2);
    ASSERT_EQ(ids.size(), 2u);
    EXPECT_EQ(testing::StillRunning(ids, 0).size(), 2u) << "the wait ended before the command";
    shell.End(started.processId);
    EXPECT_TRUE(testing::StillRunning(ids).empty());

    // A deadline wakes it too.
    shell.Stop().Clear();
    shell.Start("sleep 30", folder.Path());
    EXPECT_EQ(shell.WaitAny(ShellClock::now() + std::chrono::milliseconds(100)).status,
              ShellOutcome::Status::TimedOut);
}

TEST(QtShell, MissingFolderIsNotAStart) {
    QtShell shell;
    const ShellOutcome outcome = shell.Run("true", "/no/such/folder");
    EXPECT_EQ(outcome.status, ShellOutcome::Status::NotStarted);
    EXPECT_FALSE(outcome.message.empty());
}

}  // namespace
}  // namespace kvr
