// The pieces of a run in shards: the input's checksum, the loop order of the pairs, the plan that
// splits them into shards of equal work, and the shard file read back bit for bit.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "io/checksum.h"
#include "io/file_io.h"
#include "io/number_text.h"
#include "model/identity_table.h"
#include "model/pair_order.h"
#include "pipeline/shard_file.h"
#include "pipeline/shard_plan.h"
#include "support/temp_folder.h"

namespace kvr {
namespace {

TEST(Checksum, MatchesTheStandardVectors) {
    const struct {
        std::string bytes;
        const char* hex;
    } cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        // 56 bytes: the length no longer fits the first padding block.
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'),
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const auto& c : cases) EXPECT_EQ(Sha256Hex(c.bytes), c.hex) << c.bytes.size();
}

TEST(PairOrder, NumbersAndCursorsAgreeWithTheLoop) {
    for (int n : {0, 1, 2, 3, 7, 50}) {
        long long number = 0;
        for (PairCursor pair{n}; !pair.AtEnd(); pair.Next(), ++number) {
            EXPECT_EQ(PairNumber(n, pair.i, pair.j), number);
            const PairCursor at = CursorAt(n, number);
            EXPECT_EQ(std::pair(at.i, at.j), std::pair(pair.i, pair.j)) << n << " " << number;
        }
        EXPECT_EQ(number, PairCount(n));
        EXPECT_TRUE(CursorAt(n, number).AtEnd()) << n;
    }
    // Large sets, where the square root of the closed form rounds.
    const int n = 20000;
    for (const long long p : {0LL, 19998LL, 19999LL, 123456789LL, PairCount(n) - 1}) {
        const PairCursor at = CursorAt(n, p);
        ASSERT_FALSE(at.AtEnd());
        EXPECT_LT(at.i, at.j);
        EXPECT_EQ(PairNumber(n, at.i, at.j), p);
    }
}

// Every pair in exactly one shard, in order, none empty while there are enough pairs.
TEST(ShardPlan, TheShardsCoverEveryPairOnce) {
    const struct {
        int sequences;
        int shards;
    } cases[] = {{0, 1},   {1, 3},    {2, 1},    {2, 5},  {5, 10},  {5, 11},
                 {40, 40}, {40, 780}, {40, 781}, {40, 7}, {300, 64}};
    for (const auto& c : cases) {
        std::vector<std::size_t> lengths;
        for (int i = 0; i < c.sequences; ++i) lengths.push_back(100 + 37 * (i % 11));
        const auto plan = PlanShards(lengths, c.shards);
        const long long pairs = PairCount(c.sequences);
        ASSERT_EQ(plan.size(), static_cast<std::size_t>(c.shards));
        long long next = 0;
        for (int k = 0; k < c.shards; ++k) {
            EXPECT_EQ(plan[k].first, next) << c.sequences << " " << c.shards << " shard " << k;
            // With more shards than pairs, shard k + 1 holds pair k and the rest none.
            const long long expected = c.shards > pairs ? (k < pairs ? 1 : 0) : -1;
            if (expected >= 0)
                EXPECT_EQ(plan[k].count, expected) << c.sequences << " " << c.shards;
            else
                EXPECT_GE(plan[k].count, 1) << c.sequences << " " << c.shards << " shard " << k;
            next += plan[k].count;
        }
        EXPECT_EQ(next, pairs) << c.sequences << " " << c.shards;
    }
}

// A shard's work lies within one pair's work of the mean: the boundaries follow the work.
TEST(ShardPlan, TheShardsCarryEqualWork) {
    std::mt19937 random(7);
    std::uniform_int_distribution<std::size_t> length(50, 3000);
    for (const int n : {60, 400}) {
        std::vector<std::size_t> lengths(n);
        for (auto& l : lengths) l = length(random);
        // Long sequences first make the first rows heavy: pair counts alone would be unbalanced.
        std::sort(lengths.rbegin(), lengths.rend());
        const std::size_t longest = lengths.front();
        const double heaviestPair = static_cast<double>(longest) * static_cast<double>(longest);
        const double total = RangeWork(lengths, {0, PairCount(n)});
        for (const int shards : {2, 7, 64}) {
            const auto plan = PlanShards(lengths, shards);
            for (const PairRange& range : plan) {
                const double work = RangeWork(lengths, range);
                EXPECT_LE(work, total / shards + heaviestPair) << n << " " << shards;
                EXPECT_GE(work, total / shards - heaviestPair) << n << " " << shards;
            }
            EXPECT_GT(plan.front().count * 2, 0);
            // The heavy first rows need fewer pairs than the light last ones.
            EXPECT_LT(plan.front().count, plan.back().count) << n << " " << shards;
        }
    }
}

TEST(ShardPlan, ReadsTheShardOption) {
    const struct {
        const char* text;
        int shard;
        int shards;
        const char* problem;  // a part of the message; "" when accepted
    } cases[] = {
        {"1/4", 1, 4, ""},
        {"4/4", 4, 4, ""},
        {"1/1", 1, 1, ""},
        {"0/4", 0, 0, "there is no shard 0 of 4"},
        {"5/4", 0, 0, "there is no shard 5 of 4"},
        {"1/0", 0, 0, "must be 1 to"},
        {"1/20000000", 0, 0, "must be 1 to 10000000"},
        {"-1/4", 0, 0, "there is no shard -1"},
        {"4", 0, 0, "needs K/N"},
        {"a/b", 0, 0, "needs K/N"},
        {"1/4x", 0, 0, "needs K/N"},
        {"", 0, 0, "needs K/N"},
    };
    for (const auto& c : cases) {
        const Result<ShardChoice> choice = ParseShard(c.text);
        if (std::string(c.problem).empty()) {
            ASSERT_TRUE(choice) << c.text << ": " << choice.problem().message;
            EXPECT_EQ(choice.value(), (ShardChoice{c.shard, c.shards})) << c.text;
        } else {
            ASSERT_FALSE(choice) << c.text;
            EXPECT_NE(choice.problem().message.find(c.problem), std::string::npos)
                << c.text << ": " << choice.problem().message;
        }
    }
}

ShardHeader SomeHeader() {
    ShardHeader header;
    header.inputChecksum = Sha256Hex("input");
    header.sequences = 30;
    header.aligner = "muscle";
    header.command = "muscle -align {in} -output {out}";
    header.version = "1.2.3";
    header.shard = 2;
    header.shards = 3;
    header.pairs = {145, 150};
    return header;
}

// Every identity m / g an alignment can give comes back as the very same float.
TEST(ShardFile, ReadsBackTheHeaderAndEveryIdentityExactly) {
    testing::TempFolder folder;
    std::string text = FormatShardHeader(SomeHeader());
    std::vector<float> identities;
    ShardChecksum checksum;
    for (int g = 1; g <= 400; ++g)
        for (int m = 0; m <= g; m += 1 + g / 40) {
            identities.push_back(static_cast<float>(static_cast<double>(m) / g));
            text += ShardLine(2, 9, identities.back());
            checksum.Add(ShardLine(2, 9, identities.back()));
        }
    text += checksum.Line();
    const std::string path = folder.Write("shard.tsv", text);
    ShardReader reader;
    std::string problem;
    ASSERT_TRUE(reader.Open(path, problem)) << problem;
    EXPECT_EQ(reader.Header(), SomeHeader());
    int i = 0;
    int j = 0;
    float identity = 0;
    for (const float expected : identities) {
        ASSERT_TRUE(reader.Next(i, j, identity, problem)) << problem;
        EXPECT_EQ(std::pair(i, j), std::pair(2, 9));
        EXPECT_EQ(identity, expected);
    }
    EXPECT_FALSE(reader.Next(i, j, identity, problem));
    EXPECT_EQ(problem, "");
    // Positions count from 1; the plain text as everywhere, then the digits the float needs.
    EXPECT_EQ(ShardLine(0, 1, static_cast<float>(68.0 / 69)), "1\t2\t0.9855072\t0.98550725\r\n");
    EXPECT_EQ(ShardLine(4, 67, 1.0f), "5\t68\t1\t1\r\n");
}

TEST(ShardFile, RefusesWhatItDidNotWrite) {
    const std::string header = FormatShardHeader(SomeHeader());
    ShardChecksum pairLines;
    pairLines.Add("1\t2\t0.5\t0.5\r\n");
    ShardHeader onePair = SomeHeader();
    onePair.pairs.count = 1;
    const struct {
        std::string text;
        std::string problem;
    } cases[] = {
        {"first\tsecond\n", "is not a shard file"},
        {"", "is not a shard file"},
        {header.substr(0, header.find("#aligner")), "should start with \"#aligner\""},
        {std::string(header).replace(header.find("2/3"), 3, "4/3"), "not a valid #shard line"},
        // More shards than kvr pairs makes: their plan alone would take gigabytes.
        {std::string(header).replace(header.find("2/3"), 3, "2/100000000"),
         "not a valid #shard line"},
        {std::string(header).replace(header.find("#sequences\t30"), 13, "#sequences\tx"),
         "not a valid #sequences line"},
        {header + "1\t2\t0.5\t0.25\r\n", "line 10 is not a pair line"},
        {header + "1\t2\t0.5\r\n", "line 10 is not a pair line"},
        {header + "1\t2\t1.5\t1.5\r\n", "line 10 is not a pair line"},
        {header + "1\tx\t0.5\t0.5\r\n", "line 10 is not a pair line"},
        {header + "1\t2\t0.5\t0.5\r\n\r\n", "line 11 is not a pair line"},
        // Both identity columns edited alike: only the checksum tells.
        {header + "1\t2\t0.25\t0.25\r\n" + pairLines.Line(),
         "line 11: the pair lines do not match the file's checksum (fnv1a64:"},
        {FormatShardHeader(onePair) + "1\t2\t0.5\t0.5\r\n",
         "ends without its checksum line: it was cut short"},
        {header + "1\t2\t0.5\t0.5\r\n" + pairLines.Line() + "1\t3\t0.5\t0.5\r\n",
         "line 12 follows the checksum line"},
    };
    testing::TempFolder folder;
    for (const auto& c : cases) {
        const std::string path = folder.Write("shard.tsv", c.text);
        ShardReader reader;
        std::string problem;
        if (reader.Open(path, problem)) {
            int i = 0;
            int j = 0;
            float identity = 0;
            while (reader.Next(i, j, identity, problem)) {
            }
        }
        EXPECT_NE(problem.find(c.problem), std::string::npos) << c.problem << ": " << problem;
    }
}

// A shard of this kvr keeps the aligner's version, the time limit and each pair's counts; one of an
// older kvr, without them, reads as before (the test above).
TEST(ShardFile, KeepsEachPairsCountsAndReadsThemBack) {
    ShardHeader header = SomeHeader();
    header.pairs.count = 3;
    header.alignerVersion = "muscle 5.2.linux64 [-]";
    header.pairTimeout = "30 seconds";
    header.counts = true;
    const std::string head = FormatShardHeader(header);
    EXPECT_NE(head.find("#pairs\t146\t3\r\n#aligner-version\tmuscle 5.2.linux64 [-]\r\n"
                        "#pair-timeout\t30 seconds\r\n"
                        "first\tsecond\tidentity\texact\taligned_columns\tmatches\tin_band\t"
                        "compared_columns\r\n"),
              std::string::npos)
        << head;
    const std::vector<std::string> lines = {
        ShardLine(0, 1, static_cast<float>(68.0 / 69), AlignedCounts{69, 68, true, 69}),
        // A bounded band's, the identity over the known bases (11 of the 12 columns).
        ShardLine(0, 2, 1.0f, AlignedCounts{12, 11, false, 11}),
        ShardLine(1, 2, 0.5f, AlignedCounts{}),  // not known: the three fields empty
    };
    EXPECT_EQ(lines[0], "1\t2\t0.9855072\t0.98550725\t69\t68\t1\t69\r\n");
    EXPECT_EQ(lines[1], "1\t3\t1\t1\t12\t11\t0\t11\r\n");
    EXPECT_EQ(lines[2], "2\t3\t0.5\t0.5\t\t\t\t\r\n");
    ShardChecksum checksum;
    std::string text = head;
    for (const std::string& line : lines) {
        checksum.Add(line);
        text += line;
    }
    testing::TempFolder folder;
    ShardReader reader;
    std::string problem;
    ASSERT_TRUE(reader.Open(folder.Write("shard.tsv", text + checksum.Line()), problem)) << problem;
    EXPECT_EQ(reader.Header(), header);
    const struct {
        int i, j;
        std::uint32_t gapFree, matches;
        bool exact;
        std::uint32_t compared;
    } expected[] = {{0, 1, 69, 68, true, 69}, {0, 2, 12, 11, false, 11}, {1, 2, 0, 0, true, 0}};
    for (const auto& e : expected) {
        int i = 0;
        int j = 0;
        float identity = 0;
        AlignedCounts counts{7, 7};
        ASSERT_TRUE(reader.Next(i, j, identity, counts, problem)) << problem;
        EXPECT_EQ(std::pair(i, j), std::pair(e.i, e.j));
        EXPECT_EQ(counts.gapFree, e.gapFree);
        EXPECT_EQ(counts.matches, e.matches);
        EXPECT_EQ(counts.exact, e.exact);
        EXPECT_EQ(counts.compared, e.compared);
    }

    // Count fields that no alignment gives, or a line of the older form among the new.
    const std::string pair = "1\t2\t0.5\t0.5";
    for (const std::string& bad :
         {pair + "\t10\t11\t1\t11", pair + "\t0\t0\t1\t0", pair + "\t10\t\t1\t10",
          pair + "\t-4\t2\t1\t2", pair, pair + "\t10\t5\t1", pair + "\t10\t5\t2\t10",
          pair + "\t10\t5\t\t10", pair + "\t10\t5\t1\t11", pair + "\t10\t5\t1\t4",
          pair + "\t10\t5\t1\t10\t1"}) {
        ShardReader damaged;
        ASSERT_TRUE(damaged.Open(folder.Write("bad.tsv", head + bad + "\r\n"), problem));
        int i = 0;
        int j = 0;
        float identity = 0;
        AlignedCounts counts;
        EXPECT_FALSE(damaged.Next(i, j, identity, counts, problem)) << bad;
        EXPECT_NE(problem.find("line 12 is not a pair line"), std::string::npos)
            << bad << ": " << problem;
    }
}

TEST(IdentityTable, KeepsOneTriangle) {
    IdentityTable table(4, 0.5f);
    table(3, 1) = 0.25f;
    table(0, 2) = 0.75f;
    EXPECT_EQ(table(1, 3), 0.25f);
    EXPECT_EQ(table(2, 0), 0.75f);
    EXPECT_EQ(table(1, 2), 0.5f);
    EXPECT_EQ(IdentityTable::Cells(20000), 200010000u);  // 800 MB of floats
}

}  // namespace
}  // namespace kvr
