// The unpacker of each compressed format, one file each; UnpackerFor chooses among them.
#pragma once

#include <memory>
#include <string_view>

#include "io/unpacker.h"

namespace kvr {

inline constexpr std::string_view kGzipMagic("\x1f\x8b", 2);
inline constexpr std::string_view kXzMagic(
    "\xfd"
    "7zXZ\0",
    6);
inline constexpr std::string_view kBzip2Magic("BZh", 3);  // then the block size, '1' to '9'
inline constexpr std::string_view kZstdMagic("\x28\xb5\x2f\xfd", 4);

// Each gives nullptr when its library cannot be started.
std::unique_ptr<Unpacker> MakeGzipUnpacker();
std::unique_ptr<Unpacker> MakeXzUnpacker();
std::unique_ptr<Unpacker> MakeBzip2Unpacker();
std::unique_ptr<Unpacker> MakeZstdUnpacker();

}  // namespace kvr
