// The identities of a set of sequences in percent (IdentityPercent), read from an identity table
// in any row order: sequence s is row rows[s] of the table, or row s when no rows are given. The
// grouping works in the order of the set, whatever order the table is kept in.
#pragma once

#include <cstddef>
#include <vector>

#include "state/identity_table.h"

namespace kvr {

class PercentView {
  public:
    explicit PercentView(const IdentityTable& table, std::vector<int> rows = {})
        : table_(&table), rows_(std::move(rows)) {}

    int Size() const { return rows_.empty() ? table_->Size() : static_cast<int>(rows_.size()); }
    float operator()(int a, int b) const { return IdentityPercent((*table_)(Row(a), Row(b))); }

  private:
    int Row(int s) const { return rows_.empty() ? s : rows_[static_cast<std::size_t>(s)]; }
    const IdentityTable* table_;
    std::vector<int> rows_;
};

}  // namespace kvr
