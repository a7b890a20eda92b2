#include "app/kvr_outputs.h"

#include <algorithm>
#include <iostream>
#include <set>

#include "app/kvr_run_common.h"
#include "engine/score_table.h"
#include "files/session_file.h"
#include "files/text_exports.h"
#include "state/file_io.h"

namespace kvr::cli {

const std::vector<TextOutput> kTextOutputs = {
    {"--scores",
     "  --scores FILE        every pair's identity: the line \"First Sequence,Second\n"
     "                       Sequence,Identity Score\", then one line per pair (name line, name\n"
     "                       line, identity as a fraction), in display order\n",
     [](std::ostream& out, const RunState& a) {
         WriteScoreColumns(out, a.SequenceList, a.IdentityMatrix, a.seqCount);
     }},
    {"--session",
     "  --session FILE       the session (.kvr): sequences in display order and identities;\n"
     "                       kvr show and KVRv1 open it without aligning\n",
     [](std::ostream& out, const RunState& a) {
         WriteSessionText(out, a.SequenceList, a.IdentityMatrix, a.seqCount);
     }},
    {"--matrix-text",
     "  --matrix-text FILE   the lower triangle in percent, one line per sequence\n",
     [](std::ostream& out, const RunState& a) { WriteScoreMatrix(out, a); }},
    {"--plot-data",
     "  --plot-data FILE     the number and proportion of pairs at each whole percent\n",
     [](std::ostream& out, const RunState& a) { WritePlotData(out, a, PlotDataHeader::UserFile); }},
    {"--sequences", "  --sequences FILE     every sequence in display order, FASTA\n",
     [](std::ostream& out, const RunState& a) { WriteAllSequences(out, a); }},
};

const char* const kOutputFilesNote =
    "\nText files have CR LF line ends and \".\" as the decimal mark. File names are used exactly "
    "as\n"
    "given, and a file is replaced only once it has been written whole. FILE '-' of one text\n"
    "output writes it to standard output.\n";

namespace {

std::size_t OutputIndex(std::string_view option) {
    for (std::size_t k = 0; k < kTextOutputs.size(); ++k)
        if (kTextOutputs[k].option == option) return k;
    return kTextOutputs.size();
}

}  // namespace

std::string& OutputRequest::File(std::string_view option) {
    return text.at(OutputIndex(option));
}

const std::string& OutputRequest::File(std::string_view option) const {
    return text.at(OutputIndex(option));
}

std::vector<std::string> OutputRequest::Paths() const {
    std::vector<std::string> paths;
    for (const std::string& p : text)
        if (!p.empty()) paths.push_back(p);
    for (const std::string& p : pictures.Paths()) paths.push_back(p);
    return paths;
}

bool OutputRequest::ToStandardOutput() const {
    return std::find(text.begin(), text.end(), kStandardOutput) != text.end();
}

std::string OutputOptionsHelp() {
    std::string help;
    for (const TextOutput& output : kTextOutputs) help += output.help;
    return help;
}

OptionUse TakeOutputOption(ArgumentReader& reader, OutputRequest& outputs, RunOptions& options,
                           std::string& problem) {
    const std::string& option = reader.Current();
    if (const std::size_t k = OutputIndex(option); k < kTextOutputs.size()) {
        std::string& file = outputs.text[k];
        if (!reader.TakeValue(file) || file.empty()) {
            problem = option + " needs a file name";
            return OptionUse::Problem;
        }
        return OptionUse::Taken;
    }
    return TakePictureOption(
        option, [&reader](std::string& value) { return reader.TakeValue(value); }, outputs.pictures,
        options, problem);
}

std::vector<std::string> CheckOutputs(const OutputRequest& outputs) {
    std::vector<std::string> problems;
    std::set<std::string> seen;
    for (const std::string& path : outputs.Paths()) {
        const bool standardOutput = path == kStandardOutput;
        // Devices and pipes take any number of outputs; a file is replaced by one only.
        const std::string key = standardOutput ? path : ReplacedFile(path);
        if (!key.empty() && !seen.insert(key).second)
            problems.push_back(path + " is named for two outputs");
        if (standardOutput) {
            const auto pictures = outputs.pictures.Paths();
            if (std::find(pictures.begin(), pictures.end(), path) != pictures.end())
                problems.push_back("a picture cannot be written to standard output ('-')");
            continue;
        }
        if (std::string problem = OutputProblem(path); !problem.empty())
            problems.push_back(std::move(problem));
    }
    return problems;
}

bool WriteTextOutput(const std::string& path, const std::function<bool(std::ostream&)>& write,
                     std::ostream& err) {
    bool gaveUp = false;
    if (path == kStandardOutput) {
        gaveUp = !write(std::cout);
        std::cout.flush();
        const bool done = StreamDone(std::cout);
        if (!done) err << "cannot write the standard output\n";
        return done && !gaveUp;
    }
    const WriteResult written = WriteStreamedFile(path, [&](std::ostream& out) {
        gaveUp = !write(out);
        return !gaveUp && static_cast<bool>(out);
    });
    if (!written && !gaveUp) err << WriteFailureMessage(path, written) << "\n";
    return static_cast<bool>(written);
}

bool WriteOutputs(RunState& analysis, Window& window, const OutputRequest& outputs, bool printOrder,
                  std::ostream& err) {
    bool written = true;
    for (std::size_t k = 0; k < kTextOutputs.size(); ++k) {
        if (outputs.text[k].empty()) continue;
        const auto write = kTextOutputs[k].write;
        written &= WriteTextOutput(
            outputs.text[k],
            [&](std::ostream& out) {
                write(out, analysis);
                return true;
            },
            err);
    }
    if (outputs.pictures.Any() && !WritePictures(analysis, window, outputs.pictures, err))
        written = false;
    if (!printOrder || outputs.ToStandardOutput() || WritesStopped()) return written;
    return PrintDisplayOrder(analysis, std::cout) && written;
}

}  // namespace kvr::cli
