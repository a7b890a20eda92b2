// A request to stop what the shell is waiting for: raised by the window's Cancel, by a signal
// handler, or by a test; the shells' waits wake on it. It stays raised until cleared, so a
// request made between two steps of a run is seen by the next one.
#pragma once

#include <atomic>

namespace kvr {

class StopRequest {
  public:
    StopRequest();
    ~StopRequest();
    StopRequest(const StopRequest&) = delete;
    StopRequest& operator=(const StopRequest&) = delete;

    void Raise() noexcept;  // safe in a signal handler
    bool Raised() const noexcept { return raised_.load(); }
    void Clear() noexcept;  // before a new run
    // A descriptor that is readable while the request is raised, for waits that poll.
    int WakeDescriptor() const noexcept { return wakeFd_; }

  private:
    std::atomic<bool> raised_{false};
    int wakeFd_ = -1;
    static_assert(std::atomic<bool>::is_always_lock_free, "Raise must be safe in a handler");
};

}  // namespace kvr
