// The session reader: a sound analysis or a fault, and what it reads is written back as a session
// that reads again to the same text.
#include <cmath>

#include "fuzz/fuzz_check.h"
#include "io/session_file.h"

namespace {

void CheckSound(const kvr::SessionContent& content) {
    const int n = static_cast<int>(content.records.size());
    FUZZ_CHECK(n >= 1);
    FUZZ_CHECK(content.identity.Size() == n);
    FUZZ_CHECK(content.detail.empty());
    std::size_t longest = 0;
    for (const kvr::Record& record : content.records) {
        FUZZ_CHECK(!record.name.empty() && record.name[0] == '>');
        FUZZ_CHECK(record.name.find_first_of(">\n", 1) == std::string::npos);
        FUZZ_CHECK(record.residues.find_first_of(">\n") == std::string::npos);
        longest = std::max(longest, record.name.size());
    }
    FUZZ_CHECK(static_cast<std::size_t>(content.maxNameLen) == longest);
    for (int i = 0; i < n; ++i) {
        FUZZ_CHECK(content.identity(i, i) == 1.0f);
        for (int j = 0; j < i; ++j) {
            const float value = content.identity(i, j);
            FUZZ_CHECK(std::isfinite(value) && value >= 0.0f && value <= 1.0f);
            FUZZ_CHECK(content.identity(j, i) == value);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const kvr::SessionContent content = kvr::ParseSession(kvr::fuzz::AsText(data, size));
    if (content.fault != kvr::SessionFault::None) {
        FUZZ_CHECK(!content.detail.empty());
        return 0;
    }
    CheckSound(content);

    const int n = static_cast<int>(content.records.size());
    const std::string written = kvr::FormatSession(content.records, content.identity, n);
    const kvr::SessionContent reread = kvr::ParseSession(written);
    FUZZ_CHECK(reread.fault == kvr::SessionFault::None);
    CheckSound(reread);
    FUZZ_CHECK(reread.records == content.records);
    FUZZ_CHECK(kvr::FormatSession(reread.records, reread.identity, n) == written);
    return 0;
}
