// What a run needs besides the state and the window: how programs are started, where the files
// go, and how many aligners may run at once and for how long.
#pragma once

#include <string>

#include "pipeline/aligner_config.h"
#include "pipeline/run_options.h"
#include "platform/shell.h"

namespace kvr {

struct RunSetup {
    Shell& shell;
    const AlignerConfig& programs;
    // The program's own work files (the window's pictures, the append run's score table); kvr
    // keeps none.
    std::string workFolder;
    int jobs = DefaultJobs();       // aligner processes at once
    double pairTimeoutSeconds = 0;  // a pair's aligner is ended after this long; 0: no limit
    AlphabetRule alphabet = AlphabetRule::Set;       // the built-in aligner's model
    int pairMemoryMegabytes = kPairMemoryMegabytes;  // the built-in aligner's budget a pair
    AmbiguityRule ambiguous = AmbiguityRule::Count;  // the columns the identity compares
};

// A run under way: its setup, and the folder of its own in which it exchanges files with the
// programs: pair files, "infile", "config", "outtree" (ExchangeFolder).
struct RunContext : RunSetup {
    std::string exchangeFolder;
};

}  // namespace kvr
