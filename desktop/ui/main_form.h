// The main window's behaviour: receives every window event and hands it to the handler that the
// subsystems registered for that control. Besides the analysis on display (state) it holds the
// next one while its options window is open or its run works.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "io/settings.h"
#include "model/run_state.h"
#include "pipeline/run_options.h"
#include "platform/shell.h"
#include "platform/window.h"
#include "ui/window_view.h"
#include "ui/zoom.h"

namespace kvr {

// What the window showed before a file was opened or a run was asked for, to be put back whole
// when that comes to nothing: a refused file, a closed options window, a cancelled or failed run.
struct ShownBefore {
    WindowState windowState = WindowState::Idle;
    std::string caption;    // the window's title
    std::string fileLabel;  // lblFilePath
};

// An analysis on its way: the sequences loaded for it, the run the options window starts for
// them, and what to put back if it comes to nothing.
struct NextAnalysis {
    RunKind kind = RunKind::Fresh;
    RunState state;
    ShownBefore before;
};

class MainForm : public WindowEvents {
  public:
    MainForm(RunState& state, Window& window, Shell& shell, std::string programFolder);

    // Start-up: settings, size and position, layout, idle state.
    void Load();

    void OnClick(Control c) override;
    void OnValueChanged(Control c, int value) override;
    void OnFilesDropped(Control target, const std::vector<std::string>& paths) override;
    void OnResized() override;
    void OnPictureResized(Control picture) override;
    void OnMouseDown(Control c, bool rightButton) override;
    void OnPointerMoved(double x, double y) override;
    void OnCellOpened(double x, double y) override;
    bool OnCloseRequested() override;
    void OnFormClosed(Control form) override;
    void OnOpenRecent(const std::string& path) override;

    // Handler tables, filled by each subsystem's registration function.
    std::map<Control, std::function<void()>> clickHandlers;
    std::map<Control, std::function<void(int)>> changeHandlers;
    std::map<Control, std::function<void()>> pictureResizeHandlers;
    std::map<Control, std::function<void(bool rightButton)>> mouseDownHandlers;
    // Opens a session file and displays it in place of the analysis on display; false when it was
    // refused (nothing changed then).
    std::function<bool(const std::string& path)> loadSession;
    // Shows the run options window after a load; empty until runs can be started from it.
    std::function<void()> showRunOptions;

    // Writes the settings file now (the window's place, the recent files, the palette, the last
    // run's choices): each is kept as soon as it changes, not only when the program is left.
    bool SaveSettings();

    // The program's work folder ("tmp" in the program folder, or the per-user one).
    std::string WorkFolder() const;

    RunState& state;   // the analysis on display
    WindowView shown;  // what the window is doing, and how it shows the analysis
    WindowSettings windowSettings;
    std::optional<NextAnalysis> next;
    Window& window;
    Shell& shell;
    const std::string programFolder;
    // The built-in aligner's memory for one pair in the window's runs and its alignment viewer:
    // kvr's --pair-memory, which the window keeps at its default.
    int pairMemoryMegabytes = kPairMemoryMegabytes;

    // A file is read or written, a run works, or a handler waits for something.
    bool Working() const;
    // The matrix is drawn in the view: its cells can be pointed at, zoomed and selected.
    bool MatrixOnView() const;
    // The point of the view's drawing under the pointer (twips), none when it is elsewhere.
    std::optional<ViewPoint> PointerOnView() const { return pointer_; }
    std::string lastFind;  // what Find looked for last

  private:
    // A handler is running: events that its waits let through are for leaving and cancelling only.
    int handling_ = 0;
    std::optional<ViewPoint> pointer_;
};

}  // namespace kvr
