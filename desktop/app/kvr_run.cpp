// kvr run INPUT.fasta [options]: the whole analysis of the desktop program without a window.
// Loads the file, aligns every pair, finds the identity range, orders by the tree when asked,
// and writes the results. Progress and the window's messages go to standard error.
#include <unistd.h>

#include <charconv>
#include <cmath>
#include <filesystem>
#include <iostream>
#include <numeric>

#include "app/console_window.h"
#include "app/kvr_pictures.h"
#include "app/kvr_commands.h"
#include "app/kvr_signals.h"
#include "engine/aligner_config.h"
#include "engine/all_pairs.h"
#include "engine/exchange_folder.h"
#include "engine/external_programs.h"
#include "engine/identity_range.h"
#include "engine/run_options.h"
#include "engine/score_table.h"
#include "engine/tree_order.h"
#include "platform/posix_shell.h"
#include "state/fasta.h"
#include "state/file_io.h"
#include "state/program_folder.h"

namespace kvr::cli {

namespace {

constexpr const char* kName = "kvr run";

constexpr const char* kUsage =
    "usage: kvr run INPUT.fasta [--aligner muscle|clustalw|mafft] [--tree] [--scores FILE]\n"
    "               [--mode full|three] [--cutoffs C1,C2] [--matrix-emf FILE] [--plot-emf FILE]\n"
    "               [--matrix-image FILE] [--plot-image FILE] [--jobs N]\n"
    "               [--pair-timeout SECONDS] [--quiet]\n";

constexpr const char* kHelp =
    "\n"
    "Aligns every pair of sequences of a FASTA file with an external aligner and computes each\n"
    "pair's identity: identical symbols divided by the alignment columns in which neither\n"
    "sequence has a gap (1 means identical). Then prints the order in which the sequences are\n"
    "shown, one line per sequence: its number in the input file, a tab, and its name line.\n"
    "\n"
    "options:\n"
    "  --aligner NAME  muscle (the default), clustalw or mafft\n"
    "  --tree          order the sequences by a neighbour-joining tree (PHYLIP's neighbor) of\n"
    "                  the distances 1 - identity, so that similar sequences sit together;\n"
    "                  without it they keep the order of the input file\n"
    "  --scores FILE   write every pair's identity, in the order shown, to FILE: the line\n"
    "                  \"First Sequence,Second Sequence,Identity Score\", then one line per pair\n"
    "                  (name line, name line, identity), CR LF line ends\n"
    "  --mode full|three    colouring of the matrix pictures: the whole observed range in 64\n"
    "                       steps (full, the default) or three bands set by the cut-offs\n"
    "  --cutoffs C1,C2      the upper and lower cut-off of the three bands, whole percent\n"
    "                       (default 94,78); raised to the smallest identity when it lies above\n"
    "                       the lower one, as in the window\n"
    "  --matrix-emf FILE    the matrix as an EMF picture, any number of sequences\n"
    "  --plot-emf FILE      the distribution of the identities as an EMF picture, 350 x 270 mm\n"
    "  --matrix-image FILE  the matrix as the window draws it, full size (at most 500\n"
    "                       sequences), PNG or BMP by the file's extension; needs no display\n"
    "  --plot-image FILE    the distribution as the window draws it, 1160 x 757 pixels, PNG or\n"
    "                       BMP\n"
    "  --jobs N        run up to N aligners at once (default: one per processor kvr may use);\n"
    "                  the results are those of one at a time\n"
    "  --pair-timeout SECONDS  end an aligner that runs longer than this on one pair, and\n"
    "                  stop the run with a message naming the pair (default: no limit)\n"
    "  --quiet         no progress on standard error (messages still appear)\n"
    "  -h, --help      this help\n"
    "\n"
    "The aligners are started with the command lines of aligners.conf beside kvr, or of the\n"
    "environment variables KVR_MUSCLE, KVR_CLUSTALW, KVR_MAFFT and KVR_NEIGHBOR (see\n"
    "docs/aligners.md). Their files go to a folder of this run's own, removed at the end.\n"
    "\n"
    "Ctrl-C (SIGINT), SIGTERM and SIGHUP cancel the run: the running aligners are ended, the\n"
    "run's folder is removed and nothing is written.\n"
    "\n"
    "exit status: 0 done; 1 failed, or every pair identical, or the tree could not be used (the\n"
    "message says which; in the last two cases the results are still written, in input order\n"
    "when the tree failed); 2 a wrong command line; 130, 143, 129 cancelled by SIGINT, SIGTERM,\n"
    "SIGHUP.\n";

struct RunRequest {
    std::string input;
    RunOptions options;
    std::string scoresPath;  // empty: no score file
    PictureRequest pictures;
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

// The whole text as a number: "8" for --jobs, "2.5" for --pair-timeout.
bool ParseWhole(const std::string& text, int& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

bool ParseSeconds(const std::string& text, double& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && std::isfinite(value) &&
           value > 0;
}

// Fills request from the arguments; returns what is wrong with them, or "".
std::string ParseRunArguments(const Arguments& args, RunRequest& request) {
    bool optionsEnded = false;
    for (std::size_t k = 0; k < args.size(); ++k) {
        std::string arg = args[k];
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            if (!request.input.empty())
                return "one input file expected, got '" + request.input + "' and '" + arg + "'";
            request.input = arg;
            continue;
        }
        std::string value;
        bool hasValue = false;
        if (const auto equals = arg.find('=');
            arg.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = arg.substr(equals + 1);
            arg = arg.substr(0, equals);
            hasValue = true;
        }
        const auto takeValue = [&]() -> bool {
            if (hasValue) return true;
            if (k + 1 >= args.size()) return false;
            value = args[++k];
            return true;
        };
        if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "-h" || arg == "--help") {
            request.help = true;
        } else if (arg == "--tree" && !hasValue) {
            request.options.useTree = true;
        } else if ((arg == "--quiet" || arg == "-q") && !hasValue) {
            request.quiet = true;
        } else if (arg == "--aligner") {
            if (!takeValue()) return "--aligner needs a name: muscle, clustalw or mafft";
            request.options.aligner = value;
        } else if (arg == "--jobs") {
            if (!takeValue() || !ParseWhole(value, request.options.jobs) ||
                request.options.jobs < 1)
                return "--jobs needs a whole number of aligners to run at once, 1 or more";
        } else if (arg == "--pair-timeout") {
            if (!takeValue() || !ParseSeconds(value, request.options.pairTimeoutSeconds))
                return "--pair-timeout needs a number of seconds above 0";
        } else if (arg == "--scores") {
            if (!takeValue() || value.empty()) return "--scores needs a file name";
            request.scoresPath = value;
        } else {
            std::string problem;
            const auto take = [&](std::string& out) { return takeValue() && (out = value, true); };
            switch (TakePictureOption(arg, take, request.pictures, request.options, problem)) {
                case OptionUse::Taken: break;
                case OptionUse::Problem: return problem;
                case OptionUse::NotMine: return "unknown option '" + args[k] + "'";
            }
        }
    }
    if (request.input.empty() && !request.help) return "no input file given";
    return {};
}

// Where results will be written must be writable before hours of aligning, not after.
std::string CheckWritable(const std::string& path) {
    namespace fs = std::filesystem;
    const fs::path file(path);
    std::error_code error;
    if (fs::is_directory(file, error)) return path + " is a folder";
    if (fs::exists(file, error))
        return ::access(path.c_str(), W_OK) == 0 ? "" : "cannot write " + path;
    const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
    if (!fs::is_directory(folder, error))
        return "cannot write " + path + ": no folder " + folder.string();
    return ::access(folder.c_str(), W_OK | X_OK) == 0
               ? ""
               : "cannot write " + path + ": the folder is read-only";
}

// Everything the run writes, after the ordering.
bool WriteRunOutputs(const RunRequest& request, RunState& state, Window& window) {
    const int n = state.seqCount;
    for (int a = 0; a < n; ++a)
        std::cout << state.treeOrder[a] + 1 << '\t' << state.SequenceList[a].name << '\n';
    std::cout.flush();
    bool written = static_cast<bool>(std::cout);
    if (!request.scoresPath.empty() &&
        !WriteWholeFile(request.scoresPath,
                        FormatScoreColumns(state.SequenceList, state.IdentityMatrix, n))) {
        Failure("cannot write the scores to " + request.scoresPath);
        written = false;
    }
    if (request.pictures.Any() && !WritePictures(state, window, request.pictures, std::cerr))
        written = false;
    return written;
}

}  // namespace

int Run(const Arguments& args) {
    RunRequest request;
    if (const std::string problem = ParseRunArguments(args, request); !problem.empty())
        return UsageError(problem);
    if (request.help) {
        std::cout << kUsage << kHelp;
        return 0;
    }
    if (const auto problems = ValidateRunOptions(request.options); !problems.empty())
        return UsageError(problems.front());
    if (const auto problems = CheckPictureRequest(request.pictures); !problems.empty())
        return UsageError(problems.front());
    if (!request.scoresPath.empty())
        if (const std::string problem = CheckWritable(request.scoresPath); !problem.empty())
            return Failure(problem);
    for (const std::string& path : request.pictures.Paths())
        if (const std::string problem = CheckWritable(path); !problem.empty()) return Failure(problem);

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
    PosixShell shell;
    const StopOnSignals signals(shell.Stop());
    const auto cancelled = [&] {
        window.Flush();
        std::cerr << kName << ": cancelled by " << signals.SignalName()
                  << ": the aligners were ended and nothing was written\n";
        return signals.Signal() != 0 ? signals.ExitStatus() : 1;
    };
    ExchangeFolder exchange(workFolder);
    if (!exchange.Ok()) return Failure(exchange.Error());
    RunContext context{shell, programs.config, exchange.Path(), workFolder};
    context.jobs = request.options.jobs;
    context.pairTimeoutSeconds = request.options.pairTimeoutSeconds;

    if (AlignAllPairs(state, window, context) == PairsEnd::Cancelled) return cancelled();
    if (state.failFlag) return 1;
    FindIdentityRange(state, window, state.InputIdentity, state.seqCount);
    bool complete = !state.failFlag;
    if (state.useTree) {
        const ProgramOutcome tree = OrderByTree(state, window, context);
        if (tree.status == ProgramStatus::Cancelled) return cancelled();
        complete = tree.Ok() && complete;
    } else {
        state.treeOrder.resize(static_cast<std::size_t>(state.seqCount) + 1);
        std::iota(state.treeOrder.begin(), state.treeOrder.end(), 0);
        ApplyDisplayOrder(state, state.treeOrder);
    }
    window.Flush();
    if (shell.Stop().Raised()) return cancelled();

    if (!WriteRunOutputs(request, state, window)) return 1;
    return complete ? 0 : 1;
}

}  // namespace kvr::cli
