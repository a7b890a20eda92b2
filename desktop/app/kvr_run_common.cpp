#include "app/kvr_run_common.h"

#include <charconv>
#include <cmath>

namespace kvr::cli {

bool ParseWhole(const std::string& text, int& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

bool ParseSeconds(const std::string& text, double& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && std::isfinite(value) &&
           value > 0;
}

bool PrintDisplayOrder(const RunState& state, std::ostream& out) {
    for (int a = 0; a < state.seqCount; ++a)
        out << state.treeOrder[a] + 1 << '\t' << state.SequenceList[a].name << '\n';
    out.flush();
    return static_cast<bool>(out);
}

}  // namespace kvr::cli
