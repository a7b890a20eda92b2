#include "io/group_table.h"

#include <algorithm>

#include "io/number_text.h"

namespace kvr {

std::vector<float> DistinctThresholds(const std::vector<float>& thresholds) {
    std::vector<float> distinct;
    for (const float t : thresholds)
        if (std::find(distinct.begin(), distinct.end(), t) == distinct.end()) distinct.push_back(t);
    return distinct;
}

bool WriteGroupTable(std::ostream& out, const IdentityView& identity,
                     const std::vector<std::string>& names, const std::vector<float>& thresholds,
                     Linkage linkage) {
    std::vector<Grouping> groupings;
    for (const float t : thresholds)
        groupings.push_back(GroupAtThreshold(identity, names, t, linkage));

    std::string text = "name";
    for (const float t : thresholds) {
        const std::string suffix = thresholds.size() == 1 ? "" : "_" + ExactSingle(t);
        text += "\tgroup" + suffix + "\tsize" + suffix + "\trepresentative" + suffix;
    }
    text += '\n';
    for (std::size_t s = 0; s < names.size(); ++s) {
        text += names[s];
        for (const Grouping& g : groupings) {
            const int number = g.groupOf[s];
            text.append("\t").append(std::to_string(number));
            text.append("\t").append(std::to_string(g.sizes[number - 1]));
            text.append("\t").append(names[g.representatives[number - 1]]);
        }
        text += '\n';
        if (text.size() < (1 << 16)) continue;
        out << text;
        text.clear();
    }
    out << text;
    return static_cast<bool>(out);
}

}  // namespace kvr
