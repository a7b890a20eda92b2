// The files kvr run, kvr show and kvr append write from an analysis: the score column file, the
// session, the score matrix, the plot data, all sequences, and the pictures. File names are taken
// exactly as given; every file is replaced only when written whole.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "app/kvr_pictures.h"
#include "engine/run_options.h"
#include "platform/window.h"
#include "state/run_state.h"

namespace kvr::cli {

struct OutputRequest {
    std::string scores;      // "First Sequence,Second Sequence,Identity Score" table
    std::string table;       // the pair table for pipelines (TSV), in file order
    std::string session;     // the session file
    std::string matrixText;  // the lower triangle in percent
    std::string plotData;    // the distribution by whole percent
    std::string sequences;   // every sequence in display order, FASTA
    PictureRequest pictures;

    std::vector<std::string> Paths() const;
};

// The file name of a text output that goes to standard output.
inline constexpr const char* kStandardOutput = "-";

// What keeps the outputs from being written, checked before any work: a folder that does not
// exist or cannot be written, a path that is a folder, one file named twice. (A wrong picture type
// is a command-line mistake: CheckPictureRequest.)
std::vector<std::string> CheckOutputs(const OutputRequest& outputs);

// Writes one text output as write formats it, never held whole (a table of millions of pairs):
// to standard output for "-", else replacing the file once whole. False, with a message on err,
// when it could not be written.
bool WriteStreamedText(const std::string& path, const std::function<bool(std::ostream&)>& write,
                       std::ostream& err);

// Writes every requested output of the analysis on display (SequenceList, IdentityMatrix,
// minIdentity). False, with one message per failure on err, when one could not be written.
bool WriteOutputs(RunState& state, Window& window, const OutputRequest& outputs, std::ostream& err);

}  // namespace kvr::cli
