// What kvr run, kvr pairs, kvr merge and kvr align share beyond the argument reader: the FASTA
// input, the aligner options of a run and the display order they print.
#pragma once

#include <ostream>
#include <string>

#include "app/kvr_arguments.h"
#include "app/kvr_pictures.h"
#include "engine/run_options.h"
#include "platform/window.h"
#include "state/run_state.h"

namespace kvr::cli {

// Loads (or, for kvr append, appends) the FASTA input, "-" being standard input, and says on
// standard error what the loader found: a refusal's line, and the warnings with their lines.
bool LoadInput(RunState& state, Window& window, const std::string& input, const char* name,
               bool append);

// Takes the current option of the reader when it is --aligner, --jobs or --pair-timeout.
OptionUse TakeAlignerOption(ArgumentReader& reader, RunOptions& options, std::string& problem);

// The display order, one line per sequence: its number in the input, a tab, its name line. False
// when the stream could not take it; a reader that closed the pipe (kvr run ... | head -1) ends
// that stream only, and is no failure.
bool PrintDisplayOrder(const RunState& state, std::ostream& out);

// After writing to a stream: true when it took everything, or when its reader closed the pipe
// (EPIPE: kvr ignores SIGPIPE, so that a closed standard output ends that stream, not the run).
bool StreamDone(std::ostream& out);

}  // namespace kvr::cli
