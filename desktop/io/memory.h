// How much memory the process may still take, so that a load too large for the machine is refused
// with a message before it allocates, instead of ending on an allocation failure half-way.
#pragma once

#include <cstdint>
#include <string>

namespace kvr {

// The memory the system can still give (available plus free swap), lowered by the process's
// address-space and data limits; the largest value when nothing can be read.
std::uint64_t AvailableMemory();

// "512 MB", "3.4 GB": a size for messages.
std::string MemoryText(std::uint64_t bytes);

}  // namespace kvr
