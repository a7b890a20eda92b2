// A symmetric table of single-precision identity fractions, indexed (row, column) from 0. Only
// one triangle (with the diagonal) is stored: (row, column) and (column, row) are the same cell,
// which halves the memory of large analyses (20,000 sequences: 800 MB).
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

namespace kvr {

// An identity in percent as every threshold compares it (the groups, the three-colour bands):
// the single-precision value nearest identity x 100 worked out in double (0.95f gives 95
// exactly). Texts of a percent come from PercentText.
inline float IdentityPercent(float identity) {
    return static_cast<float>(static_cast<double>(identity) * 100);
}

class IdentityTable {
  public:
    IdentityTable() = default;
    explicit IdentityTable(int n, float fill = 0.0f) : n_(n), cells_(Cells(n), fill) {}

    int Size() const { return n_; }
    bool Empty() const { return n_ == 0; }
    float& operator()(int row, int column) { return cells_[Index(row, column)]; }
    float operator()(int row, int column) const { return cells_[Index(row, column)]; }
    bool operator==(const IdentityTable&) const = default;

    // Exchanges sequences x and y: their rows and columns trade places. O(n), in place.
    void Exchange(int x, int y) {
        if (x == y) return;
        for (int k = 0; k < n_; ++k)
            if (k != x && k != y) std::swap((*this)(x, k), (*this)(y, k));
        std::swap((*this)(x, x), (*this)(y, y));
    }

    // Puts the sequence at order[a] at position a, for every position (order holds every one once;
    // entries past Size() are ignored). In place, by at most Size() - 1 exchanges: a large table is
    // never held twice.
    void Reorder(const std::vector<int>& order) {
        std::vector<int> at(static_cast<std::size_t>(n_));     // position -> sequence there
        std::vector<int> where(static_cast<std::size_t>(n_));  // sequence -> its position
        for (int k = 0; k < n_; ++k) at[k] = where[k] = k;
        for (int a = 0; a < n_; ++a) {
            const int from = where[order[a]];
            if (from == a) continue;
            Exchange(a, from);
            std::swap(at[a], at[from]);
            where[at[a]] = a;
            where[at[from]] = from;
        }
    }

    // The cells a table of n sequences keeps.
    static std::size_t Cells(int n) {
        const auto size = static_cast<std::size_t>(n);
        return size * (size + 1) / 2;
    }

  private:
    static std::size_t Index(int row, int column) {
        if (row < column) std::swap(row, column);
        const auto r = static_cast<std::size_t>(row);
        return r * (r + 1) / 2 + static_cast<std::size_t>(column);
    }
    int n_ = 0;
    std::vector<float> cells_;
};

}  // namespace kvr
