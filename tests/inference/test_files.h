// Files for TOLVEN_Inference's tests: a temporary folder, whole-file reads and writes, and feature
// tables built from the required columns.
#pragma once

#include <charconv>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>

#include "required_columns.h"
#include "support/temp_folder.h"

namespace tolven::testing {

using kvr::testing::TempFolder;

inline void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The shortest text that converts back to exactly `value`.
inline std::string FloatText(float value) {
    char text[32];
    return {text, std::to_chars(text, text + sizeof text, value).ptr};
}

// The required names in model order, joined by ",".
inline std::string RequiredHeader() {
    std::string header;
    for (const RequiredColumn& column : kRequiredColumns) {
        if (!header.empty()) header += ',';
        header += column.name;
    }
    return header;
}

// A data row for RequiredHeader(): each column holds its mean, so it standardises to zero, unless
// `texts` gives another field text for its index.
inline std::string MeanRow(const std::map<std::size_t, std::string>& texts = {}) {
    std::string row;
    for (std::size_t c = 0; c < kFeatureCount; ++c) {
        if (c > 0) row += ',';
        const auto given = texts.find(c);
        row += given != texts.end() ? given->second : FloatText(kRequiredColumns[c].mean);
    }
    return row;
}

}  // namespace tolven::testing
