// ReadSession, WriteSession and WriteTable: the program's session reader and writers behind the
// library's Analysis.
#include "api/analysis_tables.h"
#include "api/progress_bridge.h"
#include "io/file_io.h"
#include "io/input_file.h"
#include "io/session_file.h"
#include "io/session_reading.h"
#include "kvr/kvr.h"
#include "pipeline/pair_table.h"

namespace kvr::api {

Result ReadSession(const std::string& path, Analysis& out) {
    const Progress none;
    ProgressShell shell(none);
    CallbackProgress progress(shell);
    RunState state;
    if (!kvr::ReadSession(state, progress, path)) {
        // Reaching the file failed, or its content is no session.
        const InputText probe = ReadInputFile(path);
        const bool unreadable = !probe.text && !probe.contentProblem;
        return {unreadable ? Status::FileError : Status::InvalidInput, progress.MessageText()};
    }
    out = AnalysisOf({}, state);
    return {};
}

Result WriteSession(const std::string& path, const Analysis& analysis) {
    if (const kvr::Result<void> checked = CheckAnalysis(analysis); !checked)
        return {Status::InvalidArgument, checked.problem().message};
    // The session holds the display order.
    const RecordTable input = InputRecords(analysis);
    const int n = static_cast<int>(analysis.Size());
    RecordTable shown(input.size());
    IdentityTable identity(n);
    for (int d = 0; d < n; ++d) {
        const auto i = static_cast<std::size_t>(analysis.order[static_cast<std::size_t>(d)]);
        shown[static_cast<std::size_t>(d)] = input[i];
        for (int e = 0; e <= d; ++e)
            identity(d, e) = analysis.Identity(
                i, static_cast<std::size_t>(analysis.order[static_cast<std::size_t>(e)]));
    }
    const kvr::Result<void> written = WriteStreamedFile(path, [&](std::ostream& out) {
        WriteSessionText(out, shown, identity, n, CoreProvenance(analysis.provenance));
        return static_cast<bool>(out);
    });
    if (!written) return {Status::FileError, WriteFailureMessage(path, written.problem())};
    return {};
}

Result WriteTable(std::ostream& out, const Analysis& analysis) {
    if (const kvr::Result<void> checked = CheckAnalysis(analysis); !checked)
        return {Status::InvalidArgument, checked.problem().message};
    const PairCountTable counts = InputCounts(analysis);
    if (!WritePairTable(out, InputRecords(analysis), InputIdentities(analysis),
                        static_cast<int>(analysis.Size()), nullptr,
                        counts.Size() > 0 ? &counts : nullptr))
        return {Status::FileError, "the table could not be written"};
    return {};
}

}  // namespace kvr::api
