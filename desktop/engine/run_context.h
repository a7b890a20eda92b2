// What a run needs besides the state and the window: how programs are started, where the files
// go, and how many aligners may run at once.
#pragma once

#include <string>

#include "engine/aligner_config.h"
#include "engine/run_options.h"
#include "platform/shell.h"

namespace kvr {

struct RunContext {
    Shell& shell;
    const AlignerConfig& programs;
    std::string exchangeFolder;     // pair files, "infile", "config", "outtree" (ExchangeFolder)
    std::string workFolder;         // the program's own work files: the append run's score table
    int jobs = DefaultJobs();       // aligner processes at once
    double pairTimeoutSeconds = 0;  // a pair's aligner is ended after this long; 0: no limit
};

}  // namespace kvr
