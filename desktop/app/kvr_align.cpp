// kvr align INPUT.fasta NAME1 NAME2: the alignment behind one pair's identity, made by the aligner
// of a run exactly as the run makes it, with its identity, gap-free columns, matches and coverage.
#include <unistd.h>

#include <iostream>

#include "app/console_window.h"
#include "app/kvr_commands.h"
#include "app/kvr_run_common.h"
#include "app/kvr_signals.h"
#include "engine/aligner_config.h"
#include "engine/external_programs.h"
#include "engine/pair_alignment.h"
#include "engine/run_options.h"
#include "files/alignment_text.h"
#include "platform/posix_shell.h"
#include "state/program_folder.h"
#include "state/record_lookup.h"
#include "state/text.h"

namespace kvr::cli {

namespace {

constexpr const char* kName = "kvr align";

constexpr const char* kUsage =
    "usage: kvr align INPUT.fasta NAME1 NAME2 [--aligner muscle|clustalw|mafft|builtin]\n"
    "                 [--format pair|fasta]\n";

constexpr const char* kHelp =
    "\n"
    "Aligns two sequences of a FASTA file as kvr run aligns their pair, and shows the alignment\n"
    "behind their identity. The identity is the one kvr run writes for the pair with the same\n"
    "aligner.\n"
    "\n"
    "NAME1 and NAME2 are names as the file has them (with or without the leading '>'; quote\n"
    "names with spaces), or the first words of a name when no other name starts with them, or\n"
    "the sequences' numbers in the file, from 1. The sequences keep the order given.\n"
    "INPUT.fasta may be gzip-compressed; '-' reads it from standard input.\n"
    "\n"
    "options:\n"
    "  --aligner NAME       muscle (the default), clustalw, mafft, or builtin\n"
    "  --format pair        (the default) the two rows with a match line between them ('|' the\n"
    "                       same symbol, '.' another, blank a gap), 60 columns a block, each\n"
    "                       line with the positions of its first and last residue; then the\n"
    "                       identity, the gap-free columns, the matches and each sequence's\n"
    "                       coverage (the gap-free columns over its length)\n"
    "  --format fasta       the aligned pair as FASTA ('-' for gaps), which kvr identity reads;\n"
    "                       the identity and the rest go to standard error\n"
    "  -h, --help           this help\n"
    "\n"
    "exit status: 0 done; 1 a name not found, or the aligner failed; 2 a wrong command line;\n"
    "130, 143, 129 cancelled by SIGINT, SIGTERM, SIGHUP.\n";

enum class Format { Pair, Fasta };

struct AlignRequest {
    std::string input;
    std::string names[2];
    int namesGiven = 0;
    RunOptions options;
    Format format = Format::Pair;
    bool help = false;
};

int UsageError(const std::string& problem) {
    return cli::UsageError(kName, kUsage, problem);
}

// Fills request from the arguments; returns what is wrong with them, or "".
std::string ParseAlignArguments(const Arguments& args, AlignRequest& request) {
    ArgumentReader reader(args);
    while (reader.Next()) {
        const std::string& arg = reader.Current();
        if (!reader.IsOption()) {
            if (request.input.empty()) {
                request.input = arg;
            } else if (request.namesGiven < 2) {
                request.names[request.namesGiven++] = arg;
            } else {
                return "one input file and two names expected, '" + arg + "' is one too many";
            }
        } else if (arg == "-h" || arg == "--help") {
            request.help = true;
        } else if (arg == "--format") {
            std::string value;
            if (!reader.TakeValue(value) || (value != "pair" && value != "fasta"))
                return "--format needs pair or fasta";
            request.format = value == "pair" ? Format::Pair : Format::Fasta;
        } else if (arg == "--aligner") {
            if (!reader.TakeValue(request.options.aligner))
                return "--aligner needs a name: muscle, clustalw, mafft or builtin";
        } else {
            return "unknown option '" + reader.Typed() + "'";
        }
    }
    if (!request.help && request.namesGiven < 2)
        return request.input.empty() ? "no input file given"
                                     : "two sequences are needed: their names or numbers";
    return {};
}

}  // namespace

int Align(const Arguments& args) {
    AlignRequest request;
    if (const std::string problem = ParseAlignArguments(args, request); !problem.empty())
        return UsageError(problem);
    if (request.help) {
        std::cout << kUsage << kHelp;
        return 0;
    }
    if (const auto problems = ValidateRunOptions(request.options); !problems.empty())
        return UsageError(problems.front());

    const AlignerConfigLoad programs = LoadAlignerConfig(ProgramFolder());
    for (const std::string& problem : programs.problems) Failure(kName, problem);
    if (!programs.problems.empty()) return 1;
    const auto missing = CheckRunPrograms(programs.config, request.options.aligner, false);
    for (const std::string& problem : missing) Failure(kName, problem);
    if (!missing.empty()) return 1;

    RunState state;
    ConsoleWindow window(std::cerr, kName, true, ::isatty(STDERR_FILENO) == 1);
    if (!LoadInput(state, window, request.input, kName, false)) return 1;
    int index[2];
    for (int k = 0; k < 2; ++k) {
        const RecordLookup found = FindRecord(state.InputSequences, request.names[k]);
        if (found.index < 0) return Failure(kName, state.inputPath + ": " + found.problem);
        index[k] = found.index;
    }
    if (index[0] == index[1])
        return Failure(kName, "'" + request.names[0] + "' and '" + request.names[1] +
                                  "' are the same sequence (number " +
                                  std::to_string(index[0] + 1) + "): two are needed");

    PosixShell shell;
    const StopOnSignals signals(shell.Stop());
    const AlignedPair pair =
        AlignRecordPair({shell, programs.config, WorkFolder()}, request.options.aligner,
                        state.InputSequences, index[0], index[1]);
    if (signals.Signal() != 0 || shell.Stop().Raised())
        return signals.Cancelled(kName, "the aligner was ended");
    const std::string& first = state.InputSequences[static_cast<std::size_t>(index[0])].name;
    const std::string& second = state.InputSequences[static_cast<std::size_t>(index[1])].name;
    if (!pair.outcome.Ok())
        return Failure(kName, AlignerTitle(request.options.aligner) + " could not align " +
                                  PrintableText(first, 80) + " and " + PrintableText(second, 80) +
                                  ": " + pair.outcome.message);

    const std::string summary = FormatAlignmentSummary(pair, first, second);
    if (request.format == Format::Fasta) {
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
