// Reading of TOLVEN_Inference's feature file: the required columns are picked by header name and
// standardised into one contiguous row-major matrix, the model's input.
#pragma once

#include <cstddef>
#include <cstdio>
#include <iosfwd>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "required_columns.h"

namespace tolven {

// Standardised features: rowCount rows of kFeatureCount values in required-column order, one row
// after another (384 bytes a row).
struct FeatureMatrix {
    std::unique_ptr<float[]> values;
    std::size_t rowCount = 0;

    std::span<float> Values() { return {values.get(), rowCount * kFeatureCount}; }
    std::span<const float> Values() const { return {values.get(), rowCount * kFeatureCount}; }
};

struct FeatureTableResult {
    FeatureMatrix matrix;
    std::string error;  // empty on success, else the message that follows "Error: "
};

// Cuts a line at every "," and trims each piece of spaces, tabs, carriage returns and line feeds.
// An empty piece between two commas is a field; a line ending in "," gets no empty last field,
// and an empty line has no fields at all.
void SplitFields(std::string_view line, std::vector<std::string_view>& fields);

// Reads and standardises the feature file at `path`. Each skipped short line is reported on
// `warnings` ("Warning: line ...") as it is met; blank lines are skipped silently.
FeatureTableResult ReadFeatureTable(const std::string& path, std::ostream& warnings);

// The same on a file already open; path is named in the messages.
FeatureTableResult ReadFeatureTable(std::FILE* file, const std::string& path,
                                    std::ostream& warnings);

}  // namespace tolven
