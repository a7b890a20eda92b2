// A square table of single-precision identity fractions, indexed (row, column) from 0.
#pragma once

#include <cstddef>
#include <vector>

namespace kvr {

class IdentityTable {
public:
    IdentityTable() = default;
    explicit IdentityTable(int n, float fill = 0.0f)
        : n_(n), cells_(static_cast<std::size_t>(n) * static_cast<std::size_t>(n), fill) {}

    int Size() const { return n_; }
    bool Empty() const { return n_ == 0; }
    float& operator()(int row, int column) { return cells_[Index(row, column)]; }
    float operator()(int row, int column) const { return cells_[Index(row, column)]; }
    bool operator==(const IdentityTable&) const = default;

private:
    std::size_t Index(int row, int column) const {
        return static_cast<std::size_t>(row) * static_cast<std::size_t>(n_) +
               static_cast<std::size_t>(column);
    }
    int n_ = 0;
    std::vector<float> cells_;
};

}  // namespace kvr
