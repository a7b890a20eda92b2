#include "app/kvr_outputs.h"

#include <algorithm>
#include <fstream>
#include <functional>
#include <iostream>
#include <set>

#include "app/kvr_run_common.h"
#include "engine/score_table.h"
#include "files/pair_table.h"
#include "files/session_file.h"
#include "files/text_exports.h"
#include "plot/binning.h"
#include "state/file_io.h"

namespace kvr::cli {

namespace {

// Formats and writes one text output when it was asked for; "-" is standard output.
bool WriteText(const std::string& path, const std::function<std::string()>& format,
               std::ostream& err) {
    if (path.empty()) return true;
    if (path == kStandardOutput) {
        std::cout << format() << std::flush;
        const bool done = StreamDone(std::cout);
        if (!done) err << "cannot write the standard output\n";
        return done;
    }
    const WriteResult written = WriteWholeFile(path, format());
    if (!written) err << "cannot write " << path << ": " << written.reason << "\n";
    return static_cast<bool>(written);
}

}  // namespace

bool WriteStreamedText(const std::string& path, const std::function<bool(std::ostream&)>& write,
                       std::ostream& err) {
    if (path.empty()) return true;
    if (path == kStandardOutput) {
        write(std::cout);
        std::cout.flush();
        const bool done = StreamDone(std::cout);
        if (!done) err << "cannot write the standard output\n";
        return done;
    }
    const WriteResult written = ReplaceFile(path, [&](const std::string& temporary) {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        const bool whole = write(file);
        file.close();
        return whole && static_cast<bool>(file);
    });
    if (!written) err << "cannot write " << path << ": " << written.reason << "\n";
    return static_cast<bool>(written);
}

std::vector<std::string> OutputRequest::Paths() const {
    std::vector<std::string> paths;
    for (const std::string* p : {&scores, &table, &session, &matrixText, &plotData, &sequences})
        if (!p->empty()) paths.push_back(*p);
    for (const std::string& p : pictures.Paths()) paths.push_back(p);
    return paths;
}

std::vector<std::string> CheckOutputs(const OutputRequest& outputs) {
    std::vector<std::string> problems;
    std::set<std::string> seen;
    for (const std::string& path : outputs.Paths()) {
        const bool standardOutput = path == kStandardOutput;
        // Devices and pipes take any number of outputs; a file is replaced by one only.
        const std::string key = standardOutput ? path : ReplacedFile(path);
        if (!key.empty() && !seen.insert(key).second)
            problems.push_back(path + " is named for two outputs");
        if (standardOutput) {
            const auto pictures = outputs.pictures.Paths();
            if (std::find(pictures.begin(), pictures.end(), path) != pictures.end())
                problems.push_back("a picture cannot be written to standard output ('-')");
            continue;
        }
        if (std::string problem = OutputProblem(path); !problem.empty())
            problems.push_back(std::move(problem));
    }
    return problems;
}

bool WriteOutputs(RunState& state, Window& window, const OutputRequest& outputs,
                  std::ostream& err) {
    const int n = state.seqCount;
    bool written = true;
    written &= WriteText(
        outputs.scores,
        [&] { return FormatScoreColumns(state.SequenceList, state.IdentityMatrix, n); }, err);
    // The table is in file order: the input's after a run, the session's own for a session.
    const bool inputOrder = static_cast<int>(state.InputSequences.size()) == n;
    written &= WriteStreamedText(
        outputs.table,
        [&](std::ostream& out) {
            return inputOrder ? WritePairTable(out, state.InputSequences, state.InputIdentity, n)
                              : WritePairTable(out, state.SequenceList, state.IdentityMatrix, n);
        },
        err);
    written &= WriteText(
        outputs.session, [&] { return FormatSession(state.SequenceList, state.IdentityMatrix, n); },
        err);
    written &= WriteText(
        outputs.matrixText, [&] { return FormatScoreMatrix(state); }, err);
    written &= WriteText(
        outputs.plotData,
        [&] {
            // Binned once an analysis: by the run, or here for a session.
            if (state.BinArray.empty()) BinIdentities(state, window);
            return FormatPlotData(state, PlotDataHeader::UserFile);
        },
        err);
    written &= WriteText(
        outputs.sequences, [&] { return FormatAllSequences(state); }, err);
    if (outputs.pictures.Any() && !WritePictures(state, window, outputs.pictures, err))
        written = false;
    return written;
}

}  // namespace kvr::cli
