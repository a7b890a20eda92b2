#include <gtest/gtest.h>

#include "support/run_program.h"
#include "support/temp_folder.h"

namespace kvr {
namespace {

using testing::DataFile;
using testing::RunProgram;
using testing::TempFolder;

TEST(KvrIdentity, PrintsThePlainSingleText) {
    TempFolder folder;
    struct Case {
        std::string content;
        const char* printed;
    };
    const Case cases[] = {
        {">a\nACGT\n>b\nACGT\n", "1\n"},
        {">a\nACGT\n>b\nACGA\n", "0.75\n"},
        {">a\nAC-T\n>b\nAG-T\n", "0.6666667\n"},
        {">a\r\nACGA\r\n>b\r\nACGT\r\n", "0.75\n"},
    };
    for (const Case& c : cases) {
        const auto result = RunProgram("kvr", {"identity", folder.Write("pair.fas", c.content)});
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.out, c.printed);
        EXPECT_EQ(result.err, "");
    }
    const auto real = RunProgram("kvr", {"identity", DataFile("aligned/clustalw_its1_pair.fas")});
    EXPECT_EQ(real.out, "0.9855072\n");
}

TEST(KvrIdentity, ExplainsWhatItCannotScore) {
    TempFolder folder;
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* reason;
    };
    const Case cases[] = {
        {{"identity", folder.File("missing.fas")}, 1, "cannot be read: the file does not exist"},
        {{"identity", folder.Write("one.fas", ">a\nACGT\n")}, 1, "fewer than two sequences"},
        {{"identity", folder.Write("gaps.fas", ">a\n--\n>b\nAA\n")}, 1, "no column free of gaps"},
        {{"identity"}, 2, "expected one aligned pair file"},
        {{"frobnicate"}, 2, "unknown command 'frobnicate'"},
    };
    for (const Case& c : cases) {
        const auto result = RunProgram("kvr", c.args);
        EXPECT_EQ(result.status, c.status) << c.args.back();
        EXPECT_EQ(result.out, "");
        EXPECT_NE(result.err.find(c.reason), std::string::npos) << result.err;
    }
    EXPECT_EQ(RunProgram("kvr", {"--help"}).status, 0);
    EXPECT_NE(RunProgram("kvr", {"identity", "--help"}).out.find("usage: kvr identity FILE"),
              std::string::npos);
}

}  // namespace
}  // namespace kvr
