// Reading a session file: behind opening a session in the window (LoadSession) and kvr's
// commands that read one.
#pragma once

#include <string>

#include "model/run_state.h"
#include "platform/progress.h"

namespace kvr {

// Reads a session file into SequenceList, IdentityMatrix, seqCount, maxNameLen, provenance (the
// record of how its identities were made; empty when it keeps none) and boundedPairs, for a state
// with no treeOrder (a session's order is its only one), with its steps and percent
// told to the progress. A file that is not a whole, sound session is refused with its message
// (told to the progress), and then nothing of the state changes. True when read.
bool ReadSession(RunState& state, Progress& progress, const std::string& path);

}  // namespace kvr
