// What the tree program is given: the taxon names and the distance file "infile", with an
// artificial outgroup "out" that is completely unlike every sequence, to root the tree on.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "model/run_state.h"

namespace kvr {

inline constexpr std::string_view kOutgroupName = "out       ";

// The 10-character taxon name of the sequence at input position index: ">" replaced by the
// position, the characters the tree program refuses in names removed, cut or padded to 10.
std::string MakeTreeName(std::string_view nameLine, int index);

// What the tree program's output is matched by: the name without spaces, tabs and line ends.
std::string TreeNameKey(std::string_view treeName);

// The names of the first n sequences, then the outgroup; no two alike by TreeNameKey.
std::vector<std::string> MakeTreeNames(const RecordTable& sequences, int n);

// "infile": the taxon count, then per taxon its name and its distances 1 - identity with four
// decimals; the outgroup is at distance 1 from every sequence. Written as it is formatted.
void WriteDistanceFile(std::ostream& out, const IdentityTable& identity,
                       const std::vector<std::string>& treeNames, int n);
std::string FormatDistanceFile(const IdentityTable& identity,
                               const std::vector<std::string>& treeNames, int n);

}  // namespace kvr
