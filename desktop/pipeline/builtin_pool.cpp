#include "pipeline/builtin_pool.h"

#include <algorithm>

namespace kvr {

namespace {

// Pairs per piece at most: enough to fill the aligner's widest SIMD lanes with pairs of similar
// lengths. A small batch goes one pair per thread, so that each pair's time is its own.
constexpr std::size_t kPiece = 16;

}  // namespace

BuiltinPool::BuiltinPool(int threads, const align::Options& options) : options_(options) {
    for (int t = 0; t < std::max(1, threads); ++t) threads_.emplace_back([this] { Work(); });
}

BuiltinPool::~BuiltinPool() {
    {
        const std::lock_guard lock(mutex_);
        ending_ = true;
    }
    wake_.notify_all();
    for (std::thread& thread : threads_) thread.join();
}

void BuiltinPool::Start(const std::vector<align::PairTask>& tasks,
                        std::vector<align::PairCounts>& out, const std::atomic<bool>* cancel,
                        std::atomic<std::uint64_t>* progress) {
    out.assign(tasks.size(), align::PairCounts{align::Status::Cancelled});
    {
        const std::lock_guard lock(mutex_);
        tasks_ = &tasks;
        out_ = &out;
        cancel_ = cancel;
        progress_ = progress;
        pieceSize_ = std::clamp<std::size_t>(tasks.size() / threads_.size(), 1, kPiece);
        pieces_ = (tasks.size() + pieceSize_ - 1) / pieceSize_;
        nextPiece_ = 0;
        piecesDone_ = 0;
    }
    wake_.notify_all();
}

bool BuiltinPool::Wait(std::chrono::milliseconds time) {
    std::unique_lock lock(mutex_);
    return done_.wait_for(lock, time, [this] { return piecesDone_ == pieces_; });
}

void BuiltinPool::Work() {
    std::vector<align::PairTask> piece;
    std::vector<align::PairCounts> counts;
    for (;;) {
        // Pieces are taken under the lock, so that none is taken from a batch that has ended.
        std::unique_lock lock(mutex_);
        wake_.wait(lock, [this] { return ending_ || nextPiece_ < pieces_; });
        if (nextPiece_ >= pieces_) return;
        const std::size_t first = nextPiece_++ * pieceSize_;
        const std::size_t last = std::min(tasks_->size(), first + pieceSize_);
        const std::vector<align::PairTask>& tasks = *tasks_;
        std::vector<align::PairCounts>& out = *out_;
        const std::atomic<bool>* cancel = cancel_;
        std::atomic<std::uint64_t>* progress = progress_;
        lock.unlock();

        // A pair's result does not depend on the thread that aligns it, nor on the pairs beside.
        piece.assign(tasks.begin() + static_cast<std::ptrdiff_t>(first),
                     tasks.begin() + static_cast<std::ptrdiff_t>(last));
        align::AlignPairs(piece, options_, 1, cancel, counts, progress, &turns_);

        lock.lock();
        std::copy(counts.begin(), counts.end(), out.begin() + static_cast<std::ptrdiff_t>(first));
        if (++piecesDone_ == pieces_) done_.notify_all();
    }
}

}  // namespace kvr
