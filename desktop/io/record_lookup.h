// Finding a loaded record from what a user types: its name as the FASTA file has it, or its number.
#pragma once

#include <string>
#include <string_view>

#include "model/result.h"
#include "model/run_state.h"

namespace kvr {

// The record that `typed` names. A name is taken as the file has it, with or without its leading
// ">" (spaces, ":", "/", "\", "(", ")" and "-" as typed: the loader changes them the same way),
// or as the loaded name shows it; a unique name that starts with the typed words followed by
// more words (an accession without its description) is found as well. Failing a name, a whole
// number from 1 is the record's position in the file. The record's index from 0, or why none is
// found: no such name (with the nearest ones), or several.
Result<int> FindRecord(const RecordTable& records, std::string_view typed);

}  // namespace kvr
