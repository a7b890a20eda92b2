// "kvr.ini": the folder the file dialogs open in, between runs. It lives in the program folder,
// or in the user's configuration folder ($XDG_CONFIG_HOME/kvr) when the program is installed.
#pragma once

#include <string>

#include "state/run_state.h"

namespace kvr {

// Sets lastFolder from the settings file of programFolder: the stored folder when it exists,
// else the program folder (a missing folder leaves lastFolder as it was and makes the program
// folder current).
void ReadSettings(RunState& state, const std::string& programFolder);

// Stores lastFolder (the program folder when it is empty) as one quoted line. False when the
// file cannot be written.
bool WriteSettings(const RunState& state, const std::string& programFolder);

}  // namespace kvr
