// The main window's behaviour: receives every window event and hands it to the handler that the
// subsystems registered for that control. Holds no state of its own beyond the handler tables.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/shell.h"
#include "platform/window.h"
#include "state/run_state.h"

namespace kvr {

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
    bool OnCloseRequested() override;

    // Handler tables, filled by each subsystem's registration function.
    std::map<Control, std::function<void()>> clickHandlers;
    std::map<Control, std::function<void(int)>> changeHandlers;
    std::map<Control, std::function<void()>> pictureResizeHandlers;
    std::map<Control, std::function<void(bool rightButton)>> mouseDownHandlers;
    // Opens a session file and displays it; false when it was refused (nothing changed then).
    std::function<bool(const std::string& path)> loadSession;
    // Shows the run options window after a load; empty until runs can be started from it.
    std::function<void()> showRunOptions;

    // The program's work folder ("tmp" in the program folder, or the per-user one).
    std::string WorkFolder() const;

    RunState& state;
    Window& window;
    Shell& shell;
    const std::string programFolder;
};

}  // namespace kvr
