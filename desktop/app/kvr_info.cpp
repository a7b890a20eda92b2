// kvr info SESSION.kvr: what a session keeps besides its identities, as "key<TAB>value" lines:
// its counts, whether it keeps a tree, and the record of how its identities were made.
#include <algorithm>
#include <iostream>

#include "app/cli/command_tables.h"
#include "app/console_progress.h"
#include "app/kvr_arguments.h"
#include "app/kvr_commands.h"
#include "app/kvr_outputs.h"
#include "app/kvr_run_common.h"
#include "io/analysis_properties.h"
#include "io/session_file.h"
#include "io/session_reading.h"

namespace kvr::cli {

namespace {

void PrintLine(std::ostream& out, std::string_view key, std::string_view value) {
    out << key << '\t' << EscapeProvenanceValue(value) << '\n';
}

// The lines of AnalysisProperties.
void PrintInfo(std::ostream& out, const RunState& state) {
    for (const auto& [key, value] : AnalysisProperties(state)) PrintLine(out, key, value);
}

}  // namespace

int Info(const Arguments& args, CommandLog& log) {
    InfoRequest request;
    const CommandTable table = InfoTable(request);
    const std::string name = "kvr info";
    if (const auto status = ReadCommandLine(table, args)) return *status;
    if (const Result<void> checked = CheckNaming({request.session}, {}, request.messages.log);
        !checked)
        return UsageError(table, checked.problem().message);
    if (const Result<void> opened = log.Open(request.messages.log, name, args); !opened)
        return Failure(name, opened.problem().message);
    RunState state;
    ConsoleProgress progress(log.Console(), name, request.messages.quiet, log.Terminal(),
                             log.File());
    const bool read = ReadSession(state, progress, request.session);
    progress.Flush();
    if (!read) return 1;
    PrintInfo(std::cout, state);
    std::cout.flush();
    return StreamDone(std::cout) ? 0 : 1;
}

}  // namespace kvr::cli
