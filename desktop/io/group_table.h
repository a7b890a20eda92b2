// The groups table: each sequence's group at one or more identity thresholds, for pipelines.
// Tab-separated with LF line ends. One threshold: the header "name group size representative";
// several: "name", then "group_T size_T representative_T" for each threshold T. Then one row a
// sequence in the order of the set: its name, and per threshold its group's number, member count
// and representative's name.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "model/threshold_groups.h"

namespace kvr {

// The thresholds once each, in the order given.
std::vector<float> DistinctThresholds(const std::vector<float>& thresholds);

// Groups the set at each threshold and writes the table. False when out failed.
bool WriteGroupTable(std::ostream& out, const IdentityView& identity,
                     const std::vector<std::string>& names, const std::vector<float>& thresholds,
                     Linkage linkage);

}  // namespace kvr
