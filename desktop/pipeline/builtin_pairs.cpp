#include "pipeline/builtin_pairs.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <optional>
#include <unordered_map>

#include "align/align.h"
#include "io/number_text.h"
#include "pipeline/pair_identity.h"

namespace kvr {

namespace {

enum class BatchEnd { Done, Stopped, TimedOut };

// The progress of the pairs of one call: their lengths aligned so far, against all of them.
struct LengthsDone {
    std::atomic<std::uint64_t> done{0};
    std::uint64_t total = 0;
    const std::function<void(double)>* advance = nullptr;
    double pairs = 0;
    void Tell() const {
        if (*advance && total > 0)
            (*advance)(pairs * std::min(1.0, static_cast<double>(done.load()) /
                                                 static_cast<double>(total)));
    }
};

// Aligns tasks into counts on the pool while the caller breathes on this thread; a stop
// request or the deadline (if any) raises the aligner's cancel flag.
BatchEnd AlignBatch(BuiltinPool& pool, const std::vector<align::PairTask>& tasks,
                    Progress& progress, const StopRequest& stop,
                    std::optional<std::chrono::steady_clock::time_point> deadline,
                    std::vector<align::PairCounts>& counts, LengthsDone& lengths) {
    std::atomic<bool> cancel{false};
    BatchEnd end = BatchEnd::Done;
    pool.Start(tasks, counts, &cancel, &lengths.done);
    while (!pool.Wait(std::chrono::milliseconds(40))) {
        lengths.Tell();
        progress.Breathe();
        if (end != BatchEnd::Done) continue;
        if (stop.Raised())
            end = BatchEnd::Stopped;
        else if (deadline && std::chrono::steady_clock::now() >= *deadline)
            end = BatchEnd::TimedOut;
        if (end != BatchEnd::Done) cancel = true;
    }
    return end;
}

}  // namespace

align::Options BuiltinOptions(const RecordTable& records, AlphabetRule rule,
                              int pairMemoryMegabytes) {
    align::Options options;
    options.memoryBudget = static_cast<std::size_t>(pairMemoryMegabytes) << 20;
    if (rule == AlphabetRule::Set) {
        std::vector<std::string_view> residues;
        residues.reserve(records.size());
        for (const Record& record : records) residues.push_back(record.residues);
        options.alphabet = align::SetAlphabet(residues);
    }
    return options;
}

std::vector<PairResult> AlignBuiltinPairs(
    BuiltinPool& pool, const std::vector<std::pair<const Record*, const Record*>>& pairs,
    Progress& progress, const StopRequest& stop, double pairTimeoutSeconds, TwinPairs* twins,
    AmbiguityRule ambiguous, const std::function<void(double done)>& advance) {
    // The pairs to align: each pair's task, unless its counts are known from an earlier call.
    std::vector<align::PairTask> tasks;
    tasks.reserve(pairs.size());
    std::vector<std::size_t> taskOf(pairs.size(), 0);
    std::vector<std::optional<std::uint64_t>> keys(pairs.size());
    std::vector<std::optional<align::PairCounts>> known(pairs.size());
    std::unordered_map<std::uint64_t, std::size_t> taskOfKey;
    for (std::size_t k = 0; k < pairs.size(); ++k) {
        const auto& [first, second] = pairs[k];
        if (twins != nullptr) keys[k] = twins->Key(first->residues, second->residues);
        if (keys[k]) {
            if ((known[k] = twins->Find(*keys[k]))) continue;
            if (const auto at = taskOfKey.find(*keys[k]); at != taskOfKey.end()) {
                taskOf[k] = at->second;
                continue;
            }
            taskOfKey.emplace(*keys[k], tasks.size());
        }
        taskOf[k] = tasks.size();
        tasks.push_back({first->residues, second->residues});
    }

    LengthsDone lengths;
    lengths.advance = &advance;
    lengths.pairs = static_cast<double>(pairs.size());
    for (const align::PairTask& task : tasks) lengths.total += task.a.size() + task.b.size();
    std::vector<align::PairCounts> counts(tasks.size(),
                                          align::PairCounts{align::Status::Cancelled});
    std::vector<bool> timedOut(tasks.size(), false);
    if (pairTimeoutSeconds <= 0) {
        AlignBatch(pool, tasks, progress, stop, std::nullopt, counts, lengths);
    } else {
        const auto limit = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
            std::chrono::duration<double>(pairTimeoutSeconds));
        const std::size_t batch = static_cast<std::size_t>(pool.Threads());
        for (std::size_t first = 0; first < tasks.size(); first += batch) {
            const std::size_t last = std::min(tasks.size(), first + batch);
            const std::vector<align::PairTask> some(tasks.begin() + first, tasks.begin() + last);
            std::vector<align::PairCounts> done;
            const BatchEnd end =
                AlignBatch(pool, some, progress, stop, std::chrono::steady_clock::now() + limit,
                           done, lengths);
            std::copy(done.begin(), done.end(), counts.begin() + first);
            if (end == BatchEnd::Done) continue;
            for (std::size_t k = first; k < last; ++k)
                timedOut[k] =
                    end == BatchEnd::TimedOut && counts[k].status == align::Status::Cancelled;
            break;
        }
    }

    std::vector<PairResult> results(pairs.size());
    for (std::size_t k = 0; k < pairs.size(); ++k) {
        PairResult& result = results[k];
        result.command = kBuiltinCommand;
        const align::PairCounts& c = known[k] ? *known[k] : counts[taskOf[k]];
        if (keys[k] && !known[k] && c.status == align::Status::Ok) twins->Keep(*keys[k], c);
        if (!known[k] && timedOut[taskOf[k]]) {
            result.outcome = Problem{"the built-in aligner was still aligning the pair after " +
                                         SecondsText(static_cast<float>(pairTimeoutSeconds)) +
                                         ", the time limit for one pair, and has been stopped",
                                     ProblemKind::TimedOut};
        } else if (c.status == align::Status::Cancelled) {
            result.outcome = Problem{"the run was cancelled", ProblemKind::Cancelled};
        } else if (c.status != align::Status::Ok) {
            result.outcome = Problem{align::StatusText(c.status), ProblemKind::Failed};
        } else {
            const ColumnCounts columns{c.columns, c.gapFreeColumns,     c.matches,
                                       c.exact,   c.unambiguousColumns, c.unambiguousMatches};
            const Result<float> score = IdentityOf(columns, ambiguous);
            if (score) {
                result.identity = score.value();
                result.counts = columns;
            } else {
                result.outcome = Problem{score.problem().message, ProblemKind::BadOutput};
            }
        }
    }
    return results;
}

}  // namespace kvr
