#include "engine/exchange_folder.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "state/file_io.h"
#include "support/temp_folder.h"

namespace kvr {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;

// The id of a process that has ended.
int EndedProcess() {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

TEST(ExchangeFolder, EachRunHasItsOwnFolderRemovedAtTheEnd) {
    TempFolder parent;
    std::string first;
    {
        ExchangeFolder a(parent.Path());
        ExchangeFolder b(parent.Path());
        ASSERT_TRUE(a.Ok()) << a.Error();
        ASSERT_TRUE(b.Ok()) << b.Error();
        EXPECT_NE(a.Path(), b.Path());
        EXPECT_TRUE(fs::path(a.Path()).filename().string().starts_with(
            "run-" + std::to_string(::getpid()) + "-"));
        WriteWholeFile(a.File("infile"), "x");
        EXPECT_TRUE(fs::exists(a.Path() + "/infile"));
        first = a.Path();
    }
    EXPECT_FALSE(fs::exists(first));
    EXPECT_TRUE(fs::is_empty(parent.Path()));
}

TEST(ExchangeFolder, RemovesOnlyTheFoldersOfEndedProcesses) {
    TempFolder parent;
    const std::string ended = parent.File("run-" + std::to_string(EndedProcess()) + "-abc123");
    const std::string alive = parent.File("run-" + std::to_string(::getppid()) + "-abc123");
    const std::string other = parent.File("LastRun.kvr");
    fs::create_directories(ended);
    WriteWholeFile(ended + "/outtree", "x");
    fs::create_directories(alive);
    WriteWholeFile(other, "session");

    ExchangeFolder folder(parent.Path());
    ASSERT_TRUE(folder.Ok());
    EXPECT_FALSE(fs::exists(ended));
    EXPECT_TRUE(fs::exists(alive));
    EXPECT_TRUE(fs::exists(other));
}

TEST(ExchangeFolder, SaysWhyItCannotBeMade) {
    TempFolder parent;
    WriteWholeFile(parent.File("file"), "not a folder");
    ExchangeFolder folder(parent.File("file"));
    EXPECT_FALSE(folder.Ok());
    EXPECT_NE(
        folder.Error().find("cannot make a folder for the run's files in " + parent.File("file")),
        std::string::npos)
        << folder.Error();
}

}  // namespace
}  // namespace kvr
