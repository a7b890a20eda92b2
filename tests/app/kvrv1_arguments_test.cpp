// KVRv1's help and version need no display and open no window; a mistyped option is refused.
#include <gtest/gtest.h>

#include "app/kvrv1_arguments.h"
#include "kvr_version.h"
#include "support/run_program.h"
#include "support/temp_folder.h"

namespace kvr {
namespace {

using testing::RunProgram;
using testing::TempFolder;

// No display of any kind: Qt would abort with its platform error if it were started.
const std::vector<std::string> kNoDisplay = {"DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM="};

TEST(Kvrv1Arguments, AnswersHelpAndVersionWithoutADisplay) {
    TempFolder folder;
    struct Case {
        std::vector<std::string> args;
        std::string outStart;
    };
    const Case cases[] = {
        {{"--version"}, "KVRv1 " + std::string(kVersion) + "\n"},
        {{"--help"}, "Usage: KVRv1 [--no-splash] [FILE]\n"},
        {{"-h"}, "Usage: KVRv1 [--no-splash] [FILE]\n"},
        // Beside a file or an option, the question is still answered and nothing opens.
        {{"--no-splash", "seqs.fasta", "--version"}, "KVRv1 " + std::string(kVersion) + "\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.back());
        const auto result =
            RunProgram("KVRv1", c.args, {.folder = folder.Path(), .environment = kNoDisplay});
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.out.substr(0, c.outStart.size()), c.outStart);
        EXPECT_EQ(result.err, "");
    }
    const auto help = RunProgram("KVRv1", {"--help"}, {.environment = kNoDisplay});
    EXPECT_NE(help.out.find("--no-splash"), std::string::npos);
    EXPECT_NE(help.out.find("--version"), std::string::npos);
}

TEST(Kvrv1Arguments, RefusesAnUnknownOptionInsteadOfOpeningIt) {
    // With one dash too: "-no-spalsh" was opened as a file of that name.
    for (const std::string option : {"--verison", "-no-spalsh"}) {
        const auto result =
            RunProgram("KVRv1", {option}, {.environment = {"QT_QPA_PLATFORM=offscreen"}});
        EXPECT_EQ(result.status, 2) << option;
        EXPECT_EQ(result.out, "");
        // Qt may have said something of its own first.
        EXPECT_NE(result.err.find("KVRv1: unknown option '" + option + "'\nUsage: KVRv1"),
                  std::string::npos)
            << result.err;
    }
}

// Read without starting the program: the files it would open, the options it would refuse.
TEST(Kvrv1Arguments, ReadsFilesOptionsAndMistypedOptions) {
    using Answer = Kvrv1Arguments::Answer;
    struct Case {
        QStringList args;
        std::optional<Answer> answer;
        bool splash;
        std::optional<QString> file;
        QString unknown;
    };
    const Case cases[] = {
        {{}, {}, true, {}, ""},
        {{"a.fasta"}, {}, true, "a.fasta", ""},
        {{"a.fasta", "b.kvr", "--no-splash"}, {}, false, "b.kvr", ""},  // the last file
        {{"-no-splash"}, {}, false, {}, ""},
        {{"./--help"}, {}, true, "./--help", ""},
        {{"-"}, {}, true, "-", ""},
        {{"--", "-x.fasta"}, {}, true, "-x.fasta", ""},  // files only after "--"
        {{"a.fasta", "--version", "--help"}, Answer::Version, true, "a.fasta", ""},
        {{"-h"}, Answer::Help, true, {}, ""},
        {{"--verison", "a.fasta"}, {}, true, "a.fasta", "--verison"},
        // A mistyped option with one dash, or a value given to --no-splash, was opened as a file.
        {{"-no-spalsh"}, {}, true, {}, "-no-spalsh"},
        {{"-x.fasta"}, {}, true, {}, "-x.fasta"},
        {{"--no-splash=1"}, {}, true, {}, "--no-splash=1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const Kvrv1Arguments read = ReadKvrv1Arguments(QStringList{"KVRv1"} + c.args);
        EXPECT_EQ(read.unknownOption, c.unknown);
        if (!c.unknown.isEmpty()) continue;  // refused: nothing else counts
        EXPECT_EQ(read.answer, c.answer);
        EXPECT_EQ(read.splash, c.splash);
        EXPECT_EQ(read.file, c.file);
    }
}

}  // namespace
}  // namespace kvr
