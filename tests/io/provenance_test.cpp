// The record of how identities were made across the steps of a session: what an append keeps,
// mixes and lists.
#include "model/provenance.h"

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
    EXPECT_EQ(NamedValues(mixed.Get("aligner")), (std::vector<std::string>{"muscle", "builtin"}));
    // Mixed again with one of its own: each aligner once.
    const Provenance again = AppendedProvenance(mixed, Record("append", "builtin", "x", "c"));
    EXPECT_EQ(again.Get("aligner"), "mixed: muscle, builtin");
    EXPECT_EQ(again.Get("command"), "run, append, append");

    // A session without a record: its pairs' aligner is not known.
    const Provenance fromOld = AppendedProvenance({}, run);
    EXPECT_EQ(fromOld.Get("aligner"), "mixed: unknown, builtin");
    EXPECT_EQ(fromOld.Get("input"), "unknown, bb.fasta");
    EXPECT_EQ(NamedValues(fromOld.Get("aligner")), std::vector<std::string>{"builtin"});
    EXPECT_EQ(NamedValues(""), std::vector<std::string>{});
}

// The ambiguity rule changes the numbers as the aligner does: an append mixes it, and a record of
// a run made before runs recorded their rule counted ambiguous bases.
TEST(Provenance, TheAmbiguityRuleIsMixedAndCheckedLikeTheAligner) {
    Provenance counted = Record("run", "muscle", "muscle 5.2", "a.fasta");
    counted.Set("ambiguous", "count");
    Provenance skipped = Record("append", "muscle", "muscle 5.2", "b.fasta");
    skipped.Set("ambiguous", "skip");
    const Provenance before = Record("run", "muscle", "muscle 5.2", "a.fasta");  // no rule said

    struct Case {
        const char* what;
        Provenance session;
        std::string recorded;  // RecordedAmbiguityRule
        bool mixesCount, mixesSkip;
        std::string appendedSkip;  // the rule after an append that skips
    };
    const Case cases[] = {
        {"counted", counted, "count", false, true, "mixed: count, skip"},
        {"skipped", skipped, "skip", true, false, "skip"},
        {"made before runs said their rule", before, "count", false, true, "mixed: count, skip"},
        {"mixed", AppendedProvenance(counted, skipped), "mixed: count, skip", true, true,
         "mixed: count, skip"},
        {"no record", {}, "", false, false, "mixed: unknown, skip"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RecordedAmbiguityRule(c.session), c.recorded) << c.what;
        EXPECT_EQ(WouldMixAmbiguityRules(c.session, "count"), c.mixesCount) << c.what;
        EXPECT_EQ(WouldMixAmbiguityRules(c.session, "skip"), c.mixesSkip) << c.what;
        EXPECT_EQ(AppendedProvenance(c.session, skipped).Get("ambiguous"), c.appendedSkip)
            << c.what;
    }
    // The same rule again stays one value.
    EXPECT_EQ(AppendedProvenance(counted, counted).Get("ambiguous"), "count");
}

TEST(Provenance, TheDateIsUtcInIsoForm) {
    EXPECT_TRUE(std::regex_match(UtcTimestamp(),
                                 std::regex(R"(20\d\d-[01]\d-[0-3]\dT[0-2]\d:[0-5]\d:[0-6]\dZ)")))
        << UtcTimestamp();
}

}  // namespace
}  // namespace kvr
