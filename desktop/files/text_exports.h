// The text exports: the score column file ("_col.txt"), the score matrix ("_mat.txt"), the plot
// data ("_plt.txt", and "Plot_data.txt" in the work folder) and all sequences (".fas"). Every
// number is written with "." whatever the locale, every line ends with CR LF.
#pragma once

#include <functional>
#include <ostream>
#include <string>

#include "platform/window.h"
#include "state/run_state.h"

namespace kvr {

inline constexpr const char* kWorkPlotDataName = "Plot_data.txt";

// The plot data header differs between the user's file and the work folder's.
enum class PlotDataHeader { UserFile, WorkFolder };

// Each writer writes as it formats, never holding the file whole; the Format... forms give the
// same text as one string (for small tables and tests).

// One line per sequence: its name, then "," and the identity in percent with one decimal for
// every column up to the diagonal; then an empty line.
void WriteScoreMatrix(std::ostream& out, const Analysis& analysis);
std::string FormatScoreMatrix(const Analysis& analysis);

// The header, then one line per whole percent 1 to 100: count and proportion of its pairs.
// BinArray must have been built.
void WritePlotData(std::ostream& out, const Analysis& analysis, PlotDataHeader header);
std::string FormatPlotData(const Analysis& analysis, PlotDataHeader header);

// Every sequence in display order, in the program's FASTA form.
void WriteAllSequences(std::ostream& out, const Analysis& analysis);
std::string FormatAllSequences(const Analysis& analysis);

// The steps every Save menu entry of a text shares: the dialog for a name (+ suffix), the status
// text and pointer, the write through a temporary file, a message when it fails, and the folder
// for the next dialog. write gets the progress of its pass when the export shows progress.
using ExportProgress = std::function<void(double done, double total)>;
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
