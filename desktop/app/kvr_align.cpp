// kvr align INPUT.fasta NAME1 NAME2: the alignment behind one pair's identity, made by the aligner
// of a run exactly as the run makes it, with its identity, gap-free columns, matches and coverage.
#include <unistd.h>

#include <iostream>

#include "app/cli/command_tables.h"
#include "app/console_progress.h"
#include "app/kvr_arguments.h"
#include "app/kvr_commands.h"
#include "app/kvr_run_common.h"
#include "app/kvr_signals.h"
#include "io/program_folder.h"
#include "io/record_lookup.h"
#include "io/text.h"
#include "pipeline/aligner_config.h"
#include "pipeline/alignment_text.h"
#include "pipeline/external_programs.h"
#include "pipeline/pair_alignment.h"
#include "pipeline/run_options.h"
#include "platform/posix_shell.h"

namespace kvr::cli {

int Align(const Arguments& args, CommandLog&) {
    AlignRequest request;
    const CommandTable table = AlignTable(request);
    const std::string name = "kvr " + table.name;
    if (const auto status = ReadCommandLine(table, args)) return *status;
    if (request.names.size() > 2)
        return UsageError(table, "one input file and two names expected, '" + request.names[2] +
                                     "' is one too many");
    if (request.names.size() < 2)
        return UsageError(table, "two sequences are needed: their names or numbers");
    if (const auto problems = ValidateRunOptions(request.options); !problems.empty())
        return UsageError(table, problems.front());

    const AlignerConfigLoad programs = LoadAlignerConfig(ProgramFolder());
    for (const std::string& problem : programs.problems) Failure(name, problem);
    if (!programs.problems.empty()) return 1;
    const auto missing = CheckRunPrograms(programs.config, request.options.aligner, false);
    for (const std::string& problem : missing) Failure(name, problem);
    if (!missing.empty()) return 1;

    RunState state;
    ConsoleProgress progress(std::cerr, name, true, ::isatty(STDERR_FILENO) == 1);
    if (!LoadInput(state, progress, request.input, name, false)) return 1;
    int index[2];
    for (int k = 0; k < 2; ++k) {
        const Result<int> found = FindRecord(state.InputSequences, request.names[k]);
        if (!found) return Failure(name, state.inputPath + ": " + found.problem().message);
        index[k] = found.value();
    }
    if (index[0] == index[1])
        return Failure(name, "'" + request.names[0] + "' and '" + request.names[1] +
                                 "' are the same sequence (number " + std::to_string(index[0] + 1) +
                                 "): two are needed");

    PosixShell shell;
    const StopOnSignals signals(shell.Stop());
    const AlignedPair pair =
        AlignRecordPair({shell, programs.config, WorkFolder(), request.options.alphabet,
                         request.options.pairMemoryMegabytes, request.options.ambiguous},
                        request.options.aligner, state.InputSequences, index[0], index[1]);
    if (signals.Signal() != 0 || shell.Stop().Raised())
        return signals.Cancelled(name, "the aligner was ended");
    const std::string& first = state.InputSequences[static_cast<std::size_t>(index[0])].name;
    const std::string& second = state.InputSequences[static_cast<std::size_t>(index[1])].name;
    if (!pair.outcome.Ok())
        return Failure(name, AlignerTitle(request.options.aligner) + " could not align " +
                                 PrintableText(first, 80) + " and " + PrintableText(second, 80) +
                                 ": " + pair.outcome.problem().message);

    const std::string summary = FormatAlignmentSummary(pair, first, second);
    if (Compared(pair.counts, pair.ambiguous).columns == 0)
        std::cerr << UncomparedWarning({1, index[0], index[1]}, state.InputSequences, name);
    if (request.format == AlignRequest::Format::Fasta) {
        std::cout << FormatAlignedFasta(first, pair.first, second, pair.second);
        std::cerr << summary;
    } else {
        std::cout << FormatPairView(PairViewBlocks(first, pair.first, second, pair.second)) << "\n"
                  << summary;
    }
    std::cout.flush();
    return StreamDone(std::cout) ? 0 : 1;
}

}  // namespace kvr::cli
