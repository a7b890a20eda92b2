// Control states that several handlers put the main window into.
#pragma once

#include <array>

#include "platform/window.h"

namespace kvr {

inline constexpr const char* kMainCaption = "Kavorin - version 1";
inline constexpr const char* kDropToolTip = "Drag and drop here a file to analyse";

// Blank matrix view: the canvas filled with the button face and shown in the view, which takes
// the size of the outer frame.
void BlankMatrixView(Window& window);

// After a successful load or append: everything that acts on an analysis is disabled, the colour
// key hidden and the matrix view blanked, until the run options window starts a run.
void EnterAwaitingRunState(Window& window);

// Disables everything that acts on an analysis on display and hides the colour key.
void DisableAnalysisControls(Window& window);

// After a refused or failed load: opening and dropping available again, status "Failed".
void ResetAfterLoadFailure(Window& window);

// The enabled and visible state of every control and the two drop targets, to put the window
// back as it was (a cancelled run returns it to its state before Run).
class ControlSnapshot {
  public:
    explicit ControlSnapshot(const Window& window);
    void Restore(Window& window) const;

  private:
    std::array<bool, kControlCount> enabled_{};
    std::array<bool, kControlCount> visible_{};
    bool dropOnWindow_ = false;
    bool dropOnView_ = false;
};

// Puts a form in the middle of the screen: top (screen - form height) / 2, left likewise.
void CentreForm(Window& window, Control form);

// Enable or disable opening and dropping (menu "&Open", drops on the window and the matrix view).
void SetOpeningEnabled(Window& window, bool enabled);

}  // namespace kvr
