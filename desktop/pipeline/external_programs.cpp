#include "pipeline/external_programs.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "io/program_folder.h"
#include "pipeline/run_options.h"

namespace kvr {

namespace {

constexpr const char* kDebianNeighbor = "/usr/lib/phylip/bin/neighbor";
constexpr const char* kSeeDocs = "(see docs/aligners.md)";

bool IsExecutableFile(const std::string& path) {
    return ::access(path.c_str(), X_OK) == 0;
}

std::string MissingAligner(const AlignerConfig& config, Aligner kind, const ProgramSetting& setting,
                           const std::string& program) {
    const bool builtIn = setting.origin == "built in";
    std::string message =
        "The aligner " + AlignerTitle(kind) + " was not found: no program '" + program + "' " +
        (program.find('/') == std::string::npos ? "on the PATH" : "exists") + " (command line '" +
        setting.value + "', " + (builtIn ? "built in" : "from " + setting.origin) + ").";
    // Debian's package of each external aligner has its name.
    message += " Install it with: sudo apt-get install " + std::string(AlignerName(kind)) + ".";
    message +=
        " If it is installed under another name or in another folder, give its command "
        "line in " +
        config.confPath + " or in " + std::string(FactsOf(kind).environment) + " " + kSeeDocs + ".";
    return message;
}

}  // namespace

std::string ShellQuote(std::string_view text) {
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

namespace {

enum class Word { Plain, End, Unknowable };

// The next shell word from p on, without its quotes. Unknowable when the shell would expand it;
// End at the end of the command (or at an operator that ends the simple command).
Word NextWord(std::string_view commandLine, std::size_t& p, std::string& word) {
    word.clear();
    while (p < commandLine.size() && (commandLine[p] == ' ' || commandLine[p] == '\t')) ++p;
    char quote = 0;
    bool any = false;
    for (; p < commandLine.size(); ++p) {
        const char c = commandLine[p];
        if (quote != 0) {
            if (c == quote)
                quote = 0;
            else
                word += c;
        } else if (c == '\'' || c == '"') {
            quote = c;
            any = true;
        } else if (c == ' ' || c == '\t' || c == ';' || c == '|' || c == '&' || c == '<' ||
                   c == '>') {
            break;
        } else if (c == '$' || c == '`' || c == '(' || c == '{' || c == '\\') {
            return Word::Unknowable;
        } else {
            word += c;
        }
    }
    return word.empty() && !any ? Word::End : Word::Plain;
}

bool IsAssignment(const std::string& word) {
    const auto equals = word.find('=');
    return equals != std::string::npos && equals > 0 && word.find('/') > equals;
}

// Commands that run the program named after their own options, and those of their options that
// take a separate value ("nice -n 5 muscle ...", "timeout -s KILL 600 muscle ...").
struct Wrapper {
    std::string_view name;
    std::string_view optionsWithValue;  // single letters
    bool skipsOneOperand;               // timeout's duration
};
constexpr Wrapper kWrappers[] = {
    {"exec", "a", false},  {"command", "", false},   {"env", "uCS", false},
    {"nice", "n", false},  {"nohup", "", false},     {"time", "fo", false},
    {"setsid", "", false}, {"stdbuf", "ioe", false}, {"timeout", "sk", true},
};

}  // namespace

std::string CommandProgram(std::string_view commandLine) {
    std::size_t p = 0;
    std::string word;
    const Wrapper* wrapper = nullptr;
    bool operandSkipped = false;
    while (true) {
        const Word kind = NextWord(commandLine, p, word);
        if (kind == Word::Unknowable) return {};
        if (kind == Word::End) return {};
        if (wrapper == nullptr && IsAssignment(word)) continue;  // NAME=value before the program
        if (wrapper != nullptr) {
            if (word.size() > 1 && word[0] == '-') {
                if (wrapper->name == "env" && word == "-S") return {};  // splits a string itself
                if (word.size() == 2 &&
                    wrapper->optionsWithValue.find(word[1]) != std::string_view::npos &&
                    NextWord(commandLine, p, word) != Word::Plain)
                    return {};
                continue;
            }
            if (wrapper->name == "env" && IsAssignment(word)) continue;
            if (wrapper->skipsOneOperand && !operandSkipped) {
                operandSkipped = true;
                continue;
            }
        }
        const auto next = std::find_if(std::begin(kWrappers), std::end(kWrappers),
                                       [&](const Wrapper& w) { return w.name == word; });
        if (next == std::end(kWrappers)) return word;
        wrapper = next;
        operandSkipped = false;
    }
}

std::string FindProgram(const std::string& program) {
    if (program.empty()) return {};
    if (program.find('/') != std::string::npos)
        return IsExecutableFile(program) ? program : std::string();
    const char* path = std::getenv("PATH");
    const std::string_view folders = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= folders.size()) {
        auto end = folders.find(':', start);
        if (end == std::string_view::npos) end = folders.size();
        const std::string folder(folders.substr(start, end - start));
        const std::string candidate = JoinPath(folder.empty() ? "." : folder, program);
        if (IsExecutableFile(candidate)) return candidate;
        start = end + 1;
    }
    return {};
}

std::string ResolveNeighbor(const AlignerConfig& config) {
    if (!config.neighbor.value.empty()) return FindProgram(config.neighbor.value);
    if (std::string found = FindProgram("neighbor"); !found.empty()) return found;
    return IsExecutableFile(kDebianNeighbor) ? kDebianNeighbor : std::string();
}

std::string TreeCommand(const AlignerConfig& config) {
    return "KVR_NEIGHBOR=" + ShellQuote(ResolveNeighbor(config)) + " " +
           ShellQuote(config.treeScript);
}

std::vector<std::string> CheckRunPrograms(const AlignerConfig& config, Aligner aligner,
                                          bool useTree) {
    std::vector<std::string> missing;
    // The built-in aligner aligns in this process: no program to find.
    if (const ProgramSetting* setting = config.Program(aligner)) {
        const std::string program = CommandProgram(setting->value);
        if (!program.empty() && FindProgram(program).empty())
            missing.push_back(MissingAligner(config, aligner, *setting, program));
    }
    if (!useTree) return missing;
    if (ResolveNeighbor(config).empty()) {
        missing.push_back(
            config.neighbor.value.empty()
                ? std::string("The tree program neighbor (PHYLIP) was not found: neither "
                              "'neighbor' on the PATH nor ") +
                      kDebianNeighbor +
                      ". Install it with: sudo apt-get install phylip. If it is installed "
                      "elsewhere, name it in " +
                      config.confPath + " or in KVR_NEIGHBOR " + kSeeDocs + "."
                : "The tree program neighbor was not found: '" + config.neighbor.value +
                      "' (from " + config.neighbor.origin +
                      ") is not an executable program. Install PHYLIP with: sudo apt-get install "
                      "phylip, or correct the setting " +
                      kSeeDocs + ".");
    }
    if (!IsExecutableFile(config.treeScript))
        missing.push_back("The tree script " + config.treeScript +
                          " is missing or not executable. It comes with the program; reinstall "
                          "it or restore the file " +
                          kSeeDocs + ".");
    return missing;
}

}  // namespace kvr
