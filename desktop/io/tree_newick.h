// The run's neighbour-joining tree for other programs: Newick with the sequences' own names in
// place of the tree program's 10-character taxon names, and without the outgroup that rooted it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/result.h"

namespace kvr {

// treeText is the tree program's "outtree" over the taxa treeNames (the sequences in input order,
// the outgroup last, as ReadTreeOrder matches them); names holds the name of each sequence. The
// branch lengths are kept as written. Removing the outgroup leaf leaves the tree rooted where the
// outgroup joined it; a root left with one child is that child. The tree, ";" and a line end at
// the end, or why the tree text cannot be read.
Result<std::string> NameTreeLeaves(std::string_view treeText,
                                   const std::vector<std::string>& treeNames,
                                   const std::vector<std::string>& names);

// A name as a Newick label: as it is unless it is empty or holds a character that Newick reads
// otherwise (blanks and "_", which stands for a blank, ( ) [ ] ' : ; , and control characters);
// then in single quotes, a quote in it doubled.
std::string NewickName(std::string_view name);

}  // namespace kvr
