// The save dialog of every Save menu entry, and the folder it leaves for the next dialog.
#pragma once

#include <string>
#include <string_view>

#include "platform/window.h"
#include "state/run_state.h"

namespace kvr {

// The name chosen in the save dialog, opened in lastFolder with an empty name and offering the
// kind of file the suffix makes ("_mat.svg": SVG pictures); "" when the user cancelled or left the
// name empty.
std::string AskSaveName(const RunState& state, Window& window, std::string_view suffix);

// The save dialog's filter for a suffix: "SVG pictures (*.svg);;All files (*)".
std::string SaveFilter(std::string_view suffix);

// The file a Save menu writes for the chosen name: the name and the entry's suffix ("_mat.svg",
// ".kvr"), without doubling what the user already typed: "figure" and "figure.svg" both give
// "figure_mat.svg", and "figure_mat.svg" stays as it is.
std::string WithSuffix(const std::string& chosen, const std::string& suffix);

// After a completed dialog the next one opens where the user ended: the chosen file's folder.
void RememberFolderOf(RunState& state, const std::string& chosenPath);

}  // namespace kvr
