// Edge cases of one pair, the alphabet guess, and the batch with threads and cancel.
#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>
#include <thread>

#include "align/align.h"
#include "align/memory_turns.h"
#include "align/reference_pairs.h"

namespace kvr::align {
namespace {

std::string Random(std::mt19937& rng, std::size_t n, std::string_view letters) {
    std::string s(n, ' ');
    for (auto& c : s) c = letters[rng() % letters.size()];
    return s;
}

struct EdgeCase {
    const char* name;
    std::string a, b;
    PairCounts expected;
};

TEST(AlignPair, EdgeCases) {
    const std::string its = testing::LoadSequences("orchid_its.fasta").at(0);
    std::string lower = its;
    for (auto& c : lower) c = static_cast<char>(std::tolower(c));
    const EdgeCase cases[] = {
        {"empty first", "", "ACGT", {Status::EmptySequence}},
        {"empty second", "ACGT", "", {Status::EmptySequence}},
        // No ambiguity code here: the counts of the known bases are the gap-free ones.
        {"one residue each, equal", "A", "A", {Status::Ok, 1, 1, 1, 1, 1}},
        {"one residue each, case differs", "A", "a", {Status::Ok, 1, 1, 0, 1, 0}},
        {"identical", its, its, {Status::Ok, 740, 740, 740, 740, 740}},
        // MUSCLE keeps sequences equal but for case unaligned: all columns, no match.
        {"identical but case", its, lower, {Status::Ok, 740, 740, 0, 740, 0}},
    };
    for (const auto& c : cases) EXPECT_EQ(AlignPair(c.a, c.b), c.expected) << c.name;
}

TEST(AlignPair, VeryUnequalLengthsAlignEveryResidueOfTheShortOne) {
    const auto seqs = testing::LoadSequences("orchid_its.fasta");
    const std::string fragment = seqs[3].substr(200, 60);
    const PairCounts c = AlignPair(fragment, seqs[3]);
    ASSERT_EQ(c.status, Status::Ok);
    EXPECT_EQ(c.columns, seqs[3].size());
    EXPECT_EQ(c.gapFreeColumns, 60u);
    EXPECT_EQ(c.matches, 60u);
}

struct GuessCase {
    const char* name;
    std::string a, b;
    Alphabet expected;
};

TEST(GuessAlphabet, FollowsMusclesRule) {
    const auto dna = testing::LoadSequences("rrna5s_48.fasta");
    std::mt19937 rng(7);
    std::string questions = dna[0];
    for (std::size_t k = 0; k < questions.size(); k += 2) questions[k] = '?';
    std::string fewQuestions = dna[0];
    for (std::size_t k = 0; k < fewQuestions.size(); k += 10) fewQuestions[k] = '?';
    const GuessCase cases[] = {
        {"DNA", dna[0], dna[1], Alphabet::Nucleotide},
        {"RNA lower case", "acguacguuuagcaugcaug", "ggcuuacgauc", Alphabet::Nucleotide},
        {"protein", Random(rng, 200, "ACDEFGHIKLMNPQRSTVWY"),
         Random(rng, 150, "ACDEFGHIKLMNPQRSTVWY"), Alphabet::Protein},
        {"half question marks", questions, questions, Alphabet::Protein},
        {"a tenth question marks", fewQuestions, fewQuestions, Alphabet::Nucleotide},
        // N is no nucleotide letter in the rule: a pair of N runs counts as protein.
        {"all N", std::string(100, 'N'), std::string(80, 'N'), Alphabet::Protein},
    };
    for (const auto& c : cases) EXPECT_EQ(GuessAlphabet(c.a, c.b), c.expected) << c.name;
}

// The set's rule counts N and the other ambiguity codes as nucleotides, over the whole set: a
// genome mostly N, which MUSCLE's guess takes for protein, keeps the nucleotide model.
TEST(SetAlphabet, CountsAmbiguityCodesOverTheWholeSet) {
    std::mt19937 rng(8);
    const std::string genome = Random(rng, 2000, "ACGT");
    std::string masked = genome;
    for (std::size_t k = 200; k < 1700; ++k) masked[k] = 'N';
    const std::string ambiguous = Random(rng, 400, "acgtRYKMSWBDHVn");
    const std::string protein = Random(rng, 600, "ACDEFGHIKLMNPQRSTVWY");
    const std::string longProtein = Random(rng, 20000, "ACDEFGHIKLMNPQRSTVWY");
    ASSERT_EQ(GuessAlphabet(masked, masked), Alphabet::Protein);
    const struct {
        const char* name;
        std::vector<std::string_view> set;
        Alphabet expected;
    } cases[] = {
        {"genomes, one mostly N", {genome, masked}, Alphabet::Nucleotide},
        {"ambiguity codes, lower case", {ambiguous}, Alphabet::Nucleotide},
        {"protein", {protein, protein}, Alphabet::Protein},
        // 14 of the 20 amino acids are also nucleotide codes: 4,000 nucleotides and 1,800 amino
        // acids are 90 % nucleotide codes, 2,000 and 20,000 about 73 %.
        {"a few proteins among genomes",
         {genome, masked, protein, protein, protein},
         Alphabet::Nucleotide},
        {"more protein than a quarter", {genome, longProtein}, Alphabet::Protein},
        {"empty", {}, Alphabet::Nucleotide},
    };
    for (const auto& c : cases) EXPECT_EQ(SetAlphabet(c.set), c.expected) << c.name;
}

std::vector<PairTask> TasksOf(const std::vector<std::string>& seqs, std::size_t n) {
    std::vector<PairTask> tasks;
    for (std::size_t k = 0; k < n; ++k)
        tasks.push_back({seqs[k % seqs.size()], seqs[(k * 7 + 3) % seqs.size()]});
    return tasks;
}

// Short pairs go one per lane over the whole matrix, longer ones through the band: the same
// counts as one pair at a time, whatever the number of threads.
TEST(AlignPairs, ThreadsGiveTheCountsOfSinglePairs) {
    auto seqs = testing::LoadSequences("rrna5s_48.fasta");
    const auto its = testing::LoadSequences("orchid_its.fasta");
    seqs.insert(seqs.end(), its.begin(), its.begin() + 6);
    const auto tasks = TasksOf(seqs, 60);
    std::vector<PairCounts> one, three;
    EXPECT_EQ(AlignPairs(tasks, {}, 1, nullptr, one), Status::Ok);
    EXPECT_EQ(AlignPairs(tasks, {}, 3, nullptr, three), Status::Ok);
    ASSERT_EQ(one.size(), tasks.size());
    EXPECT_EQ(one, three);
    for (std::size_t k = 0; k < tasks.size(); ++k)
        EXPECT_EQ(one[k], AlignPair(tasks[k].a, tasks[k].b)) << k;
}

TEST(AlignPairs, EmptyBatchIsDone) {
    std::vector<PairCounts> out(3);
    EXPECT_EQ(AlignPairs({}, {}, 4, nullptr, out), Status::Ok);
    EXPECT_TRUE(out.empty());
}

TEST(AlignPairs, CancelStopsTheBatchAndMarksWhatIsLeft) {
    std::mt19937 rng(11);
    std::vector<std::string> seqs;
    for (int k = 0; k < 8; ++k) seqs.push_back(Random(rng, 3000, "ACGT"));
    // Unrelated 3 kb pairs take tens of milliseconds each: 64 of them outlast the cancel's
    // 200 ms several times over, even on fast processors (16 took 0.33 s on one).
    const auto tasks = TasksOf(seqs, 64);
    std::atomic<bool> cancel{false};
    std::vector<PairCounts> out;
    std::thread canceller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        cancel = true;
    });
    const Status status = AlignPairs(tasks, {}, 2, &cancel, out);
    canceller.join();
    EXPECT_EQ(status, Status::Cancelled);
    ASSERT_EQ(out.size(), tasks.size());
    EXPECT_EQ(out.back().status, Status::Cancelled);

