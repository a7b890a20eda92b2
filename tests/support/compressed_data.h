// Compressed data made in a test, one stream of text in each format the input reader unpacks,
// by the formats' own libraries (zlib, liblzma, libbz2, libzstd).
#pragma once

#include <bzlib.h>
#include <lzma.h>
#include <zstd.h>

#include <cstdint>
#include <string>

#include "support/gzip_data.h"

namespace kvr::testing {

inline std::string XzStream(const std::string& text) {
    std::string packed(lzma_stream_buffer_bound(text.size()), '\0');
    std::size_t size = 0;
    lzma_easy_buffer_encode(6, LZMA_CHECK_CRC64, nullptr,
                            reinterpret_cast<const std::uint8_t*>(text.data()), text.size(),
                            reinterpret_cast<std::uint8_t*>(packed.data()), &size, packed.size());
    packed.resize(size);
    return packed;
}

inline std::string Bzip2Stream(const std::string& text) {
    std::string packed(text.size() + text.size() / 100 + 600, '\0');
    auto size = static_cast<unsigned>(packed.size());
    BZ2_bzBuffToBuffCompress(packed.data(), &size, const_cast<char*>(text.data()),
                             static_cast<unsigned>(text.size()), 9, 0, 0);
    packed.resize(size);
    return packed;
}

// With the checksum of the content, as the zstd program writes it.
inline std::string ZstdFrame(const std::string& text) {
    std::string packed(ZSTD_compressBound(text.size()), '\0');
    ZSTD_CCtx* context = ZSTD_createCCtx();
    ZSTD_CCtx_setParameter(context, ZSTD_c_checksumFlag, 1);
    const std::size_t size =
        ZSTD_compress2(context, packed.data(), packed.size(), text.data(), text.size());
    ZSTD_freeCCtx(context);
    packed.resize(ZSTD_isError(size) ? 0 : size);
    return packed;
}

}  // namespace kvr::testing
