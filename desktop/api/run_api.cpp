// AlignPair, RunFile and RunRecords: the pipeline of `kvr run` (and the pair aligner of `kvr
// align`) behind the library's options and result.
#include <algorithm>

#include "api/analysis_tables.h"
#include "api/program_location.h"
#include "api/progress_bridge.h"
#include "io/export_sets.h"
#include "io/fasta.h"
#include "io/input_file.h"
#include "kvr/kvr.h"
#include "pipeline/aligner_config.h"
#include "pipeline/aligner_version.h"
#include "pipeline/external_programs.h"
#include "pipeline/pair_alignment.h"
#include "pipeline/run_options.h"
#include "pipeline/run_pipeline.h"
#include "pipeline/run_provenance.h"

namespace kvr::api {

namespace {

constexpr const char* kRecordsLabel = "the records";

Result Refused(Status status, std::string message) {
    return {status, std::move(message)};
}

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += (text.empty() ? "" : "\n") + line;
    return text;
}

// The aligner programs as `kvr run` finds them, checked before anything runs.
Result LoadPrograms(const std::string& programFolder, Aligner aligner, bool tree,
                    AlignerConfig& config) {
    AlignerConfigLoad load = LoadAlignerConfig(programFolder);
    if (!load.problems.empty()) return Refused(Status::InvalidArgument, Lines(load.problems));
    const auto missing = CheckRunPrograms(load.config, aligner, tree);
    if (!missing.empty()) return Refused(Status::ProgramMissing, Lines(missing));
    config = std::move(load.config);
    return {};
}

// The loader's warnings as kvr prints them, without kvr's prefix.
std::vector<std::string> WarningLines(const std::string& label, const FastaReport& report) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    const std::string details = report.Details();
    while (start < details.size()) {
        std::size_t end = details.find('\n', start);
        if (end == std::string::npos) end = details.size();
        const std::string line = details.substr(start, end - start);
        lines.push_back(line.starts_with("line ") ? label + ", " + line : line);
        start = end + 1;
    }
    return lines;
}

// label: the file's path as given, or what the sequences are when they come from no file.
Result RunInput(const std::string& label, bool fromFile, const InputText& input,
                const RunOptions& options, Analysis& out) {
    kvr::RunOptions run;
    SetAlignerNamed(run, options.aligner);
    run.useTree = options.tree;
    run.jobs = options.threads == 0 ? DefaultJobs() : options.threads;
    run.pairTimeoutSeconds = options.pairTimeoutSeconds;
    if (options.threads < 0) return Refused(Status::InvalidArgument, "threads must be 0 or more");
    if (const auto problems = ValidateRunOptions(run); !problems.empty())
        return Refused(Status::InvalidArgument, Lines(problems));
    const std::string folder = ProgramFolderOf(options.installation);
    AlignerConfig programs;
    if (Result loaded = LoadPrograms(folder, run.aligner, run.useTree, programs); !loaded.Ok())
        return loaded;

    ProgressShell shell(options.progress);
    CallbackProgress progress(shell);
    RunState state;
    ApplyRunOptions(run, state);
    state.inputPath = label;
    FastaReport report;
    if (LoadFasta(state, progress, label, FastaSource{&input, &report}) != LoadEnd::Loaded) {
        std::string message = progress.MessageText();
        if (!report.failure.empty()) message += " (" + label + ", " + report.failure + ")";
        return Refused(
            input.text || input.contentProblem ? Status::InvalidInput : Status::FileError, message);
    }
    if (shell.Stop().Raised()) return Refused(Status::Cancelled, "the run was cancelled");
    const std::size_t loadMessages = progress.Messages().size();
    state.keepPairCounts = true;
    // As kvr run records its input: the bytes of the file the load took.
    RunFacts facts{"run",
                   {},
                   AlignerCommand(programs, run.aligner),
                   label,
                   fromFile ? InputChecksum(label).value_or(std::string()) : std::string()};

    RunSetup setup{shell, programs, WorkFolder(folder)};
    setup.jobs = run.jobs;
    setup.pairTimeoutSeconds = run.pairTimeoutSeconds;
    setup.alphabet = run.alphabet;
    setup.pairMemoryMegabytes = run.pairMemoryMegabytes;
    setup.ambiguous = run.ambiguous;
    const RunOutcome outcome = Analyse(state, progress, setup, RunKind::Fresh);
    if (outcome.cancelled || shell.Stop().Raised())
        return Refused(Status::Cancelled, "the run was cancelled");
    if (!outcome.aligned) return Refused(Status::AlignerFailed, progress.MessageText());
    facts.alignerVersion = AlignerVersion(shell, programs, run.aligner, WorkFolder(folder));
    state.provenance = RunProvenance(run, facts);
    state.provenance.tree = KeptTree(state);

    out = AnalysisOf({}, state);
    out.warnings = WarningLines(label, report);
    const auto& messages = progress.Messages();
    out.warnings.insert(out.warnings.end(), messages.begin() + static_cast<long>(loadMessages),
                        messages.end());
    if (!outcome.ordered) return Refused(Status::TreeFailed, progress.MessageText());
    return {};
}

