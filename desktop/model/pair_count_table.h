// The column counts behind the identities of a run, for the pipeline table: for each pair the
// columns in which neither sequence has a gap, the columns its identity compares (those, or those
// without an ambiguity code) and the matches among them. Symmetric, like the identity table; a
// pair whose counts are not known (copied from a session) holds none.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace kvr {

struct AlignedCounts {
    std::uint32_t gapFree = 0;  // 0: not known, as every scored pair has a gap-free column
    std::uint32_t matches = 0;  // among the compared columns: the identity's numerator
    bool exact = true;  // false: the built-in aligner's bounded band (align::PairCounts::exact)
    std::uint32_t compared = 0;  // the identity's denominator
    bool Known() const { return gapFree > 0; }
};

// Sixteen bytes a pair: kept only when a table asks for them.
class PairCountTable {
  public:
    PairCountTable() = default;
    explicit PairCountTable(int n)
        : n_(n), cells_(static_cast<std::size_t>(n) * static_cast<std::size_t>(n - 1) / 2) {}

    int Size() const { return n_; }
    // The pair of sequences row and column, row != column.
    AlignedCounts& operator()(int row, int column) { return cells_[Index(row, column)]; }
    AlignedCounts operator()(int row, int column) const { return cells_[Index(row, column)]; }

  private:
    static std::size_t Index(int row, int column) {
        if (row < column) std::swap(row, column);
        const auto r = static_cast<std::size_t>(row);
        return r * (r - 1) / 2 + static_cast<std::size_t>(column);
    }
    int n_ = 0;
    std::vector<AlignedCounts> cells_;
};

}  // namespace kvr
