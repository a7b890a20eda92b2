// Reading FASTA files into the loaded sequences: a fresh load, and an append behind the
// sequences on display.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/window.h"
#include "state/run_state.h"

namespace kvr {

// Loads the file into InputSequences. On refusal or failure failFlag is set and the window says
// why; on success the window awaits a run.
void LoadFasta(RunState& state, Window& window, const std::string& path);

// Appends the records of the file behind the sequences on display (SequenceList order).
void AppendFasta(RunState& state, Window& window, const std::string& path);

// The cleaning every loaded text gets: carriage returns, tabs, "-" and backspaces removed, spaces
// trimmed from both ends.
std::string CleanFastaText(std::string_view text);

// Parses every record of a cleaned text into records[first...], growing maxNameLen. Returns false
// on a header without a line feed or a record without residue lines. progress(position, length)
// runs after each record.
bool ParseFastaRecords(std::string_view text, RecordTable& records, std::size_t first,
                       int& maxNameLen,
                       const std::function<void(std::size_t, std::size_t)>& progress = {});

// The FASTA form every writer of the program uses: name line, residues on one line, CR LF.
std::string FormatFastaRecord(const Record& record);

}  // namespace kvr
