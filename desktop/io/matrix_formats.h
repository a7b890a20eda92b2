// The identity matrix in the formats other programs read, in the order of the set given:
// - square: tab-separated with LF line ends, the header "name" and every name, then per sequence
//   its name and its identity in percent with each (IdentityPercent, in the shortest text that
//   reads back as the same single-precision number; 100 on the diagonal), so that
//   pandas.read_csv(f, sep="\t", index_col=0) loads it;
// - PHYLIP: a square distance matrix, the count on the first line, then per sequence its name
//   padded to 10 characters and its distances 1 - identity (the single-precision difference,
//   shortest exact text; 0 on the diagonal), LF line ends. Names longer than 10 characters, alike
//   in their first 10, or holding a character that PHYLIP's programs refuse ( ) [ ] : ; , are
//   given short names, which a names table maps back.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "model/identity_view.h"

namespace kvr {

bool WriteSquareMatrix(std::ostream& out, const IdentityView& identity,
                       const std::vector<std::string>& names);

struct PhylipNames {
    std::vector<std::string> shortNames;  // per sequence, at most 10 bytes, unpadded, unique
    bool changed = false;                 // a short name differs from its name
};

// The names as they are when they fit; otherwise each that does not fit (or repeats an earlier
// one in its first 10 characters) becomes its first characters with "~" and its number in the
// set from 1 ("Bacillus~12"), cut between characters, never inside one of UTF-8.
PhylipNames MakePhylipNames(const std::vector<std::string>& names);

bool WritePhylipMatrix(std::ostream& out, const IdentityView& identity,
                       const std::vector<std::string>& shortNames);

// The names table: the header "short name", then per sequence its short name and its name.
bool WritePhylipNames(std::ostream& out, const PhylipNames& phylip,
                      const std::vector<std::string>& names);

}  // namespace kvr
