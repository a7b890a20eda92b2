// kvr run INPUT.fasta [options]: the whole analysis of the desktop program without a window.
// Loads the file, aligns every pair, finds the identity range, orders by the tree when asked,
// and writes the results. Progress and the window's messages go to standard error.
#include <unistd.h>

#include <iostream>
#include <numeric>

#include "app/console_window.h"
#include "app/kvr_commands.h"
#include "app/kvr_outputs.h"
#include "engine/aligner_config.h"
#include "engine/all_pairs.h"
#include "engine/exchange_folder.h"
#include "engine/external_programs.h"
#include "engine/identity_range.h"
#include "engine/run_options.h"
#include "engine/tree_order.h"
#include "platform/posix_shell.h"
#include "state/fasta.h"
#include "state/program_folder.h"

namespace kvr::cli {

namespace {

constexpr const char* kName = "kvr run";

constexpr const char* kUsage =
    "usage: kvr run INPUT.fasta [--aligner muscle|clustalw|mafft] [--tree] [--scores FILE]\n"
    "               [--session FILE] [--matrix-text FILE] [--plot-data FILE] [--sequences FILE]\n"
    "               [--mode full|three] [--cutoffs C1,C2] [--matrix-emf FILE] [--plot-emf FILE]\n"
    "               [--matrix-image FILE] [--plot-image FILE] [--quiet]\n";

constexpr const char* kHelp =
    "\n"
    "Aligns every pair of sequences of a FASTA file with an external aligner and computes each\n"
    "pair's identity: identical symbols divided by the alignment columns in which neither\n"
    "sequence has a gap (1 means identical). Then prints the order in which the sequences are\n"
    "shown, one line per sequence: its number in the input file, a tab, and its name line.\n"
    "\n"
    "options:\n"
    "  --aligner NAME       muscle (the default), clustalw or mafft\n"
    "  --tree               order the sequences by a neighbour-joining tree (PHYLIP's neighbor)\n"
    "                       of the distances 1 - identity, so that similar sequences sit\n"
    "                       together; without it they keep the order of the input file\n";

constexpr const char* kHelpEnd =
    "  --quiet              no progress on standard error (messages still appear)\n"
    "  -h, --help           this help\n"
    "\n"
    "The aligners are started with the command lines of aligners.conf beside kvr, or of the\n"
    "environment variables KVR_MUSCLE, KVR_CLUSTALW, KVR_MAFFT and KVR_NEIGHBOR (see\n"
    "docs/aligners.md). Their files go to a folder of this run's own, removed at the end.\n"
    "\n"
    "exit status: 0 done; 1 failed, or every pair identical, or the tree could not be used (the\n"
    "message says which; in the last two cases the results are still written, in input order\n"
    "when the tree failed); 2 a wrong command line.\n";

struct RunRequest {
    std::string input;
    RunOptions options;
    OutputRequest outputs;
    bool quiet = false;
    bool help = false;
};

int UsageError(const std::string& problem) {
    std::cerr << kName << ": " << problem << "\n" << kUsage << "'kvr run --help' says more.\n";
    return 2;
}

int Failure(const std::string& problem) {
    std::cerr << kName << ": " << problem << "\n";
    return 1;
}

// Fills request from the arguments; returns what is wrong with them, or "".
std::string ParseRunArguments(const Arguments& args, RunRequest& request) {
    ArgumentReader reader(args);
    while (reader.Next()) {
        const std::string& arg = reader.Current();
        if (!reader.IsOption()) {
            if (!request.input.empty())
                return "one input file expected, got '" + request.input + "' and '" + arg + "'";
            request.input = arg;
        } else if (arg == "-h" || arg == "--help") {
            request.help = true;
        } else if (arg == "--tree" && !reader.HasInlineValue()) {
            request.options.useTree = true;
        } else if ((arg == "--quiet" || arg == "-q") && !reader.HasInlineValue()) {
            request.quiet = true;
        } else if (arg == "--aligner") {
            if (!reader.TakeValue(request.options.aligner))
                return "--aligner needs a name: muscle, clustalw or mafft";
        } else {
            std::string problem;
            switch (TakeOutputOption(reader, request.outputs, request.options, problem)) {
                case OptionUse::Taken: break;
                case OptionUse::Problem: return problem;
                case OptionUse::NotMine: return "unknown option '" + reader.Typed() + "'";
            }
        }
    }
    if (request.input.empty() && !request.help) return "no input file given";
    return {};
}

// Everything the run writes, after the ordering.
bool WriteRunOutputs(const RunRequest& request, RunState& state, Window& window) {
    const int n = state.seqCount;
    for (int a = 0; a < n; ++a)
        std::cout << state.treeOrder[a] + 1 << '\t' << state.SequenceList[a].name << '\n';
    std::cout.flush();
    const bool printed = static_cast<bool>(std::cout);
    return WriteOutputs(state, window, request.outputs, std::cerr) && printed;
}

}  // namespace

int Run(const Arguments& args) {
    RunRequest request;
    if (const std::string problem = ParseRunArguments(args, request); !problem.empty())
        return UsageError(problem);
    if (request.help) {
        std::cout << kUsage << kHelp << kOutputOptionsHelp << kHelpEnd;
        return 0;
    }
    if (const auto problems = ValidateRunOptions(request.options); !problems.empty())
        return UsageError(problems.front());
    if (const auto problems = CheckPictureRequest(request.outputs.pictures); !problems.empty())
        return UsageError(problems.front());
    if (const auto problems = CheckOutputs(request.outputs); !problems.empty()) {
        for (const std::string& problem : problems) Failure(problem);
        return 1;
    }

    // The programs are checked before anything runs.
    const AlignerConfigLoad programs = LoadAlignerConfig(ProgramFolder());
    for (const std::string& problem : programs.problems) Failure(problem);
    if (!programs.problems.empty()) return 1;
    const auto missing =
        CheckRunPrograms(programs.config, request.options.aligner, request.options.useTree);
    for (const std::string& problem : missing) Failure(problem);
    if (!missing.empty()) return 1;

    RunState state;
    ConsoleWindow window(std::cerr, kName, request.quiet, ::isatty(STDERR_FILENO) == 1);
    state.inputPath = request.input;
    LoadFasta(state, window, request.input);
    if (state.failFlag) return 1;
    state.fileKind = kFastaLoaded;
    ApplyRunOptions(request.options, state);
    ApplyColourOptions(request.options, state);

    const std::string workFolder = WorkFolder();
    ExchangeFolder exchange(workFolder);
    if (!exchange.Ok()) return Failure(exchange.Error());
    PosixShell shell;
    const RunContext context{shell, programs.config, exchange.Path(), workFolder};

    AlignAllPairs(state, window, context);
    if (state.failFlag) return 1;
    FindIdentityRange(state, window, state.InputIdentity, state.seqCount);
    bool complete = !state.failFlag;
    if (state.useTree) {
        complete = OrderByTree(state, window, context).Ok() && complete;
    } else {
        state.treeOrder.resize(static_cast<std::size_t>(state.seqCount) + 1);
        std::iota(state.treeOrder.begin(), state.treeOrder.end(), 0);
        ApplyDisplayOrder(state, state.treeOrder);
    }
    window.Flush();

    if (!WriteRunOutputs(request, state, window)) return 1;
    return complete ? 0 : 1;
}

}  // namespace kvr::cli
