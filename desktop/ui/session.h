// Saving sessions from the window: the "Save KVR file" menu entry, and "LastRun.kvr" in the work
// folder after runs. Reading one: io/session_reading.h.
#pragma once

#include <string>

#include "model/run_state.h"
#include "platform/window.h"

namespace kvr {

// mnuSaveSession: asks for a name and writes the session to it + ".kvr". Both writers write the
// analysis's record of how its identities were made, when it has one.
void WriteSession(RunState& state, Window& window);

// Writes the analysis on display to the work folder's "LastRun.kvr". False, with the user told,
// when it could not be written (the previous one then stays).
bool WriteLastRun(const Analysis& analysis, Window& window, const std::string& workFolder);

}  // namespace kvr
