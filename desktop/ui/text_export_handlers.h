// The window's Save menu entries of texts: a name asked, the file written through the one writer,
// the status and a message when it fails; and the work folder's "Plot_data.txt".
#pragma once

#include <functional>
#include <ostream>
#include <string>

#include "io/text_exports.h"
#include "model/run_state.h"
#include "platform/window.h"

namespace kvr {

// The steps every Save menu entry of a text shares: the dialog for a name (+ suffix), the status
// text and pointer, the write through a temporary file, a message when it fails, and the folder
// for the next dialog. write gets the progress of its pass when the export shows progress.
void ExportText(
    RunState& state, Window& window, const char* status, const char* suffix, bool showsProgress,
    const std::function<void(std::ostream& out, const ExportProgress& progress)>& write);

// The four menu handlers: ask for a name, write it + the suffix.
void OnSaveScoresColumn(RunState& state, Window& window);  // mnuColumn: "_col.txt"
void OnSaveScoresMatrix(RunState& state, Window& window);  // mnuMat: "_mat.txt"
void OnSavePlotData(RunState& state, Window& window);      // mnuPlotData: "_plt.txt"
void OnSaveAllSequences(RunState& state, Window& window);  // mnu_Save_All: ".fas"

// Replaces the work folder's "Plot_data.txt". False, with the user told, when it cannot.
bool WriteWorkPlotData(const Analysis& analysis, Window& window, const std::string& workFolder);

}  // namespace kvr
