// Saving and opening sessions in the window: the "Save KVR file" menu entry, "LastRun.kvr" in the
// work folder after reruns and append runs, and opening a session, which displays it.
#pragma once

#include <string>

#include "platform/window.h"
#include "state/run_state.h"

namespace kvr {

// mnuSaveSession: asks for a name and writes the session to it + ".kvr".
void WriteSession(RunState& state, Window& window);

// Writes the analysis on display to the work folder's "LastRun.kvr". False, with the user told,
// when it could not be written (the previous one then stays).
bool WriteLastRun(const RunState& state, Window& window, const std::string& workFolder);

// Reads a session file into SequenceList, IdentityMatrix, seqCount and maxNameLen, with the
// window's status texts and progress. A file that is not a whole, sound session is refused with
// its message, and then nothing of the state changes. True when read.
bool ReadSession(RunState& state, Window& window, const std::string& path);

// After a session was read: identity range, histogram, palette, the work-folder pictures, the
// matrix on screen (or the plot and the large-set message above 500 sequences), control states.
void DisplaySession(RunState& state, Window& window, const std::string& workFolder);

// Both of the above: opening a session. True when it was read and is on display.
bool LoadSession(RunState& state, Window& window, const std::string& path,
                 const std::string& workFolder);

}  // namespace kvr
