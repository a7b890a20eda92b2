// kvr with the input a new user gives it: wrong options, files that are not FASTA files, standard
// input and output, compressed files, questionable records, and files too large to load.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include "support/compressed_data.h"
#include "support/run_program.h"
#include "support/temp_folder.h"

namespace kvr {
namespace {

using testing::DataFile;
using testing::ProgramOptions;
using testing::RunProgram;
using testing::TempFolder;

const std::vector<std::string> kCopyAligner = {"KVR_MUSCLE=cp {in} {out}"};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(KvrInput, AnUnknownOptionIsAUsageErrorInEveryCommand) {
    TempFolder folder;
    const std::string fasta = DataFile("kvr_run/families.fasta");
    const std::vector<std::vector<std::string>> commands = {
        {"identity", "--bogus"},      {"identity", fasta, "-x"},
        {"run", fasta, "--bogus"},    {"append", "a.kvr", fasta, "--bogus"},
        {"show", "a.kvr", "--bogus"}, {"split", "a.kvr", "--bogus"},
    };
    for (const auto& args : commands) {
        const auto result = RunProgram("kvr", args, {.folder = folder.Path()});
        EXPECT_EQ(result.status, 2) << args[0] << " " << args.back();
        EXPECT_NE(result.err.find("unknown option '" + args.back() + "'"), std::string::npos)
            << result.err;
    }
    for (const char* version : {"--version", "version"}) {
        const auto result = RunProgram("kvr", {version});
        EXPECT_EQ(result.status, 0);
        EXPECT_TRUE(result.out.starts_with("kvr ")) << result.out;
    }
}

TEST(KvrInput, FilesThatCannotBeReadAreRefusedAtOnceWithTheirReason) {
    TempFolder folder;
    ASSERT_EQ(::mkfifo(folder.File("fifo").c_str(), 0600), 0);
    folder.Write("binary.fasta", std::string(">a\nAC\0GT\n>b\nAGGT\n", 17));
    struct Case {
        std::string input;
        std::string said;
    };
    const Case cases[] = {
        {folder.File("missing.fasta"), ": the file does not exist."},
        {folder.Path(), ": it is a folder."},
        {folder.File("fifo"), ": it is not a regular file (a pipe, a device or a socket)."},
        {folder.File("binary.fasta"), ": it is not a text file"},
    };
    for (const Case& c : cases) {
        const auto result = RunProgram("kvr", {"run", c.input}, {.environment = kCopyAligner});
        EXPECT_EQ(result.status, 1) << c.input;
        EXPECT_NE(result.err.find("kvr run: Failed to read " + c.input + c.said), std::string::npos)
            << result.err;
    }
}

TEST(KvrInput, DashReadsStandardInputAndWritesATextOutputToStandardOutput) {
    TempFolder folder;
    const std::string fasta = ReadFile(DataFile("kvr_run/families.fasta"));
    const auto toFile = RunProgram("kvr", {"run", "-", "--quiet", "--scores", "s.csv"},
                                   {folder.Path(), kCopyAligner, 0, fasta});
    ASSERT_EQ(toFile.status, 0) << toFile.err;
    EXPECT_EQ(toFile.out, "1\t>A_1\n2\t>C_1\n3\t>A_2_\n4\t>C_2\n5\t>A_3\n");

    // With an output on standard output, the order is not printed in between.
    const auto toOut = RunProgram("kvr", {"run", "-", "--quiet", "--scores", "-"},
                                  {folder.Path(), kCopyAligner, 0, fasta});
    ASSERT_EQ(toOut.status, 0) << toOut.err;
    EXPECT_EQ(toOut.out, ReadFile(folder.File("s.csv")));

    const auto twice = RunProgram("kvr", {"run", "-", "--scores", "-", "--session", "-"},
                                  {folder.Path(), kCopyAligner, 0, fasta});
    EXPECT_EQ(twice.status, 2);
    EXPECT_NE(twice.err.find("- is named for two outputs"), std::string::npos) << twice.err;

    const auto identity = RunProgram("kvr", {"identity", "-"}, {.input = ">a\nAC-T\n>b\nACGT\n"});
    EXPECT_EQ(identity.status, 0) << identity.err;
    EXPECT_EQ(identity.out, "1\n");
}

TEST(KvrInput, CompressedFastaRunsLikeItsText) {
    TempFolder folder;
    const std::string text = ">a\nACGT\n>b\nAGGT\n>c\nACGA\n";
    const struct {
        std::string label, file;
        std::optional<std::string> input;
    } cases[] = {
        {"gzip members", DataFile("compressed/two_members.gz"), std::nullopt},
        {"xz file", folder.Write("seqs.fasta.xz", testing::XzStream(text)), std::nullopt},
        {"bzip2 file", folder.Write("seqs.fasta.bz2", testing::Bzip2Stream(text)), std::nullopt},
        {"zstd on standard input", "-", testing::ZstdFrame(text)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        const auto result =
            RunProgram("kvr", {"run", c.file, "--quiet"},
                       {.folder = folder.Path(), .environment = kCopyAligner, .input = c.input});
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.out, "1\t>a\n2\t>b\n3\t>c\n");
    }
}

TEST(KvrInput, WarningsNameTheLineAndShowNoControlCharacter) {
    TempFolder folder;
    const std::string input =
        folder.Write("odd.fasta", ">a\nACGT\n>b,c\nAGGT\n>a\nAGGA\n>\x1b]0;title\x07\nMKVL\n");
    const auto result = RunProgram("kvr", {"run", input, "--quiet"},
                                   {.folder = folder.Path(), .environment = kCopyAligner});
    EXPECT_EQ(result.status, 0) << result.err;
    for (const std::string& line :
         {"kvr run: warning: " + input +
              ", line 3: the name >b,c holds a comma: the fields of "
              "the score table cannot be told apart\n",
          "kvr run: warning: " + input + ", line 5: the name >a is also the name of line 1\n",
          "kvr run: warning: " + input +
              ", line 7: the sequence >\\x1b]0;title\\x07 does not look "
              "like nucleotides: fewer than three in four of its "
              "residues are A, C, G, T, U or N\n"})
        EXPECT_NE(result.err.find(line), std::string::npos) << result.err;
    EXPECT_EQ(result.err.find('\x1b'), std::string::npos);
    EXPECT_EQ(result.err.find('\x07'), std::string::npos);
}

TEST(KvrInput, EmptyRecordsAndLoadsTooLargeAreRefusedBeforeAnyAligning) {
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "AddressSanitizer needs more address space than the limit this test sets";
#endif
    TempFolder folder;
    // The aligner would fail loudly if it were ever started.
    const std::vector<std::string> noAligner = {"KVR_MUSCLE=false {in} {out}"};
    const auto empty =
        RunProgram("kvr", {"run", folder.Write("e.fasta", ">a\nACGT\n>b\n - \n>c\nA\n")},
                   {.environment = noAligner});
    EXPECT_EQ(empty.status, 1);
    EXPECT_NE(empty.err.find("Please check the content of the file and try again.\n"),
              std::string::npos);
    EXPECT_NE(empty.err.find(", line 3: the record >b has no residues"), std::string::npos)
        << empty.err;

    // 100,000 ">" on one line make 100,001 records with names of up to 100 KB each.
    const std::string marks =
        folder.Write("marks.fasta", std::string(100000, '>') + "\nACGT\n>x\nAC\n");
    const auto large = RunProgram("kvr", {"run", marks},
                                  {.environment = noAligner, .addressSpaceLimit = 2ull << 30});
    EXPECT_EQ(large.signal, 0);
    EXPECT_EQ(large.status, 1);
    EXPECT_NE(large.err.find("kvr run: Failed to read " + marks +
                             ": its 100001 records would need about "),
              std::string::npos)
        << large.err;
    // Refused by the file's shape, not by the memory of the machine at hand.
    EXPECT_NE(large.err.find("its name lines hold many \">\""), std::string::npos) << large.err;

    // A file larger than the memory is not even read (a sparse file takes no disk).
    const std::string huge = folder.Write("huge.fasta", ">a\nACGT\n");
    std::filesystem::resize_file(huge, 3ull << 30);
    const auto tooBig = RunProgram("kvr", {"run", huge},
                                   {.environment = noAligner, .addressSpaceLimit = 2ull << 30});
    EXPECT_EQ(tooBig.status, 1);
    EXPECT_NE(tooBig.err.find("kvr run: Failed to read " + huge +
                              ": it is larger (3.0 GB) than "
                              "the memory free ("),
              std::string::npos)
        << tooBig.err;
}

// Gzip members holding `megabytes` MB of NUL bytes in all: a few hundred KB on disk.
std::string NulGzip(const TempFolder& folder, int megabytes) {
    const std::string member = testing::GzipMember(std::string(64 << 20, '\0'), 1);
    std::string file;
    for (int k = 0; k < megabytes / 64; ++k) file += member;
    return folder.Write("nul.fasta.gz", file);
}

// Small inputs that would take gigabytes are refused by their first bytes or their size, within
// an address space far smaller than what reading them whole would take.
TEST(KvrInput, HostileInputsAreRefusedEarlyInBoundedMemory) {
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "AddressSanitizer needs more address space than the limit this test sets";
#endif
    TempFolder folder;
    const std::vector<std::string> noAligner = {"KVR_MUSCLE=false {in} {out}"};
    const std::string sparse = folder.Write("sparse.fas", "");
    std::filesystem::resize_file(sparse, 2ull << 30);
    const std::string zero = folder.File("zero");
    const bool haveZero = ::mknod(zero.c_str(), S_IFCHR | 0444, ::makedev(1, 5)) == 0;
    struct Case {
        std::vector<std::string> args;
        std::string inputFile;
        std::string reason;
    };
    std::vector<Case> cases = {
        {{"run", NulGzip(folder, 1536)}, "", "it is not a text file"},
        {{"identity", sparse}, "", "cannot be read: it is larger (2.0 GB) than the memory free"},
    };
    if (haveZero)
        cases.push_back(
            {{"run", "-"}, zero, "Failed to read standard input: it is not a text file"});
    for (const Case& c : cases) {
        const auto result = RunProgram(
            "kvr", c.args,
            {.environment = noAligner, .addressSpaceLimit = 1ull << 30, .inputFile = c.inputFile});
        EXPECT_EQ(result.status, 1) << c.reason;
        EXPECT_NE(result.err.find(c.reason), std::string::npos) << result.err;
    }
}

}  // namespace
}  // namespace kvr
