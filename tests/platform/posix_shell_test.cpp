#include "platform/posix_shell.h"

#include <gtest/gtest.h>

#include "state/program_folder.h"
#include "state/file_io.h"
#include "support/temp_folder.h"

namespace kvr {
namespace {

using testing::TempFolder;

TEST(PosixShell, RunsInTheFolderWithoutMovingThisProcess) {
    TempFolder folder;
    const std::string before = CurrentDirectory();
    PosixShell shell;
    const ShellOutcome outcome = shell.Run("echo aligned > out.fas && exit 7", folder.Path());
    EXPECT_EQ(outcome.status, ShellOutcome::Status::Ended);
    EXPECT_EQ(outcome.exitCode, 7);
    EXPECT_EQ(*ReadWholeFile(folder.File("out.fas")), "aligned\n");
    EXPECT_EQ(CurrentDirectory(), before);

    EXPECT_EQ(shell.Run("kill -9 $$", folder.Path()).exitCode, 128 + 9);
    EXPECT_EQ(shell.Run("no-such-aligner-here", folder.Path()).exitCode, 127);
}

}  // namespace
}  // namespace kvr
