// The window "Create datasets" (frmIdentityPrct): the identity range typed, checked, and the
// datasets written where the user says.
#pragma once

#include "model/run_state.h"
#include "platform/window.h"

namespace kvr {

void OnSplitterLoad(Window& window);                 // frmIdentityPrct is shown, centred
void OnSplitterOk(RunState& state, Window& window);  // cmdOk

}  // namespace kvr
