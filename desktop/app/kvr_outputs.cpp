#include "app/kvr_outputs.h"

#include <algorithm>
#include <iostream>
#include <set>

#include "app/analysis_exports.h"
#include "app/kvr_run_common.h"
#include "io/file_io.h"
#include "io/score_table.h"
#include "io/session_file.h"
#include "io/text_exports.h"
#include "pipeline/pair_table.h"

namespace kvr::cli {

Result<void> CheckNaming(const std::vector<std::string>& inputs,
                         const std::vector<std::string>& outputs, const std::string& log,
                         const Update& update) {
    std::vector<std::string> written = outputs;
    if (!log.empty()) written.push_back(log);
    std::set<std::string> seen;
    for (const std::string& path : written) {
        const bool isLog = &path == &written.back() && !log.empty();
        const bool updating = !isLog && !update.output.empty() && path == update.output &&
                              ReplacesFile(path, update.input);
        for (const std::string& input : inputs)
            if (!updating && input != "-" && ReplacesFile(path, input))  // "-": standard input
                return Problem{path + " is the input " + input + ": " +
                               (isLog ? "the log" : "an output") + " would replace it"};
        // Devices and pipes take any number of outputs; a file is replaced by one only, and
        // standard output holds one.
        const std::string key = path == kStandardOutput ? path : ReplacedFile(path);
        if (!key.empty() && !seen.insert(key).second)
            return Problem{isLog ? path + " is named for the log and for an output"
                                 : path + " is named for two outputs"};
    }
    return {};
}

std::vector<std::string> CheckOutputs(const OutputRequest& outputs) {
    std::vector<std::string> problems;
    for (const std::string& path : outputs.Paths()) {
        if (path == kStandardOutput) {
            const auto pictures = outputs.pictures.Paths();
            if (std::find(pictures.begin(), pictures.end(), path) != pictures.end())
                problems.push_back("a picture cannot be written to standard output ('-')");
            continue;
        }
        if (const Result<void> writable = CheckOutput(path); !writable)
            problems.push_back(writable.problem().message);
    }
    return problems;
}

bool WriteTextOutput(const std::string& path, const std::function<bool(std::ostream&)>& write,
                     std::ostream& err) {
    bool gaveUp = false;
    if (path == kStandardOutput) {
        gaveUp = !write(std::cout);
        std::cout.flush();
        const bool done = StreamDone(std::cout);
        if (!done) err << "cannot write the standard output\n";
        return done && !gaveUp;
    }
    const Result<void> written = WriteStreamedFile(path, [&](std::ostream& out) {
        gaveUp = !write(out);
        return !gaveUp && static_cast<bool>(out);
    });
    if (!written && !gaveUp) err << WriteFailureMessage(path, written.problem()) << "\n";
    return static_cast<bool>(written);
}

bool WriteOutputs(const RunState& analysis, const OutputRequest& outputs, bool printOrder,
                  std::ostream& err) {
    bool written = true;
    for (std::size_t k = 0; k < kTextOutputs.size(); ++k) {
        if (outputs.text[k].empty()) continue;
        const auto write = kTextOutputs[k].write;
        written &= WriteTextOutput(
            outputs.text[k],
            [&](std::ostream& out) {
                write(out, analysis);
                return true;
            },
            err);
    }
    written &= WriteExports(analysis, outputs.exports, err);
    if (outputs.pictures.Any() &&
        !WritePictures(analysis, outputs.pictures, err,
                       outputs.pictures.outlineGroups
                           ? OutlinedGroupBlocks(analysis, outputs.exports)
                           : std::vector<CellBlock>{}))
        written = false;
    if (!printOrder || outputs.ToStandardOutput() || WritesStopped()) return written;
    return PrintDisplayOrder(analysis, std::cout) && written;
}

}  // namespace kvr::cli
