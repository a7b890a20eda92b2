// Memory for the large work arrays of a pair: taken from the system and given back to it directly,
// not kept in the allocator's pools (where another thread short of memory could not use it), and
// neither zeroed nor copied when it grows.
#pragma once

#include <sys/mman.h>

#include <cstddef>
#include <new>
#include <type_traits>

namespace kvr::align {

template <typename T>
class WorkBuffer {
    static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_default_constructible_v<T>);

  public:
    WorkBuffer() = default;
    WorkBuffer(const WorkBuffer&) = delete;
    WorkBuffer& operator=(const WorkBuffer&) = delete;
    ~WorkBuffer() { Release(); }

    // At least n elements, their values undefined.
    T* Need(std::size_t n) {
        if (n > size_) {
            Release();
            void* p = mmap(nullptr, n * sizeof(T), PROT_READ | PROT_WRITE,
                           MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            if (p == MAP_FAILED) throw std::bad_alloc();
            // Large pages where the system grants them on request: a band's store of tens of
            // megabytes is written once a pair, and faulting it in 4 kB at a time cost a fifth
            // of the time of a 10 kb pair with long runs of N.
            if (n * sizeof(T) >= kHugeFrom) madvise(p, n * sizeof(T), MADV_HUGEPAGE);
            data_ = static_cast<T*>(p);
            size_ = n;
        }
        return data_;
    }

    std::size_t Bytes() const { return size_ * sizeof(T); }

    void Release() {
        if (data_ != nullptr) munmap(data_, size_ * sizeof(T));
        data_ = nullptr;
        size_ = 0;
    }

  private:
    static constexpr std::size_t kHugeFrom = std::size_t{4} << 20;
    T* data_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace kvr::align
