// SHA-256 (FIPS 180-4, computed by Nettle) of bytes, as the 64 lower-case hex digits that
// sha256sum prints: how a shard and a session's record name the input they were computed from.
#pragma once

#include <string>
#include <string_view>

namespace kvr {

std::string Sha256Hex(std::string_view bytes);

}  // namespace kvr
