// How far the alignment of a pair has got, for a progress display that moves within a long pair,
// and the cancel flag beside it: what the passes poll as they go.
#pragma once

#include <atomic>
#include <cstdint>

namespace kvr::align {

// One pair's share of a batch's counter (AlignPairs' `progress`): the pair adds the sum of its
// two lengths in all; each piece its own lengths, half for each of its passes as they go, the
// rest when its alignment is done. The counter never goes back: a band tried again adds nothing
// until it passes the point the try before it had reached.
class PairProgress {
  public:
    explicit PairProgress(std::atomic<std::uint64_t>* counter) : counter_(counter) {}

    // The piece under way: `units` of the pair's, after the first `start`.
    void Piece(std::uint64_t start, std::uint64_t units) {
        start_ = start;
        units_ = units;
    }
    // `done` of the `steps` of the piece's passes.
    void Pass(std::int64_t done, std::int64_t steps) {
        if (counter_ != nullptr && steps > 0 && done > 0)
            Reach(start_ +
                  units_ * static_cast<std::uint64_t>(done) / static_cast<std::uint64_t>(steps));
    }
    // The pair as far as `units`.
    void Reach(std::uint64_t units) {
        if (counter_ == nullptr || units <= reported_) return;
        counter_->fetch_add(units - reported_, std::memory_order_relaxed);
        reported_ = units;
    }

  private:
    std::atomic<std::uint64_t>* counter_;
    std::uint64_t reported_ = 0, start_ = 0, units_ = 0;
};

// What the banded passes poll on every anti-diagonal: the cancel flag, and where they report
// their progress. Either may be absent.
class PassWatch {
  public:
    PassWatch(const std::atomic<bool>* cancel, PairProgress* progress = nullptr)  // NOLINT
        : cancel_(cancel), progress_(progress) {}
    bool Cancelled() const {
        return cancel_ != nullptr && cancel_->load(std::memory_order_relaxed);
    }
    void Pass(std::int64_t done, std::int64_t steps) const {
        if (progress_ != nullptr) progress_->Pass(done, steps);
    }

  private:
    const std::atomic<bool>* cancel_;
    PairProgress* progress_;
};

}  // namespace kvr::align
