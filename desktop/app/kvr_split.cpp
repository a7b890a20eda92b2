// kvr split SESSION.kvr --min N --max M --out BASE: the dataset splitter of the window, headless.
// Writes BASE + " 1.fas", BASE + " 2.fas", ... and prints the files written, one per line.
#include <iostream>

#include "app/cli/command_tables.h"
#include "app/command_log.h"
#include "app/console_window.h"
#include "app/kvr_arguments.h"
#include "app/kvr_commands.h"
#include "app/kvr_signals.h"
#include "engine/run_paths.h"
#include "files/session.h"
#include "splitter/dataset_splitter.h"

#include <unistd.h>

namespace kvr::cli {

int Split(const Arguments& args) {
    SplitRequest request;
    const CommandTable table = SplitTable(request);
    const std::string name = "kvr split";
    if (const auto status = ReadCommandLine(table, args)) return *status;
    CommandLog log(request.messages.log, name, args, {});
    if (!log.Problem().empty()) return Failure(name, log.Problem());

    RunState state;
    ConsoleWindow window(log.Console(), name, request.messages.quiet, log.Terminal(), log.File());
    const auto minPercent = ReadWholePercent(request.minText);
    const auto maxPercent = ReadWholePercent(request.maxText);
    if (!minPercent || !maxPercent)
        return Failure(name, "--min and --max must be numbers from 0 to 100");
    if (!ReadSession(state, window, request.session)) return 1;
    AnalyseSession(state, window);
    if (const std::string refusal = CheckSplitRange(state, *minPercent, *maxPercent);
        !refusal.empty()) {
        window.ShowMessage(refusal);
        return 1;
    }
    const IdentityGroups groups =
        GroupByIdentityRange(state.IdentityMatrix, state.seqCount, *minPercent, *maxPercent);
    std::string failure;
    StopRequest stop;
    const StopOnSignals signals(stop);
    const auto files = WriteDatasets(state, window, groups, request.base, failure);
    window.Flush();
    if (signals.Signal() != 0)
        return signals.Cancelled(name, "the datasets not yet written were left as they were");
    for (const std::string& file : files) std::cout << file << "\n";
    if (!failure.empty()) {
        window.ShowMessage(failure);
        return 1;
    }
    return 0;
}

}  // namespace kvr::cli
