#include "app/kvr_run_common.h"

#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <iostream>

#include "state/fasta.h"
#include "state/input_file.h"

namespace kvr::cli {

namespace {

// The whole text as a number: "8" for --jobs.
bool ParseWhole(const std::string& text, int& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

// A number of seconds above 0: "2.5" for --pair-timeout.
bool ParseSeconds(const std::string& text, double& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && std::isfinite(value) &&
           value > 0;
}

}  // namespace

OptionUse TakeAlignerOption(ArgumentReader& reader, RunOptions& options, std::string& problem) {
    const std::string& option = reader.Current();
    std::string value;
    if (option == "--aligner") {
        if (reader.TakeValue(options.aligner)) return OptionUse::Taken;
        problem = "--aligner needs a name: muscle, clustalw, mafft or builtin";
    } else if (option == "--jobs") {
        if (reader.TakeValue(value) && ParseWhole(value, options.jobs) && options.jobs >= 1)
            return OptionUse::Taken;
        problem = "--jobs needs a whole number of aligners to run at once, 1 or more";
    } else if (option == "--pair-timeout") {
        if (reader.TakeValue(value) && ParseSeconds(value, options.pairTimeoutSeconds))
            return OptionUse::Taken;
        problem = "--pair-timeout needs a number of seconds above 0";
    } else {
        return OptionUse::NotMine;
    }
    return OptionUse::Problem;
}

bool PrintDisplayOrder(const RunState& state, std::ostream& out) {
    for (int a = 0; a < state.seqCount && out; ++a)
        out << state.treeOrder[a] + 1 << '\t' << state.SequenceList[a].name << '\n';
    out.flush();
    return StreamDone(out);
}

bool LoadInput(RunState& state, Window& window, const std::string& input, const char* name,
               bool append) {
    const bool fromStandardInput = input == "-";
    InputText text;
    if (fromStandardInput) text = ReadInputDescriptor(STDIN_FILENO);
    const std::string path = fromStandardInput ? "standard input" : input;
    FastaReport report;
    const FastaSource source{fromStandardInput ? &text : nullptr, &report};
    state.inputPath = path;
    if (append) {
        AppendFasta(state, window, path, source);
    } else {
        LoadFasta(state, window, path, source);
    }
    if (!report.failure.empty())
        std::cerr << name << ": " << path << ", " << report.failure << "\n";
    std::size_t listed[kFastaWarningKinds] = {};
    for (const FastaWarning& warning : report.warnings) {
        ++listed[static_cast<std::size_t>(warning.kind)];
        std::cerr << name << ": warning: " << path << ", line " << warning.line << ": "
                  << warning.text << "\n";
    }
    for (std::size_t kind = 0; kind < kFastaWarningKinds; ++kind)
        if (report.counts[kind] > listed[kind])
            std::cerr << name << ": warning: " << report.counts[kind] - listed[kind]
                      << " more like the last\n";
    return !state.failFlag;
}

bool StreamDone(std::ostream& out) {
    return static_cast<bool>(out) || errno == EPIPE;
}

}  // namespace kvr::cli
