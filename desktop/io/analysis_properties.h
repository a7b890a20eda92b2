// What an analysis keeps besides its identities, as key and value: its counts, whether it keeps a
// tree, and the record of how its identities were made. kvr info prints these lines; the window's
// Properties shows them.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "model/analysis.h"

namespace kvr {

// The counts, then every standard key of the record ("unknown" when it lacks one), then the
// record's other keys in its order.
std::vector<std::pair<std::string, std::string>> AnalysisProperties(const Analysis& analysis);

}  // namespace kvr
