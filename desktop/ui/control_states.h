// The control states of the main window, which follow from what the window is doing and what it
// shows (WindowView's windowState and view), set in one place.
#pragma once

#include "model/run_state.h"
#include "platform/window.h"
#include "ui/window_view.h"

namespace kvr {

inline constexpr const char* kMainCaption = "Kavorin - version 1";
inline constexpr const char* kDropToolTip = "Drag and drop here a file to analyse";

// Enables, disables, shows and hides every control of the main window as the state calls for:
// opening and dropping whenever nothing works; the analysis's menus and buttons only while one
// is on display, by its view; the colour and zoom controls only while its matrix is drawn, the
// cut-offs only in three colour mode; the Cancel button only while a run works. The scroll bars
// are left to the drawing while a matrix is drawn.
void ApplyControlStates(const RunState& state, const WindowView& shown, Window& window);

// Blank matrix view: the canvas filled with the button face and shown in the view, which takes
// the size of the outer frame.
void BlankMatrixView(Window& window);

// After a successful load or append: the state awaits its run, the view is blank.
void EnterAwaitingRunState(RunState& state, WindowView& shown, Window& window);

// After a refused or failed load: nothing of it on display, status "Failed".
void ResetAfterLoadFailure(RunState& state, WindowView& shown, Window& window);

// Puts a form in the middle of the screen: top (screen - form height) / 2, left likewise.
void CentreForm(Window& window, Control form);

}  // namespace kvr
