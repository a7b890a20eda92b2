// kvr split SESSION.kvr --min N --max M --out BASE: the dataset splitter of the window, headless.
// Writes BASE + " 1.fas", BASE + " 2.fas", ... through kvr's output step and prints the files
// written, one per line; with --out - the datasets go to standard output one after another.
#include <iostream>

#include "analysis/run_paths.h"
#include "app/cli/command_tables.h"
#include "app/command_log.h"
#include "app/console_window.h"
#include "app/kvr_arguments.h"
#include "app/kvr_commands.h"
#include "app/kvr_outputs.h"
#include "app/kvr_signals.h"
#include "files/session.h"
#include "splitter/dataset_splitter.h"
#include "state/file_io.h"

#include <unistd.h>

namespace kvr::cli {

int Split(const Arguments& args) {
    SplitRequest request;
    const CommandTable table = SplitTable(request);
    const std::string name = "kvr split";
    if (const auto status = ReadCommandLine(table, args)) return *status;
    const bool toStandardOutput = request.base == kStandardOutput;
    // The first dataset's file stands for all: they share the folder.
    const std::string firstFile = toStandardOutput ? "" : DatasetFileName(request.base, 1);
    std::vector<std::string> outputs;
    if (!toStandardOutput) outputs.push_back(firstFile);
    if (const std::string problem = NamingProblem({request.session}, outputs, request.messages.log);
        !problem.empty())
        return UsageError(table, problem);
    CommandLog log(request.messages.log, name, args);
    if (!log.Problem().empty()) return Failure(name, log.Problem());
    const auto minPercent = ReadWholePercent(request.minText);
    const auto maxPercent = ReadWholePercent(request.maxText);
    if (!minPercent || !maxPercent)
        return Failure(name, "--min and --max must be numbers from 0 to 100");
    if (!toStandardOutput)
        if (const std::string problem = OutputProblem(firstFile); !problem.empty())
            return Failure(name, problem);

    RunState state;
    ConsoleWindow window(log.Console(), name, request.messages.quiet, log.Terminal(), log.File());
    if (!ReadSession(state, window, request.session)) return 1;
    AnalyseSession(state, window);
    if (const std::string refusal = CheckSplitRange(state, *minPercent, *maxPercent);
        !refusal.empty()) {
        window.ShowMessage(refusal);
        return 1;
    }
    const IdentityGroups groups =
        GroupByIdentityRange(state.IdentityMatrix, state.seqCount, *minPercent, *maxPercent);
    StopRequest stop;
    const StopOnSignals signals(stop);
    std::vector<std::string> files;
    bool written = true;
    const std::vector<int> datasets = DatasetGroups(groups);
    for (std::size_t d = 0; d < datasets.size() && written && signals.Signal() == 0; ++d) {
        const std::string path = toStandardOutput
                                     ? std::string(kStandardOutput)
                                     : DatasetFileName(request.base, static_cast<int>(d) + 1);
        written = WriteTextOutput(
            path,
            [&](std::ostream& out) {
                WriteGroup(out, state, groups, datasets[d]);
                return true;
            },
            std::cerr);
        if (written && !toStandardOutput) files.push_back(path);
    }
    window.Flush();
    if (signals.Signal() != 0)
        return signals.Cancelled(name, "the datasets not yet written were left as they were");
    for (const std::string& file : files) std::cout << file << "\n";
    return written ? 0 : 1;
}

}  // namespace kvr::cli
