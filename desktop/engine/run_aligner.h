// Starting the external programs through the Shell seam: one aligner on one pair, and the
// start-and-wait that the tree step uses as well.
#pragma once

#include <string>
#include <string_view>

#include "engine/program_outcome.h"
#include "engine/run_context.h"
#include "state/run_state.h"

namespace kvr {

// Runs the command line in the folder and returns when it has ended; the process id and exit
// status are kept in taskId and waitResult. The caller keeps the command in shellCommand.
ShellOutcome ShellAndWait(RunState& state, Shell& shell, const std::string& command,
                          const std::string& folder);

// Starts the aligner of the kind on inputName, which it aligns into outputName; both are bare
// names in the exchange folder, which is the aligner's current directory. Its console output
// goes to outputName + ".log" there. shellCommand holds the command line afterwards.
ProgramOutcome RunAligner(RunState& state, const RunContext& context, std::string_view kind,
                          const std::string& inputName, const std::string& outputName);

// The files of the pair of input positions i and j (0-based): stem "3_7" for i = 2, j = 6.
struct PairFiles {
    std::string stem;
    std::string input;      // stem + ".fas"
    std::string output;     // stem + "Aln.fas"
    std::string guideTree;  // stem + ".dnd", left by ClustalW
};
PairFiles PairFileNames(int i, int j);

struct PairResult {
    ProgramOutcome outcome;
    float identity = 0.0f;  // valid only when the outcome is Done
};

// Aligns one pair with the aligner of the kind and scores the aligned pair; every file of the
// pair is removed afterwards. One pair per call: the unit a parallel run would hand out.
PairResult AlignPair(RunState& state, const RunContext& context, std::string_view kind,
                     const Record& first, const Record& second, int i, int j);

}  // namespace kvr
