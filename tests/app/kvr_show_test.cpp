// kvr show and kvr split, the programs themselves: a session written by kvr run reproduces every
// text file, refused sessions and failed writes change no file, the splitter's files.
#include <gtest/gtest.h>

#include <filesystem>

#include "io/file_io.h"
#include "support/run_program.h"
#include "support/temp_folder.h"

namespace kvr {
namespace {

using testing::DataFile;
using testing::RunProgram;
using testing::TempFolder;

// An aligner that leaves the pair as it is: fast, and the identities are those of the input.
const testing::ProgramOptions kCopyAligner = {.environment = {"KVR_MUSCLE=cp {in} {out}"}};

std::vector<std::string> TextOutputs(const TempFolder& folder, const std::string& tag) {
    return {"--scores",      folder.File(tag + "_col.txt"),
            "--session",     folder.File(tag + ".kvr"),
            "--matrix-text", folder.File(tag + "_mat.txt"),
            "--plot-data",   folder.File(tag + "_plt.txt"),
            "--sequences",   folder.File(tag + ".fas")};
}

TEST(KvrShow, ReproducesEveryTextFileOfTheRun) {
    TempFolder folder;
    std::vector<std::string> runArgs = {"run", DataFile("kvr_run/families.fasta"), "--tree",
                                        "--quiet"};
    for (const std::string& a : TextOutputs(folder, "run")) runArgs.push_back(a);
    const auto run = RunProgram("kvr", runArgs, kCopyAligner);
    ASSERT_EQ(run.status, 0) << run.err;

    std::vector<std::string> showArgs = {"show", folder.File("run.kvr"), "--quiet"};
    for (const std::string& a : TextOutputs(folder, "show")) showArgs.push_back(a);
    const auto show = RunProgram("kvr", showArgs);
    ASSERT_EQ(show.status, 0) << show.err;
    EXPECT_EQ(show.err, "");
    for (const char* suffix : {"_col.txt", ".kvr", "_mat.txt", "_plt.txt", ".fas"}) {
        const auto ran = ReadWholeFile(folder.File(std::string("run") + suffix));
        ASSERT_TRUE(ran) << suffix;
        EXPECT_EQ(ReadWholeFile(folder.File(std::string("show") + suffix)), ran) << suffix;
    }
    EXPECT_EQ(ReadWholeFile(folder.File("run_col.txt")),
              ReadWholeFile(DataFile("kvr_run/families_tree_scores.csv")));
    EXPECT_TRUE(ReadWholeFile(folder.File("run_plt.txt"))
                    ->starts_with("Percentage pairwise identity , Number of Identities from10 "
                                  "pairwise identity, Propotion\r\n1,0, 0 \r\n"));
}

TEST(KvrShow, ARefusedSessionWritesNothing) {
    TempFolder folder;
    const std::string kept = folder.Write("kept_col.txt", "old\r\n");
    const struct {
        std::string text;
        std::string message;
    } cases[] = {
        {">a\r\nAC\r\n>b\r\nAG\r\n",
         "kvr show: The KVR file loaded is corrupted, the alignment "
         "should be enclosed in three pairs of square brackets [[[ ]]]\n"},
        {"[[[>a\r\nAC\r\n>b\r\nAG]]]\r\n0.5x\r\n", "kvr show: Failed to read "},
    };
    for (const auto& c : cases) {
        const std::string session = folder.Write("bad.kvr", c.text);
        const auto show = RunProgram("kvr", {"show", session, "--quiet", "--scores", kept,
                                             "--plot-data", folder.File("new_plt.txt")});
        EXPECT_EQ(show.status, 1);
        EXPECT_TRUE(show.err.starts_with(c.message)) << show.err;
        EXPECT_EQ(ReadWholeFile(kept), "old\r\n");
        EXPECT_FALSE(std::filesystem::exists(folder.File("new_plt.txt")));
    }
    // A missing session, a wrong option, an output folder that does not exist.
    EXPECT_EQ(RunProgram("kvr", {"show", folder.File("none.kvr")}).status, 1);
    EXPECT_EQ(RunProgram("kvr", {"show", folder.File("bad.kvr"), "--bogus"}).status, 2);
    const auto noFolder =
        RunProgram("kvr", {"show", folder.File("bad.kvr"), "--scores", folder.File("no/s.txt")});
    EXPECT_EQ(noFolder.status, 1);
    EXPECT_NE(noFolder.err.find("no folder"), std::string::npos) << noFolder.err;
}

TEST(KvrAppend, AlignsOnlyTheNewPairsAndWritesLikeShow) {
    TempFolder folder;
    // A session whose identities no aligner gives: the append must keep them.
    const std::string session = folder.Write(
        "old.kvr",
        "[[[>a\r\nACGTACGTACGTAAGT\r\n>b\r\nACGTACGTTCGTAAGT\r\n>c\r\nTTTTACGTACGTAAGT]]]"
        "\r\n0.25\r\n0.5\r\n0.75\r\n");
    const std::string added = folder.Write("new.fasta", ">d\nACGTACGTACGTAAGA\n");
    const auto append = RunProgram("kvr", {"append", session, added, "--aligner", "builtin",
                                           "--quiet", "--session", folder.File("new.kvr")});
    ASSERT_EQ(append.status, 0) << append.err;
    EXPECT_EQ(append.out, "1\t>a\n2\t>b\n3\t>c\n4\t>d\n");
    const std::string written = *ReadWholeFile(folder.File("new.kvr"));
    EXPECT_TRUE(written.starts_with("[[[>a\r\nACGTACGTACGTAAGT\r\n")) << written;
    EXPECT_NE(written.find("]]]\r\n0.25\r\n0.5\r\n0.75\r\n0.9375\r\n"), std::string::npos)
        << written;

    // A FASTA file where the session belongs, and a session to append: refused.
    EXPECT_EQ(RunProgram("kvr", {"append", added, added, "--aligner", "builtin", "-q"}).status, 1);
    EXPECT_EQ(RunProgram("kvr", {"append", session, "--aligner", "builtin"}).status, 2);
}

// A session of sequences a, b, c, ... with these residues: a, b and c are 96 % alike, the rest 97 %
// among themselves, and the two families 50 %.
std::string TwoFamilies(const std::vector<std::string>& residues) {
    std::string session = "[[[";
    for (std::size_t k = 0; k < residues.size(); ++k)
        session +=
            (k ? "\r\n>" : ">") + std::string(1, static_cast<char>('a' + k)) + "\r\n" + residues[k];
    session += "]]]\r\n";
    for (std::size_t i = 1; i < residues.size(); ++i)
        for (std::size_t j = 0; j < i; ++j)
            session += (i < 3 ? "0.96" : (j >= 3 ? "0.97" : "0.5")) + std::string("\r\n");
    return session;
}

TEST(KvrSplit, WritesTheDatasetsAndPrintsThem) {
    TempFolder folder;
    const std::string path = folder.Write("five.kvr", TwoFamilies({"A", "C", "G", "T", "TT"}));
    const std::string base = folder.File("set");
    const auto split =
        RunProgram("kvr", {"split", path, "--min", "95", "--max=100", "--out", base, "-q"});
    ASSERT_EQ(split.status, 0) << split.err;
    EXPECT_EQ(split.out, base + " 1.fas\n");  // d and e are only two
    EXPECT_EQ(ReadWholeFile(base + " 1.fas"), ">a\r\nA\r\n>b\r\nC\r\n>c\r\nG\r\n");

    const auto refused =
        RunProgram("kvr", {"split", path, "--min", "50", "--max", "40", "--out", base});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("The minimum sequence identity must be less"), std::string::npos);
    EXPECT_EQ(RunProgram("kvr", {"split", path, "--min", "x", "--max", "40", "--out", base}).status,
              1);
    EXPECT_EQ(RunProgram("kvr", {"split", path, "--max", "40"}).status, 2);
}

TEST(KvrSplit, WritesToStandardOutputAndRefusesAMissingFolderFirst) {
    TempFolder folder;
    const std::string path = folder.Write("six.kvr", TwoFamilies({"A", "C", "G", "T", "TT", "TA"}));
    const std::string base = folder.File("set");
    const auto files =
        RunProgram("kvr", {"split", path, "--min", "95", "--max", "100", "-o", base});
    ASSERT_EQ(files.status, 0) << files.err;
    ASSERT_EQ(files.out, base + " 1.fas\n" + base + " 2.fas\n");

    const auto piped = RunProgram("kvr", {"split", path, "--min", "95", "--max", "100", "-o", "-"},
                                  {.folder = folder.Path()});
    ASSERT_EQ(piped.status, 0) << piped.err;
    EXPECT_EQ(piped.out, *ReadWholeFile(base + " 1.fas") + *ReadWholeFile(base + " 2.fas"));
    EXPECT_EQ(piped.out, ">a\r\nA\r\n>b\r\nC\r\n>c\r\nG\r\n>d\r\nT\r\n>e\r\nTT\r\n>f\r\nTA\r\n");
    EXPECT_FALSE(std::filesystem::exists(folder.File("- 1.fas")));

    // A folder that is not there is named before the session is read, and nothing is made.
    const std::string missing = folder.File("gone/set");
    const auto refused = RunProgram("kvr", {"split", folder.File("not-read.kvr"), "--min", "95",
                                            "--max", "100", "-o", missing, "-q"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("gone"), std::string::npos) << refused.err;
    EXPECT_EQ(refused.err.find("not-read.kvr"), std::string::npos) << refused.err;
    EXPECT_FALSE(std::filesystem::exists(folder.File("gone")));
}

}  // namespace
}  // namespace kvr
