// kvr run INPUT.fasta and kvr append SESSION.kvr NEW.fasta: the desktop program's run paths
// without a window, with a console window in its place. Progress and the window's messages go to
// standard error; the display order to standard output; the results to the files asked for.
#include <unistd.h>

#include <iostream>

#include "app/console_window.h"
#include "app/kvr_commands.h"
#include "app/kvr_outputs.h"
#include "app/kvr_run_common.h"
#include "app/kvr_signals.h"
#include "engine/aligner_config.h"
#include "engine/external_programs.h"
#include "engine/run_options.h"
#include "engine/run_paths.h"
#include "files/session.h"
#include "platform/posix_shell.h"
#include "state/fasta.h"
#include "state/input_file.h"
#include "state/program_folder.h"

namespace kvr::cli {

namespace {

constexpr const char* kName = "kvr run";

constexpr const char* kUsage =
    "usage: kvr run INPUT.fasta [--aligner muscle|clustalw|mafft|builtin] [--tree] [--scores "
    "FILE]\n"
    "               [--session FILE] [--matrix-text FILE] [--plot-data FILE] [--sequences FILE]\n"
    "               [--mode full|three] [--cutoffs C1,C2] [--matrix-emf FILE] [--plot-emf FILE]\n"
    "               [--matrix-image FILE] [--plot-image FILE] [--matrix-svg FILE]\n"
    "               [--matrix-pdf FILE] [--plot-svg FILE] [--plot-pdf FILE] [--jobs N]\n"
    "               [--pair-timeout SECONDS] [--quiet]\n";

constexpr const char* kHelp =
    "\n"
    "Aligns every pair of sequences of a FASTA file, with an external aligner or the built-in\n"
    "one, and computes each pair's identity: identical symbols divided by the alignment columns\n"
    "in which neither sequence has a gap (1 means identical). Then prints the order in which the\n"
    "sequences are shown, one line per sequence: its number in the input file, a tab, and its\n"
    "name line.\n"
    "INPUT.fasta may be gzip-compressed; '-' reads it from standard input.\n"
    "\n"
    "options:\n"
    "  --aligner NAME       muscle (the default), clustalw, mafft, or builtin (MUSCLE 5's pair\n"
    "                       method in this program: no aligner to install, far faster)\n"
    "  --tree               order the sequences by a neighbour-joining tree (PHYLIP's neighbor)\n"
    "                       of the distances 1 - identity, so that similar sequences sit\n"
    "                       together; without it they keep the order of the input file\n";

constexpr const char* kAppendName = "kvr append";

constexpr const char* kAppendUsage =
    "usage: kvr append SESSION.kvr NEW.fasta [--aligner muscle|clustalw|mafft|builtin] [--tree]\n"
    "                  [outputs as for kvr show] [--quiet]\n";

constexpr const char* kAppendHelp =
    "\n"
    "Extends the analysis of a session by the sequences of a FASTA file: only the pairs with a\n"
    "new sequence are aligned, the identities of the session are kept. Then orders, prints and\n"
    "writes like kvr run (write the new session with --session).\n"
    "\n"
    "options:\n"
    "  --aligner NAME       muscle (the default), clustalw, mafft, or builtin (MUSCLE 5's pair\n"
    "                       method in this program: no aligner to install, far faster)\n"
    "  --tree               order the sequences by a neighbour-joining tree (PHYLIP's neighbor)\n";

constexpr const char* kHelpEnd =
    "  --jobs N             run up to N aligners at once (default: one per processor kvr may\n"
    "                       use); the results are those of one at a time\n"
    "  --pair-timeout SECONDS  end an aligner that runs longer than this on one pair, and stop\n"
    "                       the run with a message naming the pair (default: no limit); the\n"
    "                       built-in aligner then aligns one pair per job at a time\n"
    "  --quiet              no progress on standard error (messages still appear)\n"
    "  -h, --help           this help\n"
    "\n"
    "The aligners are started with the command lines of aligners.conf beside kvr, or of the\n"
    "environment variables KVR_MUSCLE, KVR_CLUSTALW, KVR_MAFFT and KVR_NEIGHBOR (see\n"
    "docs/aligners.md). Their files go to a folder of this run's own, removed at the end.\n"
    "\n"
    "Ctrl-C (SIGINT), SIGTERM and SIGHUP cancel the run: the running aligners are ended, the\n"
    "run's folder is removed and nothing is written; while the outputs are written, those not\n"
    "yet written keep their old files.\n"
    "\n"
    "exit status: 0 done; 1 failed, or every pair identical, or the tree could not be used (the\n"
    "message says which; in the last two cases the results are still written, in input order\n"
    "when the tree failed); 2 a wrong command line; 130, 143, 129 cancelled by SIGINT, SIGTERM,\n"
    "SIGHUP.\n";

struct RunRequest {
    std::string session;  // kvr append: the analysis to extend
    std::string input;
    RunOptions options;
    OutputRequest outputs;
    bool quiet = false;
    bool help = false;
};

int UsageError(const char* name, const std::string& problem, bool append) {
    return cli::UsageError(name, append ? kAppendUsage : kUsage, problem);
}

// Fills request from the arguments; returns what is wrong with them, or "".
std::string ParseRunArguments(const Arguments& args, RunRequest& request, bool append) {
    ArgumentReader reader(args);
    while (reader.Next()) {
        const std::string& arg = reader.Current();
        if (!reader.IsOption()) {
            if (append && request.session.empty()) {
                request.session = arg;
                continue;
            }
            if (!request.input.empty())
                return "one input file expected, got '" + request.input + "' and '" + arg + "'";
            request.input = arg;
        } else if (arg == "-h" || arg == "--help") {
            request.help = true;
        } else if (arg == "--tree" && !reader.HasInlineValue()) {
            request.options.useTree = true;
        } else if ((arg == "--quiet" || arg == "-q") && !reader.HasInlineValue()) {
            request.quiet = true;
        } else {
            std::string problem;
            OptionUse use = TakeAlignerOption(reader, request.options, problem);
            if (use == OptionUse::NotMine)
                use = TakeOutputOption(reader, request.outputs, request.options, problem);
            if (std::string wrong = OptionProblem(use, problem, reader.Typed()); !wrong.empty())
                return wrong;
        }
    }
    if (request.input.empty() && !request.help)
        return append ? "a session file and a FASTA file to append are needed"
                      : "no input file given";
    return {};
}

// Loads (or, for kvr append, appends) the FASTA input, "-" being standard input, and says what
// the loader found: a refusal's line, and the warnings with their lines.
bool LoadInput(RunState& state, Window& window, const std::string& input, const char* name,
               bool append) {
    const bool fromStandardInput = input == "-";
    InputText text;
    if (fromStandardInput) text = ReadInputDescriptor(STDIN_FILENO);
    const std::string path = fromStandardInput ? "standard input" : input;
    FastaReport report;
    const FastaSource source{fromStandardInput ? &text : nullptr, &report};
    state.inputPath = path;
    if (append) {
        AppendFasta(state, window, path, source);
    } else {
        LoadFasta(state, window, path, source);
    }
    if (!report.failure.empty())
        std::cerr << name << ": " << path << ", " << report.failure << "\n";
    std::size_t listed[kFastaWarningKinds] = {};
    for (const FastaWarning& warning : report.warnings) {
        ++listed[static_cast<std::size_t>(warning.kind)];
        std::cerr << name << ": warning: " << path << ", line " << warning.line << ": "
                  << warning.text << "\n";
    }
    for (std::size_t kind = 0; kind < kFastaWarningKinds; ++kind)
        if (report.counts[kind] > listed[kind])
            std::cerr << name << ": warning: " << report.counts[kind] - listed[kind]
                      << " more like the last\n";
    return !state.failFlag;
}

}  // namespace

namespace {

// kvr run and kvr append: the same checks, the window's run paths, the same outputs.
int Analyse(const Arguments& args, bool append) {
    RunRequest request;
    const char* name = append ? kAppendName : kName;
    if (const std::string problem = ParseRunArguments(args, request, append); !problem.empty())
        return UsageError(name, problem, append);
    if (request.help) {
        std::cout << (append ? kAppendUsage : kUsage) << (append ? kAppendHelp : kHelp)
                  << OutputOptionsHelp() << kPictureOptionsHelp << kHelpEnd << kOutputFilesNote;
        return 0;
    }
    if (const auto problems = ValidateRunOptions(request.options); !problems.empty())
        return UsageError(name, problems.front(), append);
    if (const auto problems = CheckPictureRequest(request.outputs.pictures); !problems.empty())
        return UsageError(name, problems.front(), append);
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
    ConsoleWindow window(std::cerr, name, request.quiet, ::isatty(STDERR_FILENO) == 1);
    ApplyRunOptions(request.options, state);
    ApplyColourOptions(request.options, state);
    if (append && !ReadSession(state, window, request.session)) return 1;
    if (!LoadInput(state, window, request.input, name, append)) return 1;

    PosixShell shell;
    const StopOnSignals signals(shell.Stop());
    RunSetup setup{shell, programs.config, WorkFolder()};
    setup.jobs = request.options.jobs;
    setup.pairTimeoutSeconds = request.options.pairTimeoutSeconds;
    const RunOutcome outcome =
        Analyse(state, window, setup, append ? RunKind::Append : RunKind::Fresh);
    window.Flush();
    if (outcome.cancelled || shell.Stop().Raised())
        return signals.Cancelled(name, "the aligners were ended and nothing was written");
    if (!outcome.aligned) return 1;
    // The files first, so that a reader of the display order who stops early (| head -1) costs
    // no file.
    const bool written = WriteOutputs(state, window, request.outputs, true, std::cerr);
    if (signals.Signal() != 0)
        return signals.Cancelled(name, "the outputs not yet written were left as they were");
    return written && outcome.complete ? 0 : 1;
}

}  // namespace

int Run(const Arguments& args) {
    return Analyse(args, false);
}

int Append(const Arguments& args) {
    return Analyse(args, true);
}

}  // namespace kvr::cli
