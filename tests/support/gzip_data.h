// Gzip data made in a test: one member holding text, at the given compression level (1: fast,
// for large inputs; 9: small). Needs zlib.
#pragma once

#include <zlib.h>

#include <string>

namespace kvr::testing {

inline std::string GzipMember(const std::string& text, int level = 9) {
    std::string packed(compressBound(text.size()) + 64, '\0');
    z_stream stream{};
    deflateInit2(&stream, level, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    stream.avail_in = static_cast<uInt>(text.size());
    stream.next_out = reinterpret_cast<Bytef*>(packed.data());
    stream.avail_out = static_cast<uInt>(packed.size());
    deflate(&stream, Z_FINISH);
    packed.resize(stream.total_out);
    deflateEnd(&stream);
    return packed;
}

}  // namespace kvr::testing
