// The dataset splitter: groups the sequences on display around seed sequences by an identity
// range and writes every group of three or more as a FASTA file (the window's "Create datasets",
// kvr split).
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "model/result.h"
#include "model/run_state.h"
#include "platform/progress.h"

namespace kvr {

struct IdentityGroups {
    std::vector<int> groupOf;  // per sequence in display order, -1 when in no group
    std::vector<int> sizes;    // per group
    int Count() const { return static_cast<int>(sizes.size()); }
    // The members of group k, in display order.
    std::vector<int> Members(int k) const;
};

// Greedy grouping: each sequence not yet grouped, in display order, seeds a group and takes every
// ungrouped sequence whose identity with the seed, in whole percent rounded down from the 32-bit
// value, lies in minPercent..maxPercent. Membership is decided against the seed only.
IdentityGroups GroupByIdentityRange(const IdentityTable& identity, int n, int minPercent,
                                    int maxPercent);

// A percentage typed by the user: a decimal number with "." or the locale's decimal mark, rounded
// down to a whole number. Nothing when the text is not a number.
std::optional<int> ReadWholePercent(std::string_view text);

// Why a range cannot be used, as the window says it.
Result<void> CheckSplitRange(const Analysis& analysis, int minPercent, int maxPercent);

// The file of dataset number k (from 1): base + " " + k + ".fas".
std::string DatasetFileName(const std::string& base, int number);

// The file of group number k (from 1) of kvr split --groups: base + "_group" + k + ".fasta".
std::string GroupFileName(const std::string& base, int number);

// Groups numbered from 1 (groupOf per sequence, sizes per number - 1) as the splitter keeps them:
// group k + 1 is the splitter's group k.
IdentityGroups NumberedGroups(const std::vector<int>& groupOf, const std::vector<int>& sizes);

// The groups that become datasets, those of three or more, in group order: dataset k + 1 is
// group DatasetGroups(groups)[k].
std::vector<int> DatasetGroups(const IdentityGroups& groups);

// The FASTA text of group k: its members in display order.
void WriteGroup(std::ostream& out, const Analysis& analysis, const IdentityGroups& groups, int k);

// Writes the groups of three or more to base + " 1.fas", ...; returns the files written, or the
// first failure (path and reason) in failure. Each file written is told to the progress.
std::vector<std::string> WriteDatasets(const Analysis& analysis, Progress& progress,
                                       const IdentityGroups& groups, const std::string& base,
                                       std::string& failure);

}  // namespace kvr
