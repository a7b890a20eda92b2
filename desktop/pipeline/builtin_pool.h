// The threads of the built-in aligner, kept for a whole run: the pairs come in batches (a few
// hundred at a time, so that progress and a stop request are seen soon), and every batch is
// aligned by the same threads instead of threads started anew for each. The threads share their
// memory turns (align/memory_turns.h), so only a pair that cannot fit alone is NoMemory.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "align/align.h"
#include "align/memory_turns.h"

namespace kvr {

class BuiltinPool {
  public:
    // Every pair is aligned with `options` (the run's alphabet).
    explicit BuiltinPool(int threads, const align::Options& options = {});
    ~BuiltinPool();  // lets the batch in progress finish (raise its cancel flag to hurry it)
    BuiltinPool(const BuiltinPool&) = delete;
    BuiltinPool& operator=(const BuiltinPool&) = delete;

    int Threads() const { return static_cast<int>(threads_.size()); }

    // Starts aligning the tasks into out (out[k] for tasks[k]; unfinished pairs stay Cancelled
    // once *cancel is raised) and returns at once. The tasks' views, tasks, out and cancel must
    // stay valid until Wait returns true. One batch at a time. With `progress`, the pairs add
    // their lengths to it as they go (align::AlignPairs).
    void Start(const std::vector<align::PairTask>& tasks, std::vector<align::PairCounts>& out,
               const std::atomic<bool>* cancel, std::atomic<std::uint64_t>* progress = nullptr);

    // True once the batch has been aligned; false when the time ran out first.
    bool Wait(std::chrono::milliseconds time);

  private:
    void Work();

    align::Options options_;
    std::vector<std::thread> threads_;
    std::mutex mutex_;
    std::condition_variable wake_;  // a batch to align, or the end
    std::condition_variable done_;  // the batch has been aligned
    bool ending_ = false;

    // The batch in progress: its pieces are taken one at a time by whichever thread is free.
    const std::vector<align::PairTask>* tasks_ = nullptr;
    std::vector<align::PairCounts>* out_ = nullptr;
    const std::atomic<bool>* cancel_ = nullptr;
    std::atomic<std::uint64_t>* progress_ = nullptr;
    std::size_t pieceSize_ = 1;
    std::size_t pieces_ = 0;
    std::size_t nextPiece_ = 0;
    std::size_t piecesDone_ = 0;
    // One set of memory turns for every thread: a pair short of memory waits for the pairs of the
    // other threads and runs alone, within its batch.
    align::MemoryTurns turns_;
};

}  // namespace kvr
