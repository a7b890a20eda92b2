#include "engine/all_pairs.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <optional>
#include <vector>

#include "engine/builtin_pairs.h"
#include "engine/pair_order.h"
#include "engine/run_aligner.h"
#include "engine/run_options.h"
#include "engine/score_table.h"
#include "engine/tree_input.h"
#include "state/file_io.h"
#include "state/number_text.h"
#include "state/program_folder.h"

namespace kvr {

namespace {

PairsEnd FailRun(RunState& state, Window& window, std::string_view message) {
    window.ShowMessage(message);
    window.SetCaption(Control::lblProgress, "Failed");
    window.SetValue(Control::ProgressBar1, 0);
    state.failFlag = true;
    return PairsEnd::Failed;
}

// A number as the program writes it in captions: with the blank of a non-negative number.
std::string Blanked(double value) {
    return " " + WholeText(value);
}

void ShowPairProgress(const RunState& state, Window& window, int i, int j, long long count,
                      double total) {
    window.SetCaption(Control::lblProgress,
                      "Aligning " + std::to_string(i + 1) + " - " + std::to_string(j + 1));
    const double percent = 100.0 * static_cast<double>(count) / total;
    window.SetValue(Control::ProgressBar1, static_cast<int>(std::nearbyint(percent)));
    window.SetCaption(Control::lblPrgPercent, Blanked(std::floor(percent)) + "%");
    window.SetCaption(Control::lblFilePath,
                      "Pairwise identity calculation  for " + state.inputPath +
                          "  Number of alignments: " + Blanked(static_cast<double>(count)) +
                          " out of " + Blanked(total));
}

std::string DuplicateNameMessage(bool incremental, int i, int j, const std::string& name) {
    if (incremental)
        return "Error with ClustalW2: two sequences with identical name were found " +
               Blanked(i + 1) + " and" + Blanked(j + 1) + " : " + name +
               ". Please rename all the duplicate names and try again.";
    return "Error with ClustalW2: two sequences with identical name '" + name +
           "' were found. These are sequences number " + Blanked(i + 1) + " and sequences number " +
           Blanked(j + 1) + ". Please rename all the duplicate names and try again.";
}

std::string UnscoredPairMessage(const RunState& state, int i, int j, const PairResult& result) {
    return "The identity of sequences " + std::to_string(i + 1) + " and " + std::to_string(j + 1) +
           " could not be computed with " + AlignerTitle(state.AlignerKind) + ": " +
           result.outcome.message + ".\nSequence " + std::to_string(i + 1) + ": " +
           state.InputSequences[i].name + "\nSequence " + std::to_string(j + 1) + ": " +
           state.InputSequences[j].name + "\nCommand: " + result.command +
           "\nThe run has been stopped.";
}

// A pair whose aligner runs, with its number among the pairs to align (loop order, from 0).
struct RunningPair {
    PairJob job;
    long long number = 0;
};

// A pair that has ended and waits for the pairs before it to be taken in.
struct EndedPair {
    PairResult result;
    std::string failure;     // the window's message when the pair stops the run
    bool keepsShell = true;  // a refused pair started nothing to remember
};

// Both variants. The incremental one aligns only pairs that involve one of the last m
// sequences and keeps the work-folder score table.
//
// Up to context.jobs aligners run at once, started in loop order. Their results are taken in
// (table, score lines, shell state) in loop order, and the progress of a pair is shown when the
// pairs before it are done, so the window sees what a run of one job at a time shows. When a
// pair fails, nothing after it is started and the pairs after it are ended; the pairs before it
// run to their end, and the first failure in loop order is the one reported.
PairsEnd RunPairs(RunState& state, Window& window, const RunContext& context, bool incremental) {
    const int n = state.seqCount;
    const int m = incremental ? state.appendCount : n;
    const int firstNew = n - m;  // pairs (i, j) with j >= firstNew are aligned
    const double total = incremental ? static_cast<double>(n - m) * m + m * (m / 2.0) - m / 2.0
                                     : n * (n / 2.0) - n / 2.0;
    state.InputIdentity = IdentityTable(n);

    if (static_cast<int>(state.InputSequences.size()) < n || m < 0 || m > n ||
        (incremental && state.IdentityMatrix.Size() != firstNew))
        return FailRun(state, window,
                       "The sequences to align do not match the analysis on display. Please open "
                       "the files again and run the analysis anew.");

    std::ofstream scoreTable;
    const std::string scoreTablePath = JoinPath(context.workFolder, kWorkScoreTable);
    if (incremental) {
        DeleteFileQuietly(JoinPath(context.workFolder, kOldWorkScoreTable));
        scoreTable.open(scoreTablePath, std::ios::binary | std::ios::trunc);
        scoreTable << kScoreColumnHeader << kLineEnd;
        if (!scoreTable)
            return FailRun(state, window,
                           "The score table " + scoreTablePath + " cannot be written.");
        window.SetCaption(Control::lblProgress, "Pairwise identity calculation");
    }

    Shell& shell = context.shell;
    const std::size_t jobs = static_cast<std::size_t>(std::max(1, context.jobs));
    PairCursor next{n};     // the next pair to start
    PairCursor taken{n};    // the first pair not yet taken in
    long long started = 0;  // pairs to align started (or refused) so far
    long long done = 0;     // pairs to align taken in so far
    long long shown = 0;    // pairs to align whose progress has been shown
    std::vector<RunningPair> running;
    std::map<long long, EndedPair> ended;   // by number, until taken in
    std::optional<long long> firstFailure;  // nothing after it is started

    // Ends the running pairs numbered above last, and forgets them.
    const auto endRunningAfter = [&](long long last) {
        for (auto it = running.begin(); it != running.end();) {
            if (it->number <= last) {
                ++it;
                continue;
            }
            shell.End(it->job.result.processId);
            FinishPair(context, it->job, {ShellOutcome::Status::Stopped, 0, -1, {}});
            it = running.erase(it);
        }
    };
    const auto recordEnd = [&](long long number, EndedPair pair) {
        if (!pair.failure.empty()) {
            firstFailure = std::min(firstFailure.value_or(number), number);
            endRunningAfter(*firstFailure);
        }
        ended[number] = std::move(pair);
    };
    const auto finishRunning = [&](std::vector<RunningPair>::iterator it, const ShellOutcome& run) {
        const RunningPair pair = std::move(*it);
        running.erase(it);
        EndedPair end{FinishPair(context, pair.job, run), {}, true};
        if (!end.result.outcome.Ok())
            end.failure = UnscoredPairMessage(state, pair.job.i, pair.job.j, end.result);
        recordEnd(pair.number, std::move(end));
    };

    const auto findRunning = [&](int processId) {
        return std::find_if(running.begin(), running.end(), [&](const RunningPair& pair) {
            return pair.job.result.processId == processId;
        });
    };

    // The built-in aligner takes the next pairs in chunks, small enough that progress and the
    // window's events stay lively, large enough to keep every thread busy.
    const bool builtin = state.AlignerKind == kBuiltinAligner;
    const auto startBuiltinPairs = [&] {
        std::vector<std::pair<const Record*, const Record*>> chunk;
        std::vector<long long> numbers;
        std::vector<std::pair<int, int>> positions;
        const std::size_t chunkSize = 64 * jobs;
        while (!next.AtEnd() && chunk.size() < chunkSize && !firstFailure &&
               !shell.Stop().Raised()) {
            const int i = next.i;
            const int j = next.j;
            next.Next();
            if (j < firstNew) continue;
            chunk.emplace_back(&state.InputSequences[i], &state.InputSequences[j]);
            numbers.push_back(started++);
            positions.emplace_back(i, j);
        }
        if (chunk.empty()) return;
        const std::vector<PairResult> results = AlignBuiltinPairs(
            chunk, static_cast<int>(jobs), window, shell.Stop(), context.pairTimeoutSeconds);
        for (std::size_t k = 0; k < results.size(); ++k) {
            if (results[k].outcome.status == ProgramStatus::Cancelled) return;
            const auto [i, j] = positions[k];
            EndedPair end{results[k], {}, false};
            if (!end.result.outcome.Ok())
                end.failure = UnscoredPairMessage(state, i, j, end.result);
            recordEnd(numbers[k], std::move(end));
        }
    };

    const auto startPairs = [&] {
        if (builtin) return startBuiltinPairs();
        while (!next.AtEnd() && running.size() < jobs && !firstFailure && !shell.Stop().Raised()) {
            const int i = next.i;
            const int j = next.j;
            next.Next();
            if (j < firstNew) continue;
            const long long number = started++;
            const Record& first = state.InputSequences[i];
            const Record& second = state.InputSequences[j];
            if (state.AlignerKind == "clustalw" && first.name == second.name) {
                recordEnd(number,
                          {{}, DuplicateNameMessage(incremental, i, j, second.name), false});
                continue;
            }
            PairJob job = StartPair(context, state.AlignerKind, first, second, i, j);
            if (job.result.processId == 0) {
                recordEnd(number, {job.result, UnscoredPairMessage(state, i, j, job.result), true});
                continue;
            }
            running.push_back({std::move(job), number});
        }
    };

    // Takes in, in loop order, the pairs that are done; the end of the run when one failed.
    const auto takeIn = [&]() -> std::optional<PairsEnd> {
        for (; !taken.AtEnd(); taken.Next()) {
            const int i = taken.i;
            const int j = taken.j;
            if (j >= firstNew) {
                if (shown == done) ShowPairProgress(state, window, i, j, ++shown, total);
                const auto found = ended.find(done);
                if (found == ended.end()) return std::nullopt;
                const EndedPair pair = std::move(found->second);
                ended.erase(found);
                if (pair.keepsShell) KeepShellState(state, pair.result);
                if (!pair.failure.empty()) {
                    endRunningAfter(-1);
                    return FailRun(state, window, pair.failure);
                }
                state.InputIdentity(i, j) = pair.result.identity;
                ++done;
            } else {
                state.InputIdentity(i, j) = state.IdentityMatrix(i, j);
            }
            if (incremental)
                scoreTable << ScoreColumnLine(state.InputSequences[i].name,
                                              state.InputSequences[j].name,
                                              state.InputIdentity(i, j));
            state.InputIdentity(j, i) = state.InputIdentity(i, j);
        }
        return std::nullopt;
    };

    const auto cancel = [&] {
        endRunningAfter(-1);
        window.SetCaption(Control::lblProgress, "Cancelled");
        window.SetValue(Control::ProgressBar1, 0);
        window.SetCaption(Control::lblPrgPercent, "");
        state.failFlag = true;
        return PairsEnd::Cancelled;
    };

    while (true) {
        startPairs();
        if (const auto end = takeIn()) return *end;
        if (taken.AtEnd()) break;
        if (shell.Stop().Raised()) return cancel();
        if (builtin) continue;  // nothing runs outside: the next chunk is aligned

        std::optional<ShellClock::time_point> deadline;
        for (const RunningPair& pair : running)
            if (const auto limit = PairDeadline(context, pair.job))
                deadline = std::min(deadline.value_or(*limit), *limit);
        const ShellOutcome run = shell.WaitAny(deadline);
        if (run.status == ShellOutcome::Status::Stopped) return cancel();
        if (run.status == ShellOutcome::Status::TimedOut) {
            // The pairs whose limit has passed: the one waited for, and any other by now.
            const auto now = ShellClock::now();
            std::vector<int> expired;
            for (const RunningPair& pair : running)
                if (const auto limit = PairDeadline(context, pair.job);
                    limit && (*limit <= *deadline || *limit <= now))
                    expired.push_back(pair.job.result.processId);
            for (const int processId : expired) {
                const auto it = findRunning(processId);
                if (it == running.end()) continue;  // ended by an earlier failure
                shell.End(processId);
                finishRunning(it, run);
            }
        } else if (run.status == ShellOutcome::Status::Ended) {
            if (const auto it = findRunning(run.processId); it != running.end())
                finishRunning(it, run);
        } else {
            endRunningAfter(-1);
            return FailRun(state, window,
                           "The aligners of the run were lost: " + run.message +
                               ". The run has been stopped.");
        }
    }
    if (incremental) {
        scoreTable.close();
        if (!scoreTable)
            return FailRun(state, window,
                           "The score table " + scoreTablePath + " cannot be written.");
    }

    return CompletePairs(state, window, context);
}

}  // namespace

PairsEnd CompletePairs(RunState& state, Window& window, const RunContext& context) {
    const int n = state.seqCount;
    for (int k = 0; k < n; ++k) state.InputIdentity(k, k) = 1.0f;
    state.treeNames = MakeTreeNames(state.InputSequences, n);
    const std::string infile = JoinPath(context.exchangeFolder, kDistanceFile);
    DeleteFileQuietly(infile);
    if (!WriteScratchFile(infile, FormatDistanceFile(state.InputIdentity, state.treeNames, n)))
        return FailRun(state, window, "The distance file " + infile + " cannot be written.");

    window.SetCaption(Control::lblProgress, "Completed");
    window.SetValue(Control::ProgressBar1, 0);
    window.SetCaption(Control::lblPrgPercent, "");
    return PairsEnd::Completed;
}

PairsEnd AlignAllPairs(RunState& state, Window& window, const RunContext& context) {
    return RunPairs(state, window, context, false);
}

PairsEnd AlignNewPairs(RunState& state, Window& window, const RunContext& context) {
    return RunPairs(state, window, context, true);
}

}  // namespace kvr
