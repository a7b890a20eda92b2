// Makes writes fail part-way, as on a full disk: while it lives, no file of this process may grow
// beyond `bytes` (the write fails with "File too large"; the signal that would end the process is
// ignored). Works for root too, unlike a read-only folder.
#pragma once

#include <signal.h>
#include <sys/resource.h>

namespace kvr::testing {

class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        ::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit saved_{};
    sighandler_t previousHandler_;
};

}  // namespace kvr::testing
