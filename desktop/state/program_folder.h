// Where the program lives: the folder of the executable and its "tmp" work folder.
#pragma once

#include <string>

namespace kvr {

// The folder that holds the running executable.
std::string ProgramFolder();

// "tmp" inside the program folder, made when missing; a per-user data folder
// ($XDG_DATA_HOME/kvr/tmp, else ~/.local/share/kvr/tmp) when the program folder cannot be written.
std::string WorkFolder();

// The same for a given program folder (the main form is told its folder; tests pass their own).
std::string WorkFolder(const std::string& programFolder);

// Joins a folder and a file name with one "/".
std::string JoinPath(const std::string& folder, const std::string& name);

std::string CurrentDirectory();

}  // namespace kvr
