// Starting the external programs through the Shell seam: one aligner on one pair, and the
// start-and-wait that the tree step uses as well. A pair is started, then finished when the shell
// reports its end, so that the all-pairs run can keep several in flight.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "model/result.h"
#include "model/run_state.h"
#include "pipeline/pair_identity.h"
#include "pipeline/run_context.h"

namespace kvr {

struct PairResult;

// Runs the aligner of the kind on inputName, which it aligns into outputName, and returns when it
// has ended; both are bare names in the exchange folder, which is the aligner's current
// directory. Its console output goes to outputName + ".log" there. The result names the command
// line, the process and its exit status; it holds no identity.
PairResult RunAligner(const RunContext& context, Aligner kind, const std::string& inputName,
                      const std::string& outputName);

// The files of the pair of input positions i and j (0-based): stem "3_7" for i = 2, j = 6.
struct PairFiles {
    std::string stem;
    std::string input;      // stem + ".fas"
    std::string output;     // stem + "Aln.fas"
    std::string guideTree;  // stem + ".dnd", left by ClustalW
    std::string log;        // output + ".log", the aligner's console output
};
PairFiles PairFileNames(int i, int j);

// What became of one pair: reported by the pair instead of kept in RunState.
struct PairResult {
    Result<void> outcome;   // a problem says what kind (not found, failed, timed out, ...) and why
    float identity = 0.0f;  // valid only when the outcome is Done
    ColumnCounts counts;    // the columns the identity was computed from; valid with it
    std::string command;    // the aligner's command line
    int processId = 0;      // 0 when nothing was started
    int exitCode = -1;      // the shell's exit status
};

// A pair whose aligner has been started.
struct PairJob {
    int i = 0;
    int j = 0;
    PairFiles files;
    PairResult result;  // command and processId; when it could not start, processId is 0 and
                        // the outcome says why
    ShellClock::time_point started;
};

// Writes the pair file and starts the aligner of the kind on it, without waiting.
PairJob StartPair(const RunContext& context, Aligner kind, const Record& first,
                  const Record& second, int i, int j);

// When the pair's time limit runs out; none when the run has no limit.
std::optional<ShellClock::time_point> PairDeadline(const RunContext& context, const PairJob& job);

// Once the shell has reported the pair's process (run: Ended, or Stopped or TimedOut when it was
// ended early): scores the aligned pair and removes every file of the pair. With alignedText, the
// scored output file's content is kept there (left empty when the pair failed).
PairResult FinishPair(const RunContext& context, const PairJob& job, const ShellOutcome& run,
                      std::string* alignedText = nullptr);

// Aligns one pair, start to finish; alignedText as for FinishPair.
PairResult AlignPair(const RunContext& context, Aligner kind, const Record& first,
                     const Record& second, int i, int j, std::string* alignedText = nullptr);

}  // namespace kvr
