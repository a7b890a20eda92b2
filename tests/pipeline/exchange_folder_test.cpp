#include "pipeline/exchange_folder.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "io/file_io.h"
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

// Only a folder with kvr's marker whose lock nobody holds is abandoned: not a live run of another
// host or PID namespace (whose process id means nothing here), not a folder kvr never made.
TEST(ExchangeFolder, RemovesOnlyAbandonedRunFolders) {
    TempFolder parent;
    const std::string other = parent.File("LastRun.kvr");
    WriteWholeFile(other, "session");
    const std::string notKvr = parent.File("run-" + std::to_string(EndedProcess()) + "-notkvr");
    fs::create_directories(notKvr);

    // A live run elsewhere: its process id is of no process here, its marker is locked.
    std::string live;
    int liveLock = -1;
    {
        ExchangeFolder elsewhere(parent.Path());
        ASSERT_TRUE(elsewhere.Ok());
        live = parent.File("run-" + std::to_string(EndedProcess()) + "-remote");
        fs::create_directories(live);
        fs::copy_file(elsewhere.File(kRunFolderMarker), live + "/" + kRunFolderMarker);
        liveLock = ::open((live + "/" + kRunFolderMarker).c_str(), O_RDONLY | O_CLOEXEC);
        ASSERT_EQ(::flock(liveLock, LOCK_EX), 0);
        // A crashed run: the marker, nobody holding it.
        fs::copy(elsewhere.Path(), parent.File("run-1-crashed"), fs::copy_options::recursive);
        WriteWholeFile(parent.File("run-1-crashed/outtree"), "x");
    }
    {
        ExchangeFolder folder(parent.Path());
        ASSERT_TRUE(folder.Ok());
        EXPECT_TRUE(fs::exists(live + "/" + kRunFolderMarker));
        EXPECT_TRUE(fs::exists(notKvr));
        EXPECT_TRUE(fs::exists(other));
        EXPECT_FALSE(fs::exists(parent.File("run-1-crashed")));
    }
    ::close(liveLock);  // the other host's run ends without cleaning up
    ExchangeFolder after(parent.Path());
    EXPECT_FALSE(fs::exists(live));
    EXPECT_TRUE(fs::exists(notKvr));
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
