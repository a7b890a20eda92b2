// The one writer of every file: whole or not at all, the old file kept on failure, no temporary
// file left behind, the replaced file's mode kept; link targets replaced, devices and FIFOs
// written through.
#include "io/file_io.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <future>
#include <random>

#include "support/file_size_limit.h"
#include "support/temp_folder.h"

namespace kvr {
namespace {

using testing::TempFolder;

long FilesIn(const std::string& folder) {
    return std::distance(std::filesystem::directory_iterator(folder),
                         std::filesystem::directory_iterator());
}

TEST(ReplaceFile, WritesNewAndReplacesOldFiles) {
    TempFolder folder;
    const std::string path = folder.File("out.txt");
    ASSERT_TRUE(WriteWholeFile(path, "first\r\n"));
    EXPECT_EQ(ReadWholeFile(path), "first\r\n");
    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(WriteWholeFile(path, std::string(100000, 'x')));
    EXPECT_EQ(ReadWholeFile(path), std::string(100000, 'x'));
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(FilesIn(folder.Path()), 1);
}

TEST(ReplaceFile, AFailureLeavesTheOldFileAndNoTemporary) {
    TempFolder folder;
    const std::string path = folder.Write("keep.txt", "old\r\n");
    {
        testing::FileSizeLimit limit(10);  // the disk fills up part-way
        const Result<void> result = WriteWholeFile(path, std::string(1000, 'y'));
        EXPECT_FALSE(result);
        EXPECT_EQ(result.problem().message, "File too large");
    }
    EXPECT_EQ(ReadWholeFile(path), "old\r\n");
    EXPECT_EQ(FilesIn(folder.Path()), 1);

    // A writer that gives up, a missing folder, a folder in place of the file.
    EXPECT_FALSE(ReplaceFile(path, [](const std::string&) { return false; }));
    EXPECT_EQ(ReadWholeFile(path), "old\r\n");
    EXPECT_EQ(FilesIn(folder.Path()), 1);
    const Result<void> noFolder = WriteWholeFile(folder.File("none/x.txt"), "z");
    EXPECT_EQ(noFolder.problem().message, "No such file or directory");
    EXPECT_EQ(WriteWholeFile(folder.Path(), "z").problem().message, "it is a folder");
    EXPECT_NE(WriteFailureMessage("/a/b.txt", noFolder.problem()).find("/a/b.txt"),
              std::string::npos);
}

TEST(WriteStreamedFile, WritesAsFormattedAndKeepsTheOldFileOnFailure) {
    TempFolder folder;
    const std::string path = folder.Write("table.txt", "old\r\n");
    const auto lines = [](int count) {
        return [count](std::ostream& out) {
            for (int k = 0; k < count; ++k) out << k << "\r\n";
            return true;
        };
    };
    ASSERT_TRUE(WriteStreamedFile(path, lines(3)));
    EXPECT_EQ(ReadWholeFile(path), "0\r\n1\r\n2\r\n");

    // A writer that gives up half-way, a disk that fills up: the old file stays, no temporary.
    EXPECT_FALSE(WriteStreamedFile(path, [](std::ostream& out) {
        out << "half";
        return false;
    }));
    EXPECT_EQ(ReadWholeFile(path), "0\r\n1\r\n2\r\n");
    {
        testing::FileSizeLimit limit(1000);
        // More than the stream's buffer: the limit is met while writing, not at the end.
        EXPECT_FALSE(WriteStreamedFile(path, lines(400000)));
    }
    EXPECT_EQ(ReadWholeFile(path), "0\r\n1\r\n2\r\n");
    EXPECT_EQ(FilesIn(folder.Path()), 1);
}

TEST(ReplaceFile, TheTemporaryKeepsTheExtensionForWritersThatChooseByIt) {
    TempFolder folder;
    std::string seen;
    ASSERT_TRUE(ReplaceFile(folder.File("picture.bmp"), [&seen](const std::string& temporary) {
        seen = temporary;
        return true;
    }));
    EXPECT_TRUE(seen.ends_with(".bmp")) << seen;
    EXPECT_EQ(std::filesystem::path(seen).parent_path(), folder.Path());
    EXPECT_TRUE(std::filesystem::exists(folder.File("picture.bmp")));
}

// What a reader of a FIFO receives while the writer writes into it.
std::future<std::string> ReadFifo(const std::string& path) {
    return std::async(std::launch::async, [path] {
        const int fd = ::open(path.c_str(), O_RDONLY);
        std::string got;
        char buffer[4096];
        for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) got.append(buffer, n);
        ::close(fd);
        return got;
    });
}

// Each kind of target: what it is afterwards, what it holds, and that nothing else appeared.
TEST(ReplaceFile, EachKindOfTargetGetsWhatAUnixToolGivesIt) {
    TempFolder folder;
    const std::string text = "new\r\n";
    const auto isLink = [](const std::string& p) { return std::filesystem::is_symlink(p); };

    // A link: its target is replaced, the link stays; a relative link from a folder elsewhere.
    folder.Write("real.txt", "old");
    std::filesystem::create_directory(folder.File("sub"));
    std::filesystem::create_symlink("../real.txt", folder.File("sub/link.txt"));
    ASSERT_TRUE(WriteWholeFile(folder.File("sub/link.txt"), text));
    EXPECT_TRUE(isLink(folder.File("sub/link.txt")));
    EXPECT_EQ(ReadWholeFile(folder.File("real.txt")), text);

    // A dangling link: its target is made.
    std::filesystem::create_symlink("made.txt", folder.File("dangling.txt"));
    ASSERT_TRUE(WriteWholeFile(folder.File("dangling.txt"), text));
    EXPECT_TRUE(isLink(folder.File("dangling.txt")));
    EXPECT_EQ(ReadWholeFile(folder.File("made.txt")), text);

    // A FIFO: the reader gets the bytes and the FIFO stays one.
    ASSERT_EQ(::mkfifo(folder.File("fifo").c_str(), 0600), 0);
    auto reader = ReadFifo(folder.File("fifo"));
    ASSERT_TRUE(WriteWholeFile(folder.File("fifo"), text));
    EXPECT_EQ(reader.get(), text);
    struct stat info {};
    ASSERT_EQ(::lstat(folder.File("fifo").c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));

    // A pipe named by a descriptor of this process: written through the descriptor.
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    ASSERT_TRUE(WriteWholeFile("/dev/fd/" + std::to_string(ends[1]), text));
    ::close(ends[1]);
    char got[16] = {};
    EXPECT_EQ(::read(ends[0], got, sizeof got), static_cast<ssize_t>(text.size()));
    EXPECT_EQ(std::string(got), text);
    ::close(ends[0]);

    // A folder, a loop of links: refused, and said so before any work.
    std::filesystem::create_symlink("loop2", folder.File("loop1"));
    std::filesystem::create_symlink("loop1", folder.File("loop2"));
    EXPECT_EQ(WriteWholeFile(folder.File("sub"), text).problem().message, "it is a folder");
    EXPECT_EQ(WriteWholeFile(folder.File("loop1"), text).problem().message,
              "Too many levels of symbolic links");
    EXPECT_FALSE(CheckOutput(folder.File("sub")));
    EXPECT_FALSE(CheckOutput(folder.File("loop1")));
    EXPECT_TRUE(CheckOutput(folder.File("fifo")));
    EXPECT_TRUE(CheckOutput(folder.File("dangling.txt")));
    EXPECT_EQ(ReplacedFile(folder.File("sub/link.txt")), ReplacedFile(folder.File("real.txt")));
    EXPECT_EQ(ReplacedFile(folder.File("fifo")), "");
    // A file not yet there, named relative to the working folder two ways: one file.
    const std::string relative = ReplacedFile("kvr-no-such-output.txt");
    EXPECT_TRUE(relative.starts_with('/')) << relative;
    EXPECT_EQ(ReplacedFile("./kvr-no-such-output.txt"), relative);

    // No temporary file anywhere: the folder holds what the test made.
    EXPECT_EQ(FilesIn(folder.Path()), 7);
    EXPECT_EQ(FilesIn(folder.File("sub")), 1);
}

// A private device node (never the system's /dev/null): written through, never replaced.
TEST(ReplaceFile, ADeviceIsWrittenThroughNeverReplaced) {
    TempFolder folder;
    const std::string device = folder.File("null");
    if (::mknod(device.c_str(), S_IFCHR | 0666, ::makedev(1, 3)) != 0)
        GTEST_SKIP() << "no right to make a device node here";
    EXPECT_TRUE(CheckOutput(device));
    ASSERT_TRUE(WriteWholeFile(device, std::string(200000, 'x')));
    struct stat info {};
    ASSERT_EQ(::lstat(device.c_str(), &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode));
    EXPECT_EQ(info.st_rdev, ::makedev(1, 3));
    EXPECT_EQ(FilesIn(folder.Path()), 1);
}

TEST(ReplaceFile, ANewFileGetsTheUmasksModeWithoutChangingTheUmask) {
    TempFolder folder;
    const mode_t saved = ::umask(027);
    const Result<void> written = WriteWholeFile(folder.File("new.txt"), "x");
    const mode_t during = ::umask(saved);
    ASSERT_TRUE(written);
    EXPECT_EQ(during, 027u);
    struct stat info {};
    ASSERT_EQ(::stat(folder.File("new.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

// A stop request (a signal's handler) while a file is written: the old file stays, the temporary
// goes, and later writes are refused until writes resume.
TEST(ReplaceFile, AStopWhileWritingKeepsTheOldFile) {
    TempFolder folder;
    const std::string path = folder.Write("kept.txt", "old");
    const Result<void> stopped = ReplaceFile(path, [](const std::string& temporary) {
        const bool written = static_cast<bool>(WriteWholeFile(temporary + ".inner", "x"));
        std::ofstream(temporary, std::ios::binary) << "half";
        StopWrites();
        std::ofstream(temporary, std::ios::binary) << "written again after the stop";
        return !written;
    });
    EXPECT_FALSE(stopped);
    EXPECT_EQ(stopped.problem().message, "interrupted by a signal");
    EXPECT_FALSE(WriteWholeFile(folder.File("later.txt"), "x"));
    ResumeWrites();
    EXPECT_EQ(ReadWholeFile(path), "old");
    EXPECT_EQ(FilesIn(folder.Path()), 2);  // kept.txt and the inner write's file
    EXPECT_TRUE(WriteWholeFile(folder.File("later.txt"), "x"));
}

// Programs without a stop handler of their own end on the signal as usual, without leaving the
// temporary file of the write in progress.
TEST(ReplaceFile, ASignalEndsTheProgramAsUsualWithoutATemporaryFile) {
    TempFolder folder;
    const std::string path = folder.Write("kept.txt", "old");
    const pid_t child = ::fork();
    if (child == 0) {
        RemoveTemporaryFileOnStopSignals();
        ReplaceFile(path, [](const std::string& temporary) {
            std::ofstream(temporary, std::ios::binary) << "half";
            ::raise(SIGTERM);
            return true;
        });
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
    EXPECT_EQ(ReadWholeFile(path), "old");
    EXPECT_EQ(FilesIn(folder.Path()), 1);
}

}  // namespace
}  // namespace kvr
