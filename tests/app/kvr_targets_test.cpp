// Where kvr's outputs go, the programs themselves: devices, links and pipes get what a Unix tool
// gives them; a signal while outputs are written ends kvr with 128 + its number, every output
// its old file or the whole new one, no temporary file left; a closed standard output ends that
// stream, not the run.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>

#include "state/file_io.h"
#include "support/run_program.h"
#include "support/temp_folder.h"

namespace kvr {
namespace {

using testing::DataFile;
using testing::RunProgram;
using testing::TempFolder;

enum class Output { File, Pipe, ClosedPipe };

struct Started {
    pid_t pid = -1;
    int out = -1;  // the read end of the child's standard output, for Output::Pipe
};

// Starts kvr with standard output as asked, standard error into errFile, extra environment.
Started StartKvr(const std::vector<std::string>& args, const std::vector<std::string>& environment,
                 Output output, const std::string& errFile) {
    int ends[2];
    if (::pipe(ends) != 0) return {};
    const testing::ProgramArgs argv("kvr", testing::WithFakeMuscle("kvr", args, environment));
    const pid_t child = ::fork();
    if (child == 0) {
        const int err = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int out = output == Output::File ? ::open("/proc/self/fd/2", O_WRONLY) : ends[1];
        if (err < 0 || ::dup2(err, 2) < 0 || ::dup2(output == Output::File ? err : out, 1) < 0)
            ::_exit(127);
        ::close(ends[0]);
        ::close(ends[1]);
        for (const std::string& entry : environment) ::putenv(::strdup(entry.c_str()));
        ::execv(argv.Path(), argv.Argv());
        ::_exit(127);
    }
    ::close(ends[1]);
    if (output != Output::Pipe) {
        ::close(ends[0]);  // ClosedPipe: nobody reads, as after head -1
        return {child, -1};
    }
    return {child, ends[0]};
}

// The exit status, or 128 + the signal that ended the process.
int WaitFor(pid_t pid) {
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::string ReadAll(int fd) {
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) text.append(buffer, n);
    ::close(fd);
    return text;
}

const std::vector<std::string> kCopyAligner = {"KVR_MUSCLE=cp {in} {out}"};

TEST(KvrTargets, DevicesLinksAndPipesAreWrittenAsUnixToolsDo) {
    TempFolder folder;
    const std::string input = DataFile("kvr_run/families.fasta");
    const auto reference = RunProgram("kvr",
                                      {"run", input, "--quiet", "--scores", folder.File("ref.csv"),
                                       "--matrix-text", folder.File("ref.txt")},
                                      {.environment = kCopyAligner});
    ASSERT_EQ(reference.status, 0) << reference.err;
    const auto scores = ReadWholeFile(folder.File("ref.csv"));

    const std::string device = folder.File("null");
    const bool haveDevice = ::mknod(device.c_str(), S_IFCHR | 0666, ::makedev(1, 3)) == 0;
    folder.Write("real.csv", "old");
    std::filesystem::create_symlink("real.csv", folder.File("link.csv"));
    std::vector<std::string> args = {"run",
                                     input,
                                     "--quiet",
                                     "--scores",
                                     "/dev/stdout",
                                     "--matrix-text",
                                     folder.File("link.csv")};
    if (haveDevice) args.insert(args.end(), {"--plot-data", device, "--sequences", device});

    const Started kvr = StartKvr(args, kCopyAligner, Output::Pipe, folder.File("err"));
    const std::string out = ReadAll(kvr.out);
    ASSERT_EQ(WaitFor(kvr.pid), 0) << ReadWholeFile(folder.File("err")).value_or("");
    EXPECT_TRUE(out.starts_with(*scores)) << out;  // then the display order
    EXPECT_TRUE(std::filesystem::is_symlink(folder.File("link.csv")));
    EXPECT_EQ(ReadWholeFile(folder.File("real.csv")), ReadWholeFile(folder.File("ref.txt")));
    struct stat info {};
    if (haveDevice) {
        ASSERT_EQ(::lstat(device.c_str(), &info), 0);
        EXPECT_TRUE(S_ISCHR(info.st_mode));
    }
    EXPECT_EQ(folder.Entries().size(), haveDevice ? 6u : 5u);  // nothing else appeared
}

// kvr run ... | head -1: every file is written, and the run succeeds.
TEST(KvrTargets, AClosedStandardOutputEndsThatStreamNotTheRun) {
    TempFolder folder;
    const Started kvr = StartKvr({"run", DataFile("kvr_run/families.fasta"), "--quiet", "--scores",
                                  folder.File("s.csv"), "--plot-emf", folder.File("p.emf")},
                                 kCopyAligner, Output::ClosedPipe, folder.File("err"));
    EXPECT_EQ(WaitFor(kvr.pid), 0) << ReadWholeFile(folder.File("err")).value_or("");
    EXPECT_TRUE(std::filesystem::exists(folder.File("s.csv")));
    EXPECT_TRUE(std::filesystem::exists(folder.File("p.emf")));
}

// A signal while kvr writes (held at a FIFO without a reader): the files before it are whole,
// the ones after it keep their old content, no temporary file is left anywhere.
TEST(KvrTargets, ASignalWhileWritingEndsWithItsStatusAndLeavesNoTemporary) {
    TempFolder data;
    const std::string input = DataFile("kvr_run/families.fasta");
    const auto session =
        RunProgram("kvr", {"run", input, "--quiet", "--session", data.File("s.kvr")},
                   {.environment = kCopyAligner});
    ASSERT_EQ(session.status, 0) << session.err;
    const auto shard = RunProgram("kvr", {"pairs", input, "--aligner", "builtin", "--shard", "1/1",
                                          "--out", data.File("shard.tsv")});
    ASSERT_EQ(shard.status, 0) << shard.err;

    const struct {
        std::vector<std::string> args;  // FIFO for the held output, DONE and KEPT for the others
        int signal;
        const char* signalName;
    } cases[] = {
        {{"run", input, "--scores", "DONE", "--session", "FIFO", "--plot-data", "KEPT"},
         SIGINT,
         "SIGINT"},
        {{"show", data.File("s.kvr"), "--scores", "DONE", "--session", "FIFO", "--matrix-text",
          "KEPT"},
         SIGTERM,
         "SIGTERM"},
        {{"merge", input, data.File("shard.tsv"), "--scores", "FIFO", "--plot-data", "KEPT"},
         SIGHUP,
         "SIGHUP"},
    };
    for (const auto& c : cases) {
        TempFolder folder;
        TempFolder scratch;
        ASSERT_EQ(::mkfifo(folder.File("fifo").c_str(), 0600), 0);
        folder.Write("kept.txt", "old");
        std::vector<std::string> args = c.args;
        bool writesDone = false;
        for (std::string& a : args) {
            if (a == "FIFO") a = folder.File("fifo");
            if (a == "KEPT") a = folder.File("kept.txt");
            if (a == "DONE") a = folder.File("done.csv"), writesDone = true;
        }
        args.push_back("--quiet");
        std::vector<std::string> environment = kCopyAligner;
        environment.push_back("TMPDIR=" + scratch.Path());
        const Started kvr = StartKvr(args, environment, Output::File, folder.File("err"));
        // Held at the FIFO once the output before it is there and the FIFO's bytes wait in the
        // scratch folder.
        for (int wait = 0; wait < 2000; ++wait) {
            if ((!writesDone || std::filesystem::exists(folder.File("done.csv"))) &&
                !scratch.Entries().empty())
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        ::kill(kvr.pid, c.signal);
        const std::string name = args[0];
        EXPECT_EQ(WaitFor(kvr.pid), 128 + c.signal) << name;
        const std::string err = ReadWholeFile(folder.File("err")).value_or("");
        EXPECT_NE(err.find(std::string("cancelled by ") + c.signalName), std::string::npos) << err;
        EXPECT_EQ(ReadWholeFile(folder.File("kept.txt")), "old") << name;
        if (writesDone) {
            EXPECT_NE(ReadWholeFile(folder.File("done.csv")).value_or(""), "") << name;
        }
        EXPECT_TRUE(scratch.Entries().empty()) << name;
        EXPECT_EQ(folder.Entries().size(), writesDone ? 4u : 3u) << name;
    }
}

}  // namespace
}  // namespace kvr
