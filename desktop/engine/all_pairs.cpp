#include "engine/all_pairs.h"

#include <cmath>
#include <fstream>

#include "engine/run_aligner.h"
#include "engine/run_options.h"
#include "engine/score_table.h"
#include "engine/tree_input.h"
#include "state/file_io.h"
#include "state/number_text.h"
#include "state/program_folder.h"

namespace kvr {

namespace {

void FailRun(RunState& state, Window& window, std::string_view message) {
    window.ShowMessage(message);
    window.SetCaption(Control::lblProgress, "Failed");
    window.SetValue(Control::ProgressBar1, 0);
    state.failFlag = true;
}

// A number as the program writes it in captions: with the blank of a non-negative number.
std::string Blanked(double value) {
    return " " + WholeText(value);
}

void ShowPairProgress(const RunState& state, Window& window, int i, int j, int count,
                      double total) {
    window.SetCaption(Control::lblProgress,
                      "Aligning " + std::to_string(i + 1) + " - " + std::to_string(j + 1));
    const double percent = 100.0 * count / total;
    window.SetValue(Control::ProgressBar1, static_cast<int>(std::nearbyint(percent)));
    window.SetCaption(Control::lblPrgPercent, Blanked(std::floor(percent)) + "%");
    window.SetCaption(Control::lblFilePath, "Pairwise identity calculation  for " +
                                                state.inputPath + "  Number of alignments: " +
                                                Blanked(count) + " out of " + Blanked(total));
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

std::string UnscoredPairMessage(const RunState& state, int i, int j,
                                const ProgramOutcome& outcome) {
    return "The identity of sequences " + std::to_string(i + 1) + " and " + std::to_string(j + 1) +
           " could not be computed with " + AlignerTitle(state.AlignerKind) + ": " +
           outcome.message + ".\nSequence " + std::to_string(i + 1) + ": " +
           state.InputSequences[i].name + "\nSequence " + std::to_string(j + 1) + ": " +
           state.InputSequences[j].name + "\nCommand: " + state.shellCommand +
           "\nThe run has been stopped.";
}

// Both variants. The incremental one aligns only pairs that involve one of the last m
// sequences and keeps the work-folder score table.
void RunPairs(RunState& state, Window& window, const RunContext& context, bool incremental) {
    const int n = state.seqCount;
    const int m = incremental ? state.appendCount : n;
    const int firstNew = n - m;  // pairs (i, j) with j >= firstNew are aligned
    const double total = incremental ? static_cast<double>(n - m) * m + m * (m / 2.0) - m / 2.0
                                     : n * (n / 2.0) - n / 2.0;
    state.InputIdentity = IdentityTable(n);
    int count = 1;

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

    for (int i = 0; i + 1 < n; ++i) {
        for (int j = i + 1; j < n; ++j) {
            const bool align = j >= firstNew;
            if (!align) {
                state.InputIdentity(i, j) = state.IdentityMatrix(i, j);
            } else {
                const Record& first = state.InputSequences[i];
                const Record& second = state.InputSequences[j];
                ShowPairProgress(state, window, i, j, count, total);
                if (state.AlignerKind == "clustalw" && first.name == second.name)
                    return FailRun(state, window,
                                   DuplicateNameMessage(incremental, i, j, second.name));
                const PairResult result =
                    AlignPair(state, context, state.AlignerKind, first, second, i, j);
                if (!result.outcome.Ok())
                    return FailRun(state, window, UnscoredPairMessage(state, i, j, result.outcome));
                state.InputIdentity(i, j) = result.identity;
                ++count;
            }
            if (incremental)
                scoreTable << ScoreColumnLine(state.InputSequences[i].name,
                                              state.InputSequences[j].name,
                                              state.InputIdentity(i, j));
            state.InputIdentity(j, i) = state.InputIdentity(i, j);
        }
    }
    if (incremental) {
        scoreTable.close();
        if (!scoreTable)
            return FailRun(state, window,
                           "The score table " + scoreTablePath + " cannot be written.");
    }

    for (int k = 0; k < n; ++k) state.InputIdentity(k, k) = 1.0f;
    state.treeNames = MakeTreeNames(state.InputSequences, n);
    const std::string infile = JoinPath(context.exchangeFolder, kDistanceFile);
    DeleteFileQuietly(infile);
    if (!WriteWholeFile(infile, FormatDistanceFile(state.InputIdentity, state.treeNames, n)))
        return FailRun(state, window, "The distance file " + infile + " cannot be written.");

    window.SetCaption(Control::lblProgress, "Completed");
    window.SetValue(Control::ProgressBar1, 0);
    window.SetCaption(Control::lblPrgPercent, "");
}

}  // namespace

void AlignAllPairs(RunState& state, Window& window, const RunContext& context) {
    RunPairs(state, window, context, false);
}

void AlignNewPairs(RunState& state, Window& window, const RunContext& context) {
    RunPairs(state, window, context, true);
}

}  // namespace kvr
