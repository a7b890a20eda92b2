#include "engine/pair_list.h"

#include <algorithm>
#include <map>
#include <optional>

#include "engine/builtin_pairs.h"
#include "engine/run_aligner.h"
#include "engine/run_options.h"

namespace kvr {

namespace {

std::string PairFailure(const RecordTable& records, std::string_view kind, int i, int j,
                        const PairResult& result) {
    return "the identity of sequences " + std::to_string(i + 1) + " and " + std::to_string(j + 1) +
           " (" + records[i].name + ", " + records[j].name + ") could not be computed with " +
           AlignerTitle(kind) + ": " + result.outcome.message + " (command: " + result.command +
           ")";
}

}  // namespace

PairListEnd AlignPairList(const RecordTable& records, std::string_view kind,
                          const std::vector<std::pair<int, int>>& pairs, const RunContext& context,
                          Window& window, const std::function<bool(std::size_t, float)>& take) {
    Shell& shell = context.shell;
    const std::size_t jobs = static_cast<std::size_t>(std::max(1, context.jobs));
    const auto takeFailed = [] {
        return PairListEnd{false, false, "the result could not be kept"};
    };

    if (kind == kBuiltinAligner) {
        // Chunks small enough that a stop request is seen soon, large enough for every thread.
        const std::size_t chunkSize = 64 * jobs;
        for (std::size_t first = 0; first < pairs.size(); first += chunkSize) {
            std::vector<std::pair<const Record*, const Record*>> chunk;
            for (std::size_t k = first; k < std::min(pairs.size(), first + chunkSize); ++k)
                chunk.emplace_back(&records[pairs[k].first], &records[pairs[k].second]);
            const std::vector<PairResult> results = AlignBuiltinPairs(
                chunk, static_cast<int>(jobs), window, shell.Stop(), context.pairTimeoutSeconds);
            for (std::size_t k = 0; k < results.size(); ++k) {
                const auto [i, j] = pairs[first + k];
                if (results[k].outcome.status == ProgramStatus::Cancelled) return {false, true, {}};
                if (!results[k].outcome.Ok())
                    return {false, false, PairFailure(records, kind, i, j, results[k])};
                if (!take(first + k, results[k].identity)) return takeFailed();
            }
            if (shell.Stop().Raised()) return {false, true, {}};
        }
        return {true, false, {}};
    }

    // External aligners: started in list order, taken in list order.
    std::size_t next = 0;
    std::size_t taken = 0;
    std::vector<PairJob> running;
    std::vector<std::size_t> runningNumbers;  // the list position of running[k]
    std::map<std::size_t, PairResult> ended;  // by list position, until taken
    const auto endAll = [&] {
        for (const PairJob& job : running) {
            shell.End(job.result.processId);
            FinishPair(context, job, {ShellOutcome::Status::Stopped, 0, -1, {}});
        }
        running.clear();
        runningNumbers.clear();
    };
    const auto finish = [&](std::size_t at, const ShellOutcome& run) {
        ended[runningNumbers[at]] = FinishPair(context, running[at], run);
        running.erase(running.begin() + static_cast<long>(at));
        runningNumbers.erase(runningNumbers.begin() + static_cast<long>(at));
    };

    while (taken < pairs.size()) {
        while (next < pairs.size() && running.size() < jobs && !shell.Stop().Raised()) {
            const auto [i, j] = pairs[next];
            if (kind == "clustalw" && records[i].name == records[j].name) {
                endAll();
                return {false, false,
                        "ClustalW cannot align sequences " + std::to_string(i + 1) + " and " +
                            std::to_string(j + 1) + ": both are named '" + records[i].name +
                            "'. Please rename all the duplicate names and try again."};
            }
            PairJob job = StartPair(context, kind, records[i], records[j], i, j);
            if (job.result.processId == 0) {
                ended[next++] = job.result;
                continue;
            }
            running.push_back(std::move(job));
            runningNumbers.push_back(next++);
        }
        for (auto found = ended.find(taken); found != ended.end(); found = ended.find(taken)) {
            const PairResult result = std::move(found->second);
            ended.erase(found);
            const auto [i, j] = pairs[taken];
            if (!result.outcome.Ok()) {
                endAll();
                return {false, false, PairFailure(records, kind, i, j, result)};
            }
            if (!take(taken, result.identity)) {
                endAll();
                return takeFailed();
            }
            ++taken;
        }
        if (taken == pairs.size()) break;
        if (shell.Stop().Raised()) {
            endAll();
            return {false, true, {}};
        }

        std::optional<ShellClock::time_point> deadline;
        for (const PairJob& job : running)
            if (const auto limit = PairDeadline(context, job))
                deadline = std::min(deadline.value_or(*limit), *limit);
        const ShellOutcome run = shell.WaitAny(deadline);
        if (run.status == ShellOutcome::Status::Stopped) {
            endAll();
            return {false, true, {}};
        }
        if (run.status == ShellOutcome::Status::TimedOut) {
            const auto now = ShellClock::now();
            for (std::size_t at = running.size(); at-- > 0;)
                if (const auto limit = PairDeadline(context, running[at]); limit && *limit <= now) {
                    shell.End(running[at].result.processId);
                    finish(at, run);
                }
        } else if (run.status == ShellOutcome::Status::Ended) {
            for (std::size_t at = 0; at < running.size(); ++at)
                if (running[at].result.processId == run.processId) {
                    finish(at, run);
                    break;
                }
        } else {
            endAll();
            return {false, false, "the aligners were lost: " + run.message};
        }
    }
    return {true, false, {}};
}

}  // namespace kvr
