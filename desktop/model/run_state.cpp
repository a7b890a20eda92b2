#include "model/run_state.h"

namespace kvr {

RunState ChoicesOf(const RunState& state) {
    RunState next;
    next.choices = state.choices;
    next.cutoff1 = state.choices.chosenCutoff1;
    next.cutoff2 = state.choices.chosenCutoff2;
    return next;
}

}  // namespace kvr
