// kvr run, the program itself: golden output, errors, and a run with the real MUSCLE.
#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <sstream>

#include "align/align.h"
#include "io/file_io.h"
#include "pipeline/external_programs.h"
#include "platform/posix_shell.h"
#include "support/bounded_genomes.h"
#include "support/process_watch.h"
#include "support/run_program.h"
#include "support/temp_folder.h"

namespace kvr {
namespace {

using testing::DataFile;
using testing::TempFolder;

using testing::ProgramResult;

// Runs kvr run with the arguments and environment entries in folder; checks that it left no
// exchange folder behind.
ProgramResult Kvr(const TempFolder& folder, std::vector<std::string> arguments,
                  const std::vector<std::string>& environment = {}) {
    arguments.insert(arguments.begin(), "run");
    const ProgramResult result = testing::RunProgram(
        "kvr", arguments, {.folder = folder.Path(), .environment = environment});
    const std::string leftOver =
        std::string(KVR_BIN_DIR) + "/tmp/run-" + std::to_string(result.processId) + "-";
    for (const auto& entry : std::filesystem::directory_iterator(std::string(KVR_BIN_DIR) + "/tmp"))
        EXPECT_FALSE(entry.path().string().starts_with(leftOver)) << entry.path();
    return result;
}

// "a b c" as the words a, b and c.
std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    std::istringstream in(text);
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

const std::vector<std::string> kCopyAligner = {"KVR_MUSCLE=cp {in} {out}"};

TEST(KvrRun, WritesTheOrderAndTheScoresOfTheGoldenFiles) {
    TempFolder folder;
    const std::string input = DataFile("kvr_run/families.fasta");
    const ProgramResult tree =
        Kvr(folder, {input, "--tree", "--scores", "scores.csv"}, kCopyAligner);
    EXPECT_EQ(tree.status, 0) << tree.err;
    EXPECT_EQ(tree.out, ReadWholeFile(DataFile("kvr_run/families_tree_order.txt")));
    EXPECT_EQ(ReadWholeFile(folder.File("scores.csv")),
              ReadWholeFile(DataFile("kvr_run/families_tree_scores.csv")));
    for (const char* status : {"kvr run: 5 sequences loaded\n", "kvr run: Aligning 1 - 2\n",
                               "kvr run: Drawing tree\n", "kvr run: Completed\n"})
        EXPECT_NE(tree.err.find(status), std::string::npos) << tree.err;

    // Without the tree the input order stays; --quiet keeps the progress back.
    const ProgramResult plain = Kvr(folder, {"--quiet", "--scores=plain.csv", input}, kCopyAligner);
    EXPECT_EQ(plain.status, 0) << plain.err;
    EXPECT_EQ(plain.out, "1\t>A_1\n2\t>C_1\n3\t>A_2_\n4\t>C_2\n5\t>A_3\n");
    EXPECT_EQ(plain.err, "");
    const auto scores = ReadWholeFile(folder.File("plain.csv"));
    ASSERT_TRUE(scores);
    EXPECT_TRUE(
        scores->starts_with("First Sequence,Second Sequence,Identity Score\r\n>A_1,>C_1,0.7\r\n"))
        << *scores;
}

// Two runs at once in the same program folder, each with pairs named 1_2.fas ... and its own
// "infile" and "outtree": each must get exactly what it gets alone.
TEST(KvrRun, TwoRunsAtOnceDoNotMixTheirFiles) {
    TempFolder folder;
    const std::string first = ShellQuote(DataFile("kvr_run/families.fasta"));
    folder.Write(
        "second.fasta",
        ">P\nGGGGAAAACC\n>Q\nGGGGAAAATT\n>R\nCCCCAAAACC\n>S\nCCCCTAAACC\n>T\nGGGCAAAACC\n");
    const ProgramResult alone =
        Kvr(folder, Words("second.fasta --tree --quiet --scores alone.csv"), kCopyAligner);
    ASSERT_EQ(alone.status, 0) << alone.err;

    const std::string kvr =
        ShellQuote(std::string(KVR_BIN_DIR) + "/kvr") + " run --aligner muscle ";
    PosixShell shell;
    const ShellOutcome both =
        shell.Run("export KVR_MUSCLE='sleep 0.02; cp {in} {out}'; " + kvr + first +
                      " --tree --quiet --scores a.csv >a.out 2>&1 & " + kvr +
                      "second.fasta --tree --quiet --scores b.csv >b.out 2>&1 & wait",
                  folder.Path());
    ASSERT_EQ(both.exitCode, 0);
    EXPECT_EQ(ReadWholeFile(folder.File("a.out")),
              ReadWholeFile(DataFile("kvr_run/families_tree_order.txt")));
    EXPECT_EQ(ReadWholeFile(folder.File("a.csv")),
              ReadWholeFile(DataFile("kvr_run/families_tree_scores.csv")));
    EXPECT_EQ(ReadWholeFile(folder.File("b.out")), alone.out);
    EXPECT_EQ(ReadWholeFile(folder.File("b.csv")), ReadWholeFile(folder.File("alone.csv")));
}

// An aligner script in folder: it copies the pair file (the golden data need no real alignment),
// after sleeping on the pairs named in slowPairs, with a child of its own; it lists its own and
// its child's process ids in folder/pids.
std::string AlignerScriptPath(const TempFolder& folder, const std::string& slowPairs,
                              const std::string& sleep) {
    const std::string path =
        folder.Write("aligner.sh", "#!/bin/sh\ncase \"$1\" in " + slowPairs + ") sleep " + sleep +
                                       " & echo $! >> " + folder.File("pids") + "; echo $$ >> " +
                                       folder.File("pids") + "; wait;; esac\ncp \"$1\" \"$2\"\n");
    std::filesystem::permissions(path, std::filesystem::perms::owner_exec,
                                 std::filesystem::perm_options::add);
    return path;
}

// The environment entry that makes the script the aligner.
std::vector<std::string> AlignerScript(const TempFolder& folder, const std::string& slowPairs,
                                       const std::string& sleep) {
    return {"KVR_MUSCLE=" + AlignerScriptPath(folder, slowPairs, sleep) + " {in} {out}"};
}

TEST(KvrRun, ManyJobsWriteWhatOneJobWrites) {
    TempFolder folder;
    const std::string input = DataFile("kvr_run/families.fasta");
    // The first pairs end last.
    const auto aligner = AlignerScript(folder, "1_2.fas|1_3.fas", "0.4");
    for (const char* jobs : {"1", "4"}) {
        const ProgramResult result =
            Kvr(folder, {input, "--tree", "--quiet", "--scores", "scores.csv", "--jobs", jobs},
                aligner);
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.out, ReadWholeFile(DataFile("kvr_run/families_tree_order.txt"))) << jobs;
        EXPECT_EQ(ReadWholeFile(folder.File("scores.csv")),
                  ReadWholeFile(DataFile("kvr_run/families_tree_scores.csv")))
            << jobs;
    }
}

TEST(KvrRun, SignalsCancelTheRunAndEndTheAligners) {
    struct Case {
        int signal;
        int status;
        const char* said;
    };
    const Case cases[] = {{SIGINT, 130, "kvr run: cancelled by SIGINT"},
                          {SIGTERM, 143, "kvr run: cancelled by SIGTERM"},
                          {SIGKILL, 128 + SIGKILL, ""}};
    for (const Case& c : cases) {
        TempFolder folder;
        const std::string aligner =
            "KVR_MUSCLE=" + ShellQuote(AlignerScriptPath(folder, "*", "30") + " {in} {out}");
        // The shell execs kvr: its process id is the one it writes.
        PosixShell shell;
        shell.Start("echo $$ > kvr.pid; exec env " + aligner + " " +
                        ShellQuote(std::string(KVR_BIN_DIR) + "/kvr") + " run " +
                        ShellQuote(DataFile("kvr_run/families.fasta")) +
                        " --aligner muscle --jobs 2 --scores s.csv >stdout 2>stderr",
                    folder.Path());
        const auto aligners = testing::WaitForIds(folder.File("pids"), 4);
        ASSERT_EQ(aligners.size(), 4u) << c.signal;
        const int kvr = testing::ReadIds(folder.File("kvr.pid")).at(0);
        ::kill(kvr, c.signal);
        const ShellOutcome ended = shell.WaitAny(ShellClock::now() + std::chrono::seconds(10));
        EXPECT_EQ(ended.status, ShellOutcome::Status::Ended) << c.signal;
        EXPECT_EQ(ended.exitCode, c.status) << c.signal;
        EXPECT_EQ(testing::StillRunning(aligners), std::vector<int>{}) << c.signal;
        EXPECT_FALSE(std::filesystem::exists(folder.File("s.csv")));
        const std::string err = ReadWholeFile(folder.File("stderr")).value_or("");
        EXPECT_NE(err.find(c.said), std::string::npos) << err;
        if (c.signal == SIGKILL) continue;  // a killed kvr cannot remove its folder; the next does
        const std::string own = std::string(KVR_BIN_DIR) + "/tmp/run-" + std::to_string(kvr) + "-";
        for (const auto& entry :
             std::filesystem::directory_iterator(std::string(KVR_BIN_DIR) + "/tmp"))
            EXPECT_FALSE(entry.path().string().starts_with(own)) << entry.path();
    }
}

TEST(KvrRun, APairPastTheTimeLimitStopsTheRun) {
    TempFolder folder;
    const auto aligner = AlignerScript(folder, "2_4.fas", "30");
    const ProgramResult result = Kvr(folder,
                                     {DataFile("kvr_run/families.fasta"), "--quiet", "--jobs", "2",
                                      "--pair-timeout", "0.5", "--scores", "s.csv"},
                                     aligner);
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("kvr run: The identity of sequences 2 and 4 could not be computed "
                              "with MUSCLE: the aligner was still running after 0.5 seconds, the "
                              "time limit for one pair, and has been ended.\n"),
              std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("aligner.sh 2_4.fas 2_4Aln.fas\n"), std::string::npos) << result.err;
    EXPECT_EQ(testing::StillRunning(testing::ReadIds(folder.File("pids"))), std::vector<int>{});
    EXPECT_FALSE(std::filesystem::exists(folder.File("s.csv")));
}

