// The seed k-mer cache gives what reading the sequence gives, knows a sequence by its letters
// (not by where it lies), and keeps within its size, the least recently used going first.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "align/seed_kmers.h"
#include "align/sequence_helpers.h"

namespace kvr::align {
namespace {

using testing::RandomSequence;

bool SameKmers(const std::vector<Kmer>& a, const std::vector<Kmer>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t k = 0; k < a.size(); ++k)
        if (a[k].hash != b[k].hash || a[k].pos != b[k].pos) return false;
    return true;
}

TEST(SeedKmerCache, GivesTheSequencesOwnKmersKnownByTheirLetters) {
    std::mt19937 rng(3);
    SeedKmerCache cache;
    std::string s = RandomSequence(rng, 500, "ACGT");
    const auto first = cache.UniqueKmers(s, 12, Alphabet::Nucleotide);
    EXPECT_TRUE(SameKmers(*first, UniqueKmers(s, 12, Alphabet::Nucleotide)));
    // Met again, in another string: the same entry.
    EXPECT_EQ(cache.UniqueKmers(std::string(s), 12, Alphabet::Nucleotide).get(), first.get());
    // Other letters in the same place: read afresh, not the old entry's.
    s[250] = s[250] == 'A' ? 'C' : 'A';
    const auto changed = cache.UniqueKmers(s, 12, Alphabet::Nucleotide);
    EXPECT_NE(changed.get(), first.get());
    EXPECT_TRUE(SameKmers(*changed, UniqueKmers(s, 12, Alphabet::Nucleotide)));
    // The same letters read as protein are another entry.
    const auto protein = cache.UniqueKmers(s, 4, Alphabet::Protein);
    EXPECT_TRUE(SameKmers(*protein, UniqueKmers(s, 4, Alphabet::Protein)));
}

TEST(SeedKmerCache, KeepsWithinItsSizeTheLeastRecentlyUsedGoingFirst) {
    std::mt19937 rng(4);
    const std::size_t limit = 64 << 10;
    SeedKmerCache cache(limit);
    const std::string kept = RandomSequence(rng, 400, "ACGT");
    const auto keptKmers = cache.UniqueKmers(kept, 12, Alphabet::Nucleotide);
    std::vector<std::string> others;
    for (int n = 0; n < 60; ++n) {
        others.push_back(RandomSequence(rng, 400, "ACGT"));
        const auto kmers = cache.UniqueKmers(others.back(), 12, Alphabet::Nucleotide);
        EXPECT_TRUE(SameKmers(*kmers, UniqueKmers(others.back(), 12, Alphabet::Nucleotide)));
        ASSERT_LE(cache.Bytes(), limit);
        // Used all along, so never the one to go.
        ASSERT_EQ(cache.UniqueKmers(kept, 12, Alphabet::Nucleotide).get(), keptKmers.get()) << n;
    }
    EXPECT_LT(cache.Size(), others.size());
    // The first of the others went long ago; it comes back as a new entry with the same k-mers.
    const auto again = cache.UniqueKmers(others.front(), 12, Alphabet::Nucleotide);
    EXPECT_TRUE(SameKmers(*again, UniqueKmers(others.front(), 12, Alphabet::Nucleotide)));
    // A sequence larger than the whole cache is read and not kept.
    SeedKmerCache tiny(1024);
    const auto large = tiny.UniqueKmers(kept, 12, Alphabet::Nucleotide);
    EXPECT_TRUE(SameKmers(*large, *keptKmers));
    EXPECT_EQ(tiny.Size(), 0u);
    EXPECT_EQ(tiny.Bytes(), 0u);
}

}  // namespace
}  // namespace kvr::align
