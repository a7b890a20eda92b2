// The record of how identities were made across the steps of a session: what an append keeps,
// mixes and lists.
#include "state/provenance.h"

#include <gtest/gtest.h>

#include <regex>

namespace kvr {
namespace {

Provenance Record(const std::string& command, const std::string& aligner,
                  const std::string& version, const std::string& input) {
    Provenance record;
    record.Set("program", "kvr 1.0.0");
    record.Set("command", command);
    record.Set("aligner", aligner);
    record.Set("aligner-version", version);
    record.Set("tree-order", "yes");
    record.Set("input", input);
    record.Set("date", "2025-01-0" + std::to_string(input.size() % 9) + "T00:00:00Z");
    return record;
}

TEST(Provenance, AnAppendMixesOnlyWhatDiffersAndListsEachStep) {
    Provenance session = Record("run", "muscle", "muscle 5.2", "a.fasta");
    session.Set("shards", "4");
    session.tree = "(a,b);";
    Provenance run = Record("append", "muscle", "muscle 5.2", "bb.fasta");
    run.Set("tree-order", "no");

    const Provenance same = AppendedProvenance(session, run);
    EXPECT_EQ(same.Get("aligner"), "muscle");
    EXPECT_EQ(same.Get("aligner-version"), "muscle 5.2");
    EXPECT_EQ(same.Get("command"), "run, append");
    EXPECT_EQ(same.Get("input"), "a.fasta, bb.fasta");
    EXPECT_EQ(same.Get("tree-order"), "no");  // the order on display is the append's
    EXPECT_EQ(same.Get("shards"), "4");       // what only the session says stays
    EXPECT_EQ(same.tree, "");                 // the append made no tree: none is kept

    run.Set("aligner", "builtin");
    run.Set("aligner-version", "builtin (kvr 1.0.0)");
    const Provenance mixed = AppendedProvenance(session, run);
    EXPECT_EQ(mixed.Get("aligner"), "mixed: muscle, builtin");
    EXPECT_EQ(mixed.Get("aligner-version"), "mixed: muscle 5.2, builtin (kvr 1.0.0)");
    EXPECT_EQ(NamedAligners(mixed.Get("aligner")), (std::vector<std::string>{"muscle", "builtin"}));
    // Mixed again with one of its own: each aligner once.
    const Provenance again = AppendedProvenance(mixed, Record("append", "builtin", "x", "c"));
    EXPECT_EQ(again.Get("aligner"), "mixed: muscle, builtin");
    EXPECT_EQ(again.Get("command"), "run, append, append");

    // A session without a record: its pairs' aligner is not known.
    const Provenance fromOld = AppendedProvenance({}, run);
    EXPECT_EQ(fromOld.Get("aligner"), "mixed: unknown, builtin");
    EXPECT_EQ(fromOld.Get("input"), "unknown, bb.fasta");
    EXPECT_EQ(NamedAligners(fromOld.Get("aligner")), std::vector<std::string>{"builtin"});
    EXPECT_EQ(NamedAligners(""), std::vector<std::string>{});
}

TEST(Provenance, TheDateIsUtcInIsoForm) {
    EXPECT_TRUE(std::regex_match(UtcTimestamp(),
                                 std::regex(R"(20\d\d-[01]\d-[0-3]\dT[0-2]\d:[0-5]\d:[0-6]\dZ)")))
        << UtcTimestamp();
}

}  // namespace
}  // namespace kvr
