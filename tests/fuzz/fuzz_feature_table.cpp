// TOLVEN_Inference's feature table reader: a matrix of finite standardised values, or one short
// printable error; warnings are printable lines.
#include <cmath>
#include <cstdio>
#include <sstream>

#include "feature_table.h"
#include "fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The header is the one every real file has: the fuzzer then mostly works on the rows.
    std::string text;
    if (size > 0 && data[0] == '!') {
        for (std::size_t c = 0; c < tolven::kFeatureCount; ++c)
            text.append(c == 0 ? "" : ",").append(tolven::kRequiredColumns[c].name);
        text += '\n';
        text.append(reinterpret_cast<const char*>(data) + 1, size - 1);
    } else {
        text.assign(reinterpret_cast<const char*>(data), size);
    }
    std::FILE* file = ::fmemopen(text.data(), text.size(), "rb");
    if (file == nullptr) return 0;  // fmemopen refuses an empty buffer
    std::ostringstream warnings;
    tolven::FeatureTableResult result = tolven::ReadFeatureTable(file, "input.csv", warnings);
    std::fclose(file);
    FUZZ_CHECK(kvr::fuzz::Printable(warnings.str()));
    if (!result.error.empty()) {
        FUZZ_CHECK(kvr::fuzz::Printable(result.error));
        FUZZ_CHECK(result.error.size() < 300);
        return 0;
    }
    FUZZ_CHECK(result.matrix.rowCount >= 1);
    for (const float value : result.matrix.Values()) FUZZ_CHECK(std::isfinite(value));
    return 0;
}
