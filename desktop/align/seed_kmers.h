// The k-mers that occur once in a sequence, which seed the band's path, and a cache of them: in a
// set of sequences aligned pair by pair every sequence meets every other, and reading and sorting
// its k-mers again for each pair took about 7 % of the run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "align/align.h"

namespace kvr::align {

struct Kmer {
    std::uint64_t hash;
    std::int32_t pos;
    bool operator<(const Kmer& o) const { return hash < o.hash || (hash == o.hash && pos < o.pos); }
};

// The k-mers of s that occur once in it, by code. Nucleotides: a rolling code of two bits a base
// (k-mers holding another symbol are left out); protein: a hash of the letters, case aside.
std::vector<Kmer> UniqueKmers(std::string_view s, std::size_t k, Alphabet alphabet);

// UniqueKmers of the sequences met last, by content (a sequence is known again by its letters,
// not by where it lies), up to a bounded size: the least recently used go first.
class SeedKmerCache {
  public:
    explicit SeedKmerCache(std::size_t maxBytes = kMaxBytes) : maxBytes_(maxBytes) {}
    std::shared_ptr<const std::vector<Kmer>> UniqueKmers(std::string_view s, std::size_t k,
                                                         Alphabet alphabet);
    std::size_t Bytes() const { return bytes_; }
    std::size_t Size() const { return entries_.size(); }

    static constexpr std::size_t kMaxBytes = std::size_t{8} << 20;

  private:
    struct Entry {
        std::string sequence;
        std::size_t k;
        Alphabet alphabet;
        std::shared_ptr<const std::vector<Kmer>> kmers;
        std::uint64_t used;
        std::size_t bytes;
    };
    std::size_t maxBytes_;
    std::size_t bytes_ = 0;
    std::uint64_t clock_ = 0;
    std::unordered_multimap<std::size_t, Entry> entries_;  // by a hash of the letters
};

}  // namespace kvr::align
