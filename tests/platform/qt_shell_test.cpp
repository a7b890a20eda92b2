#include "platform/qt/qt_shell.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QTimer>

#include "state/file_io.h"
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
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(50);
    const double cpuBefore = CpuSeconds();
    const ShellOutcome outcome = shell.Run("sleep 1", folder.Path());
    const double cpuUsed = CpuSeconds() - cpuBefore;
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_GE(ticks, 5);      // the timer fired while the command ran
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
    const int other = shell.Start("sleep 0.2; exit 5", folder.Path()).processId;
    QTimer::singleShot(400, [&] { shell.Stop().Raise(); });

    // The short one ends first; then the cancel.
    const ShellOutcome first = shell.WaitAny();
    EXPECT_EQ(first.status, ShellOutcome::Status::Ended);
    EXPECT_EQ(first.processId, other);
    EXPECT_EQ(first.exitCode, 5);
    const auto before = ShellClock::now();
    EXPECT_EQ(shell.WaitAny().status, ShellOutcome::Status::Stopped);
    EXPECT_LT(ShellClock::now() - before, std::chrono::seconds(5));
    const auto ids = testing::ReadIds(folder.File("pids"));
    EXPECT_EQ(ids.size(), 2u);
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
