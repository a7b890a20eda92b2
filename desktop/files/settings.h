// "kvr.ini": the folder the file dialogs open in, between runs. It lives in the program folder,
// or in the user's configuration folder ($XDG_CONFIG_HOME/kvr) when the program is installed.
#pragma once

#include <string>
#include <string_view>

#include "state/run_state.h"

namespace kvr {

// Sets lastFolder from the settings file of programFolder: the stored folder when it exists,
// else the program folder (a folder that no longer exists leaves lastFolder as it was).
void ReadSettings(RunState& state, const std::string& programFolder);

// Stores lastFolder (the program folder when it is empty) as one quoted line. False when the
// file cannot be written.
bool WriteSettings(const RunState& state, const std::string& programFolder);

// The settings text of a folder: the folder between double quotes, a double quote inside it
// written twice, then CR LF.
std::string FormatSettings(const std::string& folder);

// The folder of a settings text: its first quoted item (a doubled double quote standing for one),
// or its first line, spaces trimmed, when it is not quoted. FormatSettings gives it back exactly.
std::string SettingsFolder(std::string_view text);

}  // namespace kvr
