// kvr run INPUT.fasta and kvr append SESSION.kvr NEW.fasta: the desktop program's run paths
// without a window: progress and messages go to
// standard error; the display order to standard output; the results to the files asked for.

#include <iostream>

#include "app/analysis_exports.h"
#include "app/cli/command_tables.h"
#include "app/command_log.h"
#include "app/console_progress.h"
#include "app/kvr_arguments.h"
#include "app/kvr_commands.h"
#include "app/kvr_outputs.h"
#include "app/kvr_provenance.h"
#include "app/kvr_run_common.h"
#include "app/kvr_signals.h"
#include "io/export_sets.h"
#include "io/program_folder.h"
#include "io/session_reading.h"
#include "pipeline/aligner_config.h"
#include "pipeline/aligner_version.h"
#include "pipeline/external_programs.h"
#include "pipeline/run_options.h"
#include "pipeline/run_pipeline.h"
#include "pipeline/run_provenance.h"
#include "platform/posix_shell.h"

namespace kvr::cli {

namespace {

// kvr run and kvr append: the same checks, the window's run paths, the same outputs.
int Analyse(const Arguments& args, CommandLog& log, bool append) {
    RunRequest request;
    const CommandTable table = append ? AppendTable(request) : RunTable(request);
    const std::string name = "kvr " + table.name;
    if (const auto status = ReadCommandLine(table, args)) return *status;
    std::vector<std::string> inputs = {request.input};
    if (append) inputs.push_back(request.session);
    if (const Result<void> checked =
            CheckNaming(inputs, request.outputs.Paths(), request.messages.log,
                        {append ? request.outputs.File("--session") : "", request.session});
        !checked)
        return UsageError(table, checked.problem().message);
    if (const Result<void> opened = log.Open(request.messages.log, name, args); !opened)
        return Failure(name, opened.problem().message);
    if (const auto problems = ValidateRunOptions(request.options); !problems.empty())
        return UsageError(table, problems.front());
    if (const auto problems =
            CheckPictureRequest(request.outputs.pictures, request.options.useTree);
        !problems.empty())
        return UsageError(table, problems.front());
    if (const Result<void> checked =
            CheckExportRequest(request.outputs.exports, request.options.useTree);
        !checked)
        return UsageError(table, checked.problem().message);
    if (const auto problems = CheckOutputs(request.outputs); !problems.empty()) {
        for (const std::string& problem : problems) Failure(name, problem);
        return 1;
    }

    // The programs are checked before anything runs.
    const AlignerConfigLoad programs = LoadAlignerConfig(ProgramFolder());
    for (const std::string& problem : programs.problems) Failure(name, problem);
    if (!programs.problems.empty()) return 1;
    const auto missing =
        CheckRunPrograms(programs.config, request.options.aligner, request.options.useTree);
    for (const std::string& problem : missing) Failure(name, problem);
    if (!missing.empty()) return 1;

    RunState state;
    ConsoleProgress progress(log.Console(), name, request.messages.quiet, log.Terminal(),
                             log.File());
    ApplyRunOptions(request.options, state);
    ApplyColourOptions(request.options, state);
    if (append && !ReadSession(state, progress, request.session)) return 1;
    // The pairs the session holds were made as its record says; the run replaces the record.
    const Provenance session = std::move(state.provenance);
    const Aligner aligner = request.options.aligner;
    if (append && !request.mixAligners) {
        const Result<void> checks[] = {
            CheckAlignerMixing(session, aligner, request.session),
            CheckRuleMixing(session, request.options.ambiguous, request.session)};
        bool refused = false;
        for (const Result<void>& check : checks)
            if (!check) {
                std::cerr << name << ": " << check.problem().message << "; nothing was written\n";
                refused = true;
            }
        if (refused) return 2;
    }
    RunFacts facts{table.name, {}, AlignerCommand(programs.config, aligner), request.input, {}};
    if (!LoadInput(state, progress, request.input, name, append, &facts.inputChecksum)) return 1;
    // Only the pipeline table writes the counts behind each identity: kept for it alone (after
    // the session is read, which starts the state anew).
    state.keepPairCounts = !request.outputs.File("--table").empty();

    PosixShell shell;
    const StopOnSignals signals(shell.Stop());
    RunSetup setup{shell, programs.config, WorkFolder()};
    setup.jobs = request.options.jobs;
    setup.pairTimeoutSeconds = request.options.pairTimeoutSeconds;
    setup.alphabet = request.options.alphabet;
    setup.pairMemoryMegabytes = request.options.pairMemoryMegabytes;
    setup.ambiguous = request.options.ambiguous;
    const RunOutcome outcome =
        Analyse(state, progress, setup, append ? RunKind::Append : RunKind::Fresh);
    if (!outcome.cancelled) {
        facts.alignerVersion = AlignerVersion(shell, programs.config, aligner, WorkFolder());
        log.Note("aligner: " + std::string(AlignerName(aligner)) + ", version " +
                 facts.alignerVersion);
    }
    progress.Flush();
    if (outcome.cancelled || shell.Stop().Raised())
        return signals.Cancelled(name, "the aligners were ended and nothing was written");
    if (!outcome.aligned) return 1;
    Provenance record = RunProvenance(request.options, facts);
    record.tree = KeptTree(state);
    state.provenance = append ? AppendedProvenance(session, record) : std::move(record);
    // The files first, so that a reader of the display order who stops early (| head -1) costs
    // no file.
    const bool written = WriteOutputs(state, request.outputs, true, std::cerr);
    if (signals.Signal() != 0)
        return signals.Cancelled(name, "the outputs not yet written were left as they were");
    ReportBuiltinNotes(state, setup.alphabet, name, request.messages.quiet, std::cerr);
    std::cerr << UncomparedWarning(state.uncompared, state.InputSequences, name);
    // Every pair identical is a warning: the results are written, and a pipeline may use them.
    return written && outcome.ordered ? 0 : 1;
}

}  // namespace

int Run(const Arguments& args, CommandLog& log) {
    return Analyse(args, log, false);
}

int Append(const Arguments& args, CommandLog& log) {
    return Analyse(args, log, true);
}

}  // namespace kvr::cli
