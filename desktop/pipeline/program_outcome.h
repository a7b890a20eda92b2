// How a start of an external program (aligner, tree script) ended, as an explicit status with a
// message for the user, never a bare bool.
#pragma once

#include <string>

namespace kvr {

enum class ProgramStatus {
    Done,        // ended with status 0 and left usable output
    NotFound,    // the shell found no such program
    NotStarted,  // the shell or its input files could not be set up
    Failed,      // ended with a non-zero status
    NoOutput,    // ended well but wrote no output file, or an empty one
    BadOutput,   // wrote output that cannot be used
    TimedOut,    // ran longer than the time limit and was ended
    Cancelled,   // ended because the run was cancelled
};

struct ProgramOutcome {
    ProgramStatus status = ProgramStatus::Done;
    std::string message;  // what went wrong, in words; empty when Done
    bool Ok() const { return status == ProgramStatus::Done; }
};

}  // namespace kvr
