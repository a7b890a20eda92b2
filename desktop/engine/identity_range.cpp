#include "engine/identity_range.h"

#include <cmath>

#include "state/number_text.h"

namespace kvr {

void FindIdentityRange(RunState& state, Window& window, const IdentityTable& matrix, int n) {
    IdentityRange range;
    // Row by row along the stored triangle: every pair once, in the order of memory.
    for (int a = 1; a < n; ++a)
        for (int b = 0; b < a; ++b) range.Add(matrix(a, b));
    ApplyIdentityRange(state, window, range);
}

void ApplyIdentityRange(RunState& state, Window& window, const IdentityRange& range) {
    // Zeros never count as the smallest identity, unless no other pair is below 100 % (every
    // pair 0, or 0 and 100 only): then 0 is the range's bottom, and the set is anything but
    // 100 % similar.
    const bool allZero = range.largest == 0.0f && range.pairs > 0;
    const double smallest = range.zeros > 0 && range.smallest == 1.0 ? 0.0 : range.smallest;
    state.maxIdentity = range.largest;
    state.minIdentity = smallest;

    if (static_cast<float>(smallest * 100.0) > state.cutoff2) {
        state.cutoff2 = static_cast<float>(std::nearbyint(smallest * 100.0));
        if (state.cutoff1 < state.cutoff2) state.cutoff1 = state.cutoff2;
    }
    // Shown whether raised or not: an earlier analysis's may be on the labels.
    window.SetCaption(Control::lblCutoff1dsply, PlainSingle(state.cutoff1));
    window.SetCaption(Control::lblCutoff2dsply, PlainSingle(state.cutoff2));
    window.SetValue(Control::updCutoff1, static_cast<int>(std::nearbyint(state.cutoff1)));
    window.SetValue(Control::UpdCutoff2, static_cast<int>(std::nearbyint(state.cutoff2)));

    if (allZero) {
        window.ShowMessage(kNothingSharedMessage);
        window.SetCaption(Control::lblProgress, "Failed");
        state.failFlag = true;
    } else if (smallest == 1.0) {
        window.ShowMessage("All sequences are 100% similar, the analysis connot be perfomed");
        window.SetCaption(Control::lblProgress, "Failed");
        state.failFlag = true;
    }
}

}  // namespace kvr
