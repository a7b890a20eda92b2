// kvr merge INPUT.fasta SHARD... : joins the shard files of kvr pairs into the analysis kvr run
// makes on one machine, through the same run path from the identities on. Asked only for the
// score column file and the plot data (and no tree), it streams the shards and keeps no table.
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <iostream>
#include <map>
#include <utility>

#include "app/analysis_exports.h"
#include "app/cli/command_tables.h"
#include "app/command_log.h"
#include "app/console_progress.h"
#include "app/kvr_arguments.h"
#include "app/kvr_commands.h"
#include "app/kvr_outputs.h"
#include "app/kvr_run_common.h"
#include "app/kvr_signals.h"
#include "io/export_sets.h"
#include "io/fasta.h"
#include "io/file_io.h"
#include "io/program_folder.h"
#include "io/score_table.h"
#include "model/pair_order.h"
#include "pipeline/aligner_config.h"
#include "pipeline/binning.h"
#include "pipeline/builtin_pairs.h"
#include "pipeline/external_programs.h"
#include "pipeline/identity_range.h"
#include "pipeline/pair_table.h"
#include "pipeline/run_options.h"
#include "pipeline/run_pipeline.h"
#include "pipeline/run_provenance.h"
#include "pipeline/shard_file.h"
#include "platform/posix_shell.h"

