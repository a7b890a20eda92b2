#include "app/cli/command_tables.h"

#include <string_view>

#include "app/cli/option_groups.h"

namespace kvr::cli {

namespace {

constexpr const char* kFilesNote =
    "Text files have CR LF line ends and \".\" as the decimal mark, except the table, the "
    "groups, the tree and the square and PHYLIP matrices, which have LF line ends for other "
    "programs. File names are used exactly as given, and a file is replaced "
    "only once it has been written whole. FILE '-' of one text output writes it to standard "
    "output, and the display order is then not printed.";

constexpr const char* kAlignersNote =
    "The aligners are started with the command lines of aligners.conf beside kvr, or of the "
    "environment variables KVR_MUSCLE, KVR_CLUSTALW, KVR_MAFFT and KVR_NEIGHBOR (see "
    "docs/aligners.md). Their files go to a folder of this run's own, removed at the end.";

constexpr const char* kWrittenStatus =
    "0: every output was written. Every pair identical, or no pair sharing a residue, is a "
    "warning on standard error: the results are written and the status is 0.";

constexpr const char* kAnalysisFailed =
    "1: the results could not be made: the input was refused, an aligner failed, an output "
    "could not be written, or the tree asked for could not be made (the outputs are then "
    "written in input order, and the message says so).";

constexpr const char* kUsageStatus = "2: a wrong command line.";

constexpr const char* kSignalStatus = "130, 143, 129: stopped by SIGINT, SIGTERM, SIGHUP.";

// The signal statuses of a command whose files not yet written keep their old content.
std::string SignalKeepsStatus(std::string_view files) {
    return "130, 143, 129: stopped by SIGINT, SIGTERM, SIGHUP; the " + std::string(files) +
           " not yet written keep their old files.";
}

OptionGroup WithRow(OptionGroup group, OptionRow row) {
    group.rows.push_back(std::move(row));
    return group;
}

// The outputs of an analysis, the table included: what run, append, show and merge write; the
// tree with those that can make one.
std::vector<OptionGroup> AnalysisOutputs(OutputRequest& outputs, RunOptions& options,
                                         bool withTree = true) {
    return {TextOutputGroup(outputs), ExportGroup(outputs.exports, withTree),
            PictureGroup(outputs.pictures, options)};
}

std::string Status(std::initializer_list<std::string_view> lines) {
    std::string text;
    for (std::string_view line : lines) text += (text.empty() ? "" : "\n") + std::string(line);
    return text;
}

}  // namespace

std::vector<HelpSection> CommonSections() {
    return {
        {"exit status", Status({kWrittenStatus, kAnalysisFailed, kUsageStatus, kSignalStatus})}};
}

CommandTable RunTable(RunRequest& request) {
    CommandTable table{"run", "align every pair, order by a tree, write the identities"};
    table.operands = {InputOperand(request.input)};
    table.description =
        "Aligns every pair of sequences of a FASTA file, with an external aligner or the "
        "built-in one, and computes each pair's identity: identical symbols divided by the "
        "alignment columns in which neither sequence has a gap (1 means identical). Then writes "
        "the outputs asked for and prints the order in which the sequences are shown, one line "
        "per sequence: its number in the input file, a tab, and its name line.";
    table.groups = {WithRow(AlignerGroup(request.options), TreeRow(request.options))};
    for (OptionGroup& group : AnalysisOutputs(request.outputs, request.options))
        table.groups.push_back(std::move(group));
    table.groups.push_back(MessageGroup(request.messages));
    table.sections = {
        {"files", kFilesNote},
        {"aligners", kAlignersNote},
        {"signals",
         "Ctrl-C (SIGINT), SIGTERM and SIGHUP cancel the run: the running aligners are ended, "
         "the run's folder is removed and nothing is written. While the outputs are written, "
         "those not yet written keep their old files."},
        {"exit status", Status({kWrittenStatus, kAnalysisFailed, kUsageStatus, kSignalStatus})},
    };
    table.help = &request.help;
    return table;
}

CommandTable AppendTable(RunRequest& request) {
    CommandTable table = RunTable(request);
    table.name = "append";
    table.summary = "align only the pairs with new sequences, write the results";
    table.operands = {
        SessionOperand(request.session),
        {"NEW.fasta", "The sequences to add, FASTA as for kvr run.", &request.input, nullptr,
         "a session file and a FASTA file to append are needed", "FASTA file"}};
    table.operands[0].missing = table.operands[1].missing;
    table.description =
        "Extends the analysis of a session by the sequences of a FASTA file: only the pairs with "
        "a new sequence are aligned, and the identities of the session are kept. Then orders, "
        "prints and writes like kvr run (write the new session with --session).\n\n"
        "A session whose record (kvr info) names another aligner than --aligner, or another "
        "ambiguity rule than --ambiguous, is refused: identities of two aligners (or rules) "
        "differ, and a matrix that mixes them is read wrongly. --mix-aligners mixes them all "
        "the same, and the new session's record says \"mixed\" with both names. A session that "
        "keeps no record is extended without the check, and its record then says \"unknown\" "
        "for the pairs it held.";
    table.groups.front().rows.push_back(
        {"--mix-aligners", "",
         "Align the new pairs with --aligner and --ambiguous even when the session's pairs "
         "were made with another aligner or ambiguity rule; the record then says \"mixed\".",
         [&request](const std::string&) { return request.mixAligners = true; }});
    table.sections.back() = {
        "exit status",
        Status({kWrittenStatus, kAnalysisFailed,
                "2: a wrong command line, or a session made with another aligner or ambiguity "
                "rule without --mix-aligners (nothing is written).",
                kSignalStatus})};
    return table;
}

CommandTable ShowTable(ShowRequest& request) {
    CommandTable table{"show", "write the results of a session without aligning"};
    table.operands = {SessionOperand(request.session)};
    table.description =
        "Reads a session file (written by KVRv1's \"Save KVR file\", or by kvr run --session) and "
        "writes its results, without aligning anything.";
    table.groups = AnalysisOutputs(request.outputs, request.options, false);
    table.groups[1].rows.push_back(KeptNewickRow(request.outputs.exports));
    table.groups.push_back(MessageGroup(request.messages));
    table.sections = {
        {"files", kFilesNote},
        {"exit status",
         Status({kWrittenStatus, "1: the session was refused, or an output could not be written.",
                 kUsageStatus, SignalKeepsStatus("outputs")})},
    };
    table.help = &request.help;
    return table;
}

CommandTable SplitTable(SplitRequest& request) {
    CommandTable table{"split", "write FASTA datasets of the sequences in an identity range"};
    table.operands = {SessionOperand(request.session)};
    table.description =
        "Groups the sequences of a session around seed sequences: in display order, each "
        "sequence not yet in a group starts one and takes every sequence not yet grouped whose "
        "identity with it, in whole percent rounded down, lies from N to M. Every group of three "
        "or more is written as BASE + \" 1.fas\", BASE + \" 2.fas\", ... (FASTA, CR LF line "
        "ends), each replaced only when whole, and the files written are printed, one per line."
        "\n\n"
        "With --groups instead of --min and --max, every group of kvr show --groups at one "
        "threshold, any size, is written as BASE + \"_group1.fasta\", BASE + "
        "\"_group2.fasta\", ... by its group number, its members in the session's order.";
    const auto text = [](std::string& field) {
        return [&field](const std::string& value) {
            field = value;
            return true;
        };
    };
    OptionGroup range{
        "range",
        {
            {"--min", "N", "The smallest identity in percent, 0 to 100; a decimal is rounded down.",
             text(request.minText), "--min needs a value", true},
            {"--max", "M",
             "The largest identity in percent: above N, at most 100, and above the smallest "
             "identity of the session.",
             text(request.maxText), "--max needs a value", true},
            {"-o,--out", "BASE",
             "The start of every file name; - writes the datasets to standard output, one after "
             "another, and prints no file names.",
             text(request.base), "--out needs a value", true},
        }};
    range.rows[0].required = range.rows[1].required = false;  // not with --groups
    range.rows[0].help += " Needed unless --groups is given.";
    range.rows[1].help += " Needed unless --groups is given.";
    OptionGroup groups{"groups",
                       {{"--groups", "",
                         "Write the groups at the threshold of --groups-at, each to a file of its "
                         "own, in place of the identity range.",
                         [&request](const std::string&) { return request.groups = true; }},
                        GroupThresholdRow(request.threshold, request.thresholdGiven),
                        LinkageRow(request.linkage)}};
    table.groups = {range, groups, MessageGroup(request.messages)};
    table.sections = {
        {"exit status",
         Status({"0: done, also when no group was large enough.",
                 "1: the session or the range was refused, or a file could not be written.",
                 kUsageStatus, SignalKeepsStatus("datasets")})},
    };
    table.help = &request.help;
    return table;
}

CommandTable PairsTable(PairsRequest& request) {
    CommandTable table{"pairs", "align one shard of the pairs, for kvr merge (--shard K/N)"};
    table.operands = {InputOperand(request.input)};
    table.operands[0].help = "The sequences, FASTA.";
    table.description =
        "Aligns the pairs of shard K of N of the sequences of a FASTA file and writes their "
        "identities to FILE; kvr merge joins the files of all N shards into the analysis kvr run "
        "would make. The shards are runs of consecutive pairs of equal work (the sum of the "
        "products of the two sequences' lengths); together they hold every pair once. With more "
        "shards than pairs, the shards past the last pair are empty.\n\n"
        "FILE starts with lines that name the input (its SHA-256), the aligner and its command "
        "line, the version of kvr and the shard, then the line "
        "\"first<TAB>second<TAB>identity<TAB>exact\" and one line per pair: the two sequences' "
        "numbers in the input, the identity as kvr writes it everywhere, and the same identity "
        "with all the digits it needs to be read back exactly. FILE appears only when the shard "
        "is complete; a failed or killed shard leaves none.";
    OptionGroup shard{"shard",
                      {
                          {"--shard", "K/N", "The shard to align, 1 <= K <= N.",
                           [&request](const std::string& value) {
                               request.shardText = value;
                               return true;
                           },
                           "--shard needs K/N", true},
                          {"-o,--out", "FILE",
                           "The shard's file; - writes the shard to standard output (a shard cut "
                           "short there lacks its last line, and kvr merge refuses it).",
                           [&request](const std::string& value) {
                               request.out = value;
                               return true;
                           },
                           "--out needs a file name", true},
                      }};
    table.groups = {shard, AlignerGroup(request.options), MessageGroup(request.messages)};
    table.sections = {
        {"files",
         "The external aligners exchange their files in a folder of this run's own inside "
         "$TMPDIR (else /tmp), local to the machine even when the home folder is shared by a "
         "cluster."},
        {"exit status", Status({"0: the shard's file was written.",
                                "1: failed; nothing was written.", kUsageStatus,
                                "130, 143, 129: cancelled by SIGINT, SIGTERM, SIGHUP; nothing "
                                "was written."})},
    };
    table.help = &request.help;
    return table;
}

CommandTable MergeTable(MergeRequest& request) {
    CommandTable table{"merge", "join the shards of kvr pairs into the analysis of kvr run"};
    table.operands = {
        InputOperand(request.input),
        {"SHARD_FILE...", "The files kvr pairs wrote, one per shard.", nullptr, &request.shards,
         "no shard file given (the files of kvr pairs)", "shard file"}};
    table.operands[0].help = "The sequences the shards were made from, FASTA.";
    table.description =
        "Joins the files that kvr pairs wrote for the shards of INPUT.fasta into its analysis, "
        "then orders, prints and writes like kvr run: the same files, byte for byte. The shard "
        "files must all come from INPUT.fasta as it is now, from one aligner with one command "
        "line and one version of kvr, and together hold every pair once; otherwise nothing is "
        "written and the message names the file and what is wrong.\n\n"
        "Asked for nothing but --scores, --table and --plot-data, without --tree, kvr merge reads "
        "the shards as a stream and needs no memory for the table of identities.";
    table.groups = {{"order", {TreeRow(request.options)}}};
    for (OptionGroup& group : AnalysisOutputs(request.outputs, request.options))
        table.groups.push_back(std::move(group));
    table.groups.push_back(MessageGroup(request.messages));
    table.sections = {
        {"files", kFilesNote},
        {"exit status",
         Status({kWrittenStatus,
                 "1: a shard was refused (nothing is written), an output could not be written, "
                 "or the tree could not be made (as kvr run).",
                 kUsageStatus, "130, 143, 129: cancelled by SIGINT, SIGTERM, SIGHUP."})},
    };
    table.help = &request.help;
    return table;
}

CommandTable IdentityFileTable(IdentityRequest& request) {
    CommandTable table{"identity", "identity of an aligned pair file (FASTA, '-' gaps)"};
    table.operands = {{"FILE", "The aligned pair file; '-' reads standard input.", &request.path,
                       nullptr, "expected one aligned pair file", "aligned pair file"}};
    table.description =
        "Prints the identity of the first two records of an aligned pair file (FASTA, '-' for "
        "gaps) as a fraction: identical symbols divided by the columns in which neither sequence "
        "has a gap. 1 means identical.";
    table.sections = {
        {"exit status",
         Status({"0: the identity was printed.",
                 "1: the pair cannot be scored (the message says why).", kUsageStatus})},
    };
    table.help = &request.help;
    return table;
}

CommandTable AlignTable(AlignRequest& request) {
    CommandTable table{"align", "align two sequences as a run does, show their alignment"};
    table.operands = {
        InputOperand(request.input),
        {"NAME1 NAME2",
         "The two sequences: names as the file has them (with or without the "
         "leading '>'; quote names with spaces), or the first words of a name when "
         "no other name starts with them, or the sequences' numbers in the file, "
         "from 1. They keep the order given.",
         nullptr, &request.names, "two sequences are needed: their names or numbers", "sequence"}};
    table.description =
        "Aligns two sequences of a FASTA file as kvr run aligns their pair, and shows the "
        "alignment behind their identity. The identity is the one kvr run writes for the pair "
        "with the same aligner.";
    OptionGroup options{"options",
                        {AlignerRow(request.options),
                         AlphabetRow(request.options),
                         PairMemoryRow(request.options),
                         AmbiguousRow(request.options),
                         {"--format", "pair|fasta",
                          "pair (the default): the two rows with a match line between them ('|' "
                          "the same symbol, '.' another, blank a gap), 60 columns a block, each "
                          "line with the positions of its first and last residue; then the "
                          "identity (with --ambiguous skip, the columns it compared and the "
                          "identity with the ambiguity codes counted too), the gap-free columns, "
                          "the matches and each sequence's coverage (the gap-free columns over its "
                          "length). fasta: the aligned "
                          "pair as FASTA ('-' for gaps), which kvr identity reads; the identity "
                          "and the rest then go to standard error.",
                          [&request](const std::string& value) {
                              if (value != "pair" && value != "fasta") return false;
                              request.format = value == "pair" ? AlignRequest::Format::Pair
                                                               : AlignRequest::Format::Fasta;
                              return true;
                          },
                          "--format needs pair or fasta"}}};
    table.groups = {options};
    table.sections = {
        {"files", kAlignersNote},
        {"exit status",
         Status({"0: the alignment was written.",
                 "1: a name was not found, or the aligner failed (the message says which).",
                 kUsageStatus, kSignalStatus})},
    };
    table.help = &request.help;
    return table;
}

CommandTable InfoTable(InfoRequest& request) {
    CommandTable table{"info", "show how the identities of a session were made"};
    table.operands = {SessionOperand(request.session)};
    table.description =
        "Prints what a session keeps besides its identities, one \"key<TAB>value\" line each: "
        "sequences (their number), pairs, tree (kept or none: kvr show --newick writes a kept "
        "one), and provenance (recorded, or unknown for a session written before sessions kept "
        "it); then how the identities were made: program (kvr and its "
        "version, or KVRv1 and its version for the window's runs), command (run, append, merge, "
        "and the window's rerun), aligner, aligner-version (as the aligner reports it), "
        "aligner-command, ambiguous (count or skip), tree-order, pair-timeout, input (the FASTA "
        "file), "
        "input-sha256 and date (UTC), each \"unknown\" when not recorded, and any further key "
        "the record holds (shards, for kvr merge). A value that differs between the steps of "
        "an append reads \"mixed: A, B\"; the commands, inputs, checksums and dates of an "
        "appended session are listed in order, one a step. A tab, line end or backslash in a "
        "value is written \\t, \\n, \\r or \\\\, as the session keeps it.";
    table.groups = {MessageGroup(request.messages)};
    table.sections = {
        {"exit status", Status({"0: printed.", "1: the session was refused.", kUsageStatus})},
    };
    table.help = &request.help;
    return table;
}

std::vector<CommandTable> CommandTables(AnyRequest& requests) {
    return {IdentityFileTable(requests.identity),
            AlignTable(requests.align),
            RunTable(requests.run),
            AppendTable(requests.append),
            ShowTable(requests.show),
            SplitTable(requests.split),
            PairsTable(requests.pairs),
            MergeTable(requests.merge),
            InfoTable(requests.info)};
}

}  // namespace kvr::cli
