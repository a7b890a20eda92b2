// The writer under random targets and random interruptions: whatever the target (absent,
// regular, link, FIFO, device, folder, read-only folder, full disk) and whenever SIGTERM arrives,
// a file target holds its old content or the whole new one, a device or FIFO stays what it was,
// and no temporary file remains, beside the target or in the scratch folder.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#include "io/file_io.h"
#include "support/file_size_limit.h"
#include "support/temp_folder.h"

namespace kvr {
namespace {

using testing::TempFolder;

enum class Kind { Absent, Regular, Link, Fifo, Device, Folder, ReadOnlyFolder, FullDisk };
constexpr Kind kKinds[] = {Kind::Absent, Kind::Regular,        Kind::Link,     Kind::Fifo,
                           Kind::Device, Kind::ReadOnlyFolder, Kind::FullDisk, Kind::Folder};

void OnTerm(int) {
    StopWrites();
}

// In a child: writes `size` bytes of 'n' to target in chunks, and exits 0 when the write
// succeeded, 1 when it failed.
// It says on `ready` when its handler is in place.
[[noreturn]] void WriteInChild(const std::string& target, const std::string& scratch,
                               std::size_t size, bool fullDisk, int ready) {
    ::setenv("TMPDIR", scratch.c_str(), 1);
    struct sigaction action {};
    action.sa_handler = OnTerm;
    ::sigaction(SIGTERM, &action, nullptr);
    if (::write(ready, "r", 1) != 1) ::_exit(2);
    std::optional<testing::FileSizeLimit> limit;
    if (fullDisk) limit.emplace(size / 2);
    const Result<void> result = ReplaceFile(target, [size](const std::string& temporary) {
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        const std::string chunk(4096, 'n');
        bool ok = fd >= 0;
        for (std::size_t done = 0; ok && done < size; done += chunk.size())
            ok = ::write(fd, chunk.data(), std::min(chunk.size(), size - done)) > 0;
        return ::close(fd) == 0 && ok;
    });
    ::_exit(result ? 0 : 1);
}

TEST(ReplaceFileProperty, OldOrWholeNewAndNoTemporaryWheneverTheSignalComes) {
    std::mt19937 random(20261207);
    for (int round = 0; round < 80; ++round) {
        TempFolder folder;
        TempFolder scratch;
        const Kind kind = kKinds[random() % std::size(kKinds)];
        const std::size_t size = 4096 * (1 + random() % 400);
        const std::string old = "old " + std::to_string(round);
        std::string target = folder.File("out.txt");
        std::string holder = target;  // the file that holds the content
        switch (kind) {
            case Kind::Absent:
            case Kind::FullDisk:
            case Kind::ReadOnlyFolder:
                if (kind != Kind::Absent) folder.Write("out.txt", old);
                break;
            case Kind::Regular:
                folder.Write("out.txt", old);
                break;
            case Kind::Link:
                holder = folder.Write("real.txt", old);
                std::filesystem::create_symlink("real.txt", target);
                break;
            case Kind::Fifo:
                ASSERT_EQ(::mkfifo(target.c_str(), 0600), 0);
                break;
            case Kind::Device:
                if (::mknod(target.c_str(), S_IFCHR | 0666, ::makedev(1, 3)) != 0) continue;
                break;
            case Kind::Folder:
                std::filesystem::create_directory(target);
                break;
        }
        if (kind == Kind::ReadOnlyFolder) ::chmod(folder.Path().c_str(), 0555);
        const auto before = folder.Entries();

        // A FIFO's reader, open before the writer starts, drains whatever arrives until the
        // writer has ended, so that the writer never waits for a reader.
        std::atomic<bool> ended{false};
        std::thread reader;
        if (kind == Kind::Fifo) {
            const int fd = ::open(target.c_str(), O_RDONLY | O_NONBLOCK);
            ASSERT_GE(fd, 0);
            reader = std::thread([fd, &ended] {
                char buffer[65536];
                for (;;) {
                    const bool last = ended.load();
                    if (::read(fd, buffer, sizeof buffer) > 0) continue;
                    if (last) break;
                    std::this_thread::sleep_for(std::chrono::microseconds(200));
                }
                ::close(fd);
            });
        }
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t child = ::fork();
        if (child == 0)
            WriteInChild(target, scratch.Path(), size, kind == Kind::FullDisk, ready[1]);
        char byte = 0;
        ASSERT_EQ(::read(ready[0], &byte, 1), 1);
        ::close(ready[0]);
        ::close(ready[1]);
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 4000));
        ::kill(child, SIGTERM);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ended.store(true);
        if (reader.joinable()) reader.join();
        ::chmod(folder.Path().c_str(), 0755);
        const std::string where =
            "round " + std::to_string(round) + ", kind " + std::to_string(static_cast<int>(kind));
        ASSERT_TRUE(WIFEXITED(status)) << where;

        const bool succeeded = WEXITSTATUS(status) == 0;
        const std::vector<std::string> made =
            succeeded ? std::vector<std::string>{"out.txt"} : std::vector<std::string>{};
        EXPECT_EQ(folder.Entries(), before.empty() ? made : before) << where;
        EXPECT_TRUE(scratch.Entries().empty()) << where;
        struct stat info {};
        if (kind == Kind::Absent && !succeeded) {
            EXPECT_NE(::lstat(target.c_str(), &info), 0) << where;
            continue;
        }
        ASSERT_EQ(::lstat(target.c_str(), &info), 0) << where;
        const mode_t type = kind == Kind::Fifo     ? S_IFIFO
                            : kind == Kind::Device ? S_IFCHR
                            : kind == Kind::Folder ? S_IFDIR
                            : kind == Kind::Link   ? S_IFLNK
                                                   : S_IFREG;
        EXPECT_EQ(info.st_mode & S_IFMT, type) << where;
        if (kind == Kind::Regular || kind == Kind::Link || kind == Kind::FullDisk ||
            kind == Kind::ReadOnlyFolder || kind == Kind::Absent) {
            const auto content = ReadWholeFile(holder);
            ASSERT_TRUE(content) << where;
            const std::string whole(size, 'n');
            EXPECT_EQ(*content, succeeded ? whole : old) << where;
        }
    }
}

}  // namespace
}  // namespace kvr
