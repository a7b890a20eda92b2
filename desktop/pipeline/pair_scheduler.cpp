#include "pipeline/pair_scheduler.h"

#include <algorithm>
#include <deque>
#include <map>
#include <optional>
#include <vector>

#include "pipeline/builtin_pairs.h"
#include "pipeline/builtin_pool.h"

namespace kvr {

namespace {

// A pair whose aligner runs, with its number among the scheduled pairs.
struct RunningPair {
    PairJob job;
    long long number = 0;
};

class Scheduler {
  public:
    Scheduler(const RecordTable& records, Aligner kind, const PairSchedule& schedule,
              const RunContext& context, Progress& progress)
        : records_(records),
          kind_(kind),
          schedule_(schedule),
          context_(context),
          progress_(progress),
          shell_(context.shell),
          jobs_(static_cast<std::size_t>(std::max(1, context.jobs))) {
        if (kind == Aligner::Builtin) {
            pool_.emplace(static_cast<int>(jobs_),
                          BuiltinOptions(records, context.alphabet, context.pairMemoryMegabytes));
            twins_.emplace(records);
        }
    }

    ScheduleOutcome Run() {
        while (true) {
            Start();
            if (const auto end = TakeIn()) return *end;
            if (shell_.Stop().Raised()) return Cancel();
            if (pool_) continue;  // nothing runs outside: the next batch is aligned

            std::optional<ShellClock::time_point> deadline;
            for (const RunningPair& pair : running_)
                if (const auto limit = PairDeadline(context_, pair.job))
                    deadline = std::min(deadline.value_or(*limit), *limit);
            const ShellOutcome run = shell_.WaitAny(deadline);
            if (run.status == ShellOutcome::Status::Stopped) return Cancel();
            if (run.status == ShellOutcome::Status::TimedOut) {
                // The pairs whose limit has passed: the one waited for, and any other by now.
                const auto now = ShellClock::now();
                std::vector<int> expired;
                for (const RunningPair& pair : running_)
                    if (const auto limit = PairDeadline(context_, pair.job);
                        limit && (*limit <= *deadline || *limit <= now))
                        expired.push_back(pair.job.result.processId);
                for (const int processId : expired) {
                    const auto it = FindRunning(processId);
                    if (it == running_.end()) continue;  // ended by an earlier failure
                    shell_.End(processId);
                    FinishRunning(it, run);
                }
            } else if (run.status == ShellOutcome::Status::Ended) {
                if (const auto it = FindRunning(run.processId); it != running_.end())
                    FinishRunning(it, run);
            } else {
                EndRunningAfter(-1);
                return {ScheduleEnd::Lost, run.message};
            }
        }
    }

  private:
    // Makes the pair at index (from the first pair not yet taken) known; false past the last.
    bool Known(std::size_t index) {
        while (queue_.size() <= index) {
            int i = 0;
            int j = 0;
            if (sourceDone_ || !schedule_.next(i, j)) {
                sourceDone_ = true;
                return false;
            }
            queue_.emplace_back(i, j);
        }
        return true;
    }

    bool MayStart() const { return !firstFailure_ && !shell_.Stop().Raised(); }

    // The next pair to start, with its number; false when there is none.
    bool NextToStart(int& i, int& j, long long& number) {
        const auto index = static_cast<std::size_t>(started_ - taken_);
        if (!Known(index)) return false;
        std::tie(i, j) = queue_[index];
        number = started_++;
        return true;
    }

    Result<void> Admitted(int i, int j) const {
        return schedule_.admit ? schedule_.admit(i, j) : Result<void>();
    }

    void Start() {
        if (pool_) return StartBatch();
        int i = 0;
        int j = 0;
        long long number = 0;
        while (running_.size() < jobs_ && MayStart() && NextToStart(i, j, number)) {
            if (const Result<void> admitted = Admitted(i, j); !admitted) {
                Ended({number, i, j, {}, admitted.problem().message, false});
                continue;
            }
            PairJob job = StartPair(context_, kind_, records_[i], records_[j], i, j);
            if (job.result.processId == 0) {
                Ended({number, i, j, job.result, {}, true});
                continue;
            }
            running_.push_back({std::move(job), number});
        }
    }

