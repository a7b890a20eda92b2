// The texts of one pair's alignment: the aligned FASTA, the pairwise view (the two rows with a
// match line between them, in blocks with residue positions) and the summary of its identity and
// coverage. Shared by kvr align and the window's alignment viewer.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "pipeline/pair_alignment.h"

namespace kvr {

inline constexpr std::size_t kPairViewWidth = 60;  // alignment columns a block

// The match line's symbols: the same symbol in both rows (case kept, as the identity compares),
// two different symbols, a gap in either row.
inline constexpr char kSameSymbol = '|';
inline constexpr char kOtherSymbol = '.';
inline constexpr char kGapColumn = ' ';

// One block of the pairwise view. The rows' symbols start at `rowStart` of their lines.
struct PairViewBlock {
    std::string firstLine;  // name, position of the block's first residue, symbols, last position
    std::string matchLine;  // blanks up to rowStart, then one symbol a column
    std::string secondLine;
    std::size_t rowStart = 0;
    std::size_t firstColumn = 0;  // the block's first alignment column, from 0
    std::size_t columns = 0;
};

// The blocks of the rows of a pair (names as loaded: the leading ">" is left out, long ones cut).
std::vector<PairViewBlock> PairViewBlocks(const std::string& firstName, const std::string& firstRow,
                                          const std::string& secondName,
                                          const std::string& secondRow,
                                          std::size_t width = kPairViewWidth);

// The blocks one after the other, a blank line between them, with LF line ends.
std::string FormatPairView(const std::vector<PairViewBlock>& blocks);

// The two rows in the program's FASTA form (name line as loaded, the row on one line, CR LF): a
// file that kvr identity and every aligner's reader take back.
std::string FormatAlignedFasta(const std::string& firstName, const std::string& firstRow,
                               const std::string& secondName, const std::string& secondRow);

// What the alignment says about the pair, one fact a line (LF): the identity as the score table
// writes it and in percent (under --ambiguous skip with the columns it compared and the identity
// with ambiguity codes counted), the gap-free columns, the matches, each sequence's coverage.
std::string FormatAlignmentSummary(const AlignedPair& pair, const std::string& firstName,
                                   const std::string& secondName);

}  // namespace kvr
