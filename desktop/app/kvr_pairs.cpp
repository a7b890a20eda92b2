// kvr pairs INPUT.fasta --shard K/N --out FILE: aligns one shard of the pairs of an all-pairs run,
// so that a workflow engine can spread a large run over many machines (kvr merge joins them).
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <iostream>

#include "app/cli/command_tables.h"
#include "app/command_log.h"
#include "app/console_progress.h"
#include "app/kvr_arguments.h"
#include "app/kvr_commands.h"
#include "app/kvr_outputs.h"
#include "app/kvr_run_common.h"
#include "app/kvr_signals.h"
#include "io/fasta.h"
#include "io/file_io.h"
#include "io/program_folder.h"
#include "kvr_version.h"
#include "model/pair_order.h"
#include "pipeline/aligner_config.h"
#include "pipeline/aligner_version.h"
#include "pipeline/builtin_pairs.h"
#include "pipeline/exchange_folder.h"
#include "pipeline/external_programs.h"
#include "pipeline/pair_scheduler.h"
#include "pipeline/run_options.h"
#include "pipeline/run_provenance.h"
#include "pipeline/shard_file.h"
#include "platform/posix_shell.h"

namespace kvr::cli {

namespace {

constexpr const char* kName = "kvr pairs";

std::string PairFailure(const RecordTable& records, Aligner kind, int i, int j,
                        const PairResult& result) {
    return "the identity of sequences " + std::to_string(i + 1) + " and " + std::to_string(j + 1) +
           " (" + records[i].name + ", " + records[j].name + ") could not be computed with " +
           AlignerTitle(kind) + ": " + result.outcome.problem().message +
           " (command: " + result.command + ")";
}

int Failure(const std::string& problem) {
    return cli::Failure(kName, problem);
}

// The machine's own temporary folder: a cluster's shared home must not hold the pair files.
std::string LocalTemporaryFolder() {
    std::error_code error;
    const auto folder = std::filesystem::temp_directory_path(error);
    return error ? std::string("/tmp") : folder.string();
}

}  // namespace

int Pairs(const Arguments& args, CommandLog& log) {
    PairsRequest request;
    const CommandTable table = PairsTable(request);
    if (const auto status = ReadCommandLine(table, args)) return *status;
    if (const Result<void> checked =
            CheckNaming({request.input}, {request.out}, request.messages.log);
        !checked)
        return UsageError(table, checked.problem().message);
    if (const Result<void> opened = log.Open(request.messages.log, kName, args); !opened)
        return Failure(opened.problem().message);
    const Result<ShardChoice> choice = ParseShard(request.shardText);
    if (!choice) return UsageError(table, choice.problem().message);
    const auto [shard, shards] = choice.value();
    if (const auto problems = ValidateRunOptions(request.options); !problems.empty())
        return UsageError(table, problems.front());
    OutputRequest output;
    output.File("--scores") = request.out;
    if (const auto problems = CheckOutputs(output); !problems.empty())
        return Failure(problems.front());

    const AlignerConfigLoad programs = LoadAlignerConfig(ProgramFolder());
    for (const std::string& problem : programs.problems) Failure(problem);
    if (!programs.problems.empty()) return 1;
    const Aligner kind = request.options.aligner;
    const auto missing = CheckRunPrograms(programs.config, kind, false);
    for (const std::string& problem : missing) Failure(problem);
    if (!missing.empty()) return 1;

    const std::optional<std::string> inputChecksum = InputChecksum(request.input);
    if (!inputChecksum) return Failure("cannot read " + request.input);
    RunState state;
    ConsoleProgress progress(log.Console(), kName, request.messages.quiet, log.Terminal(),
                             log.File());
    state.inputPath = request.input;
    if (LoadFasta(state, progress, request.input) != LoadEnd::Loaded) return 1;

    const int n = state.seqCount;
    std::vector<std::size_t> lengths;
    for (int i = 0; i < n; ++i) lengths.push_back(state.InputSequences[i].residues.size());
    const PairRange range = PlanShards(lengths, shards)[static_cast<std::size_t>(shard) - 1];

    ShardHeader header;
    header.inputChecksum = *inputChecksum;
    header.sequences = n;
    header.aligner = AlignerName(kind);
    header.command = AlignerCommand(programs.config, kind);
    header.version = kVersion;
    header.shard = shard;
    header.shards = shards;
    header.pairs = range;
    header.pairTimeout = PairTimeoutText(request.options.pairTimeoutSeconds);
    header.counts = true;
    header.ambiguous = request.options.ambiguous;

    PosixShell shell;
    const StopOnSignals signals(shell.Stop());
    std::optional<ExchangeFolder> exchange;
    const std::string workFolder = LocalTemporaryFolder();
    if (IsExternal(kind)) {
        exchange.emplace(workFolder);
        if (!exchange->Ok()) return Failure(exchange->Error());
    }
    // The setup whole before the context: GCC 12 destroys the members of a base built in nested
    // braces a second time when a later member's copy throws (here, out of memory).
    const RunSetup setup{shell,
                         programs.config,
                         workFolder,
                         request.options.jobs,
                         request.options.pairTimeoutSeconds,
                         request.options.alphabet,
                         request.options.pairMemoryMegabytes,
                         request.options.ambiguous};
    const RunContext context{setup, exchange ? exchange->Path() : workFolder};

    // The shard's pairs, one after the other: none is held in a list.
    PairCursor cursor = CursorAt(n, range.first);
    long long left = range.count;
    PairSchedule schedule;
    schedule.next = [&](int& i, int& j) {
        if (left == 0) return false;
        --left;
        i = cursor.i;
        j = cursor.j;
        cursor.Next();
        return true;
    };
    if (kind == Aligner::Clustalw)
        schedule.admit = [&](int i, int j) -> Result<void> {
            const RecordTable& records = state.InputSequences;
            if (records[i].name != records[j].name) return {};
            return Problem{"ClustalW cannot align sequences " + std::to_string(i + 1) + " and " +
                           std::to_string(j + 1) + ": both are named '" + records[i].name +
                           "'. Please rename all the duplicate names and try again."};
        };

    ScheduleOutcome end;
    std::string failure;
    const std::string shardText = "shard " + request.shardText + ": ";
    const std::string count = std::to_string(range.count);
    // The identities and their counts are kept (20 bytes a pair) and the file is written when the
    // shard is done: a run that is killed leaves no temporary file behind, however long it ran.
    std::vector<float> identities;
    std::vector<AlignedCounts> counts;
    identities.reserve(static_cast<std::size_t>(range.count));
    counts.reserve(static_cast<std::size_t>(range.count));
    UncomparedPairs uncompared;
    progress.Step(shardText + "aligning " + count + " pairs");
    schedule.take = [&](const ScheduledPair& pair) {
        if (pair.Failed()) {
            failure = !pair.refusal.empty()
                          ? pair.refusal
                          : PairFailure(state.InputSequences, kind, pair.i, pair.j, pair.result);
            return false;
        }
        identities.push_back(pair.result.identity);
        counts.push_back(KeptCounts(pair.result.counts, context.ambiguous));
        if (counts.back().compared == 0 && uncompared.count++ == 0)
            uncompared = {1, pair.i, pair.j};
        progress.Step(shardText + std::to_string(pair.number + 1) + " of " + count + " pairs");
        return true;
    };
    // Long pairs take seconds each: the count moves as the pairs under way are done.
    schedule.advance = [&](double done, int, int) {
        progress.Step(shardText + std::to_string(static_cast<long long>(done)) + " of " + count +
                      " pairs");
    };
    end = SchedulePairs(state.InputSequences, kind, schedule, context, progress);
    if (end.end == ScheduleEnd::Lost) failure = "the aligners were lost: " + end.message;
    if (end.end != ScheduleEnd::Cancelled) {
        header.alignerVersion = AlignerVersion(shell, programs.config, kind, workFolder);
        log.Note("aligner: " + std::string(AlignerName(kind)) + ", version " +
                 header.alignerVersion);
    }
    const bool aligned =
        end.end == ScheduleEnd::Completed && failure.empty() && !shell.Stop().Raised();
    const bool written = aligned && WriteTextOutput(
                                        request.out,
                                        [&](std::ostream& file) {
                                            file << FormatShardHeader(header);
                                            ShardChecksum checksum;
                                            PairCursor pairs = CursorAt(n, range.first);
                                            for (std::size_t k = 0; k < identities.size(); ++k) {
                                                const std::string line = ShardLine(
                                                    pairs.i, pairs.j, identities[k], counts[k]);
                                                checksum.Add(line);
                                                file << line;
                                                pairs.Next();
                                            }
                                            file << checksum.Line();
                                            return static_cast<bool>(file);
                                        },
                                        std::cerr);
    progress.Flush();
    if (end.end == ScheduleEnd::Cancelled || shell.Stop().Raised())
        return signals.Cancelled(kName, "the aligners were ended and nothing was written");
    if (!failure.empty()) return Failure(failure + "; nothing was written");
    if (!written) return 1;
    std::cerr << UncomparedWarning(uncompared, state.InputSequences, kName);
    if (range.count == 0)
        std::cerr << kName << ": shard " << request.shardText << " holds no pair (" << n
                  << " sequences make " << PairCount(n) << " pairs); its file says so\n";
    return 0;
}

}  // namespace kvr::cli
