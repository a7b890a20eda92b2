// What a run needs besides the state and the window: how programs are started and where the
// files go.
#pragma once

#include <string>

#include "engine/aligner_config.h"
#include "platform/shell.h"

namespace kvr {

struct RunContext {
    Shell& shell;
    const AlignerConfig& programs;
    std::string exchangeFolder;  // pair files, "infile", "config", "outtree" (ExchangeFolder)
    std::string workFolder;      // the program's own work files: the append run's score table
};

}  // namespace kvr
