// kvr split SESSION.kvr --min N --max M --out BASE: the dataset splitter of the window, headless.
// Writes BASE + " 1.fas", BASE + " 2.fas", ... and prints the files written, one per line.
#include <iostream>

#include "app/console_window.h"
#include "app/kvr_arguments.h"
#include "app/kvr_commands.h"
#include "app/kvr_signals.h"
#include "engine/identity_range.h"
#include "files/session.h"
#include "splitter/dataset_splitter.h"

#include <unistd.h>

namespace kvr::cli {

namespace {

constexpr const char* kName = "kvr split";

constexpr const char* kUsage =
    "usage: kvr split SESSION.kvr --min N --max M --out BASE [--quiet]\n";

constexpr const char* kHelp =
    "\n"
    "Groups the sequences of a session around seed sequences: in display order, each sequence\n"
    "not yet in a group starts one and takes every sequence not yet grouped whose identity with\n"
    "it, in whole percent rounded down, lies from N to M. Every group of three or more is\n"
    "written as BASE + \" 1.fas\", BASE + \" 2.fas\", ... (FASTA, CR LF line ends); the files\n"
    "written are printed, one per line.\n"
    "\n"
    "options:\n"
    "  --min N     the smallest identity in percent, 0 to 100 (a decimal is rounded down)\n"
    "  --max M     the largest identity in percent, above N, at most 100, and above the\n"
    "              smallest identity of the session\n"
    "  --out BASE  the start of every file name\n"
    "  --quiet     no progress on standard error (messages still appear)\n"
    "  -h, --help  this help\n"
    "\n"
    "exit status: 0 done (also when no group was large enough); 1 the session or the range was\n"
    "refused, or a file could not be written; 2 a wrong command line; 130, 143, 129 stopped by\n"
    "SIGINT, SIGTERM, SIGHUP (the datasets not yet written keep their old files).\n";

}  // namespace

int Split(const Arguments& args) {
    std::string sessionPath, minText, maxText, base;
    bool quiet = false;
    ArgumentReader reader(args);
    const auto usageError = [](const std::string& problem) {
        return cli::UsageError(kName, kUsage, problem);
    };
    while (reader.Next()) {
        const std::string& option = reader.Current();
        std::string* value = option == "--min"   ? &minText
                             : option == "--max" ? &maxText
                             : option == "--out" ? &base
                                                 : nullptr;
        if (!reader.IsOption()) {
            if (!sessionPath.empty()) return usageError("one session file expected");
            sessionPath = option;
        } else if (option == "-h" || option == "--help") {
            std::cout << kUsage << kHelp;
            return 0;
        } else if ((option == "--quiet" || option == "-q") && !reader.HasInlineValue()) {
            quiet = true;
        } else if (value != nullptr) {
            if (!reader.TakeValue(*value) || value->empty())
                return usageError(option + " needs a value");
        } else {
            return usageError("unknown option '" + reader.Typed() + "'");
        }
    }
    if (sessionPath.empty()) return usageError("no session file given");
    if (minText.empty() || maxText.empty() || base.empty())
        return usageError("--min, --max and --out are all needed");

    RunState state;
    ConsoleWindow window(std::cerr, kName, quiet, ::isatty(STDERR_FILENO) == 1);
    const auto minPercent = ReadWholePercent(minText);
    const auto maxPercent = ReadWholePercent(maxText);
    if (!minPercent || !maxPercent)
        return Failure(kName, "--min and --max must be numbers from 0 to 100");
    if (!ReadSession(state, window, sessionPath)) return 1;
    FindIdentityRange(state, window, state.IdentityMatrix, state.seqCount);
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
    const auto files = WriteDatasets(state, window, groups, base, failure);
    window.Flush();
    if (signals.Signal() != 0)
        return signals.Cancelled(kName, "the datasets not yet written were left as they were");
    for (const std::string& file : files) std::cout << file << "\n";
    if (!failure.empty()) {
        window.ShowMessage(failure);
        return 1;
    }
    return 0;
}

}  // namespace kvr::cli