namespace kvr::cli {

namespace {

constexpr const char* kName = "kvr merge";

int Failure(const std::string& problem) {
    return cli::Failure(kName, problem);
}

std::string PairText(int i, int j) {
    return std::to_string(i + 1) + " - " + std::to_string(j + 1);
}

// A shard file by its header; opened again for its pairs, one file at a time, so that thousands of
// shards never hold thousands of open files.
struct Shard {
    std::string path;
    ShardHeader header;
    const ShardHeader& Header() const { return header; }
};

// Opens the shard files and checks that their headers make one run over this input: the problem
// of the first that does not, or "". On success shards are in shard order.
std::string OpenShards(const std::vector<std::string>& paths, const std::string& inputPath,
                       const std::string& checksum, const std::vector<std::size_t>& lengths,
                       std::vector<Shard>& shards) {
    for (const std::string& path : paths) {
        ShardReader reader;
        std::string problem;
        if (!reader.Open(path, problem)) return path + " " + problem;
        shards.push_back({path, reader.Header()});
    }
    const Shard& first = shards.front();
    const ShardHeader& one = first.Header();
    std::map<int, const Shard*> byNumber;
    for (const Shard& shard : shards) {
        const ShardHeader& h = shard.Header();
        const std::string name = shard.path + " (shard " + std::to_string(h.shard) + "/" +
                                 std::to_string(h.shards) + ")";
        if (h.inputChecksum != checksum || h.sequences != static_cast<int>(lengths.size()))
            return name + " was made from another input than " + inputPath + " (SHA-256 " +
                   h.inputChecksum + ", " + std::to_string(h.sequences) + " sequences; " +
                   inputPath + " has " + checksum + ", " + std::to_string(lengths.size()) + ")";
        if (h.aligner != one.aligner)
            return name + " was aligned with " + h.aligner + ", " + first.path + " with " +
                   one.aligner + ": the shards of one run are needed";
        if (h.alignerVersion != one.alignerVersion)
            return name + " was aligned with " + AlignerTitle(h.aligner) + " '" +
                   (h.alignerVersion.empty() ? "of an unknown version" : h.alignerVersion) + "', " +
                   first.path + " with '" +
                   (one.alignerVersion.empty() ? "of an unknown version" : one.alignerVersion) +
                   "': the shards of one run are needed";
        if (h.command != one.command)
            return name + " was aligned with the command line '" + h.command + "', " + first.path +
                   " with '" + one.command + "': the shards of one run are needed";
        if (h.ambiguous != one.ambiguous)
            return name + " was made with --ambiguous " + AmbiguityRuleName(h.ambiguous) + ", " +
                   first.path + " with --ambiguous " + AmbiguityRuleName(one.ambiguous) +
                   ": the shards of one run are needed";
        if (h.version != one.version)
            return name + " was made by kvr " + h.version + ", " + first.path + " by kvr " +
                   one.version + ": the shards of one run are needed";
        if (h.shards != one.shards)
            return name + " is one of " + std::to_string(h.shards) + " shards, " + first.path +
                   " one of " + std::to_string(one.shards) + ": the shards of one run are needed";
        if (const auto [at, added] = byNumber.emplace(h.shard, &shard); !added)
            return name + " is given twice: as " + at->second->path + " and as " + shard.path +
                   ", so its pairs would be doubled";
    }
    const std::vector<PairRange> plan = PlanShards(lengths, one.shards);
    const int n = static_cast<int>(lengths.size());
    for (int k = 1; k <= one.shards; ++k) {
        const PairRange& range = plan[static_cast<std::size_t>(k) - 1];
        const auto found = byNumber.find(k);
        if (found == byNumber.end()) {
            if (range.count == 0) continue;  // an empty shard adds nothing
            const PairCursor from = CursorAt(n, range.first);
            const PairCursor to = CursorAt(n, range.first + range.count - 1);
            return "shard " + std::to_string(k) + "/" + std::to_string(one.shards) +
                   " is missing: no file given holds its " + std::to_string(range.count) +
                   " pairs (" + PairText(from.i, from.j) + " to " + PairText(to.i, to.j) + ")";
        }
        if (found->second->Header().pairs != range)
            return found->second->path + " says shard " + std::to_string(k) + "/" +
                   std::to_string(one.shards) + " holds " +
                   std::to_string(found->second->Header().pairs.count) +
                   " pairs from pair number " +
                   std::to_string(found->second->Header().pairs.first + 1) + ", but for " +
                   inputPath + " it holds " + std::to_string(range.count) + " from " +
                   std::to_string(range.first + 1) + ": the header is damaged";
    }
    std::sort(shards.begin(), shards.end(),
              [](const Shard& a, const Shard& b) { return a.Header().shard < b.Header().shard; });
    return {};
}

// What a pair of the shards gives: its sequences (input positions), identity and counts (not
// known in shards of older kvr).
using TakePair = std::function<void(int i, int j, float identity, AlignedCounts counts)>;

// Reads every pair of the shards, in loop order, into take; the first missing, doubled or
// damaged pair ends it with a message naming the file.
std::string ReadPairs(const std::vector<Shard>& shards, int n, Progress& progress,
                      const TakePair& take) {
    const long long total = PairCount(n);
    long long done = 0;
    for (const Shard& shard : shards) {
        ShardReader reader;
        std::string problem;
        if (!reader.Open(shard.path, problem)) return shard.path + " " + problem;
        if (reader.Header() != shard.header)
            return shard.path + " was changed while the shards were merged";
        const PairRange range = shard.Header().pairs;
        PairCursor expected = CursorAt(n, range.first);
        int i = 0;
        int j = 0;
        float identity = 0;
        AlignedCounts counts;
        for (long long k = 0; k < range.count; ++k, expected.Next()) {
            if (!reader.Next(i, j, identity, counts, problem)) {
                if (!problem.empty()) return shard.path + ": " + problem;
                return shard.path + " ends after " + std::to_string(k) + " of its " +
                       std::to_string(range.count) + " pairs: pair " +
                       PairText(expected.i, expected.j) + " and the pairs after it are missing";
            }
            if (i != expected.i || j != expected.j) {
                const std::string where = shard.path + ": pair " + PairText(expected.i, expected.j);
                if (i < 0 || j <= i || j >= n)
                    return where + " expected, but the file names " + PairText(i, j) +
                           ", which is not a pair of the " + std::to_string(n) + " sequences";
                const long long number = PairNumber(n, i, j);
                if (number > PairNumber(n, expected.i, expected.j))
                    return where + " is missing (the file goes on with " + PairText(i, j) + ")";
                return where + " expected, but the file names " + PairText(i, j) +
                       (number >= range.first ? " a second time: a doubled pair"
                                              : ", a pair of another shard");
            }
            take(i, j, identity, counts);
            if (++done % 65536 != 0) continue;
            if (WritesStopped()) return "stopped by a signal";
            progress.Step("Merging: " + std::to_string(done) + " of " + std::to_string(total) +
                          " pairs");
        }
        if (reader.Next(i, j, identity, problem))
            return shard.path + " holds more than its " + std::to_string(range.count) +
                   " pairs: pair " + PairText(i, j) + " is doubled or belongs to another shard";
        if (!problem.empty()) return shard.path + ": " + problem;
    }
    return {};
}

// Only the score column file and the plot data, in input order: neither needs the table.
bool Streamable(const MergeRequest& request) {
    const OutputRequest& o = request.outputs;
    if (request.options.useTree || o.pictures.Any() || o.exports.Any()) return false;
    for (std::size_t k = 0; k < kTextOutputs.size(); ++k)
        if (!o.text[k].empty() && kTextOutputs[k].option != "--scores" &&
            kTextOutputs[k].option != "--table" && kTextOutputs[k].option != "--plot-data")
            return false;
    return true;
}

}  // namespace

int Merge(const Arguments& args, CommandLog& log) {
    MergeRequest request;
    const CommandTable table = MergeTable(request);
    if (const auto status = ReadCommandLine(table, args)) return *status;
    std::vector<std::string> inputs = request.shards;
    inputs.push_back(request.input);
    if (const Result<void> checked =
            CheckNaming(inputs, request.outputs.Paths(), request.messages.log);
        !checked)
        return UsageError(table, checked.problem().message);
    if (const Result<void> opened = log.Open(request.messages.log, kName, args); !opened)
        return Failure(opened.problem().message);
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
        for (const std::string& problem : problems) Failure(problem);
        return 1;
    }
    const AlignerConfigLoad programs = LoadAlignerConfig(ProgramFolder());
    for (const std::string& problem : programs.problems) Failure(problem);
    if (!programs.problems.empty()) return 1;
    const auto missing =
        CheckRunPrograms(programs.config, Aligner::Builtin, request.options.useTree);
    for (const std::string& problem : missing) Failure(problem);
    if (!missing.empty()) return 1;

