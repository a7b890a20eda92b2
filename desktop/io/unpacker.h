// Unpacking compressed input as its bytes arrive: gzip, xz, bzip2 and zstd, chosen by the magic
// bytes that open the data. Streams one after another (as bgzip, pbzip2, pixz and zstd write
// them) make one text. Each format goes through its own library, not libarchive: libarchive
// (3.6) checks neither a gzip member's CRC-32 nor its length, so damaged data would load, and it
// cannot tell a stream cut short from an empty one (tests/io/input_file_test.cpp).
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace kvr {

class Unpacker {
  public:
    virtual ~Unpacker() = default;

    // Unpacks from the front of `in` into `out`, taking from `in` what it used. Returns the bytes
    // written, fewer than out.size() only once all of `in` is taken and everything it gives is
    // written; nullopt when the data is damaged. `last`: no input follows `in`.
    std::optional<std::size_t> Unpack(std::string_view& in, std::span<char> out, bool last);

    // The data so far ends where a stream ends: nothing is cut short.
    bool Whole() const { return ended_; }

    // The format's name, as its tool is called: "gzip", "xz", "bzip2", "zstd".
    virtual const char* Name() const = 0;

  protected:
    enum class Step {
        Going,      // took input or gave output; the stream goes on
        StreamEnd,  // a stream ended
        Stuck,      // no progress without more input
        Damaged,
    };
    // One call of the library, from `in` into `out`, both moved past what was used.
    virtual Step Decode(std::string_view& in, std::span<char>& out, bool last) = 0;
    // The magic bytes that start a further stream after one has ended, for a library that reads
    // one stream a call; empty when the library reads further streams itself.
    virtual std::string_view Magic() const { return {}; }
    // Ready for a further stream that starts with Magic().
    virtual bool Restart() { return false; }

  private:
    bool ended_ = false;     // the last stream so far has ended
    bool trailing_ = false;  // bytes after the last stream, ignored as gzip and bzip2 ignore them
    std::string held_;       // the first bytes after a stream, until they tell what follows
};

// The most bytes UnpackerFor looks at.
inline constexpr std::size_t kMagicLength = 6;

// The unpacker for the format whose magic bytes open `head` (kMagicLength bytes, fewer only when
// the data is shorter): nullptr when the library cannot be started. `head` must be compressed.
std::unique_ptr<Unpacker> UnpackerFor(std::string_view head);

// `head` opens with the magic bytes of one of the formats.
bool IsCompressed(std::string_view head);

}  // namespace kvr