// A sequence given in memory must stay one record of the FASTA text it is put in.
kvr::Result<void> CheckRecord(std::string_view name, std::string_view residues, std::size_t k) {
    const std::string which = "record " + std::to_string(k + 1);
    if (name.find_first_of("\r\n") != std::string_view::npos)
        return kvr::Problem{which + ": its name holds a line end"};
    if (name.find('>') != std::string_view::npos)
        return kvr::Problem{which + ": its name holds \">\""};
    if (residues.find('>') != std::string_view::npos)
        return kvr::Problem{which + ": its residues hold \">\""};
    return {};
}

}  // namespace

const char* StatusName(Status status) {
    switch (status) {
        case Status::Ok:
            return "ok";
        case Status::InvalidArgument:
            return "invalid argument";
        case Status::InvalidInput:
            return "invalid input";
        case Status::FileError:
            return "file error";
        case Status::ProgramMissing:
            return "program missing";
        case Status::AlignerFailed:
            return "aligner failed";
        case Status::TreeFailed:
            return "tree failed";
        case Status::Cancelled:
            return "cancelled";
    }
    return "unknown";
}

Result AlignPair(std::string_view a, std::string_view b, const PairOptions& options,
                 AlignedPair& out) {
    const std::optional<Aligner> aligner = AlignerNamed(options.aligner);
    if (!aligner)
        return Refused(Status::InvalidArgument, "unknown aligner '" + options.aligner +
                                                    "': builtin, muscle, clustalw or mafft");
    // The two sequences are read as the FASTA file ">first a >second b" would be.
    RecordTable records(2);
    const std::string_view given[] = {a, b};
    for (std::size_t k = 0; k < 2; ++k) {
        if (given[k].find('>') != std::string_view::npos)
            return Refused(Status::InvalidInput, std::string(k == 0 ? "the first" : "the second") +
                                                     " sequence holds \">\"");
        const std::string residues = CleanFastaText(given[k]);
        if (residues.find_first_not_of(" \n") == std::string::npos)
            return Refused(Status::InvalidInput, std::string(k == 0 ? "the first" : "the second") +
                                                     " sequence has no residues");
    }
    const std::string text =
        CleanFastaText(">first\n" + std::string(a) + "\n>second\n" + std::string(b) + "\n");
    int maxNameLen = 0;
    FastaReport report;
    if (!ParseFastaRecords(text, records, 0, maxNameLen, {}, &report))
        return Refused(Status::InvalidInput, report.failure);

    AlignerConfig programs;
    const std::string folder = ProgramFolderOf(options.installation);
    if (Result loaded = LoadPrograms(folder, *aligner, false, programs); !loaded.Ok())
        return loaded;
    PosixShell shell;
    const kvr::AlignedPair pair =
        AlignRecordPair({shell, programs, WorkFolder(folder)}, *aligner, records, 0, 1);
    if (!pair.outcome) {
        const kvr::Problem& problem = pair.outcome.problem();
        switch (problem.kind) {
            case ProblemKind::NotFound:
                return Refused(Status::ProgramMissing, problem.message);
            case ProblemKind::Cancelled:
                return Refused(Status::Cancelled, problem.message);
            default:
                return Refused(Status::AlignerFailed, problem.message);
        }
    }
    out.identity = pair.identity;
    out.counts = {static_cast<std::uint32_t>(pair.counts.columns),
                  static_cast<std::uint32_t>(pair.counts.gapFree),
                  static_cast<std::uint32_t>(pair.counts.matches), pair.counts.exact};
    out.first = pair.first;
    out.second = pair.second;
    return {};
}

Result RunFile(const std::string& path, const RunOptions& options, Analysis& out) {
    return RunInput(path, true, ReadInputFile(path), options, out);
}

Result RunRecords(const std::vector<Sequence>& records, const RunOptions& options, Analysis& out) {
    std::string text;
    for (std::size_t k = 0; k < records.size(); ++k) {
        if (const kvr::Result<void> checked = CheckRecord(records[k].name, records[k].residues, k);
            !checked)
            return Refused(Status::InvalidInput, checked.problem().message);
        text.append(">").append(records[k].name).append("\n");
        text.append(records[k].residues).append("\n");
    }
    InputText input;
    input.text = std::move(text);
    return RunInput(kRecordsLabel, false, input, options, out);
}

}  // namespace kvr::api
