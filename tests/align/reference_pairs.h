// MUSCLE 5.1's alignments of real pairs, read from tests/data/muscle_pairs, with the sequences
// loaded by the program's own FASTA rules.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kvr::align::testing {

struct ReferencePair {
    std::string dataset;
    std::string a, b;
    std::uint32_t matches = 0, gapFreeColumns = 0;
};

// Every pair of the tables, in file order.
std::vector<ReferencePair> LoadReferencePairs();

// The records of a FASTA file in tests/data, residues only.
std::vector<std::string> LoadSequences(const std::string& file);

// PairIdentity's arithmetic on counts: 1 - mismatches / gap-free columns, narrowed to float.
float IdentityOf(std::uint32_t matches, std::uint32_t gapFreeColumns);

}  // namespace kvr::align::testing

namespace kvr::align::testing {

// Hard pairs with MUSCLE's counts: edge_pairs.csv (make_edge_pairs.py) by default, or another
// table of tests/data/muscle_pairs with the same columns (heavy_n_pairs.csv).
struct EdgePair {
    std::string name, a, b;
    std::uint32_t matches = 0, gapFreeColumns = 0;
};
std::vector<EdgePair> LoadEdgePairs(const std::string& table = "edge_pairs.csv");

}  // namespace kvr::align::testing
