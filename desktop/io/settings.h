// "kvr.ini": the folder the file dialogs open in, between runs, and after it, one "key=value" line
// each, the aligner, tree and ambiguity rule of the last run, the window's place and the files
// opened last (an older program reads the folder line and nothing else). It lives in the program
// folder, or in the user's configuration folder ($XDG_CONFIG_HOME/kvr) when the program is
// installed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/run_state.h"
#include "platform/geometry.h"

namespace kvr {

// What the window remembers of itself.
struct WindowSettings {
    Rect geometry;                         // twips; no width: none remembered
    std::vector<std::string> recentFiles;  // the last opened first
};
inline constexpr std::size_t kRecentFiles = 8;

// Puts path first among the recent files, once, keeping at most kRecentFiles.
void RememberRecentFile(WindowSettings& settings, const std::string& path);

// Sets lastFolder from the settings file of programFolder: the stored folder when it exists,
// else the program folder (a folder that no longer exists leaves lastFolder as it was).
// Reads the last run's aligner, tree and ambiguity rule into AlignerKind, useTree and
// skipAmbiguous, and the window's own settings when asked for.
void ReadSettings(RunState& state, const std::string& programFolder,
                  WindowSettings* window = nullptr);

// Stores lastFolder (the program folder when it is empty) as one quoted line. False when the
// file cannot be written.
bool WriteSettings(const RunState& state, const std::string& programFolder,
                   const WindowSettings& window = {});

// The lines after the folder line, and what they set; lines of other keys are passed over.
std::string FormatChoices(const RunState& state, const WindowSettings& window);
void ReadChoices(std::string_view text, RunState& state, WindowSettings& window);

// The settings text of a folder: the folder between double quotes, a double quote inside it
// written twice, then CR LF.
std::string FormatSettings(const std::string& folder);

// The folder of a settings text: its first quoted item (a doubled double quote standing for one),
// or its first line, spaces trimmed, when it is not quoted. FormatSettings gives it back exactly.
std::string SettingsFolder(std::string_view text);

}  // namespace kvr
