#include "engine/identity_range.h"

#include <cmath>

#include "state/number_text.h"

namespace kvr {

void FindIdentityRange(RunState& state, Window& window, const IdentityTable& matrix, int n) {
    float largest = 0.0f;
    double smallest = 1.0;
    for (int a = 0; a < n; ++a) {
        for (int b = 0; b < n; ++b) {
            if (a == b) continue;
            const float value = matrix(a, b);
            if (largest < value) largest = value;
            if (value != 0.0f && value < static_cast<float>(smallest)) smallest = value;
        }
    }
    state.maxIdentity = largest;
    state.minIdentity = smallest;

    if (static_cast<float>(smallest * 100.0) > state.cutoff2) {
        state.cutoff2 = static_cast<float>(std::nearbyint(smallest * 100.0));
        window.SetCaption(Control::lblCutoff2dsply, PlainSingle(state.cutoff2));
        if (state.cutoff1 < state.cutoff2) {
            state.cutoff1 = state.cutoff2;
            window.SetCaption(Control::lblCutoff1dsply, PlainSingle(state.cutoff1));
        }
    }
    window.SetValue(Control::updCutoff1, static_cast<int>(std::nearbyint(state.cutoff1)));
    window.SetValue(Control::UpdCutoff2, static_cast<int>(std::nearbyint(state.cutoff2)));

    if (smallest == 1.0) {
        window.ShowMessage("All sequences are 100% similar, the analysis connot be perfomed");
        window.SetCaption(Control::lblProgress, "Failed");
        state.failFlag = true;
    }
}

}  // namespace kvr
