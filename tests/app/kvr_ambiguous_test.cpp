// --ambiguous skip, the identity of the known bases, through every aligner path kvr has: the
// built-in aligner, an external one (a stand-in that copies the pair file, so that the columns are
// the sequences' own), one pair with kvr align, and the shards of kvr pairs merged.
#include <gtest/gtest.h>

#include <sstream>

#include "io/file_io.h"
#include "support/run_program.h"
#include "support/temp_folder.h"

namespace kvr {
namespace {

using testing::ProgramResult;
using testing::RunProgram;
using testing::TempFolder;

const std::vector<std::string> kCopyAligner = {"KVR_MUSCLE=cp {in} {out}"};

// A 600-base genome and a partial copy of it: 200 N from base 50, 180 n from base 300 (with an X
// and an R among them), and 11 of the 220 known bases changed. The known part is 95 % identical
// (209 of 220); counting the codes as mismatches, 209 of 600.
struct Genomes {
    std::string full;
    std::string partial;
};

Genomes MakeGenomes() {
    Genomes g;
    unsigned state = 12345;
    for (int k = 0; k < 600; ++k) {
        state = state * 1103515245u + 12345u;
        g.full += "ACGT"[(state >> 16) % 4];
    }
    g.partial = g.full;
    for (int k = 50; k < 250; ++k) g.partial[k] = 'N';
    for (int k = 300; k < 480; ++k) g.partial[k] = 'n';
    g.partial[310] = 'X';
    g.partial[400] = 'R';
    for (const int k : {10, 20, 30, 40, 260, 270, 280, 290, 500, 510, 520})
        g.partial[k] = g.full[k] == 'A' ? 'C' : 'A';
    return g;
}

// The two genomes, and a record of nothing but N that no column of any pair compares.
std::string GenomeFile(const TempFolder& folder) {
    const Genomes g = MakeGenomes();
    return folder.Write("genomes.fasta", ">full\n" + g.full + "\n>partial\n" + g.partial +
                                             "\n>unknown\n" + std::string(600, 'N') + "\n");
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, separator);) parts.push_back(part);
    return parts;
}

// The table's row of the pair of two names, split into its fields.
std::vector<std::string> Row(const std::string& table, const std::string& pair) {
    for (const std::string& line : Split(table, '\n'))
        if (line.starts_with(pair + "\t")) return Split(line, '\t');
    return {};
}

ProgramResult Kvr(const std::vector<std::string>& words, const std::string& aligner) {
    std::vector<std::string> all = words;
    all.insert(all.end(), {"--aligner", aligner});
    if (words.front() != "align") all.push_back("--quiet");
    return RunProgram("kvr", all, {.environment = kCopyAligner});
}

TEST(KvrAmbiguous, SkipGivesTheIdentityOfTheKnownBasesWithEveryAligner) {
    TempFolder folder;
    const std::string input = GenomeFile(folder);
    for (const std::string aligner : {"builtin", "muscle"}) {
        const ProgramResult skip =
            Kvr({"run", input, "--ambiguous", "skip", "--table", "-"}, aligner);
        ASSERT_EQ(skip.status, 0) << aligner << skip.err;
        // The same length and no indel: every aligner keeps the pair's columns as they are.
        EXPECT_EQ(Row(skip.out, "full\tpartial"),
                  (std::vector<std::string>{"full", "partial", "0.95", "95", "600", "209", "1", "1",
                                            "1", "220"}))
            << aligner << "\n"
            << skip.out;
        // No column of the unknown genome is compared: 0, with a warning naming the first pair.
        EXPECT_EQ(
            Row(skip.out, "full\tunknown"),
            (std::vector<std::string>{"full", "unknown", "0", "0", "600", "0", "1", "1", "1", "0"}))
            << aligner;
        EXPECT_NE(skip.err.find("kvr run: warning: 2 pairs have no aligned column without an "
                                "ambiguity code, and --ambiguous skip gives them the identity 0: "
                                "sequences 1 (>full) and 3 (>unknown) first\n"),
                  std::string::npos)
            << aligner << skip.err;

        // count, the default, keeps the identity as it was: the codes are mismatches.
        const ProgramResult count = Kvr({"run", input, "--table", "-"}, aligner);
        ASSERT_EQ(count.status, 0) << aligner << count.err;
        EXPECT_EQ(Row(count.out, "full\tpartial"),
                  (std::vector<std::string>{"full", "partial", "0.3483333", "34.83333", "600",
                                            "209", "1", "1", "1", "600"}))
            << aligner;
        EXPECT_EQ(count.err.find("warning"), std::string::npos) << count.err;
        const ProgramResult given =
            Kvr({"run", input, "--ambiguous", "count", "--table", "-"}, aligner);
        EXPECT_EQ(given.out, count.out) << aligner;
    }
}

