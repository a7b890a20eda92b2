#include "platform/stop_request.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

namespace kvr {

StopRequest::StopRequest() : wakeFd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

StopRequest::~StopRequest() {
    if (wakeFd_ >= 0) ::close(wakeFd_);
}

void StopRequest::Raise() noexcept {
    if (raised_.exchange(true)) return;
    const std::uint64_t one = 1;
    // eventfd writes are async-signal-safe; a full counter cannot happen with one write per raise.
    if (wakeFd_ < 0) return;
    [[maybe_unused]] const ssize_t written = ::write(wakeFd_, &one, sizeof one);
}

void StopRequest::Clear() noexcept {
    std::uint64_t count = 0;
    raised_.store(false);
    if (wakeFd_ < 0) return;
    [[maybe_unused]] const ssize_t drained = ::read(wakeFd_, &count, sizeof count);
}

}  // namespace kvr
