// A large regular file read once from start to end without holding it in memory: its bytes are
// mapped read-only, and the pages already read are given back as the reader moves on, so that
// reading a session of 20,000 sequences (2 GB of text) costs a few megabytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kvr {

class MappedFile {
  public:
    // Maps the file at path; Ok() is false when it cannot be (not a regular file, empty, ...).
    explicit MappedFile(const std::string& path);
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    bool Ok() const { return data_ != nullptr; }
    std::string_view Text() const { return {data_, size_}; }

    // The bytes before offset will not be read again: their pages leave the memory (a later read
    // would fetch them from the file again).
    void Release(std::size_t offset);

  private:
    const char* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t released_ = 0;
};

}  // namespace kvr