// A pair without ambiguity codes scores the same whichever the rule: the score files are equal
// byte for byte, on real 5S rRNA pairs that have gaps.
TEST(KvrAmbiguous, SetsWithoutCodesScoreAlikeUnderEitherRule) {
    TempFolder folder;
    const std::string input = testing::DataFile("rrna5s_48.fasta");
    const auto scores = [&](const std::string& rule) {
        const ProgramResult run =
            RunProgram("kvr", {"run", input, "--quiet", "--ambiguous", rule, "--scores", "-"});
        EXPECT_EQ(run.status, 0) << run.err;
        return run.out;
    };
    const std::string skip = scores("skip");
    EXPECT_FALSE(skip.empty());
    EXPECT_EQ(skip, scores("count"));
}

// kvr align shows the run's identity and, under skip, both numbers and the columns compared.
TEST(KvrAmbiguous, AlignShowsBothIdentitiesUnderSkip) {
    TempFolder folder;
    const std::string input = GenomeFile(folder);
    for (const std::string aligner : {"builtin", "muscle"}) {
        const ProgramResult skip =
            Kvr({"align", input, "full", "partial", "--ambiguous", "skip"}, aligner);
        ASSERT_EQ(skip.status, 0) << aligner << skip.err;
        EXPECT_NE(skip.out.find("identity: 0.95 (95.00 %), ambiguity codes skipped\n"
                                "compared columns: 220 without an ambiguity code, with 209 "
                                "matches\n"
                                "identity with ambiguity codes counted: 0.3483333 (34.83 %)\n"
                                "gap-free columns: 600 of 600\nmatches: 209\n"),
                  std::string::npos)
            << aligner << skip.out;
        const ProgramResult count = Kvr({"align", input, "full", "partial"}, aligner);
        ASSERT_EQ(count.status, 0) << aligner << count.err;
        EXPECT_NE(count.out.find("identity: 0.3483333 (34.83 %)\ngap-free columns: 600 of 600\n"),
                  std::string::npos)
            << aligner << count.out;
        const ProgramResult none =
            Kvr({"align", input, "unknown", "full", "--ambiguous", "skip"}, aligner);
        EXPECT_EQ(none.status, 0) << none.err;
        EXPECT_NE(none.out.find("identity: 0 (0.00 %)"), std::string::npos) << none.out;
        EXPECT_NE(none.err.find("warning: 1 pair has no aligned column"), std::string::npos)
            << none.err;
    }
}

// Shards keep the rule: merged, they give the run's identities; shards of both rules are refused.
TEST(KvrAmbiguous, ShardsRecordTheRuleAndMergeOnlyWithTheirLike) {
    TempFolder folder;
    const std::string input = GenomeFile(folder);
    const auto shard = [&](const std::string& k, const std::string& rule) {
        const std::string out = folder.File("shard_" + k + "_" + rule + ".tsv");
        const ProgramResult made = RunProgram("kvr", {"pairs", input, "--shard", k + "/2", "-o",
                                                      out, "--ambiguous", rule, "--quiet"});
        EXPECT_EQ(made.status, 0) << made.err;
        return out;
    };
    const std::string skip1 = shard("1", "skip"), skip2 = shard("2", "skip");
    const std::string count2 = shard("2", "count");
    EXPECT_NE(ReadWholeFile(skip1)->find("#ambiguous\tskip\r\n"), std::string::npos);
    EXPECT_EQ(ReadWholeFile(count2)->find("#ambiguous"), std::string::npos);

    const ProgramResult merged =
        RunProgram("kvr", {"merge", input, skip1, skip2, "--quiet", "--scores", "-"});
    ASSERT_EQ(merged.status, 0) << merged.err;
    const ProgramResult run =
        RunProgram("kvr", {"run", input, "--quiet", "--ambiguous", "skip", "--scores", "-"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(merged.out, run.out);

    const ProgramResult mixed =
        RunProgram("kvr", {"merge", input, skip1, count2, "--quiet", "--scores", "-"});
    EXPECT_EQ(mixed.status, 1);
    EXPECT_NE(mixed.err.find("was made with --ambiguous count, " + skip1 +
                             " with --ambiguous skip: the shards of one run are needed"),
              std::string::npos)
        << mixed.err;
}

TEST(KvrAmbiguous, RefusesAnUnknownRule) {
    const ProgramResult run =
        RunProgram("kvr", {"run", testing::DataFile("kvr_run/families.fasta"), "--ambiguous", "N"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("--ambiguous needs count or skip"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace kvr
