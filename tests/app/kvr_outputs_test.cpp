// The one output step of kvr, the programs themselves: every text output of every command goes
// to standard output with "-" (and then no display order is mixed in), and kvr makes no file but
// its outputs: no work-folder picture, no session or score table in the work folder, no tree
// input without --tree.
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

const std::vector<std::string> kTextOptions = {"--scores", "--session", "--matrix-text",
                                               "--plot-data", "--sequences"};

// kvr with its shipped files in a program folder of its own, so that its work folder ("tmp"
// beside it) is this test's alone.
struct OwnProgramFolder {
    TempFolder folder;
    std::string kvr = folder.File("kvr");
    OwnProgramFolder() {
        for (const char* name : {"kvr", "aligners.conf", "RunNeighbor.sh"})
            std::filesystem::copy_file(std::string(KVR_BIN_DIR) + "/" + name, folder.File(name));
        std::filesystem::create_directory(folder.File("tmp"));
    }
    std::vector<std::string> WorkFiles() const {
        std::vector<std::string> files;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder.File("tmp")))
            files.push_back(entry.path().string());
        return files;
    }
};

// The first three sequences of a file of five, and the last two, as FASTA files.
std::pair<std::string, std::string> SplitFasta(const TempFolder& folder, const std::string& path) {
    const std::string text = *ReadWholeFile(path);
    std::size_t at = 0;
    for (int k = 0; k < 4; ++k) at = text.find('>', at + 1);
    return {folder.Write("first.fasta", text.substr(0, at)),
            folder.Write("last.fasta", text.substr(at))};
}

TEST(KvrOutputs, StandardOutputTakesEveryTextOutputOfEveryCommand) {
    OwnProgramFolder program;
    TempFolder folder;
    const std::string input = DataFile("kvr_run/families.fasta");
    const auto [first, last] = SplitFasta(folder, input);

    // The files of one run are what every command writes.
    std::vector<std::string> runArgs = {"run", input, "--aligner", "builtin", "--quiet"};
    for (const std::string& option : kTextOptions) {
        runArgs.push_back(option);
        runArgs.push_back(folder.File("run" + option));
    }
    const auto ran = RunProgram(program.kvr, runArgs);
    ASSERT_EQ(ran.status, 0) << ran.err;
    ASSERT_FALSE(ran.out.empty());  // the display order
    const auto firstRun = RunProgram(program.kvr, {"run", first, "--aligner", "builtin", "--quiet",
                                                   "--session", folder.File("first.kvr")});
    ASSERT_EQ(firstRun.status, 0) << firstRun.err;
    const auto pairs =
        RunProgram(program.kvr, {"pairs", input, "--aligner", "builtin", "--shard", "1/1", "--out",
                                 folder.File("shard.tsv"), "--quiet"});
    ASSERT_EQ(pairs.status, 0) << pairs.err;

    const struct {
        std::string what;
        std::vector<std::string> args;
    } commands[] = {
        {"run", {"run", input, "--aligner", "builtin"}},
        {"append", {"append", folder.File("first.kvr"), last, "--aligner", "builtin"}},
        {"show", {"show", folder.File("run--session")}},
        {"merge", {"merge", input, folder.File("shard.tsv")}},
        // Another output that needs the table: the merge does not stream.
        {"merge with the table",
         {"merge", input, folder.File("shard.tsv"), "--matrix-emf", folder.File("merged.emf")}},
    };
    for (const auto& command : commands)
        for (const std::string& option : kTextOptions) {
            const std::string what = command.what + " " + option + " -";
            std::vector<std::string> args = command.args;
            for (const std::string& a : {std::string("--quiet"), option, std::string("-")})
                args.push_back(a);
            const auto result = RunProgram(program.kvr, args, {.folder = folder.Path()});
            EXPECT_EQ(result.status, 0) << what << ": " << result.err;
            // A session's record of how it was made names its command and date: the rest is
            // the same whatever the command.
            const auto withoutRecord = [](std::string text) {
                return text.substr(0, text.find("#kvr-provenance"));
            };
            EXPECT_EQ(withoutRecord(result.out),
                      withoutRecord(ReadWholeFile(folder.File("run" + option)).value_or("")))
                << what;
            EXPECT_FALSE(std::filesystem::exists(folder.File("-"))) << what;
        }
    EXPECT_EQ(program.WorkFiles(), std::vector<std::string>{});
}

TEST(KvrOutputs, NothingUnaskedIsWritten) {
    OwnProgramFolder program;
    TempFolder folder;
    const std::string input = DataFile("kvr_run/families.fasta");
    const auto [first, last] = SplitFasta(folder, input);
    // An aligner that leaves the pair as it is: it exchanges files, in the run's own folder.
    const testing::ProgramOptions copyAligner = {.folder = folder.Path(),
                                                 .environment = {"KVR_MUSCLE=cp {in} {out}"}};
    const struct {
        std::string what;
        std::vector<std::string> args;
    } commands[] = {
        {"run, external aligner, tree", {"run", input, "--tree", "--session", "s.kvr"}},
        {"run, built-in aligner", {"run", input, "--aligner", "builtin"}},
        {"append", {"append", "s.kvr", last, "--scores", "a_col.txt"}},
        {"show", {"show", "s.kvr", "--plot-data", "p.txt"}},
        {"split", {"split", "s.kvr", "--min", "0", "--max", "100", "--out", "set"}},
    };
    for (const auto& command : commands) {
        std::vector<std::string> args = command.args;
        args.push_back("--quiet");
        const auto result = RunProgram(program.kvr, args, copyAligner);
        EXPECT_EQ(result.status, 0) << command.what << ": " << result.err;
        EXPECT_EQ(program.WorkFiles(), std::vector<std::string>{}) << command.what;
    }
    std::vector<std::string> written;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
        written.push_back(entry.path().filename().string());
    std::sort(written.begin(), written.end());
    EXPECT_EQ(written, (std::vector<std::string>{"a_col.txt", "first.fasta", "last.fasta", "p.txt",
                                                 "s.kvr", "set 1.fas"}));
}

}  // namespace
}  // namespace kvr
