// kvr --citation and CITATION.cff name the same works, and both carry the program's version.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>

#include "kvr_version.h"
#include "support/run_program.h"

namespace kvr {
namespace {

using testing::RunProgram;

TEST(KvrCitation, AgreesWithCitationFileAndCreditsTheMethods) {
    const auto result = RunProgram("kvr", {"--citation"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    std::ifstream file(std::string(KVR_TEST_DATA) + "/../../CITATION.cff");
    const std::string cff(std::istreambuf_iterator<char>(file), {});
    ASSERT_FALSE(cff.empty());

    EXPECT_NE(result.out.find("version " + std::string(kVersion) + "."), std::string::npos);
    EXPECT_NE(cff.find("\nversion: " + std::string(kVersion) + "\n"), std::string::npos);
    for (const char* work : {"Muscle5", "ProbCons", "PHYLIP", "Clustal W", "MAFFT"}) {
        EXPECT_NE(result.out.find(work), std::string::npos) << work;
        EXPECT_NE(cff.find(work), std::string::npos) << work;
    }
    // Every DOI printed is in the file, and the other way round.
    const std::regex doi("10\\.[0-9]{4,}/[^ \\n]+");
    const auto count = [&](const std::string& text) {
        return std::distance(std::sregex_iterator(text.begin(), text.end(), doi), {});
    };
    for (auto it = std::sregex_iterator(result.out.begin(), result.out.end(), doi);
         it != std::sregex_iterator(); ++it)
        EXPECT_NE(cff.find("doi: " + it->str()), std::string::npos) << it->str();
    EXPECT_EQ(count(result.out), count(cff));
}

}  // namespace
}  // namespace kvr