// An aligner that puts a helper into a session of its own (setsid) escapes its process group;
// kvr adopts the helper once the aligner is gone and ends it with the run.
TEST(KvrRun, AlignerHelpersThatLeaveTheirGroupEndWithTheRun) {
    TempFolder folder;
    const std::string pids = folder.File("pids");
    const ProgramResult result =
        Kvr(folder, {DataFile("kvr_run/families.fasta"), "--quiet", "--jobs", "2"},
            {"KVR_MUSCLE=setsid sh -c 'echo $$ >> " + pids + "; exec sleep 60' & cp {in} {out}"});
    EXPECT_EQ(result.status, 0) << result.err;
    const std::vector<int> started = testing::ReadIds(pids);
    EXPECT_FALSE(started.empty());
    const std::vector<int> left = testing::StillRunning(started, 1);
    EXPECT_EQ(left, std::vector<int>{});
    for (const int pid : left) ::kill(pid, SIGKILL);
}

TEST(KvrRun, RefusesAWrongCommandLine) {
    struct Case {
        std::string arguments;
        int status;
        std::string error;
    };
    const Case cases[] = {
        {"", 2, "kvr run: no input file given\n"},
        {"a.fasta b.fasta", 2, "kvr run: one input file expected, got 'a.fasta' and 'b.fasta'\n"},
        {"a.fasta --bogus", 2, "kvr run: unknown option '--bogus'\n"},
        {"a.fasta --aligner", 2,
         "kvr run: --aligner needs a name: muscle, clustalw, mafft or builtin\n"},
        {"a.fasta --aligner clustalw2", 2,
         "kvr run: unknown aligner 'clustalw2': choose muscle, clustalw, mafft or builtin\n"},
        {"a.fasta --scores", 2, "kvr run: --scores needs a file name\n"},
        {"a.fasta --jobs 0", 2,
         "kvr run: --jobs needs a whole number of aligners to run at once, 1 or more\n"},
        {"a.fasta --jobs=2x", 2,
         "kvr run: --jobs needs a whole number of aligners to run at once, 1 or more\n"},
        {"a.fasta --jobs 9999", 2,
         "kvr run: the number of aligners at once must be from 1 to 256\n"},
        {"a.fasta --pair-timeout 0", 2,
         "kvr run: --pair-timeout needs a number of seconds above 0\n"},
        {"a.fasta --pair-timeout", 2,
         "kvr run: --pair-timeout needs a number of seconds above 0\n"},
        {"a.fasta --tree=yes", 2, "kvr run: --tree takes no value: '--tree=yes'\n"},
        {"missing.fasta", 1, "kvr run: Failed to read missing.fasta: the file does not exist.\n"},
        {"a.fasta --scores /nonexistent/folder/s.csv", 1,
         "kvr run: cannot write /nonexistent/folder/s.csv: no folder /nonexistent/folder\n"},
    };
    TempFolder folder;
    for (const Case& c : cases) {
        const ProgramResult result = Kvr(folder, Words(c.arguments));
        EXPECT_EQ(result.status, c.status) << c.arguments;
        EXPECT_TRUE(result.err.starts_with(c.error)) << c.arguments << "\n" << result.err;
        EXPECT_EQ(result.out, "") << c.arguments;
    }
    const ProgramResult help = Kvr(folder, {"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.starts_with("usage: kvr run INPUT.fasta")) << help.out;
}

// Degenerate sets are results all the same: every output is written and the status is 0, with
// the message on standard error as a warning; a failed tree is a failure.
TEST(KvrRun, WrittenResultsExitZeroAndAFailedTreeOne) {
    TempFolder folder;
    // Different residues, and yet every gap-free column alike.
    folder.Write("alike.fasta",
                 ">a\nACGTACGTACGTTAGC\n>b\nACGTACGTACGTTAGCTTTT\n>c\nACGTACGTACGTTAGCTT\n");
    const ProgramResult same =
        Kvr(folder, Words("alike.fasta --aligner builtin --quiet --scores s.csv --tree"));
    EXPECT_EQ(same.status, 0) << same.err;
    EXPECT_NE(same.err.find("All sequences are 100% similar, the analysis connot be perfomed"),
              std::string::npos)
        << same.err;
    EXPECT_EQ(ReadWholeFile(folder.File("s.csv")),
              "First Sequence,Second Sequence,Identity Score\r\n>a,>b,1\r\n>a,>c,1\r\n>b,>c,"
              "1\r\n");

    const ProgramResult noTree =
        Kvr(folder, {DataFile("kvr_run/families.fasta"), "--tree", "--quiet", "--scores", "t.csv"},
            {"KVR_MUSCLE=cp {in} {out}", "KVR_NEIGHBOR=false"});
    EXPECT_EQ(noTree.status, 1) << noTree.err;
    EXPECT_TRUE(std::filesystem::exists(folder.File("t.csv")));
}

TEST(KvrRun, KeepsALogOfWhatStandardErrorSaysAndBinsOnce) {
    TempFolder folder;
    const std::string input = DataFile("kvr_run/families.fasta");
    const ProgramResult run = Kvr(folder,
                                  {input, "--aligner", "muscle", "--tree", "--plot-data", "p.txt",
                                   "--session", "s.kvr", "--log", "run log.txt"},
                                  kCopyAligner);
    ASSERT_EQ(run.status, 0) << run.err;
    const auto log = ReadWholeFile(folder.File("run log.txt"));
    ASSERT_TRUE(log);
    const std::string header =
        "command line: kvr run " + input +
        " --aligner muscle --tree --plot-data p.txt --session s.kvr --log 'run log.txt'\n";
    EXPECT_TRUE(log->starts_with("kvr ")) << *log;
    const auto second = log->find('\n') + 1;
    EXPECT_EQ(log->substr(second, header.size()), header);
    // Standard error is a pipe here: the log holds what it got, line for line, then its end.
    const auto body = log->find("\nkvr run: ") + 1;
    EXPECT_EQ(log->substr(body, run.err.size()), run.err);
    const std::string end = log->substr(body + run.err.size());
    EXPECT_TRUE(end.starts_with("aligner: muscle, version unknown\nended: ")) << end;
    EXPECT_TRUE(end.ends_with("\nexit status: 0\n")) << end;
    std::size_t bins = 0;
    for (auto at = run.err.find("Creating bins"); at != std::string::npos;
         at = run.err.find("Creating bins", at + 1))
        ++bins;
    EXPECT_EQ(bins, 1u) << run.err;

    // A log that cannot be written stops the command before any work.
    const ProgramResult refused =
        Kvr(folder, {input, "--scores", "t.csv", "--log", "no/such/folder/run.log"}, kCopyAligner);
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("no folder no/such/folder"), std::string::npos) << refused.err;
    EXPECT_FALSE(std::filesystem::exists(folder.File("t.csv")));
    const ProgramResult twice =
        Kvr(folder, {input, "--scores", "t.csv", "--log", "./t.csv"}, kCopyAligner);
    EXPECT_EQ(twice.status, 2);
    EXPECT_NE(twice.err.find("./t.csv is named for the log and for an output"), std::string::npos)
        << twice.err;
    EXPECT_FALSE(std::filesystem::exists(folder.File("t.csv")));
}

// The table for pipelines: input order whatever the display order, the names as the file has
// them, LF line ends; on standard output it takes the place of the display order.
TEST(KvrRun, WritesThePairTableInFileOrder) {
    TempFolder folder;
    const std::string input = DataFile("kvr_run/families.fasta");
    const ProgramResult file =
        Kvr(folder, {input, "--tree", "--quiet", "--table", "t.tsv"}, kCopyAligner);
    ASSERT_EQ(file.status, 0) << file.err;
    EXPECT_EQ(file.out, ReadWholeFile(DataFile("kvr_run/families_tree_order.txt")));
    const auto table = ReadWholeFile(folder.File("t.tsv"));
    ASSERT_TRUE(table);
    EXPECT_TRUE(table->starts_with(
        "seq1\tseq2\tidentity\tpercent\taligned_columns\tmatches\tcoverage1\t"
        "coverage2\texact\tcompared_columns\nA_1\tC_1\t0.7\t70\t10\t7\t1\t1\t1\t10\n"
        "A_1\tA(2)\t"))
        << *table;
    EXPECT_EQ(std::count(table->begin(), table->end(), '\n'), 11);
    EXPECT_EQ(table->find('\r'), std::string::npos);

    const ProgramResult piped =
        Kvr(folder, {input, "--tree", "--quiet", "--table", "-"}, kCopyAligner);
    ASSERT_EQ(piped.status, 0) << piped.err;
    EXPECT_EQ(piped.out, *table);
}

TEST(KvrRun, AFailingAlignerStopsTheRunAndWritesNothing) {
    struct Case {
        std::string environment;
        std::string error;
    };
    const Case cases[] = {
        {"KVR_MUSCLE=kvr-no-such-aligner -align {in} -output {out}",
         "kvr run: The aligner MUSCLE was not found: no program 'kvr-no-such-aligner' on the PATH"},
        {"KVR_MUSCLE=true {in} {out}",
         "kvr run: The identity of sequences 1 and 2 could not be computed with MUSCLE: the "
         "aligner "
         "wrote no output file 1_2Aln.fas.\nSequence 1: >A_1\nSequence 2: >C_1\n"
         "Command: true 1_2.fas 1_2Aln.fas\nThe run has been stopped.\n"},
        {"KVR_MUSCLE=echo Cannot align >&2; exit 3; {in} {out}",
         "the aligner failed with exit status 3: Cannot align"},
        // A stand-in that writes one alignment whatever it is given.
        {"KVR_MUSCLE=printf '>x\\nACGTACGTAC\\n>y\\nACGTACGTAC\\n' > {out}; : {in}",
         "kvr run: The identity of sequences 1 and 2 could not be computed with MUSCLE: its "
         "output 1_2Aln.fas cannot be used: without its gaps, the alignment does not hold the "
         "residues of the pair it was given"},
    };
    TempFolder folder;
    for (const Case& c : cases) {
        const ProgramResult result =
            Kvr(folder, {DataFile("kvr_run/families.fasta"), "--quiet", "--scores", "s.csv"},
                {c.environment});
        EXPECT_EQ(result.status, 1) << c.environment;
        EXPECT_NE(result.err.find(c.error), std::string::npos) << c.environment << "\n"
                                                               << result.err;
        EXPECT_EQ(result.out, "");
        EXPECT_FALSE(std::filesystem::exists(folder.File("s.csv"))) << c.environment;
    }
}

// The fields of the table line of a pair ("A\tB\t...").
std::vector<std::string> TableRow(const std::string& table, const std::string& pair) {
    const auto at = table.find("\n" + pair + "\t");
    if (at == std::string::npos) return {};
    std::vector<std::string> fields;
    std::istringstream line(table.substr(at + 1, table.find('\n', at + 1) - at - 1));
    for (std::string field; std::getline(line, field, '\t');) fields.push_back(field);
    return fields;
}

// A genome mostly N, which MUSCLE's guess takes for protein in every pair it is in: by default the
// set's alphabet scores all pairs as nucleotides; --alphabet muscle keeps the guess. The closing
// line says which, and how many pairs the guess takes for protein.
TEST(KvrRun, ScoresTheSetsAlphabetOrMusclesGuess) {
    std::mt19937 rng(77);
    std::string a(700, 'A');
    for (char& c : a) c = "ACGT"[rng() % 4];
    std::string b = a, masked = a;
    for (std::size_t k = 0; k < b.size(); k += 9) b[k] = b[k] == 'A' ? 'G' : 'A';
    // A third of the residues drawn anew, small indels, and N from 80 to 600: a pair the two
    // models align differently.
    std::mt19937 other(3);
    for (char& c : masked)
        if (other() % 3 == 0) c = "ACGT"[other() % 4];
    masked.erase(30, 2);
    masked.insert(640, "GA");
    masked.erase(660, 1);
    for (std::size_t k = 80; k < 600; ++k) masked[k] = 'N';
    TempFolder folder;
    folder.Write("g.fasta", ">a\n" + a + "\n>b\n" + b + "\n>masked\n" + masked + "\n");
    ASSERT_EQ(align::GuessAlphabet(a, masked), align::Alphabet::Protein);
    ASSERT_EQ(align::GuessAlphabet(a, b), align::Alphabet::Nucleotide);
    align::Options nucleotide;
    nucleotide.alphabet = align::Alphabet::Nucleotide;
    const struct {
        std::vector<std::string> alphabet;
        align::Options options;
        std::string line;
    } cases[] = {
        {{},
         nucleotide,
         "kvr run: the built-in aligner scored every pair as nucleotides (the set's alphabet); "
         "MUSCLE's alphabet guess would have aligned 2 of 3 pairs as protein\n"},
        {{"--alphabet", "muscle"},
         {},
         "kvr run: the built-in aligner took MUSCLE's alphabet guess for each pair: 2 of 3 pairs "
         "aligned as protein\n"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments = {"g.fasta", "--table", "t.tsv"};
        arguments.insert(arguments.end(), c.alphabet.begin(), c.alphabet.end());
        const ProgramResult run = Kvr(folder, arguments);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_NE(run.err.find(c.line), std::string::npos) << run.err;
        const auto table = ReadWholeFile(folder.File("t.tsv"));
        ASSERT_TRUE(table);
        const align::PairCounts counts = align::AlignPair(a, masked, c.options);
        const std::vector<std::string> row = TableRow(*table, "a\tmasked");
        ASSERT_GE(row.size(), 6u) << *table;
        EXPECT_EQ(row[4], std::to_string(counts.gapFreeColumns)) << *table;
        EXPECT_EQ(row[5], std::to_string(counts.matches)) << *table;
    }
    // The two models align the masked genome differently: the test tells them apart.
    EXPECT_NE(align::AlignPair(a, masked, nucleotide), align::AlignPair(a, masked));
}

// Under a memory budget too small for the band that unrelated sequences need, their pairs are
// computed in the widest band that fits: marked 0 in the table's last column and counted in the
// run's last line; the related pair is exact.
TEST(KvrRun, CountsThePairsAlignedInABoundedBand) {
    const std::string a = testing::RandomGenome(78), unrelated = testing::RandomGenome(79);
    const std::string b = testing::RelatedGenome(a, 7);
    TempFolder folder;
    folder.Write("u.fasta", ">a\n" + a + "\n>b\n" + b + "\n>u\n" + unrelated + "\n");
    const std::string last =
        "kvr run: 2 of 3 pairs were aligned in a bounded band: see docs/builtin_aligner.md\n";
    const ProgramResult bounded =
        Kvr(folder, Words("u.fasta --quiet --pair-memory 1 --table t.tsv --session s.kvr"));
    ASSERT_EQ(bounded.status, 0) << bounded.err;
    EXPECT_TRUE(bounded.err.ends_with(last)) << bounded.err;
    // The session keeps the marks, and an append keeps them for the pairs it does not align.
    EXPECT_NE(ReadWholeFile(folder.File("s.kvr"))->find("\r\n#bounded-pairs\t3: 1-3 2-3\r\n"),
              std::string::npos);
    folder.Write("c.fasta", ">c\n" + a.substr(0, 2990) + "\n");
    const ProgramResult appended = testing::RunProgram(
        "kvr", Words("append s.kvr c.fasta --quiet --pair-memory 1 --session s2.kvr"),
        {.folder = folder.Path()});
    ASSERT_EQ(appended.status, 0) << appended.err;
    EXPECT_TRUE(appended.err.ends_with(
        "kvr append: 1 of 3 pairs was aligned in a bounded band: see docs/builtin_aligner.md\n"))
        << appended.err;
    EXPECT_NE(ReadWholeFile(folder.File("s2.kvr"))->find("\r\n#bounded-pairs\t4: 1-3 2-3 3-4\r\n"),
              std::string::npos);
    const auto table = ReadWholeFile(folder.File("t.tsv"));
    ASSERT_TRUE(table);
    const std::pair<const char*, const char*> exact[] = {
        {"a\tb", "1"}, {"a\tu", "0"}, {"b\tu", "0"}};
    for (const auto& [pair, flag] : exact) {
        const std::vector<std::string> row = TableRow(*table, pair);
        ASSERT_EQ(row.size(), 10u) << *table;
        EXPECT_EQ(row[8], flag) << pair;
    }

    const ProgramResult whole = Kvr(folder, Words("u.fasta --quiet --table t.tsv"));
    ASSERT_EQ(whole.status, 0) << whole.err;
    EXPECT_EQ(whole.err.find("bounded band"), std::string::npos) << whole.err;
    EXPECT_EQ(TableRow(*ReadWholeFile(folder.File("t.tsv")), "a\tu").at(8), "1");
}

TEST(KvrRun, RunsTheRealMuscleAndNeighbor) {
    TempFolder folder;
    const std::string text = *ReadWholeFile(DataFile("rrna5s_48.fasta"));
    std::size_t fifth = 0;
    for (int k = 0; k < 4; ++k) fifth = text.find('>', fifth + 1);
    folder.Write("four.fasta", text.substr(0, fifth));
    const ProgramResult result = Kvr(folder, Words("four.fasta --tree --quiet --scores s.csv"));
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(std::count(result.out.begin(), result.out.end(), '\n'), 4);
    const auto scores = ReadWholeFile(folder.File("s.csv"));
    ASSERT_TRUE(scores);
    EXPECT_EQ(std::count(scores->begin(), scores->end(), '\n'), 7);
}

}  // namespace
}  // namespace kvr
