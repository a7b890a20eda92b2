#include "state/run_state.h"

namespace kvr {

RunState ChoicesOf(const RunState& state) {
    RunState next;
    next.lastFolder = state.lastFolder;
    next.AlignerKind = state.AlignerKind;
    next.useTree = state.useTree;
    next.cutoff1 = state.cutoff1;
    next.cutoff2 = state.cutoff2;
    next.ColourMode = state.ColourMode;
    next.splitMin = state.splitMin;
    next.splitMax = state.splitMax;
    return next;
}

}  // namespace kvr
