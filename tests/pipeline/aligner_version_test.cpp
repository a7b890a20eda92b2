// The version an aligner reports: the command that asks it, the line taken from its answer, and
// "unknown" for every way it can fail to answer, a program that hangs included.
#include "pipeline/aligner_version.h"

#include <gtest/gtest.h>

#include <chrono>

#include "fakes/fake_shell.h"
#include "io/file_io.h"
#include "platform/posix_shell.h"
#include "support/temp_folder.h"

namespace kvr {
namespace {

using testing::TempFolder;

// A shell whose aligner writes answer to the version file and ends with status.
FakeShell Answering(const std::string& answer, int status = 0) {
    return FakeShell([answer, status](const std::string&, const std::string& folder) {
        WriteWholeFile(folder + "/version.txt", answer);
        return ShellOutcome{ShellOutcome::Status::Ended, 0, status, {}};
    });
}

TEST(AlignerVersion, AsksEachAlignerTheWayItAnswers) {
    TempFolder folder;
    AlignerConfig programs = DefaultAlignerConfig(folder.Path());
    programs.mafft.value = "env MAFFT_X=1 /opt/mafft/bin/mafft --localpair {in} > {out}";
    const struct {
        std::string kind;
        std::string command;
    } cases[] = {
        {"muscle", "'muscle' -version </dev/null >'version.txt' 2>&1"},
        {"clustalw", "'clustalw' -help </dev/null >'version.txt' 2>&1"},
        {"mafft", "'/opt/mafft/bin/mafft' --version </dev/null >'version.txt' 2>&1"},
    };
    for (const auto& c : cases) {
        FakeShell shell = Answering("v1\n");
        EXPECT_EQ(AlignerVersion(shell, programs, *AlignerNamed(c.kind), folder.Path()), "v1")
            << c.kind;
        ASSERT_EQ(shell.commands.size(), 1u) << c.kind;
        EXPECT_EQ(shell.commands.front(), c.command);
        // Its own folder, removed when the answer is read.
        EXPECT_NE(shell.folders.front(), folder.Path());
        EXPECT_TRUE(shell.folders.front().starts_with(folder.Path() + "/"));
    }
    // The built-in aligner is kvr itself: nothing to start.
    FakeShell shell;
    EXPECT_TRUE(AlignerVersion(shell, programs, Aligner::Builtin, folder.Path())
                    .starts_with("builtin (kvr "));
    EXPECT_TRUE(shell.commands.empty());
    // A command line that names no program kvr can start by name.
    programs.muscle.value = "$MUSCLE -align {in} -output {out}";
    EXPECT_EQ(AlignerVersion(shell, programs, Aligner::Muscle, folder.Path()), "unknown");
    EXPECT_TRUE(shell.commands.empty());
}

TEST(AlignerVersion, TakesTheFirstLineWithTextOrSaysUnknown) {
    TempFolder folder;
    const AlignerConfig programs = DefaultAlignerConfig(folder.Path());
    const struct {
        const char* what;
        std::string answer;
        int status;
        std::string version;
    } cases[] = {
        {"MUSCLE 5", "muscle 5.2.linux64 [-]\nBuilt Nov  5 2022 18:45:38\n\n", 0,
         "muscle 5.2.linux64 [-]"},
        {"ClustalW's help", "\n\n\n CLUSTAL 2.1 Multiple Sequence Alignments\r\n\n\n   DATA\n", 0,
         "CLUSTAL 2.1 Multiple Sequence Alignments"},
        {"MAFFT on standard error", "v7.505 (2022/Apr/10)\n", 0, "v7.505 (2022/Apr/10)"},
        {"a control character", "v1\x1b[0m\n", 0, "v1\\x1b[0m"},
        {"a refusal", "Error: unknown option -version\n", 1, "unknown"},
        {"nothing", "\n \n", 0, "unknown"},
    };
    for (const auto& c : cases) {
        FakeShell shell = Answering(c.answer, c.status);
        EXPECT_EQ(AlignerVersion(shell, programs, Aligner::Muscle, folder.Path()), c.version)
            << c.what;
    }
    // ClustalW 2.1 ends its help with the status 1: the help counts when it names the program.
    const std::string help = "\n CLUSTAL 2.1 Multiple Sequence Alignments\n";
    FakeShell clustalw = Answering(help, 1);
    EXPECT_EQ(AlignerVersion(clustalw, programs, Aligner::Clustalw, folder.Path()),
              "CLUSTAL 2.1 Multiple Sequence Alignments");
    FakeShell other = Answering("cp: invalid option -- 'h'\n", 1);
    EXPECT_EQ(AlignerVersion(other, programs, Aligner::Clustalw, folder.Path()), "unknown");
    FakeShell notStarted([](const std::string&, const std::string&) {
        return ShellOutcome{ShellOutcome::Status::NotStarted, 0, -1, "no shell"};
    });
    EXPECT_EQ(AlignerVersion(notStarted, programs, Aligner::Mafft, folder.Path()), "unknown");
}

TEST(AlignerVersion, EndsAProgramThatDoesNotAnswerInTime) {
    TempFolder folder;
    AlignerConfig programs = DefaultAlignerConfig(folder.Path());
    // A fake that never ends by itself.
    FakeShell hanging([](const std::string&, const std::string&) {
        return ShellOutcome{ShellOutcome::Status::Running, 0, -1, {}};
    });
    EXPECT_EQ(AlignerVersion(hanging, programs, Aligner::Muscle, folder.Path()), "unknown");
    EXPECT_EQ(hanging.endedEarly, hanging.processIds);

    // A real one, ended at the limit.
    const std::string script = folder.Write("slow-aligner", "#!/bin/sh\nsleep 30\n");
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    programs.muscle.value = script + " -align {in} -output {out}";
    PosixShell shell;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(AlignerVersion(shell, programs, Aligner::Muscle, folder.Path(),
                             std::chrono::milliseconds(200)),
              "unknown");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

}  // namespace
}  // namespace kvr
