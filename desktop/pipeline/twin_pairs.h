// Sequences of a run with the same residues (twins, common among haplotypes and strains) give
// the built-in aligner the same alignment with any other sequence: of the pairs that repeat an
// earlier pair's residues, in the same order, only the first is aligned, the others take its
// counts. The order counts: the aligner need not give (b, a) what it gives (a, b).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "align/align.h"
#include "model/analysis.h"

namespace kvr {

class TwinPairs {
  public:
    // The records must outlive this; their residues are read, not copied.
    explicit TwinPairs(const RecordTable& records);

    // The key of a pair of the records' residues that another pair of the run may repeat (one
    // of its sequences has a twin); none for any other pair.
    std::optional<std::uint64_t> Key(std::string_view a, std::string_view b) const;

    // The counts kept for the key, if any.
    std::optional<align::PairCounts> Find(std::uint64_t key) const;

    // Keeps an aligned pair's counts for the pairs that repeat it (up to a bound on memory).
    void Keep(std::uint64_t key, const align::PairCounts& counts);

  private:
    std::unordered_map<std::string_view, std::uint32_t> ids_;  // distinct residues, numbered
    std::vector<bool> twinned_;                                // by number: held by two records
    bool anyTwins_ = false;
    std::unordered_map<std::uint64_t, align::PairCounts> kept_;
};

}  // namespace kvr
