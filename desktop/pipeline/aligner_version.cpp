#include "pipeline/aligner_version.h"

#include "io/file_io.h"
#include "io/text.h"
#include "kvr_version.h"
#include "model/provenance.h"
#include "pipeline/builtin_pairs.h"
#include "pipeline/exchange_folder.h"
#include "pipeline/external_programs.h"

namespace kvr {

namespace {

constexpr const char* kVersionFile = "version.txt";
constexpr std::size_t kLongestVersion = 200;

// The first line that holds more than blanks.
std::string FirstLine(std::string_view text) {
    for (std::size_t start = 0; start < text.size();) {
        auto end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string line = TrimSpaces(RemoveAll(text.substr(start, end - start), "\r\t"));
        if (!line.empty()) return PrintableText(line, kLongestVersion);
        start = end + 1;
    }
    return {};
}

}  // namespace

std::string VersionCommand(Aligner kind, std::string_view commandTemplate,
                           std::string_view outputName) {
    const std::string program = CommandProgram(commandTemplate);
    const std::string_view option = FactsOf(kind).versionOption;
    if (program.empty() || option.empty()) return {};
    // Nothing to read from: a program that would ask for input gets none.
    return ShellQuote(program) + " " + std::string(option) + " </dev/null >" +
           ShellQuote(outputName) + " 2>&1";
}

std::string AlignerVersion(Shell& shell, const AlignerConfig& programs, Aligner kind,
                           const std::string& parentFolder, std::chrono::milliseconds limit) {
    if (kind == Aligner::Builtin) return std::string(AlignerName(kind)) + " (kvr " + kVersion + ")";
    const std::string unknown(kUnknown);
    const ProgramSetting* setting = programs.Program(kind);
    const std::string command =
        setting == nullptr ? std::string() : VersionCommand(kind, setting->value, kVersionFile);
    if (command.empty()) return unknown;
    const ExchangeFolder folder(parentFolder);
    if (!folder.Ok()) return unknown;
    const ShellOutcome started = shell.Start(command, folder.Path());
    if (started.status != ShellOutcome::Status::Running) return unknown;
    const auto deadline = ShellClock::now() + limit;
    for (;;) {
        const ShellOutcome outcome = shell.WaitAny(deadline);
        if (outcome.status == ShellOutcome::Status::Ended && outcome.processId != started.processId)
            continue;  // another process of the caller's: not this one
        if (outcome.status != ShellOutcome::Status::Ended) {
            shell.End(started.processId);
            return unknown;
        }
        const auto text = ReadWholeFile(folder.File(kVersionFile));
        const std::string line = text ? FirstLine(*text) : std::string();
        const std::string_view mark = FactsOf(kind).answerMark;
        const bool answered =
            outcome.exitCode == 0 || (!mark.empty() && ContainsTextIgnoreCase(line, mark));
        return answered && !line.empty() ? line : unknown;
    }
}

}  // namespace kvr
