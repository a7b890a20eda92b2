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

#include "io/file_io.h"
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
    // Standard output by a name of the test's own: were the writer to replace the file it is
    // given rather than write through it, only this link would go.
    std::filesystem::create_symlink("/proc/self/fd/1", folder.File("stdout"));
    std::vector<std::string> args = {"run",
                                     input,
                                     "--quiet",
                                     "--scores",
                                     folder.File("stdout"),
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
    EXPECT_TRUE(std::filesystem::is_symlink(folder.File("stdout")));
    EXPECT_EQ(folder.Entries().size(), haveDevice ? 7u : 6u);  // nothing else appeared
}

// A link's relative target is read from the folder the link really lies in: with L -> real/sub
// and real/sub/out.txt -> ../t/o.txt, the file written is real/t/o.txt, as for any Unix tool.
TEST(KvrTargets, ALinkInALinkedFolderLeadsWhereTheSystemLeads) {
    TempFolder folder;
    std::filesystem::create_directories(folder.File("real/sub"));
    std::filesystem::create_directories(folder.File("real/t"));
    std::filesystem::create_directories(folder.File("t"));
    folder.Write("t/o.txt", "unrelated");
    folder.Write("real/t/o.txt", "old");
    std::filesystem::create_directory_symlink("real/sub", folder.File("L"));
    std::filesystem::create_symlink("../t/o.txt", folder.File("real/sub/out.txt"));
    const std::string input = DataFile("kvr_run/families.fasta");
    const auto run = RunProgram("kvr", {"run", input, "--quiet", "--scores", "L/out.txt"},
                                {.folder = folder.Path(), .environment = kCopyAligner});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadWholeFile(folder.File("t/o.txt")), "unrelated");
    EXPECT_NE(ReadWholeFile(folder.File("real/t/o.txt")).value_or("").find("\n>A_1,>C_1,"),
              std::string::npos);
    EXPECT_TRUE(std::filesystem::is_symlink(folder.File("real/sub/out.txt")));
}

// No output and no log may replace an input: refused as a command-line mistake before anything
// is read or written. kvr append may write its session back over the session it extends.
TEST(KvrTargets, NoOutputOrLogReplacesAnInput) {
    TempFolder folder;
    const std::string fasta = *ReadWholeFile(DataFile("kvr_run/families.fasta"));
    const std::string input = folder.Write("in.fasta", fasta);
    std::filesystem::create_symlink("in.fasta", folder.File("link.fasta"));
    const auto kvr = [&](const std::vector<std::string>& args) {
        return RunProgram("kvr", args, {.folder = folder.Path(), .environment = kCopyAligner});
    };
    ASSERT_EQ(kvr({"run", "in.fasta", "-q", "--session", "s.kvr"}).status, 0);
    const std::string session = *ReadWholeFile(folder.File("s.kvr"));
    const struct {
        std::vector<std::string> args;
        std::string said;
    } cases[] = {
        {{"run", "in.fasta", "--log", "in.fasta"}, "in.fasta is the input in.fasta: the log"},
        {{"run", "in.fasta", "--scores", "./in.fasta"}, "is the input in.fasta: an output"},
        {{"run", "in.fasta", "--table", "link.fasta"}, "link.fasta is the input in.fasta"},
        {{"show", "s.kvr", "--log", "s.kvr"}, "s.kvr is the input s.kvr: the log"},
        {{"append", "s.kvr", "in.fasta", "--scores", "s.kvr"}, "s.kvr is the input s.kvr"},
        {{"append", "s.kvr", "in.fasta", "--session", "in.fasta"}, "is the input in.fasta"},
        {{"pairs", "in.fasta", "--shard", "1/1", "--out", "in.fasta"}, "is the input in.fasta"},
        {{"split", "s.kvr", "--min", "0", "--max", "100", "-o", "x", "--log", "s.kvr"},
         "s.kvr is the input s.kvr: the log"},
        {{"run", "in.fasta", "--scores", "a.csv", "--scores", "b.csv"},
         "--scores is given more than once"},
        {{"run", "in.fasta", "--scores", "a.csv", "--table", "./a.csv"},
         "./a.csv is named for two outputs"},
    };
    for (const auto& c : cases) {
        const auto refused = kvr(c.args);
        EXPECT_EQ(refused.status, 2) << c.args.back() << ": " << refused.err;
        EXPECT_NE(refused.err.find(c.said), std::string::npos) << refused.err;
        EXPECT_EQ(ReadWholeFile(input), fasta);
        EXPECT_EQ(ReadWholeFile(folder.File("s.kvr")), session);
    }
    EXPECT_FALSE(std::filesystem::exists(folder.File("a.csv")));
    EXPECT_FALSE(std::filesystem::exists(folder.File("b.csv")));

    const auto inPlace = kvr({"append", "s.kvr", "link.fasta", "-q", "--session", "s.kvr"});
    ASSERT_EQ(inPlace.status, 0) << inPlace.err;
    EXPECT_GT(ReadWholeFile(folder.File("s.kvr"))->size(), session.size());
}

// A log whose bytes the disk refuses stops the command before any work, though it could be
// opened; a device node of the full disk stands in for one.
TEST(KvrTargets, ALogThatCannotBeWrittenStopsTheCommand) {
    TempFolder folder;
    const std::string full = folder.File("full");
    if (::mknod(full.c_str(), S_IFCHR | 0666, ::makedev(1, 7)) != 0)
        GTEST_SKIP() << "cannot make a device node here";
    const std::string input = DataFile("kvr_run/families.fasta");
    const auto run = RunProgram("kvr", {"run", input, "-q", "--scores", "s.csv", "--log", full},
                                {.folder = folder.Path(), .environment = kCopyAligner});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("cannot write the log " + full + ": No space left on device"),
              std::string::npos)
        << run.err;
    EXPECT_FALSE(std::filesystem::exists(folder.File("s.csv")));
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
