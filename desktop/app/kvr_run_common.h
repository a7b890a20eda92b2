// What kvr run, kvr append and kvr merge share: the display order they print, and how a stream
// that was written is judged.
#pragma once

#include <ostream>
#include <string>

#include "state/run_state.h"

namespace kvr::cli {

// The display order, one line per sequence: its number in the input, a tab, its name line. False
// when the stream could not take it; a reader that closed the pipe (kvr run ... | head -1) ends
// that stream only, and is no failure.
bool PrintDisplayOrder(const RunState& state, std::ostream& out);

// After writing to a stream: true when it took everything, or when its reader closed the pipe
// (EPIPE: kvr ignores SIGPIPE, so that a closed standard output ends that stream, not the run).
bool StreamDone(std::ostream& out);

}  // namespace kvr::cli
