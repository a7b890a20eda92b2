// The names the tables for pipelines give sequences, and the orders of the sequences every export
// and the window's groups use: one rule, so that a file written by kvr, a file saved by the
// window and the groups outlined on the screen name and number the same sequences alike.
#pragma once

#include <string>
#include <vector>

#include "model/run_state.h"

namespace kvr {

// A name as the tables for pipelines write it: the name as the FASTA file gave it, or else the
// name line without its ">", any tab, CR or LF as a space. AppendTableName appends it to text.
std::string TableName(const Record& record);
void AppendTableName(std::string& text, const Record& record);

struct OrderedSet {
    std::vector<int> rows;  // per sequence of the set, its row in SequenceList and the matrix
    std::vector<std::string> names;
};

// The order of the input (of the session, for one read from a session).
OrderedSet InputOrder(const Analysis& a);
// The order on display (the tree's after a run with the tree).
OrderedSet DisplayOrder(const Analysis& a);

}  // namespace kvr
