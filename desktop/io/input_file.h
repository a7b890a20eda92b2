// Reading a file the user gives as input (a FASTA file to load or append, a session): what is not
// a readable regular file is refused at once with its reason (a FIFO or a device is never waited
// on), compressed data (gzip, xz, bzip2, zstd) is unpacked as it is read, and binary data is
// refused by its first bytes, before more is read. The text never outgrows the memory free
// (unpacked text: half of it).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kvr {

struct InputText {
    std::optional<std::string> text;
    // Why there is no text, as a clause for "Failed to read PATH: ...": "the file does not
    // exist", "it is a folder", the system's reason, "it is not a text file ...".
    std::string problem;
    // The problem lies in the bytes (binary, a broken compressed stream), not in reaching the file.
    bool contentProblem = false;
};

// The text of the file at path.
InputText ReadInputFile(const std::string& path);

// The text read from an open descriptor to its end (kvr's "-" for standard input), refused once
// it outgrows the memory free.
InputText ReadInputDescriptor(int fd);

// The text of bytes read from elsewhere: compressed data unpacked, binary data refused.
InputText ExamineInput(std::string bytes);

// Holds a NUL byte, or is mostly bytes that are neither printable nor white space.
bool LooksBinary(std::string_view data);

}  // namespace kvr
