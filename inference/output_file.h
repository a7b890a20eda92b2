// The output file of TOLVEN_Inference: one line per row with the model's three values in fixed
// point, 8 decimals, separated by ",".
#pragma once

#include <cstddef>
#include <span>
#include <string>

namespace tolven {

inline constexpr std::size_t kOutputsPerRow = 3;

// Appends `value` in fixed point with exactly 8 decimals ("1.00000000", "-0.00000000").
void AppendFixed8(std::string& text, float value);

// Writes `rows` lines from `outputs` (kOutputsPerRow values a row) to `path`, replacing any file
// there. Returns the message that follows "Error: ", or an empty string on success.
std::string WriteOutputFile(const std::string& path, std::span<const float> outputs,
                            std::size_t rows);

}  // namespace tolven
