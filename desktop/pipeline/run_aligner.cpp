#include "pipeline/run_aligner.h"

#include <filesystem>
#include <optional>
#include <vector>

#include "io/fasta.h"
#include "io/file_io.h"
#include "io/number_text.h"
#include "io/program_folder.h"
#include "io/text.h"
#include "pipeline/external_programs.h"
#include "pipeline/pair_identity.h"
#include "pipeline/run_options.h"

namespace kvr {

namespace {

// The lines of a program's console output that say what went wrong: those that look like an
// error, else the last one. At most two, shortened.
std::string LogExcerpt(const std::string& logPath) {
    const auto text = ReadWholeFile(logPath);
    if (!text) return {};
    std::vector<std::string> lines;
    std::string last;
    std::size_t start = 0;
    while (start < text->size()) {
        auto end = text->find('\n', start);
        if (end == std::string::npos) end = text->size();
        std::string line = RemoveAll(std::string_view(*text).substr(start, end - start), "\r\t");
        start = end + 1;
        if (line.empty()) continue;
        if (line.size() > 200) line = line.substr(0, 200) + "...";
        for (const char* sign : {"error", "cannot", "can't", "not found", "no such", "fatal",
                                 "failed", "invalid", "unknown"}) {
            if (ContainsTextIgnoreCase(line, sign)) {
                if (lines.size() < 2) lines.push_back(line);
                break;
            }
        }
        last = line;
    }
    if (lines.empty() && !last.empty()) lines.push_back(last);
    std::string excerpt;
    for (const std::string& line : lines) excerpt += (excerpt.empty() ? "" : " / ") + line;
    return excerpt;
}

std::string WithExcerpt(std::string message, const std::string& logPath) {
    if (const std::string excerpt = LogExcerpt(logPath); !excerpt.empty())
        message += ": " + excerpt;
    return message;
}

// Scores the aligner's output in path (named name in messages) into the result's identity and
// counts, once it is known to align the pair file's records (given, when it could be read), by
// the run's rule for ambiguity codes; the scored text goes to alignedText when there is one.
Result<void> ScoreOutput(const std::string& path, const std::string& name,
                         const std::optional<std::string>& given, AmbiguityRule rule,
                         PairResult& result, std::string* alignedText) {
    if (!std::filesystem::exists(path))
        return Problem{"the aligner wrote no output file " + name, ProblemKind::NoOutput};
    auto text = ReadWholeFile(path);
    if (!text) return Problem{"the output file " + name + " cannot be read", ProblemKind::NoOutput};
    if (text->empty())
        return Problem{"the output file " + name + " is empty", ProblemKind::NoOutput};
    ColumnCounts counts;
    const Result<float> score = PairIdentityOfText(*text, &counts, rule);
    if (!score)
        return Problem{"its output " + name + " cannot be scored: " + score.problem().message,
                       ProblemKind::BadOutput};
    if (given) {
        if (const Result<void> aligned = CheckAlignedPair(*text, *given); !aligned)
            return Problem{"its output " + name + " cannot be used: " + aligned.problem().message,
                           ProblemKind::BadOutput};
    }
    result.identity = score.value();
    result.counts = counts;
    if (alignedText != nullptr) *alignedText = std::move(*text);
    return {};
}

// The aligner's command line in command, or why there is none.
Result<void> AlignerCommand(const RunContext& context, Aligner kind, const std::string& inputName,
                            const std::string& outputName, std::string& command) {
    const ProgramSetting* setting = context.programs.Program(kind);
    if (setting == nullptr)
        return Problem{"'" + std::string(AlignerName(kind)) + "' is not an aligner",
                       ProblemKind::NotStarted};
    command = ExpandAlignerCommand(setting->value, inputName, outputName);
    return {};
}

// The aligner reads nothing from the terminal and its chatter goes to a log, which is quoted
// when it fails.
std::string LoggedCommand(const std::string& command, const std::string& logName) {
    return "exec </dev/null >" + ShellQuote(logName) + " 2>&1; " + command;
}

// How the aligner's run went, by the shell's report; removes the log.
Result<void> AlignerOutcome(const RunContext& context, const ShellOutcome& run,
                            const std::string& logName) {
    const std::string logPath = JoinPath(context.exchangeFolder, logName);
    Result<void> outcome;
    switch (run.status) {
        case ShellOutcome::Status::Stopped:
            outcome = Problem{"the run was cancelled", ProblemKind::Cancelled};
            break;
        case ShellOutcome::Status::TimedOut:
            outcome = Problem{"the aligner was still running after " +
                                  SecondsText(static_cast<float>(context.pairTimeoutSeconds)) +
                                  ", the time limit for one pair, and has been ended",
                              ProblemKind::TimedOut};
            break;
        case ShellOutcome::Status::Ended:
            if (run.exitCode == 127)
                outcome =
                    Problem{WithExcerpt("the program was not found (exit status 127)", logPath),
                            ProblemKind::NotFound};
            else if (run.exitCode > 128)
                outcome = Problem{WithExcerpt("the aligner was stopped by signal " +
                                                  std::to_string(run.exitCode - 128),
                                              logPath),
                                  ProblemKind::Failed};
            else if (run.exitCode != 0)
                outcome = Problem{WithExcerpt("the aligner failed with exit status " +
                                                  std::to_string(run.exitCode),
                                              logPath),
                                  ProblemKind::Failed};
            break;
        default:
            outcome = Problem{"the command could not be started: " + run.message,
                              ProblemKind::NotStarted};
            break;
    }
    DeleteFileQuietly(logPath);
    return outcome;
}

}  // namespace

PairResult RunAligner(const RunContext& context, Aligner kind, const std::string& inputName,
                      const std::string& outputName) {
    PairResult result;
    result.outcome = AlignerCommand(context, kind, inputName, outputName, result.command);
    if (!result.outcome.Ok()) return result;
    const std::string logName = outputName + ".log";
    const ShellOutcome run =
        context.shell.Run(LoggedCommand(result.command, logName), context.exchangeFolder);
    result.processId = run.processId;
    result.exitCode = run.exitCode;
    result.outcome = AlignerOutcome(context, run, logName);
    return result;
}

PairFiles PairFileNames(int i, int j) {
    PairFiles files;
    files.stem = std::to_string(i + 1) + "_" + std::to_string(j + 1);
    files.input = files.stem + ".fas";
    files.output = files.stem + "Aln.fas";
    files.guideTree = files.stem + ".dnd";
    files.log = files.output + ".log";
    return files;
}

PairJob StartPair(const RunContext& context, Aligner kind, const Record& first,
                  const Record& second, int i, int j) {
    PairJob job{i, j, PairFileNames(i, j), {}, ShellClock::now()};
    PairResult& result = job.result;
    const std::string input = JoinPath(context.exchangeFolder, job.files.input);
    // An output left from earlier must never be scored as this pair's.
    DeleteFileQuietly(JoinPath(context.exchangeFolder, job.files.output));
    result.outcome =
        AlignerCommand(context, kind, job.files.input, job.files.output, result.command);
    if (!result.outcome.Ok()) return job;
    if (!WriteScratchFile(input, FormatFastaRecord(first) + FormatFastaRecord(second))) {
        result.outcome =
            Problem{"the pair file " + input + " cannot be written", ProblemKind::NotStarted};
        return job;
    }
    const ShellOutcome started =
        context.shell.Start(LoggedCommand(result.command, job.files.log), context.exchangeFolder);
    if (started.status != ShellOutcome::Status::Running) {
        result.outcome = AlignerOutcome(context, started, job.files.log);
        DeleteFileQuietly(input);
        return job;
    }
    result.processId = started.processId;
    job.started = ShellClock::now();
    return job;
}

std::optional<ShellClock::time_point> PairDeadline(const RunContext& context, const PairJob& job) {
    if (context.pairTimeoutSeconds <= 0) return std::nullopt;
    return job.started + std::chrono::duration_cast<ShellClock::duration>(
                             std::chrono::duration<double>(context.pairTimeoutSeconds));
}

PairResult FinishPair(const RunContext& context, const PairJob& job, const ShellOutcome& run,
                      std::string* alignedText) {
    if (alignedText != nullptr) alignedText->clear();
    PairResult result = job.result;
    result.exitCode = run.exitCode;
    result.outcome = AlignerOutcome(context, run, job.files.log);
    const std::string output = JoinPath(context.exchangeFolder, job.files.output);
    if (result.outcome.Ok())
        result.outcome =
            ScoreOutput(output, job.files.output,
                        ReadWholeFile(JoinPath(context.exchangeFolder, job.files.input)),
                        context.ambiguous, result, alignedText);
    DeleteFileQuietly(JoinPath(context.exchangeFolder, job.files.guideTree));
    DeleteFileQuietly(JoinPath(context.exchangeFolder, job.files.input));
    DeleteFileQuietly(output);
    return result;
}

PairResult AlignPair(const RunContext& context, Aligner kind, const Record& first,
                     const Record& second, int i, int j, std::string* alignedText) {
    if (alignedText != nullptr) alignedText->clear();
    const PairJob job = StartPair(context, kind, first, second, i, j);
    if (job.result.processId == 0) return job.result;
    while (true) {
        const ShellOutcome run = context.shell.WaitAny(PairDeadline(context, job));
        if (run.status != ShellOutcome::Status::Ended) context.shell.End(job.result.processId);
        if (run.status != ShellOutcome::Status::Ended || run.processId == job.result.processId)
            return FinishPair(context, job, run, alignedText);
    }
}

}  // namespace kvr
