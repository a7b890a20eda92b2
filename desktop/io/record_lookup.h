// Finding a loaded record from what a user types: its name as the FASTA file has it, or its number.
#pragma once

#include <string>
#include <string_view>

#include "model/run_state.h"

namespace kvr {

struct RecordLookup {
    int index = -1;       // 0-based, when found
    std::string problem;  // otherwise why not: no such name (with the nearest ones), or several
};

// The record that `typed` names. A name is taken as the file has it, with or without its leading
// ">" (spaces, ":", "/", "\", "(", ")" and "-" as typed: the loader changes them the same way),
// or as the loaded name shows it; a unique name that starts with the typed words followed by
// more words (an accession without its description) is found as well. Failing a name, a whole
// number from 1 is the record's position in the file.
RecordLookup FindRecord(const RecordTable& records, std::string_view typed);

}  // namespace kvr