    const std::optional<std::string> checksum = InputChecksum(request.input);
    if (!checksum) return Failure("cannot read " + request.input);
    RunState state;
    ConsoleProgress progress(log.Console(), kName, request.messages.quiet, log.Terminal(),
                             log.File());
    state.inputPath = request.input;
    if (LoadFasta(state, progress, request.input) != LoadEnd::Loaded) return 1;
    const int n = state.seqCount;
    std::vector<std::size_t> lengths;
    for (int i = 0; i < n; ++i) lengths.push_back(state.InputSequences[i].residues.size());

    std::vector<Shard> shards;
    if (const std::string problem =
            OpenShards(request.shards, request.input, *checksum, lengths, shards);
        !problem.empty())
        return Failure(problem + "; nothing was written");
    const std::string& alignerName = shards.front().Header().aligner;
    log.Note("aligner: " + alignerName + ", version " +
             (shards.front().Header().alignerVersion.empty()
                  ? std::string(kUnknown)
                  : shards.front().Header().alignerVersion) +
             " (as the shards say)");
    request.options.ambiguous = shards.front().Header().ambiguous;  // the shards' choice
    const std::optional<Aligner> aligner = AlignerNamed(alignerName);
    if (!aligner)
        return Failure(shards.front().path + " names the unknown aligner " + alignerName +
                       "; nothing was written");
    request.options.aligner = *aligner;
    ApplyRunOptions(request.options, state);
    ApplyColourOptions(request.options, state);
    PosixShell shell;
    const StopOnSignals signals(shell.Stop());

