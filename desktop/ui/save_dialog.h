// The save dialog of every Save menu entry, and the folder it leaves for the next dialog.
#pragma once

#include <string>
#include <string_view>

#include "model/run_state.h"
#include "platform/window.h"

namespace kvr {

// Where the save dialog starts: the folder of the last file this analysis saved, else that of
// its input file, else lastFolder; with the input file's name (its extensions left out) and the
// suffix as the name offered ("rrna5s_48_mat.svg"), or no name when there is no input file.
std::string SaveDialogStart(const RunState& state, std::string_view suffix);

// The name chosen in the save dialog, opened at SaveDialogStart and offering the kind of file the
// suffix makes ("_mat.svg": SVG pictures); "" when the user cancelled or left the name empty.
std::string AskSaveName(const RunState& state, Window& window, std::string_view suffix);

// The save dialog's filter for a suffix: "SVG pictures (*.svg);;All files (*)".
std::string SaveFilter(std::string_view suffix);

// The file a Save menu writes for the chosen name: the name and the entry's suffix ("_mat.svg",
// ".kvr"), without doubling what the user already typed and keeping an extension of the same kind
// as typed: "figure" and "figure.svg" both give "figure_mat.svg", "figure_mat.svg" stays as it
// is, "pair.fasta" stays for ".fas", "scores.csv" gives "scores_col.csv" for "_col.txt".
std::string WithSuffix(const std::string& chosen, const std::string& suffix);

// After a completed dialog the next one opens where the user ended: the chosen file's folder
// (lastFolder, and saveFolder for the saves of this analysis).
void RememberFolderOf(RunState& state, const std::string& chosenPath);

}  // namespace kvr
