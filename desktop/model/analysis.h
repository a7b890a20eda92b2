// One analysis: the sequences in display order, their identity table, its range and its bins.
// One pipeline makes it (load, align, range, order, bin) and it is replaced whole; the window and
// kvr present it, each in its own way, and every writer of a file reads it and nothing else.
#pragma once

#include <array>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "model/identity_table.h"
#include "model/pair_count_table.h"
#include "model/provenance.h"

namespace kvr {

// One FASTA record: the cleaned name line with its leading ">", and the residues on one line.
struct Record {
    std::string name;
    std::string residues;
    // The name as the FASTA file gives it, for tables that are joined with the user's own: the
    // name line without its ">" and line end, tabs as spaces. Empty when not known (a session).
    std::string givenName{};
    // The same sequence of the analysis, however its file spelled the name.
    bool operator==(const Record& other) const {
        return name == other.name && residues == other.residues;
    }
};

inline std::ostream& operator<<(std::ostream& out, const Record& r) {
    return out << "{" << r.name << ", " << r.residues << "}";
}

using RecordTable = std::vector<Record>;

// Histogram by whole percent: rows 0 to 100, column 0 the count, column 1 the proportion.
using BinTable = std::vector<std::array<float, 2>>;

struct Analysis {
    int seqCount = 0;
    RecordTable SequenceList;      // display order
    int maxNameLen = 0;            // longest name line, leading ">" included
    IdentityTable IdentityMatrix;  // display order; symmetric, diagonal 1
    // The input's index of each sequence on display, and seqCount for the outgroup at the end:
    // empty for a session, whose display order is its only order.
    std::vector<int> treeOrder;
    // The counts behind the identities of the pairs a run aligned, input order; empty unless they
    // were asked to be kept (kvr's pipeline table asks; the window never does).
    PairCountTable InputCounts;
    // The pairs (i, j), i < j, input order, sorted, that the built-in aligner computed in a band
    // bounded by its memory budget rather than exactly (model/bounded_pairs.h); most have none.
    std::vector<std::pair<int, int>> boundedPairs;
    // The range of the identities, as fractions (zeros left out): each is one of the table's
    // single-precision values, held as a double like every figure computed from them.
    double minIdentity = 0.0;
    double maxIdentity = 0.0;
    BinTable BinArray;           // empty until the first binning pass
    float maxProportion = 0.0f;  // the largest proportion of BinArray: the plot's scale
    // How the identities were made, as the session keeps it; empty when not known.
    Provenance provenance;

    // The input's index of the sequence on display at row d (d itself for a session).
    int InputIndex(int d) const {
        return static_cast<int>(treeOrder.size()) > d ? treeOrder[static_cast<std::size_t>(d)] : d;
    }
};

}  // namespace kvr