    // The pairs are read from the shards once for the table of identities, or, streamed, once for
    // the counting and once for each output written as they come. The pipeline table is always
    // written so, with each pair's counts, which no table in memory holds.
    IdentityRange range;
    std::vector<long long> counts(kBinRows, 0);
    std::string problem;
    bool counted = !Streamable(request);  // only a streamed merge counts as it reads
    const auto read = [&](const TakePair& more) {
        const bool count = !counted;
        counted = true;
        problem = ReadPairs(shards, n, progress,
                            [&](int i, int j, float identity, AlignedCounts aligned) {
                                if (count) {
                                    range.Add(identity);
                                    ++counts[IdentityBin(identity)];
                                }
                                if (more) more(i, j, identity, aligned);
                            });
        return problem.empty();
    };
    OutputRequest rest = request.outputs;
    bool written = true;
    // An output written from the shards as they are read, in file order.
    const auto stream =
        [&](std::string_view option, const std::string& header,
            const std::function<void(std::ostream&, int, int, float, AlignedCounts)>& row) {
            std::string& path = rest.File(option);
            if (path.empty() || !problem.empty() || signals.Signal() != 0) return;
            written = WriteTextOutput(
                          path,
                          [&](std::ostream& out) {
                              out << header;
                              return read([&](int i, int j, float identity, AlignedCounts aligned) {
                                         row(out, i, j, identity, aligned);
                                     }) &&
                                     static_cast<bool>(out);
                          },
                          std::cerr) &&
                      written;
            path.clear();
        };
    const RecordTable& records = state.InputSequences;
    const auto streamTable = [&] {
        stream("--table", std::string(kPairTableHeader),
               [&](std::ostream& out, int i, int j, float identity, AlignedCounts aligned) {
                   out << PairTableRow(records[i], records[j], identity, aligned);
               });
    };
    const bool printOrder = !request.outputs.ToStandardOutput();

    if (Streamable(request)) {
        stream("--scores", std::string(kScoreColumnHeader) + std::string(kLineEnd),
               [&](std::ostream& out, int i, int j, float identity, AlignedCounts) {
                   out << ScoreColumnLine(records[i].name, records[j].name, identity);
               });
        streamTable();
        if (!counted) read({});
        if (signals.Signal() != 0) return signals.Cancelled(kName, "nothing was written");
        if (!problem.empty()) return Failure(problem + "; nothing was written");
        ApplyIdentityRange(state, progress, range);  // every pair identical: a warning only
        SetBins(state, progress, counts);
        // Shown in input order: no treeOrder leads elsewhere.
        state.SequenceList = std::move(state.InputSequences);
        written = WriteOutputs(state, rest, printOrder, std::cerr) && written;
        progress.Flush();
        if (signals.Signal() != 0)
            return signals.Cancelled(kName, "the outputs not yet written were left as they were");
        return written ? 0 : 1;
    }

    state.InputIdentity = IdentityTable(n);
    // The pairs the shards say were aligned in a bounded band, for the session's marks (shards
    // without counts say nothing of it).
    std::vector<std::pair<int, int>> bounded;
    if (!read([&](int i, int j, float identity, AlignedCounts aligned) {
            state.InputIdentity(i, j) = identity;
            if (!aligned.exact) bounded.emplace_back(std::min(i, j), std::max(i, j));
        }))
        return Failure(problem + "; nothing was written");
    std::sort(bounded.begin(), bounded.end());
    state.boundedPairs = std::move(bounded);
    std::vector<ShardHeader> headers;
    for (const Shard& shard : shards) headers.push_back(shard.header);

    const RunSetup setup{shell, programs.config, WorkFolder()};
    const RunOutcome outcome = AnalyseIdentities(state, progress, setup);
    progress.Flush();
    if (outcome.cancelled || shell.Stop().Raised())
        return signals.Cancelled(kName, "nothing was written");
    if (!outcome.aligned) return 1;
    const RunFacts facts{"merge", {}, {}, request.input, *checksum};
    state.provenance = MergedProvenance(headers, request.options, facts);
    state.provenance.tree = KeptTree(state);
    // Every file first, the table last, then the display order (kvr merge ... | head -1).
    const std::string tablePath = std::exchange(rest.File("--table"), std::string());
    written = WriteOutputs(state, rest, false, std::cerr);
    rest.File("--table") = tablePath;
    streamTable();
    if (signals.Signal() != 0)
        return signals.Cancelled(kName, "the outputs not yet written were left as they were");
    if (!problem.empty()) return Failure(problem);
    if (printOrder) written = PrintDisplayOrder(state, std::cout) && written;
    return written && outcome.ordered ? 0 : 1;
}

}  // namespace kvr::cli
