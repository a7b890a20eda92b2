// The command lines of kvr read through the option tables: what lands in the requests, what is
// refused and how, and the help and man pages made from the same tables.
#include <gtest/gtest.h>

#include <sstream>

#include "app/cli/command_tables.h"
#include "app/cli/help_text.h"
#include "model/palette.h"

namespace kvr::cli {
namespace {

Arguments Words(const std::string& text) {
    Arguments words;
    std::istringstream in(text);
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

// What the parse of the words says is wrong, "" when it reads them.
std::string Refusal(const CommandTable& table, const Arguments& args) {
    const Result<void> parsed = ParseCommandLine(table, args);
    return parsed ? "" : parsed.problem().message;
}

TEST(KvrCommandLine, FillsTheRunRequest) {
    RunRequest request;
    const std::string problem = Refusal(
        RunTable(request),
        Words("--aligner=builtin --threads 3 --pair-timeout 2.5 --alphabet muscle --pair-memory 64 "
              "-q --tree --scores s.csv "
              "--session=- --matrix-text m.txt --plot-data p.txt --sequences q.fas "
              "--mode three --palette viridis --cutoffs 90,80 --matrix-emf m.emf "
              "--plot-emf p.emf --matrix-image m.png --plot-image p.bmp --matrix-svg m.svg "
              "--matrix-pdf m.pdf --plot-svg p.svg --plot-pdf p.pdf --log run.log -- -in.fasta"));
    ASSERT_EQ(problem, "");
    EXPECT_EQ(request.input, "-in.fasta");
    EXPECT_EQ(request.options.aligner, Aligner::Builtin);
    EXPECT_EQ(request.options.jobs, 3);
    EXPECT_EQ(request.options.pairTimeoutSeconds, 2.5);
    EXPECT_EQ(request.options.alphabet, AlphabetRule::Muscle);
    EXPECT_EQ(request.options.pairMemoryMegabytes, 64);
    EXPECT_TRUE(request.options.useTree);
    EXPECT_EQ(request.options.colourMode, kThreeColour);
    EXPECT_EQ(request.options.paletteKind, kViridisPalette);
    EXPECT_EQ(request.options.cutoff1, 90.0f);
    EXPECT_EQ(request.options.cutoff2, 80.0f);
    EXPECT_TRUE(request.messages.quiet);
    EXPECT_EQ(request.messages.log, "run.log");
    const OutputRequest& o = request.outputs;
    EXPECT_EQ(
        std::vector<std::string>({o.File("--scores"), o.File("--session"), o.File("--matrix-text"),
                                  o.File("--plot-data"), o.File("--sequences")}),
        std::vector<std::string>({"s.csv", "-", "m.txt", "p.txt", "q.fas"}));
    const PictureRequest& p = o.pictures;
    EXPECT_EQ(std::vector<std::string>({p.matrixEmf, p.plotEmf, p.matrixImage, p.plotImage,
                                        p.matrixSvg, p.matrixPdf, p.plotSvg, p.plotPdf}),
              std::vector<std::string>(
                  {"m.emf", "p.emf", "m.png", "p.bmp", "m.svg", "m.pdf", "p.svg", "p.pdf"}));
    EXPECT_FALSE(request.help);

    // --jobs is --threads by its older name; the last one given holds.
    RunRequest jobs;
    EXPECT_EQ(Refusal(RunTable(jobs), Words("in.fasta --threads 2 --jobs=5")), "");
    EXPECT_EQ(jobs.options.jobs, 5);
    // The built-in aligner's defaults: the set's alphabet, 1 GB a pair.
    EXPECT_EQ(jobs.options.alphabet, AlphabetRule::Set);
    EXPECT_EQ(jobs.options.pairMemoryMegabytes, 1024);
}

TEST(KvrCommandLine, FillsTheOtherRequests) {
    RunRequest append;
    EXPECT_EQ(Refusal(AppendTable(append), Words("old.kvr new.fasta")), "");
    EXPECT_EQ(append.session, "old.kvr");
    EXPECT_EQ(append.input, "new.fasta");

    MergeRequest merge;
    EXPECT_EQ(Refusal(MergeTable(merge), Words("in.fasta a.tsv --tree b.tsv")), "");
    EXPECT_EQ(merge.input, "in.fasta");
    EXPECT_EQ(merge.shards, std::vector<std::string>({"a.tsv", "b.tsv"}));
    EXPECT_TRUE(merge.options.useTree);

    PairsRequest pairs;
    EXPECT_EQ(Refusal(PairsTable(pairs), Words("in.fasta --shard 2/3 -o s.tsv --jobs 4")), "");
    EXPECT_EQ(pairs.shardText, "2/3");
    EXPECT_EQ(pairs.out, "s.tsv");
    EXPECT_EQ(pairs.options.jobs, 4);

    SplitRequest split;
    EXPECT_EQ(Refusal(SplitTable(split), Words("s.kvr --min 5 --max=9 -o set")), "");
    EXPECT_EQ(std::vector<std::string>({split.session, split.minText, split.maxText, split.base}),
              std::vector<std::string>({"s.kvr", "5", "9", "set"}));

    // Help wins over whatever else is wrong.
    ShowRequest show;
    EXPECT_EQ(Refusal(ShowTable(show), Words("--bogus -h")), "");
    EXPECT_TRUE(show.help);
}

TEST(KvrCommandLine, RefusesWhatIsWrongInItsOwnWords) {
    struct Case {
        std::string arguments;
        std::string problem;
    };
    const Case cases[] = {
        {"", "no input file given"},
        {"a b", "one input file expected, got 'a' and 'b'"},
        {"a --bogus", "unknown option '--bogus'"},
        {"a -qx", "unknown option '-x'"},
        {"a --tree=yes", "--tree takes no value: '--tree=yes'"},
        {"a --aligner", "--aligner needs a name: muscle, clustalw, mafft or builtin"},
        {"a --scores", "--scores needs a file name"},
        {"a --scores=", "--scores needs a file name"},
        // An option is never taken for a file name.
        {"a --scores --quiet", "--scores needs a file name"},
        {"a --jobs 0", "--jobs needs a whole number of aligners to run at once, 1 or more"},
        {"a --threads 2x", "--threads needs a whole number of aligners to run at once, 1 or more"},
        {"a --pair-timeout -1", "--pair-timeout needs a number of seconds above 0"},
        {"a --pair-timeout inf", "--pair-timeout needs a number of seconds above 0"},
        {"a --alphabet protein", "--alphabet needs set or muscle"},
        {"a --pair-memory 0", "--pair-memory needs a whole number of megabytes, 1 to 1048576"},
        {"a --pair-memory 1.5", "--pair-memory needs a whole number of megabytes, 1 to 1048576"},
        {"a --mode colour", "--mode needs full or three"},
        {"a --palette Viridis", "--palette needs rainbow or viridis"},
        {"a --cutoffs 94", "--cutoffs needs two whole percentages, the upper first: 94,78"},
        {"a --cutoffs 94.5,78", "--cutoffs needs two whole percentages, the upper first: 94,78"},
        {"a --cutoffs 94,-7", "--cutoffs needs two whole percentages, the upper first: 94,78"},
        {"a --plot-pdf", "--plot-pdf needs a file name"},
        {"a --log", "--log needs a file name"},
    };
    for (const Case& c : cases) {
        RunRequest request;
        EXPECT_EQ(Refusal(RunTable(request), Words(c.arguments)), c.problem) << c.arguments;
    }
    PairsRequest pairs;
    EXPECT_EQ(Refusal(PairsTable(pairs), Words("in.fasta --shard 1/2")), "--out FILE is needed");
    MergeRequest merge;
    EXPECT_EQ(Refusal(MergeTable(merge), Words("in.fasta")),
              "no shard file given (the files of kvr pairs)");
    IdentityRequest identity;
    EXPECT_EQ(Refusal(IdentityFileTable(identity), Words("a.fas b.fas")),
              "one aligned pair file expected, got 'a.fas' and 'b.fas'");
}

// Whitespace collapsed, so that a help text can be found in wrapped lines.
std::string Flat(const std::string& text) {
    std::istringstream in(text);
    std::string flat;
    for (std::string word; in >> word;) flat += (flat.empty() ? "" : " ") + word;
    return flat;
}

TEST(KvrCommandLine, HelpAndManPagesHoldEveryOptionsWholeText) {
    AnyRequest requests;
    const ManPageSource source{"9.8.7", "2026-12-07", "[FILES]\n.TP\nsome file\n"};
    const auto tables = CommandTables(requests);
    const std::string overview = FormatOverview(tables, CommonSections());
    EXPECT_NE(overview.find("\nexit status:\n  0: every output was written."), std::string::npos)
        << overview;
    for (const CommandTable& table : tables) {
        EXPECT_NE(overview.find("  " + table.name + " "), std::string::npos) << table.name;
        const std::string help = FormatHelp(table);
        EXPECT_TRUE(help.starts_with("usage: kvr " + table.name)) << help;
        std::istringstream lines(help);
        for (std::string line; std::getline(lines, line);)
            EXPECT_LE(line.size(), 79u) << table.name << ": " << line;
        const std::string page = FormatManPage(table, source);
        EXPECT_TRUE(page.starts_with(".TH KVR-")) << page;
        EXPECT_NE(page.find("\"kvr 9.8.7\""), std::string::npos);
        for (const OptionGroup& group : table.groups)
            for (const OptionRow& row : group.rows) {
                // Each option's help is one sentence run in the help, never cut by another row.
                EXPECT_NE(Flat(help).find(Flat(row.help)), std::string::npos)
                    << table.name << " " << row.names;
                EXPECT_NE(page.find("\\-\\-" + LongName(row).substr(2)), std::string::npos)
                    << table.name << " " << row.names;
            }
    }
    const std::string main = FormatOverviewManPage(tables, CommonSections(), source);
    EXPECT_TRUE(main.starts_with(".TH KVR \"1\" \"2026-12-07\" \"kvr 9.8.7\"")) << main;
    EXPECT_NE(main.find(".SH \"FILES\"\n.TP\nsome file\n"), std::string::npos) << main;
    EXPECT_NE(main.find(".BR kvr\\-merge (1),"), std::string::npos);
    EXPECT_NE(main.find(".SH \"EXIT STATUS\"\n.TP\n.B 0\n"), std::string::npos) << main;
}

}  // namespace
}  // namespace kvr::cli
