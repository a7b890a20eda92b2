// Saving and reading sessions: the "Save KVR file" menu entry, "LastRun.kvr" in the work folder
// after reruns and append runs, and the reader behind opening a session (analysis/run_paths.h,
// LoadSession) and kvr's commands that read one.
#pragma once

#include <string>

#include "platform/progress.h"
#include "platform/window.h"
#include "state/run_state.h"

namespace kvr {

// mnuSaveSession: asks for a name and writes the session to it + ".kvr". Both writers write the
// analysis's record of how its identities were made, when it has one.
void WriteSession(RunState& state, Window& window);

// Writes the analysis on display to the work folder's "LastRun.kvr". False, with the user told,
// when it could not be written (the previous one then stays).
bool WriteLastRun(const Analysis& analysis, Window& window, const std::string& workFolder);

// Reads a session file into SequenceList, IdentityMatrix, seqCount, maxNameLen and provenance (the
// record of how its identities were made; empty when it keeps none), with its steps and percent
// told to the progress. A file that is not a whole, sound session is refused with its message
// (told to the progress), and then nothing of the state changes. True when read.
bool ReadSession(RunState& state, Progress& progress, const std::string& path);

}  // namespace kvr
