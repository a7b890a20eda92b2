#include "engine/run_aligner.h"

#include <filesystem>
#include <vector>

#include "engine/external_programs.h"
#include "engine/pair_identity.h"
#include "engine/run_options.h"
#include "state/fasta.h"
#include "state/file_io.h"
#include "state/program_folder.h"
#include "state/text.h"

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

// Scores the aligned pair in path (named name in messages) into identity.
ProgramOutcome ScoreOutput(const std::string& path, const std::string& name, float& identity) {
    if (!std::filesystem::exists(path))
        return {ProgramStatus::NoOutput, "the aligner wrote no output file " + name};
    const auto text = ReadWholeFile(path);
    if (!text) return {ProgramStatus::NoOutput, "the output file " + name + " cannot be read"};
    if (text->empty()) return {ProgramStatus::NoOutput, "the output file " + name + " is empty"};
    const PairScore score = PairIdentityOfText(*text);
    if (!score.Ok())
        return {ProgramStatus::BadOutput,
                "its output " + name + " cannot be scored: " + score.failure};
    identity = *score.identity;
    return {};
}

}  // namespace

ShellOutcome ShellAndWait(RunState& state, Shell& shell, const std::string& command,
                          const std::string& folder) {
    const ShellOutcome outcome = shell.Run(command, folder);
    state.taskId = outcome.processId;
    state.waitResult = outcome.exitCode;
    return outcome;
}

ProgramOutcome RunAligner(RunState& state, const RunContext& context, std::string_view kind,
                          const std::string& inputName, const std::string& outputName) {
    const ProgramSetting* setting = context.programs.Aligner(kind);
    if (setting == nullptr)
        return {ProgramStatus::NotStarted, "'" + std::string(kind) + "' is not an aligner"};
    state.shellCommand = ExpandAlignerCommand(setting->value, inputName, outputName);

    // The aligner reads nothing from the terminal and its chatter goes to a log, which is
    // quoted when it fails.
    const std::string logName = outputName + ".log";
    const ShellOutcome run =
        ShellAndWait(state, context.shell,
                     "exec </dev/null >" + ShellQuote(logName) + " 2>&1; " + state.shellCommand,
                     context.exchangeFolder);
    const std::string logPath = JoinPath(context.exchangeFolder, logName);
    ProgramOutcome outcome;
    if (run.status != ShellOutcome::Status::Ended) {
        outcome = {ProgramStatus::NotStarted, "the command could not be started: " + run.message};
    } else if (run.exitCode == 127) {
        outcome = {ProgramStatus::NotFound,
                   WithExcerpt("the program was not found (exit status 127)", logPath)};
    } else if (run.exitCode > 128) {
        outcome = {ProgramStatus::Failed, WithExcerpt("the aligner was stopped by signal " +
                                                          std::to_string(run.exitCode - 128),
                                                      logPath)};
    } else if (run.exitCode != 0) {
        outcome = {ProgramStatus::Failed, WithExcerpt("the aligner failed with exit status " +
                                                          std::to_string(run.exitCode),
                                                      logPath)};
    }
    DeleteFileQuietly(logPath);
    return outcome;
}

PairFiles PairFileNames(int i, int j) {
    PairFiles files;
    files.stem = std::to_string(i + 1) + "_" + std::to_string(j + 1);
    files.input = files.stem + ".fas";
    files.output = files.stem + "Aln.fas";
    files.guideTree = files.stem + ".dnd";
    return files;
}

PairResult AlignPair(RunState& state, const RunContext& context, std::string_view kind,
                     const Record& first, const Record& second, int i, int j) {
    const PairFiles files = PairFileNames(i, j);
    const std::string input = JoinPath(context.exchangeFolder, files.input);
    const std::string output = JoinPath(context.exchangeFolder, files.output);
    PairResult result;
    // An output left from earlier must never be scored as this pair's.
    DeleteFileQuietly(output);
    if (!WriteWholeFile(input, FormatFastaRecord(first) + FormatFastaRecord(second))) {
        result.outcome = {ProgramStatus::NotStarted,
                          "the pair file " + input + " cannot be written"};
        return result;
    }

    result.outcome = RunAligner(state, context, kind, files.input, files.output);
    if (kind == "clustalw") DeleteFileQuietly(JoinPath(context.exchangeFolder, files.guideTree));
    if (result.outcome.Ok()) result.outcome = ScoreOutput(output, files.output, result.identity);
    DeleteFileQuietly(input);
    DeleteFileQuietly(output);
    return result;
}

}  // namespace kvr
