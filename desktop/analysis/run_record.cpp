#include "analysis/run_record.h"

#include "engine/aligner_version.h"
#include "engine/run_provenance.h"
#include "files/export_sets.h"

namespace kvr {

namespace {

// The values joined as the window's file label joins the files of an analysis; "unknown" for one
// not known.
std::string Joined(const std::vector<std::string>& values, std::size_t from, std::size_t count) {
    std::string text;
    for (std::size_t k = from; k < from + count; ++k) {
        const std::string value =
            k < values.size() && !values[k].empty() ? values[k] : std::string(kUnknown);
        text += (text.empty() ? "" : " + ") + value;
    }
    return text.empty() ? std::string(kUnknown) : text;
}

}  // namespace

const char* RunStepName(RunKind kind) {
    switch (kind) {
        case RunKind::Rerun:
            return "rerun";
        case RunKind::Append:
            return "append";
        case RunKind::Fresh:
            break;
    }
    return "run";
}

Provenance WindowRunRecord(const RunState& state, const RunSetup& setup, RunKind kind,
                           const Provenance& before) {
    RunOptions options;
    options.aligner = state.AlignerKind;
    options.useTree = state.useTree;
    options.pairTimeoutSeconds = setup.pairTimeoutSeconds;
    options.alphabet = setup.alphabet;
    options.pairMemoryMegabytes = setup.pairMemoryMegabytes;
    options.ambiguous = setup.ambiguous;

    // An append's own step is its file; a run's the files of all its sequences.
    const std::size_t files = state.sourceFiles.size();
    const std::size_t from = kind == RunKind::Append && files > 0 ? files - 1 : 0;
    RunFacts facts;
    facts.program = std::string(kWindowProgram);
    facts.command = RunStepName(kind);
    facts.alignerCommand = AlignerCommand(setup.programs, state.AlignerKind);
    facts.alignerVersion =
        AlignerVersion(setup.shell, setup.programs, state.AlignerKind, setup.workFolder);
    facts.input = Joined(state.sourceFiles, from, files - from);
    facts.inputChecksum = Joined(state.sourceChecksums, from, files - from);

    Provenance record = RunProvenance(options, facts);
    record.tree = KeptTree(state);
    return kind == RunKind::Append ? AppendedProvenance(before, record) : record;
}

}  // namespace kvr
