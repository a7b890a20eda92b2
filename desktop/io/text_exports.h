// The text exports: the score matrix ("_mat.txt"), the plot data ("_plt.txt", and
// "Plot_data.txt" in the work folder) and all sequences (".fas"); the score columns are
// io/score_table.h's. Every
// number is written with "." whatever the locale, every line ends with CR LF.
#pragma once

#include <functional>
#include <ostream>
#include <string>

#include "model/run_state.h"

namespace kvr {

inline constexpr const char* kWorkPlotDataName = "Plot_data.txt";

// The plot data header differs between the user's file and the work folder's.
enum class PlotDataHeader { UserFile, WorkFolder };

// Each writer writes as it formats, never holding the file whole; the Format... forms give the
// same text as one string (for small tables and tests).

// One line per sequence: its name, then "," and the identity in percent with one decimal for
// every column up to the diagonal; then an empty line.
void WriteScoreMatrix(std::ostream& out, const Analysis& analysis);
// The same, telling progress(done, total) as it goes (the window's save of a large matrix).
using ExportProgress = std::function<void(double done, double total)>;
void WriteScoreMatrix(std::ostream& out, const Analysis& analysis, const ExportProgress& progress);
std::string FormatScoreMatrix(const Analysis& analysis);

// The header, then one line per whole percent 1 to 100: count and proportion of its pairs.
// BinArray must have been built.
void WritePlotData(std::ostream& out, const Analysis& analysis, PlotDataHeader header);
std::string FormatPlotData(const Analysis& analysis, PlotDataHeader header);

// Every sequence in display order, in the program's FASTA form.
void WriteAllSequences(std::ostream& out, const Analysis& analysis);
std::string FormatAllSequences(const Analysis& analysis);

}  // namespace kvr
