// An analysis read back from a score-columns file ("First Sequence,Second Sequence,Identity
// Score", then one line per pair in display order), with the identity range the run finds.
#pragma once

#include <map>
#include <sstream>
#include <string>

#include "io/file_io.h"
#include "io/number_text.h"
#include "support/analysis_state.h"

namespace kvr::testing {

inline RunState LoadScoreColumns(const std::string& path) {
    const std::string text = ReadWholeFile(path).value_or("");
    std::istringstream lines(text);
    std::string line;
    std::getline(lines, line);  // the heading
    std::vector<std::string> names;
    std::map<std::pair<int, int>, float> identities;
    const auto indexOf = [&names](const std::string& name) {
        for (std::size_t k = 0; k < names.size(); ++k)
            if (names[k] == name) return static_cast<int>(k);
        names.push_back(name);
        return static_cast<int>(names.size() - 1);
    };
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto first = line.find(',');
        const auto second = line.find(',', first + 1);
        if (first == std::string::npos || second == std::string::npos) continue;
        const int a = indexOf(line.substr(0, first));
        const int b = indexOf(line.substr(first + 1, second - first - 1));
        identities[{std::min(a, b), std::max(a, b)}] =
            static_cast<float>(NumberValue(line.substr(second + 1)));
    }
    return MakeAnalysis(
        static_cast<int>(names.size()),
        [&identities](int i, int j) {
            return identities.at({i, j});
        },
        [&names](int i) { return names[static_cast<std::size_t>(i)]; });
}

}  // namespace kvr::testing