    // The built-in aligner takes the next pairs in batches, small enough that progress and the
    // caller's events stay lively, large enough to keep every thread busy.
    void StartBatch() {
        std::vector<std::pair<const Record*, const Record*>> batch;
        std::vector<ScheduledPair> pairs;
        int i = 0;
        int j = 0;
        long long number = 0;
        while (batch.size() < 64 * jobs_ && MayStart() && NextToStart(i, j, number)) {
            if (const Result<void> admitted = Admitted(i, j); !admitted) {
                Ended({number, i, j, {}, admitted.problem().message, false});
                continue;
            }
            batch.emplace_back(&records_[i], &records_[j]);
            pairs.push_back({number, i, j, {}, {}, false});
        }
        if (batch.empty()) return;
        const auto advance = [&](double done) {
            const auto k = std::min(static_cast<std::size_t>(done), pairs.size() - 1);
            schedule_.advance(
                static_cast<double>(pairs[k].number) + (done - static_cast<double>(k)), pairs[k].i,
                pairs[k].j);
        };
        const std::vector<PairResult> results = AlignBuiltinPairs(
            *pool_, batch, progress_, shell_.Stop(), context_.pairTimeoutSeconds, &*twins_,
            context_.ambiguous, schedule_.advance ? std::function<void(double)>(advance) : nullptr);
        for (std::size_t k = 0; k < results.size(); ++k) {
            if (results[k].outcome.Is(ProblemKind::Cancelled)) return;
            pairs[k].result = results[k];
            Ended(std::move(pairs[k]));
        }
    }

    // Ends the running pairs numbered above last, and forgets them.
    void EndRunningAfter(long long last) {
        for (auto it = running_.begin(); it != running_.end();) {
            if (it->number <= last) {
                ++it;
                continue;
            }
            shell_.End(it->job.result.processId);
            FinishPair(context_, it->job, {ShellOutcome::Status::Stopped, 0, -1, {}});
            it = running_.erase(it);
        }
    }

    void Ended(ScheduledPair pair) {
        if (pair.Failed()) {
            firstFailure_ = std::min(firstFailure_.value_or(pair.number), pair.number);
            EndRunningAfter(*firstFailure_);
        }
        const long long number = pair.number;
        ended_[number] = std::move(pair);
    }

    std::vector<RunningPair>::iterator FindRunning(int processId) {
        return std::find_if(running_.begin(), running_.end(), [&](const RunningPair& pair) {
            return pair.job.result.processId == processId;
        });
    }

    void FinishRunning(std::vector<RunningPair>::iterator it, const ShellOutcome& run) {
        const RunningPair pair = std::move(*it);
        running_.erase(it);
        Ended({pair.number, pair.job.i, pair.job.j, FinishPair(context_, pair.job, run), {}, true});
    }

    // Takes in, in order, the pairs that have ended; the end of the schedule when one failed or
    // the last has been taken.
    std::optional<ScheduleOutcome> TakeIn() {
        while (Known(0)) {
            const auto [i, j] = queue_.front();
            if (reached_ < taken_) {
                reached_ = taken_;
                if (schedule_.reach) schedule_.reach(taken_, i, j);
            }
            const auto found = ended_.find(taken_);
            if (found == ended_.end()) return std::nullopt;
            const ScheduledPair pair = std::move(found->second);
            ended_.erase(found);
            queue_.pop_front();
            ++taken_;
            if (!schedule_.take(pair) || pair.Failed()) {
                EndRunningAfter(-1);
                return ScheduleOutcome{ScheduleEnd::Stopped, {}};
            }
        }
        return ScheduleOutcome{};
    }

    ScheduleOutcome Cancel() {
        EndRunningAfter(-1);
        return {ScheduleEnd::Cancelled, {}};
    }

    const RecordTable& records_;
    Aligner kind_;
    const PairSchedule& schedule_;
    const RunContext& context_;
    Progress& progress_;
    Shell& shell_;
    const std::size_t jobs_;
    std::optional<BuiltinPool> pool_;  // the built-in aligner's threads, for the whole schedule
    std::optional<TwinPairs> twins_;   // and the counts of its pairs that twins repeat

    std::deque<std::pair<int, int>> queue_;  // pairs known and not yet taken, from number taken_
    bool sourceDone_ = false;
    long long started_ = 0;  // pairs started (or refused) so far
    long long taken_ = 0;    // pairs taken so far
    long long reached_ = -1;
    std::vector<RunningPair> running_;
    std::map<long long, ScheduledPair> ended_;  // by number, until taken
    std::optional<long long> firstFailure_;     // nothing after it is started
};

}  // namespace

ScheduleOutcome SchedulePairs(const RecordTable& records, Aligner kind,
                              const PairSchedule& schedule, const RunContext& context,
                              Progress& progress) {
    return Scheduler(records, kind, schedule, context, progress).Run();
}

}  // namespace kvr
