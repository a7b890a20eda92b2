// Bringing data in: the "&Open", "&Append" and "&Rerun" menus, files dropped on the window or the
// matrix view, and leaving the program ("&Exit" and closing the window).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "io/fasta.h"
#include "platform/control.h"
#include "platform/window.h"
#include "ui/window_view.h"

namespace kvr {

class MainForm;

void RegisterOpenHandlers(MainForm& form);

void OpenFile(MainForm& form);  // "&Open"
// "&Open" with the path given instead of chosen (KVRv1 FILE); nothing when path is empty.
void OpenPath(MainForm& form, const std::optional<std::string>& path);
void AppendFile(MainForm& form);  // "&Append"

// What the window shows of a load besides the status the loader told: the caption counts the
// sequences, the status's tool tip lists what to check in the file, and the controls follow.
void ShowLoad(RunState& state, WindowView& shown, Window& window, LoadEnd end,
              const FastaReport& report);
void Rerun(MainForm& form);  // "&Rerun"
void DropFiles(MainForm& form, Control target, const std::vector<std::string>& paths);

// Asks "Are you sure you want to exit KVR?"; on Yes stores the settings and ends the program.
bool ConfirmExit(MainForm& form);

}  // namespace kvr
