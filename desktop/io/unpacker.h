// Unpacking compressed input as its bytes arrive: gzip, xz, bzip2 and zstd through libarchive,
// chosen by the magic bytes that open the data and read as one raw stream. Streams one after
// another (as bgzip, pbzip2, pixz and zstd write them) make one text.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string_view>

namespace kvr {

// The most bytes IsCompressed looks at.
inline constexpr std::size_t kMagicLength = 6;

// `head` opens with the magic bytes of one of the formats.
bool IsCompressed(std::string_view head);

enum class UnpackEnd {
    Whole,       // every stream ended; the text was handed on whole
    CutShort,    // the data ends inside a stream
    Damaged,     // the data is not what the format allows
    NoLibrary,   // the library could not be started for the format
    Stopped,     // the taker of the text refused more
    ReadFailed,  // reading more input failed (errno tells why)
};

// More compressed bytes: an empty view at the end, nothing when reading failed.
using ReadMore = std::function<std::optional<std::string_view>()>;
// Takes a piece of the text; false stops the unpacking.
using TakeText = std::function<bool(std::string_view)>;

// Unpacks the data that opens with `head` (at least kMagicLength bytes unless the data is
// shorter) and goes on with what `more` reads, handing the text to `take` as it comes.
UnpackEnd UnpackStream(std::string_view head, const ReadMore& more, const TakeText& take);

}  // namespace kvr
