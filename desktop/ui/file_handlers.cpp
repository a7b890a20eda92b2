#include "ui/file_handlers.h"

#include "ui/main_form.h"
#include "ui/run_command.h"
#include "ui/run_paths.h"
#include "ui/session.h"
#include "ui/splitter_form.h"
#include "ui/text_export_handlers.h"
#include "ui/window_states.h"

namespace kvr {

void RegisterFileHandlers(MainForm& form) {
    RunState& state = form.state;
    Window& window = form.window;
    form.clickHandlers[Control::mnuSaveSession] = [&] { WriteSession(state, window); };
    form.clickHandlers[Control::mnuColumn] = [&] { OnSaveScoresColumn(state, window); };
    form.clickHandlers[Control::mnuMat] = [&] { OnSaveScoresMatrix(state, window); };
    form.clickHandlers[Control::mnuPlotData] = [&] { OnSavePlotData(state, window); };
    form.clickHandlers[Control::mnu_Save_All] = [&] { OnSaveAllSequences(state, window); };
    form.clickHandlers[Control::mnuSaveSeqs] = [&] { OnSplitterLoad(window); };
    form.clickHandlers[Control::cmdOk] = [&] { OnSplitterOk(state, window); };
    form.clickHandlers[Control::CmdRun] = [&form] { OnRunClicked(form); };
    form.clickHandlers[Control::cmdCancel] = [&form] { OnCancelClicked(form); };
    form.showRunOptions = [&form] {
        ShowRunOptions(form.window, form.state, form.next ? form.next->kind : RunKind::Fresh);
    };
    form.loadSession = [&form](const std::string& path) {
        return LoadSession(form.state, form.shown, form.window, path, form.WorkFolder());
    };
}

}  // namespace kvr
