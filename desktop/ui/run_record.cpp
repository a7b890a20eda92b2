#include "ui/run_record.h"

#include "io/export_sets.h"
#include "pipeline/aligner_version.h"
#include "pipeline/run_provenance.h"

namespace kvr {

namespace {

// The values joined as the window's file label joins the files of an analysis; "unknown" for one
// not known.
std::string Joined(const std::vector<std::string>& values) {
    std::string text;
    for (const std::string& value : values)
        text += (text.empty() ? "" : " + ") + (value.empty() ? std::string(kUnknown) : value);
    return text.empty() ? std::string(kUnknown) : text;
}

// The SHA-256 of source file k, read again when the run's record is made (the run took far longer
// than that reading), and only while it is the file its sequences were read from: "" otherwise.
std::string SourceChecksum(const RunState& state, std::size_t k) {
    const std::optional<FileStamp> read =
        k < state.sourceStamps.size() ? state.sourceStamps[k] : std::nullopt;
    const std::string& path = state.sourceFiles[k];
    if (!read || StampOf(path) != read) return {};
    return InputChecksum(path).value_or(std::string());
}

// The step of a run of kind as the record names it.
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

}  // namespace

Provenance WindowRunRecord(const RunState& state, const RunSetup& setup, RunKind kind,
                           const Provenance& before) {
    RunOptions options;
    options.aligner = *state.choices.AlignerKind;
    options.useTree = state.choices.useTree;
    options.pairTimeoutSeconds = setup.pairTimeoutSeconds;
    options.alphabet = setup.alphabet;
    options.pairMemoryMegabytes = setup.pairMemoryMegabytes;
    options.ambiguous = setup.ambiguous;

    // An append's own step is its file; a run's the files of all its sequences.
    const std::size_t files = state.sourceFiles.size();
    const std::size_t from = kind == RunKind::Append && files > 0 ? files - 1 : 0;
    std::vector<std::string> inputs, checksums;
    for (std::size_t k = from; k < files; ++k) {
        inputs.push_back(state.sourceFiles[k]);
        checksums.push_back(SourceChecksum(state, k));
    }
    RunFacts facts;
    facts.program = std::string(kWindowProgram);
    facts.command = RunStepName(kind);
    facts.alignerCommand = AlignerCommand(setup.programs, *state.choices.AlignerKind);
    facts.alignerVersion =
        AlignerVersion(setup.shell, setup.programs, *state.choices.AlignerKind, setup.workFolder);
    facts.input = Joined(inputs);
    facts.inputChecksum = Joined(checksums);

    Provenance record = RunProvenance(options, facts);
    record.tree = KeptTree(state);
    return kind == RunKind::Append ? AppendedProvenance(before, record) : record;
}

}  // namespace kvr
