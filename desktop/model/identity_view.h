// The identities of a set of sequences read from an identity table in any row order: sequence s
// is row rows[s] of the table, or row s when no rows are given. Writers and the grouping work in
// the order of the set (the input's, or the display's) whatever order the table is kept in.
#pragma once

#include <cstddef>
#include <vector>

#include "model/identity_table.h"

namespace kvr {

class IdentityView {
  public:
    explicit IdentityView(const IdentityTable& table, std::vector<int> rows = {})
        : table_(&table), rows_(std::move(rows)) {}

    int Size() const { return rows_.empty() ? table_->Size() : static_cast<int>(rows_.size()); }
    float Identity(int a, int b) const { return (*table_)(Row(a), Row(b)); }
    float Percent(int a, int b) const { return IdentityPercent(Identity(a, b)); }

  private:
    int Row(int s) const { return rows_.empty() ? s : rows_[static_cast<std::size_t>(s)]; }
    const IdentityTable* table_;
    std::vector<int> rows_;
};

}  // namespace kvr
