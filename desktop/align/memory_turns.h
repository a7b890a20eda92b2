// Turns for pairs that ran out of memory while other threads held theirs: such a pair is tried
// again alone. The other threads finish the pair they are on, give back their work space and
// wait; then the pair runs with the memory to itself, and they go on.
#pragma once

#include <condition_variable>
#include <mutex>

namespace kvr::align {

class MemoryTurns {
  public:
    // Before a pair. While a pair waits for its turn alone or runs, calls release() (to give back
    // the thread's work space) and waits.
    template <typename Release>
    void Enter(const Release& release) {
        std::unique_lock lock(mutex_);
        if (alone_ || waiting_ > 0) {
            release();
            changed_.wait(lock, [&] { return !alone_ && waiting_ == 0; });
        }
        ++running_;
    }

    // Whether a pair waits for its turn alone or runs alone.
    bool Held() {
        const std::lock_guard lock(mutex_);
        return alone_ || waiting_ > 0;
    }

    // After a pair. While a pair waits for its turn alone, calls release() first, so that the
    // memory is back before that pair starts.
    template <typename Release>
    void Leave(const Release& release) {
        const std::lock_guard lock(mutex_);
        if (waiting_ > 0) release();
        --running_;
        changed_.notify_all();
    }

    // Runs work() once no other thread is inside a pair, and lets the others in again after it.
    // Called outside Enter and Leave.
    template <typename Work>
    auto Alone(const Work& work) {
        {
            std::unique_lock lock(mutex_);
            ++waiting_;
            changed_.wait(lock, [&] { return !alone_ && running_ == 0; });
            --waiting_;
            alone_ = true;
        }
        struct Done {
            MemoryTurns& turns;
            ~Done() {
                const std::lock_guard lock(turns.mutex_);
                turns.alone_ = false;
                turns.changed_.notify_all();
            }
        } done{*this};
        return work();
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int running_ = 0;  // threads inside a pair
    int waiting_ = 0;  // pairs waiting to run alone
    bool alone_ = false;
};

}  // namespace kvr::align
