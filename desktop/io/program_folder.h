// Where the program lives and where its files are: the folder of the executable, the files it
// ships with, the user's settings and the "tmp" work folder. The one place that tells a build
// folder from an installed program.
#pragma once

#include <cstdlib>
#include <functional>
#include <string>

namespace kvr {

// Looks up an environment variable (nullptr when unset); tests pass their own.
using EnvironmentLookup = std::function<const char*(const char* name)>;

// The tree script that the program ships with; its presence marks a program folder.
inline constexpr const char* kTreeScriptName = "RunNeighbor.sh";

// The folder that holds the running executable.
std::string ProgramFolder();

enum class ProgramLayout {
    // Everything beside the programs: the tree script, aligners.conf, kvr.ini and tmp/ (a build
    // folder, or a program folder copied as a whole).
    ProgramFolder,
    // PREFIX/bin, read-only: the shipped files in PREFIX/share/kvr, the user's settings in
    // $XDG_CONFIG_HOME/kvr and the work folder in $XDG_DATA_HOME/kvr.
    Installed,
};

// Installed when the program folder holds no tree script and PREFIX/share/kvr exists beside it.
ProgramLayout LayoutOf(const std::string& programFolder);

struct ProgramFiles {
    ProgramLayout layout = ProgramLayout::ProgramFolder;
    std::string dataFolder;      // the tree script and aligners.conf as shipped
    std::string configFolder;    // kvr.ini and the user's own aligners.conf and tree script
    std::string userDataFolder;  // $XDG_DATA_HOME/kvr, ~/.local/share/kvr without it
};

ProgramFiles FilesOf(const std::string& programFolder,
                     const EnvironmentLookup& environment = std::getenv);

// A file the user may replace: the user's copy in the configuration folder when it exists, else
// the shipped one in the data folder.
std::string UserOrShippedFile(const ProgramFiles& files, const std::string& name);

// The work folder, made when missing: "tmp" inside the program folder, or inside the per-user
// data folder when installed or when the program folder cannot be written.
std::string WorkFolder();
std::string WorkFolder(const std::string& programFolder,
                       const EnvironmentLookup& environment = std::getenv);

// Joins a folder and a file name with one "/".
std::string JoinPath(const std::string& folder, const std::string& name);

std::string CurrentDirectory();

}  // namespace kvr
