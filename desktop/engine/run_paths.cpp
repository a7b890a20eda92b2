#include "engine/run_paths.h"

#include <numeric>

#include "engine/all_pairs.h"
#include "engine/exchange_folder.h"
#include "engine/identity_range.h"
#include "engine/tree_order.h"
#include "files/session.h"
#include "files/text_exports.h"
#include "matrix/matrix_picture.h"
#include "matrix/matrix_screen.h"
#include "matrix/palette.h"
#include "plot/binning.h"
#include "plot/plot_handlers.h"
#include "plot/plot_picture.h"
#include "state/control_states.h"

namespace kvr {

namespace {

enum class PathKind { Fresh, Rerun, Append };

// Marks the state as running for as long as a path works, so that the window's handlers leave
// the tables alone while the run reads them.
class RunInProgress {
  public:
    explicit RunInProgress(RunState& state) : state_(state) { state_.runInProgress = true; }
    ~RunInProgress() { state_.runInProgress = false; }
    RunInProgress(const RunInProgress&) = delete;
    RunInProgress& operator=(const RunInProgress&) = delete;

  private:
    RunState& state_;
};

// The tree orders the sequences when asked; otherwise the input order stays.
bool Order(RunState& state, Window& window, const RunContext& context) {
    if (state.useTree) return OrderByTree(state, window, context).Ok();
    state.treeOrder.resize(static_cast<std::size_t>(state.seqCount) + 1);
    std::iota(state.treeOrder.begin(), state.treeOrder.end(), 0);
    ApplyDisplayOrder(state, state.treeOrder);
    return true;
}

void EnableAnalysisMenus(Window& window) {
    for (Control c : {Control::mnuColumn, Control::cmdPlot, Control::mnuSave,
                      Control::mnuSaveSimScore, Control::mnuSaveSession, Control::mnuSaveMatrix,
                      Control::mnuCopyMat, Control::mnuRerun, Control::mnuAppend})
        window.SetEnabled(c, true);
    window.SetEnabled(Control::mnuSavePlot, false);
    window.SetEnabled(Control::mnuCopyPlot, false);
}

RunOutcome RunPath(RunState& state, Window& window, const RunSetup& setup, PathKind kind) {
    const RunInProgress running(state);
    BlankMatrixView(window);
    if (kind == PathKind::Rerun) state.InputSequences = state.SequenceList;

    ExchangeFolder exchange(setup.workFolder);
    if (!exchange.Ok()) {
        window.ShowMessage(exchange.Error());
        window.SetCaption(Control::lblProgress, "Failed");
        return {};
    }
    const RunContext context{setup.shell, setup.programs, exchange.Path(), setup.workFolder};
    state.failFlag = false;
    if (kind == PathKind::Append)
        AlignNewPairs(state, window, context);
    else
        AlignAllPairs(state, window, context);
    if (state.failFlag) {
        state.failFlag = false;
        return {};
    }

    FindIdentityRange(state, window, state.InputIdentity, state.seqCount);
    bool complete = !state.failFlag;
    complete = Order(state, window, context) && complete;
    BinIdentities(state, window);
    BuildPalette(state);
    // The work folder's pictures always show the analysis on display, after an append too.
    WriteMatrixPicture(state, setup.workFolder);
    WritePlotPicture(state, window, setup.workFolder);
    if (kind == PathKind::Rerun) WriteWorkPlotData(state, window, setup.workFolder);
    if (FitsOnScreen(state)) {
        DrawMatrixOnScreen(state, window);
    } else if (kind == PathKind::Append) {
        ShowPlot(state, window);
        window.ShowMessage(
            "The program cannot disply very large matrix made from above 500 sequences. However "
            "you can save the matrix picture in EMF or BMP format and the identity scores using "
            "the save manu");
    }
    if (kind != PathKind::Fresh) WriteLastRun(state, window, setup.workFolder);
    state.matrixShown = true;
    EnableAnalysisMenus(window);
    return {true, complete};
}

}  // namespace

RunOutcome RunFresh(RunState& state, Window& window, const RunSetup& setup) {
    return RunPath(state, window, setup, PathKind::Fresh);
}

RunOutcome RunRerun(RunState& state, Window& window, const RunSetup& setup) {
    return RunPath(state, window, setup, PathKind::Rerun);
}

RunOutcome RunAppend(RunState& state, Window& window, const RunSetup& setup) {
    return RunPath(state, window, setup, PathKind::Append);
}

}  // namespace kvr
