#include "pipeline/run_pipeline.h"

#include <numeric>
#include <optional>

#include "model/palette.h"
#include "pipeline/all_pairs.h"
#include "pipeline/binning.h"
#include "pipeline/builtin_pairs.h"
#include "pipeline/exchange_folder.h"
#include "pipeline/identity_range.h"
#include "pipeline/tree_order.h"

namespace kvr {

namespace {

// Merged: a fresh run whose identities are already in InputIdentity (kvr merge).
enum class PathKind { Fresh, Rerun, Append, Merged };

// The exchange folder of the run in progress is named in the state while the path works, so that
// leaving the program can remove it.
class RunFolderNamed {
  public:
    explicit RunFolderNamed(RunState& state) : state_(state) {}
    ~RunFolderNamed() { state_.runFolder.clear(); }
    RunFolderNamed(const RunFolderNamed&) = delete;
    RunFolderNamed& operator=(const RunFolderNamed&) = delete;

  private:
    RunState& state_;
};

// The tree orders the sequences when asked; otherwise the input order stays.
Result<void> Order(RunState& state, Progress& progress, const RunContext& context) {
    if (state.choices.useTree) return OrderByTree(state, progress, context);
    state.treeOrder.resize(static_cast<std::size_t>(state.seqCount) + 1);
    std::iota(state.treeOrder.begin(), state.treeOrder.end(), 0);
    ApplyDisplayOrder(state, state.treeOrder);
    return {};
}

// The pipeline: align (or complete merged identities), range, order, bin, palette.
RunOutcome MakeAnalysis(RunState& state, Progress& progress, const RunSetup& setup, PathKind kind,
                        bool windowFiles) {
    const RunFolderNamed named(state);
    setup.shell.Stop().Clear();
    const auto cancelled = [] {
        RunOutcome outcome;
        outcome.cancelled = true;
        return outcome;
    };
    if (kind == PathKind::Rerun) state.InputSequences = state.SequenceList;
    // New identities: the record of how the old ones were made no longer holds. kvr makes the new
    // one for its outputs, and the window's path for the analysis it puts on display.
    state.provenance = {};

    // Files are exchanged only with programs: an external aligner or the tree program.
    const bool external = kind != PathKind::Merged && state.choices.AlignerKind != Aligner::Builtin;
    std::optional<ExchangeFolder> exchange;
    if (external || state.choices.useTree) {
        exchange.emplace(setup.workFolder);
        if (!exchange->Ok()) {
            progress.Message(exchange->Error());
            progress.End("Failed");
            return {};
        }
        state.runFolder = exchange->Path();
    }
    RunContext context{setup, exchange ? exchange->Path() : std::string()};
    if (!windowFiles) context.workFolder.clear();
    const PairsEnd pairs = kind == PathKind::Append   ? AlignNewPairs(state, progress, context)
                           : kind == PathKind::Merged ? CompletePairs(state, progress, context)
                                                      : AlignAllPairs(state, progress, context);
    if (pairs == PairsEnd::Cancelled) return cancelled();
    if (pairs == PairsEnd::Failed) return {};

    bool complete = FindIdentityRange(state, progress, state.InputIdentity, state.seqCount);
    const Result<void> order = Order(state, progress, context);
    if (order.Is(ProblemKind::Cancelled)) return cancelled();
    complete = order.Ok() && complete;
    BinIdentities(state, progress);
    return {true, complete, false, order.Ok()};
}

PathKind KindOf(RunKind kind) {
    return kind == RunKind::Rerun    ? PathKind::Rerun
           : kind == RunKind::Append ? PathKind::Append
                                     : PathKind::Fresh;
}

}  // namespace

RunOutcome Analyse(RunState& state, Progress& progress, const RunSetup& setup, RunKind kind) {
    return MakeAnalysis(state, progress, setup, KindOf(kind), false);
}

RunOutcome AnalyseWithWorkFiles(RunState& state, Progress& progress, const RunSetup& setup,
                                RunKind kind) {
    return MakeAnalysis(state, progress, setup, KindOf(kind), true);
}

RunOutcome AnalyseIdentities(RunState& state, Progress& progress, const RunSetup& setup) {
    return MakeAnalysis(state, progress, setup, PathKind::Merged, false);
}

void AnalyseSession(RunState& state, Progress& progress) {
    FindIdentityRange(state, progress, state.IdentityMatrix, state.seqCount);
    BinIdentities(state, progress);
}

}  // namespace kvr
