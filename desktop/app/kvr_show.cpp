// kvr show SESSION.kvr [outputs]: opens a session without aligning and writes what is asked, with
// the same reader and writers as the window.
#include <iostream>

#include "app/analysis_exports.h"
#include "app/cli/command_tables.h"
#include "app/command_log.h"
#include "app/console_progress.h"
#include "app/kvr_arguments.h"
#include "app/kvr_commands.h"
#include "app/kvr_outputs.h"
#include "app/kvr_signals.h"
#include "io/session_reading.h"
#include "pipeline/run_pipeline.h"

#include <unistd.h>

namespace kvr::cli {

int Show(const Arguments& args, CommandLog& log) {
    ShowRequest request;
    const CommandTable table = ShowTable(request);
    const std::string name = "kvr show";
    if (const auto status = ReadCommandLine(table, args)) return *status;
    if (const Result<void> checked =
            CheckNaming({request.session}, request.outputs.Paths(), request.messages.log);
        !checked)
        return UsageError(table, checked.problem().message);
    if (const Result<void> opened = log.Open(request.messages.log, name, args); !opened)
        return Failure(name, opened.problem().message);
    const OutputRequest& outputs = request.outputs;
    const RunOptions& options = request.options;
    if (const auto problems = ValidateRunOptions(options); !problems.empty())
        return UsageError(table, problems.front());
    if (const auto problems = CheckPictureRequest(outputs.pictures); !problems.empty())
        return UsageError(table, problems.front());
    if (const auto problems = CheckOutputs(outputs); !problems.empty()) {
        for (const std::string& problem : problems) Failure(name, problem);
        return 1;
    }

    RunState state;
    ConsoleProgress progress(log.Console(), name, request.messages.quiet, log.Terminal(),
                             log.File());
    ApplyColourOptions(options, state);
    if (!ReadSession(state, progress, request.session)) return 1;
    if (const Result<void> checked = CheckKeptTree(outputs.exports, state, request.session);
        !checked)
        return Failure(name, checked.problem().message);
    if (outputs.pictures.tree && state.provenance.tree.empty())
        return Failure(name, "--picture-tree: " + request.session +
                                 " keeps no tree (only the sessions of kvr run, append or merge "
                                 "with --tree do), so nothing was written");
    // Every pair identical is a warning: the results are written all the same.
    AnalyseSession(state, progress);
    StopRequest stop;
    const StopOnSignals signals(stop);
    const bool written = WriteOutputs(state, outputs, false, std::cerr);
    progress.Flush();
    if (signals.Signal() != 0)
        return signals.Cancelled(name, "the outputs not yet written were left as they were");
    return written ? 0 : 1;
}

}  // namespace kvr::cli
