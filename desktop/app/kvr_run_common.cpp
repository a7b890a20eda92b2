#include "app/kvr_run_common.h"

#include <cerrno>

namespace kvr::cli {

bool PrintDisplayOrder(const RunState& state, std::ostream& out) {
    for (int a = 0; a < state.seqCount && out; ++a)
        out << state.treeOrder[a] + 1 << '\t' << state.SequenceList[a].name << '\n';
    out.flush();
    return StreamDone(out);
}

bool StreamDone(std::ostream& out) {
    return static_cast<bool>(out) || errno == EPIPE;
}

}  // namespace kvr::cli
