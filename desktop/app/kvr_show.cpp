// kvr show SESSION.kvr [outputs]: opens a session without aligning and writes what is asked, with
// the same reader and writers as the window.
#include <iostream>

#include "app/console_window.h"
#include "app/kvr_commands.h"
#include "app/kvr_outputs.h"
#include "app/kvr_signals.h"
#include "engine/identity_range.h"
#include "files/session.h"
#include "plot/binning.h"

#include <unistd.h>

namespace kvr::cli {

namespace {

constexpr const char* kName = "kvr show";

constexpr const char* kUsage =
    "usage: kvr show SESSION.kvr [--scores FILE] [--session FILE] [--matrix-text FILE]\n"
    "                [--plot-data FILE] [--sequences FILE] [--mode full|three] [--cutoffs C1,C2]\n"
    "                [--matrix-emf FILE] [--plot-emf FILE] [--matrix-image FILE]\n"
    "                [--plot-image FILE] [--matrix-svg FILE] [--matrix-pdf FILE]\n"
    "                [--plot-svg FILE] [--plot-pdf FILE] [--quiet]\n";

constexpr const char* kHelp =
    "\n"
    "Reads a session file (written by KVRv1's \"Save KVR file\", or by kvr run --session) and\n"
    "writes its results, without aligning anything.\n"
    "\n"
    "options:\n";

constexpr const char* kHelpEnd =
    "  --quiet              no progress on standard error (messages still appear)\n"
    "  -h, --help           this help\n"
    "\n"
    "exit status: 0 done; 1 the session was refused, an output could not be written, or every\n"
    "pair is identical (the results are still written); 2 a wrong command line; 130, 143, 129\n"
    "stopped by SIGINT, SIGTERM, SIGHUP (the outputs not yet written keep their old files).\n";

}  // namespace

int Show(const Arguments& args) {
    std::string sessionPath;
    OutputRequest outputs;
    RunOptions options;
    bool quiet = false;
    ArgumentReader reader(args);
    const auto usageError = [](const std::string& problem) {
        return cli::UsageError(kName, kUsage, problem);
    };
    while (reader.Next()) {
        if (!reader.IsOption()) {
            if (!sessionPath.empty()) return usageError("one session file expected");
            sessionPath = reader.Current();
            continue;
        }
        const std::string& option = reader.Current();
        if (option == "-h" || option == "--help") {
            std::cout << kUsage << kHelp << OutputOptionsHelp() << kPictureOptionsHelp << kHelpEnd
                      << kOutputFilesNote;
            return 0;
        }
        if ((option == "--quiet" || option == "-q") && !reader.HasInlineValue()) {
            quiet = true;
            continue;
        }
        std::string problem;
        const OptionUse use = TakeOutputOption(reader, outputs, options, problem);
        if (std::string wrong = OptionProblem(use, problem, reader.Typed()); !wrong.empty())
            return usageError(wrong);
    }
    if (sessionPath.empty()) return usageError("no session file given");
    if (const auto problems = ValidateRunOptions(options); !problems.empty())
        return usageError(problems.front());
    if (const auto problems = CheckPictureRequest(outputs.pictures); !problems.empty())
        return usageError(problems.front());
    if (const auto problems = CheckOutputs(outputs); !problems.empty()) {
        for (const std::string& problem : problems) Failure(kName, problem);
        return 1;
    }

    RunState state;
    ConsoleWindow window(std::cerr, kName, quiet, ::isatty(STDERR_FILENO) == 1);
    ApplyColourOptions(options, state);
    if (!ReadSession(state, window, sessionPath)) return 1;
    FindIdentityRange(state, window, state.IdentityMatrix, state.seqCount);
    const bool complete = !state.failFlag;
    BinIdentities(state, window);
    StopRequest stop;
    const StopOnSignals signals(stop);
    const bool written = WriteOutputs(state, window, outputs, false, std::cerr);
    window.Flush();
    if (signals.Signal() != 0)
        return signals.Cancelled(kName, "the outputs not yet written were left as they were");
    return written && complete ? 0 : 1;
}

}  // namespace kvr::cli
