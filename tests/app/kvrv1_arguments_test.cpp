// KVRv1's help and version need no display and open no window; a mistyped option is refused.
#include <gtest/gtest.h>

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
    const auto result =
        RunProgram("KVRv1", {"--verison"}, {.environment = {"QT_QPA_PLATFORM=offscreen"}});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    // Qt may have said something of its own first.
    EXPECT_NE(result.err.find("KVRv1: unknown option '--verison'\nUsage: KVRv1"), std::string::npos)
        << result.err;
}

}  // namespace
}  // namespace kvr
