#include "app/cli/option_groups.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

#include "io/number_text.h"
#include "model/palette.h"

namespace kvr::cli {

namespace {

// The whole text as a number: "8" for --threads.
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

// "94,78" -> 94 and 78; false unless both are whole numbers.
bool ParseCutoffs(const std::string& text, float& upper, float& lower) {
    const auto comma = text.find(',');
    if (comma == std::string::npos) return false;
    const auto whole = [](const std::string& part, float& value) {
        if (part.empty() || part.size() > 3 ||
            !std::all_of(part.begin(), part.end(), [](unsigned char c) { return std::isdigit(c); }))
            return false;
        value = static_cast<float>(NumberValue(part));
        return true;
    };
    return whole(text.substr(0, comma), upper) && whole(text.substr(comma + 1), lower);
}

// A threshold in percent, 0 to 100, a decimal with ".": "95", "97.5".
bool ParseThreshold(const std::string& text, float& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && !text.empty() &&
           std::isfinite(value) && value >= 0 && value <= 100;
}

// "95,80" -> 95 and 80: one threshold or more.
bool ParseThresholds(const std::string& text, std::vector<float>& values) {
    values.clear();
    std::size_t start = 0;
    for (;;) {
        const auto comma = text.find(',', start);
        float value = 0;
        if (!ParseThreshold(text.substr(start, comma - start), value)) return false;
        values.push_back(value);
        if (comma == std::string::npos) return true;
        start = comma + 1;
    }
}

// An option whose value is a file name, stored as given.
OptionRow FileRow(const std::string& names, std::string& file, std::string help,
                  const std::string& value = "FILE") {
    OptionRow row{names, value, std::move(help), [&file](const std::string& text) {
                      file = text;
                      return true;
                  }};
    row.problem = LongName(row) + " needs a file name";
    return row;
}

std::function<bool(const std::string&)> SetTrue(bool& flag) {
    return [&flag](const std::string&) { return flag = true; };
}

constexpr const char* kJobsHelp =
    "Run up to N aligners at once (default: one per processor kvr may use); the results are "
    "those of one at a time.";

std::string JobsProblem(const std::string& name) {
    return name + " needs a whole number of aligners to run at once, 1 or more";
}

}  // namespace

OptionGroup AlignerGroup(RunOptions& options) {
    const auto jobs = [&options](const std::string& text) {
        return ParseWhole(text, options.jobs) && options.jobs >= 1;
    };
    return {"run options",
            {
                AlignerRow(options),
                {"--threads", "N", kJobsHelp, jobs, JobsProblem("--threads")},
                {"--jobs", "N", "The same as --threads.", jobs, JobsProblem("--jobs")},
                {"--pair-timeout", "SECONDS",
                 "End an aligner that runs longer than this on one pair and stop with a message "
                 "naming the pair (default: no limit). The built-in aligner then aligns one pair "
                 "per thread at a time, so that each pair's time is its own.",
                 [&options](const std::string& text) {
                     return ParseSeconds(text, options.pairTimeoutSeconds);
                 },
                 "--pair-timeout needs a number of seconds above 0"},
                AlphabetRow(options),
                PairMemoryRow(options),
                AmbiguousRow(options),
            }};
}

OptionRow AmbiguousRow(RunOptions& options) {
    return {"--ambiguous", "count|skip",
            "Which alignment columns the identity compares, with every aligner. count (the "
            "default): every column in which neither sequence has a gap, an N or other ambiguity "
            "code being a mismatch against any other symbol. skip: only those in which neither "
            "symbol is an ambiguity code (N, R, Y, K, M, S, W, B, D, H, V or X, either case; U "
            "is a base): the identity of the known bases, for partial genomes with runs of N. "
            "The table's compared_columns gives the columns used; a pair with none scores 0, "
            "with a warning.",
            [&options](const std::string& text) {
                const auto rule = AmbiguityRuleNamed(text);
                if (rule) options.ambiguous = *rule;
                return rule.has_value();
            },
            "--ambiguous needs count or skip"};
}

OptionRow PairMemoryRow(RunOptions& options) {
    return {"--pair-memory", "MB",
            "The most memory the built-in aligner may take for one pair, in megabytes (default "
            "1024). A pair whose exact band would need more (long unrelated sequences) is "
            "computed in the widest band that fits, and its exact field in --table is 0.",
            [&options](const std::string& text) {
                return ParseWhole(text, options.pairMemoryMegabytes) &&
                       options.pairMemoryMegabytes >= 1 && options.pairMemoryMegabytes <= (1 << 20);
            },
            "--pair-memory needs a whole number of megabytes, 1 to 1048576"};
}

OptionRow AlphabetRow(RunOptions& options) {
    return {"--alphabet", "set|muscle",
            "The built-in aligner's model. set (the default): when the sequences read as "
            "nucleotides (N and the other ambiguity codes counted as such), every pair is scored "
            "as nucleotides. muscle: MUSCLE's guess for each pair, as MUSCLE makes it, for "
            "MUSCLE's own numbers; it takes a pair for protein when 75 or fewer of 100 sampled "
            "symbols are A, C, G, T or U, so genomes with long runs of N are aligned with the "
            "protein model, far more slowly.",
            [&options](const std::string& text) {
                if (text != "set" && text != "muscle") return false;
                options.alphabet = text == "set" ? AlphabetRule::Set : AlphabetRule::Muscle;
                return true;
            },
            "--alphabet needs set or muscle"};
}

OptionRow AlignerRow(RunOptions& options) {
    return {"--aligner", "NAME",
            "builtin (the default): MUSCLE 5's pair method in this program, with MUSCLE 5.1's "
            "identities bit for bit, no aligner to install and far faster; or muscle, clustalw "
            "or mafft, the external aligners.",
            [&options](const std::string& text) {
                SetAlignerNamed(options, text);
                return true;
            },
            "--aligner needs a name: muscle, clustalw, mafft or builtin"};
}

OptionRow TreeRow(RunOptions& options) {
    return {"--tree", "",
            "Order the sequences by a neighbour-joining tree (PHYLIP's neighbor) of the distances "
            "1 - identity, so that similar sequences sit together; without it they keep the order "
            "of the input file.",
            SetTrue(options.useTree)};
}

OptionGroup TextOutputGroup(OutputRequest& outputs) {
    OptionGroup group{"outputs", {}};
    for (const TextOutput& output : kTextOutputs)
        group.rows.push_back(FileRow(std::string(output.option), outputs.File(output.option),
                                     std::string(output.help)));
    return group;
}

OptionGroup ExportGroup(ExportRequest& exports, bool withNewick) {
    OptionGroup group{
        "groups and matrices",
        {
            FileRow("--groups", exports.groups,
                    "Each sequence's group at the thresholds of --groups-at, for pipelines: "
                    "tab-separated with LF line ends, one row a sequence in the order of the input "
                    "file (or of the session), its name as the table writes it. With one "
                    "threshold the header is \"name group size representative\" (tabs between); "
                    "with several it is \"name\" and, for each threshold T, \"group_T size_T "
                    "representative_T\". Groups are numbered 1, 2, ... in the order of their "
                    "first members; the representative is the member with the highest mean "
                    "identity to the others (the first of equals). See docs/groups.md."),
            {"--groups-at", "T1,T2,...",
             "The thresholds of --groups in percent, 0 to 100, decimals with \".\" (default: "
             "the two cut-offs in effect, the upper then the lower, as --cutoffs sets them and "
             "the analysis raises the lower one). A pair is at a threshold when its identity in "
             "percent, as the table's percent column shows it, is at least the threshold.",
             [&exports](const std::string& text) {
                 return ParseThresholds(text, exports.thresholds);
             },
             "--groups-at needs thresholds in percent from 0 to 100, separated by commas: 95,80"},
            LinkageRow(exports.linkage),
            FileRow(
                "--square", exports.square,
                "The identities as a square table: tab-separated with LF line ends, the "
                "header \"name\" and every name, then one row a sequence with its name and its "
                "identity in percent with each (100 on the diagonal), with every digit the "
                "stored value needs; pandas.read_csv(FILE, sep=\"\\t\", index_col=0) reads it."),
            FileRow("--phylip", exports.phylip,
                    "The distances 1 - identity as a PHYLIP square matrix: the count, then one row "
                    "a sequence, its name padded to 10 characters. When a name is longer than 10 "
                    "characters, alike with another in its first 10, or holds one of ( ) [ ] : ; "
                    ", it gets a short name (its start, \"~\" and its number), and FILE.names maps "
                    "the short names back (tab-separated, the header \"short name\"); FILE must "
                    "then be a file, not '-', a device or a pipe."),
            {"--display-order", "",
             "Write --square and --phylip in the display order (the tree's with --tree) "
             "instead of the order of the input; --groups keeps the input's.",
             [&exports](const std::string&) { return exports.displayOrder = true; }},
        }};
    if (withNewick)
        group.rows.push_back(FileRow(
            "--newick", exports.newick,
            "The neighbour-joining tree of --tree (needed) as Newick, with its branch lengths "
            "and the sequences' names, without the outgroup that rooted it. A name holding a "
            "blank, \"_\" or any of ( ) [ ] ' : ; , is written in single quotes, a quote in it "
            "doubled, so that every name reads back as it is."));
    return group;
}

OptionRow KeptNewickRow(ExportRequest& exports) {
    return FileRow("--newick", exports.newick,
                   "The tree the session keeps (a session written with --tree by kvr run, append "
                   "or merge), as kvr run --newick wrote it. A session that keeps none is "
                   "refused, and nothing is written.");
}

OptionRow GroupThresholdRow(float& threshold, bool& given) {
    return {"--groups-at", "T",
            "The threshold of --groups in percent, 0 to 100, a decimal with \".\" (default: the "
            "upper cut-off, 94).",
            [&threshold, &given](const std::string& text) {
                return given = ParseThreshold(text, threshold);
            },
            "--groups-at needs one threshold in percent from 0 to 100"};
}

OptionRow LinkageRow(Linkage& linkage) {
    return {"--linkage", "complete|single",
            "How groups are made: complete (the default), complete-linkage clustering cut at "
            "the threshold, so that every pair of a group is at or above it; or single, the "
            "sequences linked by a chain of such pairs.",
            [&linkage](const std::string& text) {
                const auto named = LinkageNamed(text);
                if (named) linkage = *named;
                return named.has_value();
            },
            "--linkage needs complete or single"};
}

OptionGroup PictureGroup(PictureRequest& pictures, RunOptions& options) {
    return {
        "pictures",
        {
            {"--mode", "full|three",
             "The colouring of the matrix pictures: the whole observed range in 64 steps "
             "(full, the default), or three bands set by the cut-offs.",
             [&options](const std::string& text) {
                 if (text != "full" && text != "three") return false;
                 options.colourMode = text == "full" ? kFullColour : kThreeColour;
                 return true;
             },
             "--mode needs full or three"},
            {"--palette", "rainbow|viridis",
             "The 64 steps of full colour mode: the rainbow (the default), or viridis, dark "
             "purple to yellow, which reads in order for people with any common colour "
             "blindness. The key matches.",
             [&options](const std::string& text) {
                 const int kind = PaletteKindNamed(text);
                 if (kind < 0) return false;
                 options.paletteKind = kind;
                 return true;
             },
             "--palette needs rainbow or viridis"},
            {"--cutoffs", "C1,C2",
             "The upper and lower cut-off of the three bands in whole percent (default "
             "94,78). The lower one is raised to the smallest identity when that lies above "
             "it, as in the window.",
             [&options](const std::string& text) {
                 return ParseCutoffs(text, options.cutoff1, options.cutoff2);
             },
             "--cutoffs needs two whole percentages, the upper first: 94,78"},
            FileRow("--matrix-emf", pictures.matrixEmf,
                    "The matrix as an EMF picture in its compact layout."),
            FileRow("--plot-emf", pictures.plotEmf,
                    "The distribution of the identities as an EMF picture."),
            FileRow("--matrix-image", pictures.matrixImage,
                    "The matrix as the window draws it, full size, PNG or BMP by the file's "
                    "extension. Beyond 500 sequences the cells shrink (to two pixels at "
                    "least) and names too small to read are left out."),
            FileRow("--matrix-svg", pictures.matrixSvg,
                    "The matrix image's drawing as an SVG file, its text kept as text."),
            FileRow("--matrix-pdf", pictures.matrixPdf,
                    "The matrix image's drawing as a PDF file, its text kept as text, the "
                    "page the size of the image at 96 dpi."),
            FileRow("--plot-image", pictures.plotImage,
                    "The distribution as the window draws it, 1160 x 757 pixels, PNG or BMP "
                    "by the file's extension."),
            FileRow("--plot-svg", pictures.plotSvg, "The distribution's drawing as an SVG file."),
            FileRow("--plot-pdf", pictures.plotPdf, "The distribution's drawing as a PDF file."),
            {"--outline-groups", "",
             "Frame each group of two or more on the matrix pictures: the groups of --groups at "
             "the first threshold of --groups-at (default: the upper cut-off in effect), by "
             "--linkage. Where the display order splits a group, each run of its rows has its "
             "square framed, and each block of the group's cells between two runs.",
             SetTrue(pictures.outlineGroups)},
            {"--picture-tree", "",
             "Draw the neighbour-joining tree that ordered the sequences (--tree, or the one the "
             "session keeps) beside the names on the matrix pictures, its leaves at the rows, "
             "150 units wide, branch lengths to scale (a negative one drawn as 0).",
             SetTrue(pictures.tree)},
        }};
}

OptionGroup MessageGroup(MessageOptions& messages) {
    return {"messages",
            {
                {"-q,--quiet", "", "No progress on standard error; messages still appear.",
                 SetTrue(messages.quiet)},
                FileRow("--log", messages.log,
                        "Also write the messages and the progress to FILE, a line every few "
                        "seconds, after a first line with the version of kvr and a second with "
                        "the command line. FILE is written as the command goes."),
            }};
}

OperandRow InputOperand(std::string& input) {
    return {"INPUT.fasta",
            "The sequences, FASTA, plain or compressed (gzip, xz, bzip2, zstd); '-' reads them "
            "from standard input.",
            &input,
            nullptr,
            "no input file given",
            "input file"};
}

OperandRow SessionOperand(std::string& session) {
    return {"SESSION.kvr",
            "A session file, written by KVRv1's \"Save KVR file\" or by kvr run --session.",
            &session,
            nullptr,
            "no session file given",
            "session file"};
}

}  // namespace kvr::cli
