#include "model/aligner.h"

#include <gtest/gtest.h>

namespace kvr {
namespace {

// Settings, sessions and shards store these names: they never change.
TEST(Aligner, NamesAsStoredAndTyped) {
    const struct {
        Aligner aligner;
        const char* name;
        const char* title;
        bool external;
    } cases[] = {
        {Aligner::Muscle, "muscle", "MUSCLE", true},
        {Aligner::Clustalw, "clustalw", "ClustalW", true},
        {Aligner::Mafft, "mafft", "MAFFT", true},
        {Aligner::Builtin, "builtin", "the built-in aligner", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AlignerName(c.aligner), c.name);
        EXPECT_EQ(AlignerNamed(c.name), c.aligner) << c.name;
        EXPECT_EQ(AlignerTitle(c.aligner), c.title);
        EXPECT_EQ(AlignerTitle(std::string_view(c.name)), c.title);
        EXPECT_EQ(IsExternal(c.aligner), c.external) << c.name;
    }
    // Names are exact: as typed elsewhere they name no aligner, and a title keeps such a text.
    for (const char* other : {"", "MUSCLE", "muscle ", "clustalw2", "built-in"})
        EXPECT_FALSE(AlignerNamed(other).has_value()) << other;
    EXPECT_EQ(AlignerTitle(std::string_view("clustalw2")), "clustalw2");
}

}  // namespace
}  // namespace kvr
