// Where the library finds kvr's program folder (aligners.conf, the tree script, the work folder):
// the program that loads it may be anything (python3, a user's tool), so the folder is found from
// where the library itself lies, not from the running executable.
#pragma once

#include <string>

#include "kvr/kvr.h"

namespace kvr::api {

// installation.programFolder when given; else the program folder near this library's file (the
// build's bin/ for a library in a build folder, PREFIX/bin for one installed under PREFIX); else
// the running program's own folder.
std::string ProgramFolderOf(const Installation& installation);

// The program folder for a library file at libraryPath: the nearest ancestor A (up to a few
// levels) with A/bin/RunNeighbor.sh or A/share/kvr/RunNeighbor.sh gives A/bin; "" when none.
std::string ProgramFolderNear(const std::string& libraryPath);

}  // namespace kvr::api