    std::atomic<bool> already{true};
    EXPECT_EQ(AlignPairs(tasks, {}, 2, &already, out), Status::Cancelled);
    for (const auto& c : out) EXPECT_EQ(c.status, Status::Cancelled);
}

// A pair that ran out of memory runs once the other thread has left its pair and given back its
// work space; that thread, coming to its next pair meanwhile, waits until the lone pair is done.
TEST(MemoryTurns, APairShortOfMemoryRunsAloneAndTheOthersWait) {
    MemoryTurns turns;
    std::atomic<int> inside{0}, released{0};
    std::atomic<bool> ranAlone{false};
    turns.Enter([] {});
    ++inside;
    std::thread shortOfMemory([&] {
        turns.Alone([&] {
            EXPECT_EQ(inside.load(), 0);
            ranAlone = true;
            // Done only once the other thread, at its next pair, has waited.
            while (released.load() < 2) std::this_thread::yield();
            return 0;
        });
    });
    while (!turns.Held()) std::this_thread::yield();
    EXPECT_FALSE(ranAlone);
    --inside;
    turns.Leave([&] { ++released; });  // gives its space back before the lone pair starts
    EXPECT_EQ(released.load(), 1);
    turns.Enter([&] { ++released; });  // waits, its space given back, until that pair is done
    EXPECT_TRUE(ranAlone);
    EXPECT_EQ(released.load(), 2);
    turns.Leave([&] { ++released; });
    shortOfMemory.join();
    turns.Enter([&] { ++released; });  // nobody waits: nothing to give back
    turns.Leave([&] { ++released; });
    EXPECT_EQ(released.load(), 2);
}

}  // namespace
}  // namespace kvr::align
