// The one output step of kvr run, kvr append, kvr show and kvr merge: from the analysis (the
// sequences in display order, the identity table, range and bins), every output asked for and
// nothing else. A text output is one small writer registered in kTextOutputs; each is written as
// it is formatted, to a file replaced only when whole, or to standard output for "-".
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/kvr_pictures.h"
#include "app/output_request.h"
#include "model/result.h"
#include "model/run_state.h"
#include "pipeline/run_options.h"
#include "platform/progress.h"

namespace kvr::cli {

// The command line's mistake in naming its files, if it made one: one file named for two outputs,
// or for the log and an output, or an output or the log that is one of the inputs (it would be
// lost). update, when given, is an output and the input it may replace: kvr append's --session
// and the session it extends, read whole before its new content replaces it. Checked before the
// log is opened, so that nothing is written.
struct Update {
    std::string output;
    std::string input;
};
Result<void> CheckNaming(const std::vector<std::string>& inputs,
                         const std::vector<std::string>& outputs, const std::string& log,
                         const Update& update = {});

// What keeps the outputs from being written, checked before any work: a folder that does not
// exist or cannot be written, a path that is a folder. (A wrong picture type is a command-line
// mistake: CheckPictureRequest.)
std::vector<std::string> CheckOutputs(const OutputRequest& outputs);

// Writes one text output as write formats it: to standard output for "-", else through a
// temporary file that replaces path only when whole. write returns false to give up (its caller
// says why; a file then keeps its old content). False when not written, with the reason on err
// when the output itself failed.
bool WriteTextOutput(const std::string& path, const std::function<bool(std::ostream&)>& write,
                     std::ostream& err);

// Writes every requested output of the analysis (SequenceList, IdentityMatrix, the range and
// BinArray), then, when printOrder is set, no output went to standard output and no signal asked
// to stop, the display order on standard output. False, with one message per failure on err,
// when one could not be written.
bool WriteOutputs(const RunState& analysis, const OutputRequest& outputs, bool printOrder,
                  std::ostream& err);

}  // namespace kvr::cli
