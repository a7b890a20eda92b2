// What kvr run, kvr append, kvr merge, kvr pairs and kvr align share: the FASTA input and its
// checksum, the display order they print, and how a stream that was written is judged.
#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "model/run_state.h"
#include "pipeline/run_options.h"
#include "platform/progress.h"

namespace kvr::cli {

// Loads (or, for kvr append, appends) the FASTA input, "-" being standard input, and says on
// standard error what the loader found: a refusal's line, and the warnings with their lines.
// checksum, when given, gets the input's SHA-256: of the file's bytes (InputChecksum,
// pipeline/run_provenance.h), or of the text standard input gave, as read ("" when the file cannot
// be read).
bool LoadInput(RunState& state, Progress& progress, const std::string& input,
               const std::string& name, bool append, std::string* checksum = nullptr);

// The display order, one line per sequence: its number in the input, a tab, its name line. False
// when the stream could not take it; a reader that closed the pipe (kvr run ... | head -1) ends
// that stream only, and is no failure.
bool PrintDisplayOrder(const Analysis& analysis, std::ostream& out);

// After a run with the built-in aligner: the model its pairs were scored with and how many of them
// MUSCLE's per-pair guess takes for protein (unless quiet), then how many were computed in a
// bounded band (when any), one line each on out.
void ReportBuiltinNotes(const RunState& state, AlphabetRule rule, const std::string& name,
                        bool quiet, std::ostream& out);

// Under --ambiguous skip: the warning line (with its LF) on the pairs that had no column without
// an ambiguity code and score 0, naming the first; "" when there are none.
std::string UncomparedWarning(const UncomparedPairs& pairs, const RecordTable& records,
                              const std::string& name);

// After writing to a stream: true when it took everything, or when its reader closed the pipe
// (EPIPE: kvr ignores SIGPIPE, so that a closed standard output ends that stream, not the run).
bool StreamDone(std::ostream& out);

}  // namespace kvr::cli
