#include "pipeline/all_pairs.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <optional>
#include <vector>

#include "align/align.h"
#include "io/file_io.h"
#include "io/number_text.h"
#include "io/program_folder.h"
#include "io/score_table.h"
#include "io/tree_input.h"
#include "model/bounded_pairs.h"
#include "model/pair_order.h"
#include "pipeline/builtin_pairs.h"
#include "pipeline/pair_scheduler.h"
#include "pipeline/run_aligner.h"
#include "pipeline/run_options.h"

namespace kvr {

namespace {

PairsEnd FailRun(Progress& progress, std::string_view message) {
    progress.Message(message);
    progress.End("Failed");
    return PairsEnd::Failed;
}

std::string DuplicateNameMessage(bool incremental, int i, int j, const std::string& name) {
    if (incremental)
        return "Error with ClustalW2: two sequences with identical name were found " +
               PrintedWhole(i + 1) + " and" + PrintedWhole(j + 1) + " : " + name +
               ". Please rename all the duplicate names and try again.";
    return "Error with ClustalW2: two sequences with identical name '" + name +
           "' were found. These are sequences number " + PrintedWhole(i + 1) +
           " and sequences number " + PrintedWhole(j + 1) +
           ". Please rename all the duplicate names and try again.";
}

std::string UnscoredPairMessage(const RunState& state, int i, int j, const PairResult& result) {
    return "The identity of sequences " + std::to_string(i + 1) + " and " + std::to_string(j + 1) +
           " could not be computed with " +
           (state.choices.AlignerKind ? AlignerTitle(*state.choices.AlignerKind) : std::string()) +
           ": " + result.outcome.problem().message + ".\nSequence " + std::to_string(i + 1) + ": " +
           state.InputSequences[i].name + "\nSequence " + std::to_string(j + 1) + ": " +
           state.InputSequences[j].name + "\nCommand: " + result.command +
           "\nThe run has been stopped.";
}

// Both variants. The incremental one aligns only pairs that involve one of the last m
// sequences, copies the others, and keeps the work-folder score table.
//
// The scheduler runs up to context.jobs aligners at once and hands their results over in loop
// order; the progress of a pair is shown when the pairs before it are done, so the window sees
// what a run of one job at a time shows. When a pair fails, nothing after it is started and the
// pairs after it are ended; the pairs before it run to their end, and the first failure in loop
// order is the one reported.
PairsEnd RunPairs(RunState& state, Progress& progress, const RunContext& context,
                  bool incremental) {
    const int n = state.seqCount;
    const int m = incremental ? state.appendCount : n;
    const int firstNew = n - m;  // pairs (i, j) with j >= firstNew are aligned
    // The count and the total are those of the whole matrix: an append starts with the pairs of
    // the old sequences done.
    const double total = n * (n / 2.0) - n / 2.0;
    const double done = static_cast<double>(PairCount(firstNew));
    state.InputIdentity = IdentityTable(n);
    state.InputCounts = state.keepPairCounts ? PairCountTable(n) : PairCountTable();
    state.builtinNotes = {};
    state.uncompared = {};
    const bool builtin = state.choices.AlignerKind == Aligner::Builtin;

    if (static_cast<int>(state.InputSequences.size()) < n || m < 0 || m > n ||
        (incremental && state.IdentityMatrix.Size() != firstNew))
        return FailRun(progress,
                       "The sequences to align do not match the analysis on display. Please open "
                       "the files again and run the analysis anew.");
    // The old pairs of an append keep their marks: their input indices are their display rows in
    // the analysis on display. Taken in loop order, the new pairs follow them sorted.
    std::vector<IndexPair> bounded =
        incremental ? BoundedPairsInDisplayOrder(state) : std::vector<IndexPair>();

    // The work folder's score table is the window's; kvr keeps no work files (no work folder).
    const bool keepsScoreTable = incremental && !context.workFolder.empty();
    std::ofstream scoreTable;
    const std::string scoreTablePath = JoinPath(context.workFolder, kWorkScoreTable);
    if (keepsScoreTable) {
        DeleteFileQuietly(JoinPath(context.workFolder, kOldWorkScoreTable));
        scoreTable.open(scoreTablePath, std::ios::binary | std::ios::trunc);
        scoreTable << kScoreColumnHeader << kLineEnd;
        if (!scoreTable)
            return FailRun(progress, "The score table " + scoreTablePath + " cannot be written.");
        progress.Step("Pairwise identity calculation");
    }
    const auto keep = [&](int i, int j, float identity) {
        state.InputIdentity(i, j) = identity;
        if (keepsScoreTable)
            scoreTable << ScoreColumnLine(state.InputSequences[i].name,
                                          state.InputSequences[j].name, identity);
    };
    // Every pair in loop order: the old pairs before an aligned one are copied when it is taken.
    PairCursor every{n};
    const auto copyOldBefore = [&](int i, int j) {
        for (; !every.AtEnd() && !(every.i == i && every.j == j); every.Next())
            keep(every.i, every.j, state.IdentityMatrix(every.i, every.j));
    };

    PairCursor source{n};
    PairSchedule schedule;
    schedule.next = [&](int& i, int& j) {
        while (!source.AtEnd() && source.j < firstNew) source.Next();
        if (source.AtEnd()) return false;
        i = source.i;
        j = source.j;
        source.Next();
        return true;
    };
    schedule.reach = [&](long long number, int i, int j) {
        progress.Pair(i, j, done + static_cast<double>(number + 1), total);
    };
    schedule.advance = [&](double finished, int i, int j) {
        progress.Pair(i, j, done + finished + 1, total);
    };
    if (state.choices.AlignerKind == Aligner::Clustalw)
        schedule.admit = [&](int i, int j) -> Result<void> {
            const std::string& name = state.InputSequences[j].name;
            if (state.InputSequences[i].name != name) return {};
            return Problem{DuplicateNameMessage(incremental, i, j, name)};
        };
    std::string failure;
    schedule.take = [&](const ScheduledPair& pair) {
        copyOldBefore(pair.i, pair.j);
        if (pair.Failed()) {
            failure = !pair.refusal.empty()
                          ? pair.refusal
                          : UnscoredPairMessage(state, pair.i, pair.j, pair.result);
            return false;
        }
        keep(pair.i, pair.j, pair.result.identity);
        const ColumnCounts& counts = pair.result.counts;
        const ComparedColumns compared = Compared(counts, context.ambiguous);
        if (compared.columns == 0 && state.uncompared.count++ == 0) {
            state.uncompared.first = pair.i;
            state.uncompared.second = pair.j;
        }
        if (state.keepPairCounts)
            state.InputCounts(pair.i, pair.j) = KeptCounts(counts, context.ambiguous);
        if (builtin) {
            BuiltinNotes& notes = state.builtinNotes;
            ++notes.pairs;
            if (!pair.result.counts.exact) {
                ++notes.bounded;
                bounded.emplace_back(pair.i, pair.j);
            }
            notes.guessedProtein += align::GuessAlphabet(state.InputSequences[pair.i].residues,
                                                         state.InputSequences[pair.j].residues) ==
                                    align::Alphabet::Protein;
        }
        every.Next();
        return true;
    };

    const ScheduleOutcome outcome = SchedulePairs(state.InputSequences, *state.choices.AlignerKind,
                                                  schedule, context, progress);
    switch (outcome.end) {
        case ScheduleEnd::Cancelled:
            progress.End("Cancelled");
            return PairsEnd::Cancelled;
        case ScheduleEnd::Lost:
            return FailRun(progress, "The aligners of the run were lost: " + outcome.message +
                                         ". The run has been stopped.");
        case ScheduleEnd::Stopped:
            return FailRun(progress, failure);
        case ScheduleEnd::Completed:
            break;
    }
    copyOldBefore(-1, -1);
    if (keepsScoreTable) {
        scoreTable.close();
        if (!scoreTable)
            return FailRun(progress, "The score table " + scoreTablePath + " cannot be written.");
    }
    std::sort(bounded.begin(), bounded.end());
    state.boundedPairs = std::move(bounded);
    return CompletePairs(state, progress, context);
}

}  // namespace

PairsEnd CompletePairs(RunState& state, Progress& progress, const RunContext&) {
    const int n = state.seqCount;
    for (int k = 0; k < n; ++k) state.InputIdentity(k, k) = 1.0f;
    state.treeNames = MakeTreeNames(state.InputSequences, n);
    progress.End("Completed");
    return PairsEnd::Completed;
}

PairsEnd AlignAllPairs(RunState& state, Progress& progress, const RunContext& context) {
    return RunPairs(state, progress, context, false);
}

PairsEnd AlignNewPairs(RunState& state, Progress& progress, const RunContext& context) {
    return RunPairs(state, progress, context, true);
}

}  // namespace kvr
