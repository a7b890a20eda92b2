// kvr pairs and kvr merge, the programs themselves: merged shards give kvr run's files byte for
// byte, the shard boundaries, the refusals of kvr merge, and a killed shard leaves no file.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <thread>

#include "io/file_io.h"
#include "pipeline/external_programs.h"
#include "pipeline/shard_file.h"
#include "support/bounded_genomes.h"
#include "support/file_size_limit.h"
#include "support/run_program.h"
#include "support/temp_folder.h"

namespace kvr {
namespace {

using testing::DataFile;
using testing::RunProgram;
using testing::TempFolder;

// An aligner that leaves the pair as it is: fast, and the identities are those of the input.
const std::vector<std::string> kCopyAligner = {"KVR_MUSCLE=cp {in} {out}"};

// The shard files of input, K = 1 ... shards, as kvr pairs writes them.
std::vector<std::string> WriteShards(const TempFolder& folder, const std::string& input,
                                     const std::string& aligner, int shards,
                                     const std::vector<std::string>& environment = {},
                                     const std::string& tag = "shard") {
    std::vector<std::string> files;
    for (int k = 1; k <= shards; ++k) {
        files.push_back(folder.File(tag + std::to_string(k) + ".tsv"));
        const auto pairs = RunProgram("kvr",
                                      {"pairs", input, "--aligner", aligner, "--shard",
                                       std::to_string(k) + "/" + std::to_string(shards), "--out",
                                       files.back(), "--quiet", "--jobs", "2"},
                                      {.environment = environment});
        EXPECT_EQ(pairs.status, 0) << pairs.err;
    }
    return files;
}

// A session's text up to its record of how the identities were made, and its record lines.
std::string Identities(const std::string& session) {
    return session.substr(0, session.find("\r\n#") + 2);
}
std::string RecordLine(const std::string& session, const std::string& key) {
    const auto at = session.find("\r\n#" + key + "\t");
    if (at == std::string::npos) return "no #" + key;
    return session.substr(at + 2, session.find("\r\n", at + 2) - at - 2);
}

std::vector<std::string> Outputs(const TempFolder& folder, const std::string& tag, bool all) {
    std::vector<std::string> args = {"--scores",    folder.File(tag + "_col.txt"),
                                     "--plot-data", folder.File(tag + "_plt.txt"),
                                     "--table",     folder.File(tag + ".tsv")};
    if (!all) return args;
    for (const std::string& a :
         {std::string("--session"), folder.File(tag + ".kvr"), std::string("--matrix-text"),
          folder.File(tag + "_mat.txt"), std::string("--sequences"), folder.File(tag + ".fas"),
          std::string("--matrix-image"), folder.File(tag + ".png"), std::string("--plot-emf"),
          folder.File(tag + "_plot.emf"), std::string("--mode"), std::string("three")})
        args.push_back(a);
    return args;
}

// The outputs of kvr run, then of kvr merge over the shards: the same bytes, the same order.
TEST(KvrMerge, WritesTheFilesOfKvrRun) {
    const struct {
        std::string what;
        std::string input;
        std::string aligner;
        std::vector<std::string> environment;
        int shards;
        bool tree;
        bool all;  // every output, else only those a merge streams
    } cases[] = {
        {"built-in, tree, every output", DataFile("its1_68.fasta"), "builtin", {}, 4, true, true},
        {"built-in, streamed", DataFile("its1_68.fasta"), "builtin", {}, 4, false, false},
        {"built-in, input order, table",
         DataFile("rrna5s_48.fasta"),
         "builtin",
         {},
         3,
         false,
         true},
        {"external aligner, one pair a shard", DataFile("kvr_run/families.fasta"), "muscle",
         kCopyAligner, 10, true, true},
        {"external aligner, more shards than pairs", DataFile("kvr_run/families.fasta"), "muscle",
         kCopyAligner, 13, false, false},
    };
    for (const auto& c : cases) {
        TempFolder folder;
        std::vector<std::string> run = {"run", c.input, "--aligner", c.aligner, "--quiet"};
        std::vector<std::string> merge = {"merge", c.input, "--quiet"};
        if (c.tree) {
            run.push_back("--tree");
            merge.push_back("--tree");
        }
        for (const std::string& a : Outputs(folder, "run", c.all)) run.push_back(a);
        for (const std::string& f :
             WriteShards(folder, c.input, c.aligner, c.shards, c.environment))
            merge.push_back(f);
        for (const std::string& a : Outputs(folder, "merge", c.all)) merge.push_back(a);

        const auto ran = RunProgram("kvr", run, {.environment = c.environment});
        ASSERT_EQ(ran.status, 0) << c.what << ran.err;
        const auto merged = RunProgram("kvr", merge);
        ASSERT_EQ(merged.status, 0) << c.what << merged.err;
        EXPECT_EQ(merged.out, ran.out) << c.what;  // the display order
        EXPECT_EQ(merged.err, "") << c.what;
        for (const char* suffix :
             {"_col.txt", "_plt.txt", ".tsv", ".kvr", "_mat.txt", ".fas", ".png", "_plot.emf"}) {
            const auto expected = ReadWholeFile(folder.File(std::string("run") + suffix));
            if (!c.all && !expected) continue;
            ASSERT_TRUE(expected) << c.what << suffix;
            const auto written = ReadWholeFile(folder.File(std::string("merge") + suffix));
            // The table with its counts and coverages: the shards keep each pair's counts.
            if (std::string(suffix) != ".kvr") {
                EXPECT_EQ(written, expected) << c.what << suffix;
                continue;
            }
            // The same identities; the record says what made them: the shards, then the merge.
            ASSERT_TRUE(written) << c.what;
            EXPECT_EQ(Identities(*written), Identities(*expected)) << c.what;
            EXPECT_EQ(RecordLine(*written, "command"), "#command\tmerge") << c.what;
            EXPECT_EQ(RecordLine(*written, "shards"), "#shards\t" + std::to_string(c.shards));
            for (const char* key : {"program", "aligner", "aligner-version", "aligner-command",
                                    "pair-timeout", "tree-order", "input", "input-sha256", "tree"})
                EXPECT_EQ(RecordLine(*written, key), RecordLine(*expected, key))
                    << c.what << " " << key;
        }
    }
}

// A shard as kvr wrote it before shards kept the aligner's version, the time limit and the
// counts: those lines and fields taken out, and the checksum made again.
std::string OlderForm(const std::string& shard) {
    std::string text;
    ShardChecksum checksum;
    bool pairs = false;
    for (std::size_t start = 0; start < shard.size();) {
        const std::size_t end = shard.find("\r\n", start);
        std::string line = shard.substr(start, end - start);
        start = end + 2;
        if (line.starts_with("#aligner-version\t") || line.starts_with("#pair-timeout\t") ||
            line.starts_with("#checksum\t"))
            continue;
        if (line.starts_with("first\t")) {
            text += std::string(kShardColumns) + "\r\n";
            pairs = true;
            continue;
        }
        if (pairs) {
            for (int field = 0; field < 4; ++field) line.erase(line.rfind('\t'));
            checksum.Add(line + "\r\n");
        }
        text += line + "\r\n";
    }
    return text + checksum.Line();
}

TEST(KvrMerge, ReadsTheShardsOfAnOlderKvr) {
    TempFolder folder;
    const std::string input = DataFile("kvr_run/families.fasta");
    std::vector<std::string> args = {"merge",
                                     input,
                                     "--quiet",
                                     "--table",
                                     folder.File("t.tsv"),
                                     "--session",
                                     folder.File("s.kvr")};
    for (const std::string& shard : WriteShards(folder, input, "builtin", 3))
        args.push_back(folder.Write("old_" + std::filesystem::path(shard).filename().string(),
                                    OlderForm(*ReadWholeFile(shard))));
    const auto merged = RunProgram("kvr", args);
    ASSERT_EQ(merged.status, 0) << merged.err;
    // Their pairs have no counts, and their record cannot say what they never kept.
    const std::string table = *ReadWholeFile(folder.File("t.tsv"));
    EXPECT_TRUE(table.substr(table.find('\n') + 1).starts_with("A_1\tC_1\t0.")) << table;
    EXPECT_TRUE(table.ends_with("\t\t\t\t\n")) << table;
    const std::string session = *ReadWholeFile(folder.File("s.kvr"));
    EXPECT_EQ(RecordLine(session, "aligner-version"), "#aligner-version\tunknown");
    EXPECT_EQ(RecordLine(session, "pair-timeout"), "#pair-timeout\tunknown");
    EXPECT_EQ(RecordLine(session, "aligner"), "#aligner\tbuiltin");
}

// Whole genomes of a megabase go through a session and through shards whole: kvr show gives back
// the run's sequences and files, kvr merge over two shards the run's scores and session.
TEST(KvrMerge, CarriesGenomesOfAMegabase) {
    TempFolder folder;
    std::mt19937 random(1000000);
    std::string genome(1000000, 'A');
    for (char& c : genome) c = "ACGT"[random() % 4];
    std::string fasta;
    for (const int every : {0, 100, 50}) {
        std::string copy = genome;
        if (every > 0)
            for (char& c : copy)
                if (random() % static_cast<unsigned>(every) == 0) c = c == 'A' ? 'C' : 'A';
        fasta += ">genome_" + std::to_string(every) + "\n";
        for (std::size_t p = 0; p < copy.size(); p += 80) fasta += copy.substr(p, 80) + "\n";
    }
    const std::string input = folder.Write("genomes.fasta", fasta);
    const auto outputs = [&folder](const std::string& tag) {
        return std::vector<std::string>{
            "--scores",  folder.File(tag + "_col.txt"), "--sequences", folder.File(tag + ".fas"),
            "--session", folder.File(tag + ".kvr"),     "--quiet"};
    };
    std::vector<std::string> run = {"run", input, "--aligner", "builtin", "--jobs", "2"};
    for (const std::string& a : outputs("run")) run.push_back(a);
    const auto ran = RunProgram("kvr", run);
    ASSERT_EQ(ran.status, 0) << ran.err;
    const auto sequences = ReadWholeFile(folder.File("run.fas"));
    ASSERT_TRUE(sequences);
    EXPECT_NE(sequences->find(genome.substr(0, 60)), std::string::npos);
    EXPECT_GT(sequences->size(), 3000000u);

    std::vector<std::string> show = {"show", folder.File("run.kvr")};
    for (const std::string& a : outputs("show")) show.push_back(a);
    const auto shown = RunProgram("kvr", show);
    ASSERT_EQ(shown.status, 0) << shown.err;

    std::vector<std::string> merge = {"merge", input};
    for (const std::string& f : WriteShards(folder, input, "builtin", 2)) merge.push_back(f);
    for (const std::string& a : outputs("merge")) merge.push_back(a);
    const auto merged = RunProgram("kvr", merge);
    ASSERT_EQ(merged.status, 0) << merged.err;
    for (const char* suffix : {"_col.txt", ".fas", ".kvr"}) {
        const auto expected = ReadWholeFile(folder.File(std::string("run") + suffix));
        ASSERT_TRUE(expected) << suffix;
        // A session's record of how it was made names its command and date: the rest is the same.
        const auto withoutRecord = [](const std::optional<std::string>& text) {
            return text ? text->substr(0, text->find("#kvr-provenance")) : std::string("missing");
        };
        EXPECT_EQ(withoutRecord(ReadWholeFile(folder.File(std::string("show") + suffix))),
                  withoutRecord(expected))
            << suffix;
        EXPECT_EQ(withoutRecord(ReadWholeFile(folder.File(std::string("merge") + suffix))),
                  withoutRecord(expected))
            << suffix;
    }
}

// A cluster run has thousands of shards: the merge opens them one at a time.
// The pairs the built-in aligner computed in a bounded band keep their marks through the shards:
// the merged session marks the pairs kvr run's marks (the unrelated sequence's two).
TEST(KvrMerge, KeepsTheMarksOfPairsAlignedInABoundedBand) {
    const std::string a = testing::RandomGenome(78), unrelated = testing::RandomGenome(79);
    const std::string b = testing::RelatedGenome(a, 7);
    TempFolder folder;
    const std::string input =
        folder.Write("u.fasta", ">a\n" + a + "\n>b\n" + b + "\n>u\n" + unrelated + "\n");
    const auto ran = RunProgram("kvr", {"run", input, "--quiet", "--pair-memory", "1", "--session",
                                        folder.File("run.kvr")});
    ASSERT_EQ(ran.status, 0) << ran.err;
    std::vector<std::string> merge = {"merge", input, "--quiet", "--session",
                                      folder.File("merge.kvr")};
    for (int k = 1; k <= 2; ++k) {
        merge.push_back(folder.File("shard" + std::to_string(k) + ".tsv"));
        const auto pairs =
            RunProgram("kvr", {"pairs", input, "--shard", std::to_string(k) + "/2", "--out",
                               merge.back(), "--quiet", "--pair-memory", "1"});
        ASSERT_EQ(pairs.status, 0) << pairs.err;
    }
    const auto merged = RunProgram("kvr", merge);
    ASSERT_EQ(merged.status, 0) << merged.err;
    const std::string marks = "#bounded-pairs\t3: 1-3 2-3";
    EXPECT_EQ(RecordLine(*ReadWholeFile(folder.File("run.kvr")), "bounded-pairs"), marks);
    EXPECT_EQ(RecordLine(*ReadWholeFile(folder.File("merge.kvr")), "bounded-pairs"), marks);
}

TEST(KvrMerge, TakesMoreShardsThanItMayOpenFiles) {
    TempFolder folder;
    const std::string input = DataFile("rrna5s_48.fasta");
    std::string command = "ulimit -n 20 && exec " + ShellQuote(std::string(KVR_BIN_DIR) + "/kvr") +
                          " merge " + ShellQuote(input) + " --quiet --scores " +
                          ShellQuote(folder.File("merge_col.txt"));
    for (const std::string& f : WriteShards(folder, input, "builtin", 30))
        command += " " + ShellQuote(f);
    ASSERT_EQ(std::system(command.c_str()), 0);
    const auto ran = RunProgram("kvr", {"run", input, "--aligner", "builtin", "--quiet", "--scores",
                                        folder.File("run_col.txt")});
    ASSERT_EQ(ran.status, 0) << ran.err;
    EXPECT_EQ(ReadWholeFile(folder.File("merge_col.txt")),
              ReadWholeFile(folder.File("run_col.txt")));
}

TEST(KvrPairs, HandlesEveryShardBoundary) {
    TempFolder folder;
    const std::string one = folder.Write("one.fasta", ">only\nACGT\n");
    const std::string five = DataFile("kvr_run/families.fasta");  // 5 sequences, 10 pairs
    const struct {
        std::string what;
        std::string input;
        std::string shard;
        int status;
        std::string header;  // the "#pairs" line written; "" when nothing is
        int lines;           // pair lines
        std::string message;
    } cases[] = {
        {"one sequence, refused as by kvr run", one, "1/1", 1, "", 0, "Only one record found"},
        {"one shard per sequence", five, "5/5", 0, "#pairs\t9\t2\r\n", 2, ""},
        {"the last of more shards than pairs", five, "13/13", 0, "#pairs\t11\t0\r\n", 0,
         "holds no pair"},
        {"more shards than pairs: one pair each", five, "10/13", 0, "#pairs\t10\t1\r\n", 1, ""},
        {"as many shards as pairs", five, "4/10", 0, "#pairs\t4\t1\r\n", 1, ""},
        {"one shard", five, "1/1", 0, "#pairs\t1\t10\r\n", 10, ""},
        {"K above N", five, "11/10", 2, "", 0, "there is no shard 11 of 10"},
        {"K zero", five, "0/10", 2, "", 0, "there is no shard 0 of 10"},
        {"no N", five, "3", 2, "", 0, "--shard needs K/N"},
    };
    for (const auto& c : cases) {
        const std::string out = folder.File("out.tsv");
        DeleteFileQuietly(out);
        const auto pairs = RunProgram("kvr", {"pairs", c.input, "--shard", c.shard, "--out", out},
                                      {.environment = kCopyAligner});
        EXPECT_EQ(pairs.status, c.status) << c.what << pairs.err;
        EXPECT_NE(pairs.err.find(c.message), std::string::npos) << c.what << pairs.err;
        const auto text = ReadWholeFile(out);
        if (c.header.empty()) {
            EXPECT_FALSE(text) << c.what;
            continue;
        }
        ASSERT_TRUE(text) << c.what;
        EXPECT_NE(text->find(c.header), std::string::npos) << c.what << *text;
        const auto columns = text->find(
            "first\tsecond\tidentity\texact\taligned_columns\tmatches\tin_band\t"
            "compared_columns\r\n");
        ASSERT_NE(columns, std::string::npos);
        // The column line and the checksum line are no pair lines.
        EXPECT_EQ(std::count(text->begin() + static_cast<long>(columns), text->end(), '\n') - 2,
                  c.lines)
            << c.what;
    }
}

// A shard set with one fault; the merge refuses it, names the file, and writes nothing.
TEST(KvrMerge, RefusesShardsThatDoNotMakeOneRun) {
    TempFolder folder;
    const std::string input = DataFile("kvr_run/families.fasta");
    const auto shards = WriteShards(folder, input, "muscle", 3, kCopyAligner);
    const auto text = [&](int k) { return *ReadWholeFile(shards[k]); };
    // Each edited shard gets a file of its own: "edited1.tsv", ...
    int edits = 0;
    const auto write = [&](const std::string& t) {
        return folder.Write("edited" + std::to_string(++edits) + ".tsv", t);
    };
    const auto edited = [&](int k, const std::string& from, const std::string& to) {
        std::string t = text(k);
        t.replace(t.find(from), from.size(), to);
        return write(t);
    };
    // The offset of pair line `line` (from 0) of shard k.
    const auto lineAt = [&](const std::string& t, int line) {
        std::size_t at = t.find("first\tsecond");
        for (int l = 0; l <= line; ++l) at = t.find('\n', at) + 1;
        return at;
    };
    const auto withoutLine = [&](int k, int line) {
        std::string t = text(k);
        const std::size_t at = lineAt(t, line);
        t.erase(at, t.find('\n', at) + 1 - at);
        return write(t);
    };
    const auto doubledLine = [&](int k, int line) {
        std::string t = text(k);
        const std::size_t at = lineAt(t, line);
        t.insert(at, t.substr(at, t.find('\n', at) + 1 - at));
        return write(t);
    };
    const std::string otherInput =
        folder.Write("other.fasta", *ReadWholeFile(input) + ">x\nACGTACGTAC\n");
    const auto otherCommand =
        WriteShards(folder, input, "muscle", 3, {"KVR_MUSCLE=cp  {in} {out}"}, "command");
    const auto otherAligner = WriteShards(folder, input, "builtin", 3, {}, "builtin");
    const auto otherInputShard =
        WriteShards(folder, otherInput, "muscle", 3, kCopyAligner, "input");

    const struct {
        std::string what;
        std::vector<std::string> files;
        std::string message;
    } cases[] = {
        {"a missing shard", {shards[0], shards[2]}, "shard 2/3 is missing"},
        {"a doubled shard",
         {shards[0], shards[1], shards[1], shards[2]},
         "(shard 2/3) is given twice"},
        {"another input",
         {shards[0], otherInputShard[1], shards[2]},
         "(shard 2/3) was made from another input"},
        {"another version",
         {shards[0], edited(1, "#version\t", "#version\t0."), shards[2]},
         "edited1.tsv (shard 2/3) was made by kvr 0."},
        {"another aligner",
         {shards[0], otherAligner[1], shards[2]},
         "(shard 2/3) was aligned with builtin, "},
        {"another command line",
         {shards[0], otherCommand[1], shards[2]},
         "(shard 2/3) was aligned with the command line 'cp  {in} {out}'"},
        {"another shard count",
         {shards[0], edited(1, "#shard\t2/3", "#shard\t2/4"), shards[2]},
         "one of 4 shards"},
        {"a missing pair",
         {shards[0], withoutLine(1, 1), shards[2]},
         "edited3.tsv: pair 2 - 4 is missing (the file goes on with 2 - 5)"},
        {"a doubled pair",
         {shards[0], doubledLine(1, 0), shards[2]},
         "edited4.tsv: pair 2 - 4 expected, but the file names 2 - 3 a second time"},
        {"a cut file",
         {shards[0], shards[1], folder.Write("cut.tsv", text(2).substr(0, lineAt(text(2), 1)))},
         "cut.tsv ends after"},
        {"a damaged identity",
         {shards[0], edited(1, "\t0.", "\t1."), shards[2]},
         "edited5.tsv: line 12 is not a pair line"},
        {"another version of the aligner",
         {shards[0], edited(1, "#aligner-version\tunknown", "#aligner-version\t5.2"), shards[2]},
         "edited6.tsv (shard 2/3) was aligned with MUSCLE '5.2', "},
        {"not a shard file", {shards[0], input, shards[2]}, "families.fasta is not a shard file"},
        {"a missing file",
         {shards[0], folder.File("none.tsv"), shards[2]},
         "none.tsv cannot be read"},
    };
    const std::string kept = folder.Write("kept_col.txt", "old\r\n");
    for (const auto& c : cases) {
        std::vector<std::string> args = {
            "merge", input, "--quiet", "--scores", kept, "--session", folder.File("new.kvr")};
        for (const std::string& f : c.files) args.push_back(f);
        const auto merge = RunProgram("kvr", args);
        EXPECT_EQ(merge.status, 1) << c.what;
        EXPECT_NE(merge.err.find(c.message), std::string::npos) << c.what << ": " << merge.err;
        EXPECT_NE(merge.err.find("nothing was written"), std::string::npos) << c.what;
        EXPECT_EQ(ReadWholeFile(kept), "old\r\n") << c.what;
        EXPECT_FALSE(std::filesystem::exists(folder.File("new.kvr"))) << c.what;
    }
}

// An aligner that fails, or a disk that fills up part-way: the message says so, and no file is
// left, neither a shard nor the merge's streamed score file.
TEST(KvrPairs, AFailureLeavesNoFile) {
    TempFolder folder;
    const std::string input = DataFile("kvr_run/families.fasta");
    const auto shards = WriteShards(folder, input, "muscle", 1, kCopyAligner);
    const std::string out = folder.File("full.tsv");
    const std::string scores = folder.File("full_col.txt");
    const auto failed = RunProgram("kvr", {"pairs", input, "--shard", "2/2", "--out", out},
                                   {.environment = {"KVR_MUSCLE=false {in} {out}"}});
    EXPECT_EQ(failed.status, 1);
    EXPECT_NE(failed.err.find("could not be computed with MUSCLE: the aligner failed with exit "
                              "status 1"),
              std::string::npos)
        << failed.err;
    EXPECT_NE(failed.err.find("; nothing was written"), std::string::npos) << failed.err;
    // ClustalW cannot tell two sequences of the same name apart: the pair is refused unaligned.
    const std::string twins = folder.Write("twins.fasta", ">a\nACGTACGT\n>b\nACGAACGT\n>a\nACGT\n");
    const auto refused =
        RunProgram("kvr", {"pairs", twins, "--aligner", "clustalw", "--shard", "1/1", "--out", out},
                   {.environment = {"KVR_CLUSTALW=cp {in} {out}"}});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(
        refused.err.find("ClustalW cannot align sequences 1 and 3: both are named '>a'. Please "
                         "rename all the duplicate names and try again."),
        std::string::npos)
        << refused.err;
    std::filesystem::remove(twins);
    {
        testing::FileSizeLimit limit(300);  // the header fits, not the pairs
        const auto pairs =
            RunProgram("kvr", {"pairs", input, "--shard", "1/1", "--out", out, "--quiet"},
                       {.environment = kCopyAligner});
        EXPECT_EQ(pairs.status, 1);
        EXPECT_NE(pairs.err.find(out + " could not be written (File too large)"), std::string::npos)
            << pairs.err;
    }
    {
        testing::FileSizeLimit limit(130);  // the header line and a few pairs
        const auto merge =
            RunProgram("kvr", {"merge", input, shards[0], "--scores", scores, "--quiet"});
        EXPECT_EQ(merge.status, 1);
        EXPECT_NE(merge.err.find(scores + " could not be written (File too large)"),
                  std::string::npos)
            << merge.err;
    }
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
        EXPECT_TRUE(entry.path() == shards[0]) << entry.path();
}

TEST(KvrPairs, StandardOutputTakesTheShard) {
    TempFolder folder;
    const std::string input = DataFile("kvr_run/families.fasta");
    const auto shards = WriteShards(folder, input, "builtin", 1);
    const auto piped = RunProgram(
        "kvr", {"pairs", input, "--aligner", "builtin", "--shard", "1/1", "-o", "-", "--quiet"},
        {.folder = folder.Path()});
    ASSERT_EQ(piped.status, 0) << piped.err;
    EXPECT_EQ(piped.out, ReadWholeFile(shards[0]));
    EXPECT_FALSE(std::filesystem::exists(folder.File("-")));
    // Cut short (its checksum line lost), it is refused.
    std::string cut = piped.out;
    cut.erase(cut.rfind("#checksum"));
    const std::string shortShard = folder.Write("short.tsv", cut);
    const auto merge = RunProgram("kvr", {"merge", input, shortShard, "--scores", "-", "-q"});
    EXPECT_EQ(merge.status, 1);
    EXPECT_NE(merge.err.find("short.tsv"), std::string::npos) << merge.err;
}

// A shard stopped by a signal, or killed outright, while its aligner runs leaves no file.
TEST(KvrPairs, AStoppedShardLeavesNoFile) {
    for (const int signal : {SIGTERM, SIGKILL}) {
        TempFolder folder;
        const std::string out = folder.File("shard.tsv");
        const pid_t child = ::fork();
        if (child == 0) {
            ::setenv("KVR_MUSCLE", "sleep 20; cp {in} {out}", 1);
            ::setenv("TMPDIR", folder.Path().c_str(), 1);
            const std::string kvr = std::string(KVR_BIN_DIR) + "/kvr";
            const std::string input = DataFile("kvr_run/families.fasta");
            ::execl(kvr.c_str(), "kvr", "pairs", input.c_str(), "--shard", "1/2", "--out",
                    out.c_str(), "--aligner", "muscle", "--quiet", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        // The aligners have started when the run's exchange folder is there.
        const auto started = [&] {
            for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
                if (entry.path().filename().string().starts_with("run-")) return true;
            return false;
        };
        for (int wait = 0; wait < 500 && !started(); ++wait)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ASSERT_TRUE(started());
        ::kill(child, signal);
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_FALSE(std::filesystem::exists(out)) << signal;
        // Killed outright, it leaves no temporary file either: one is made only to write the
        // shard once its pairs are aligned (a killed run's exchange folder stays, in TMPDIR).
        for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
            EXPECT_TRUE(entry.path().filename().string().starts_with("run-")) << entry.path();
        if (signal == SIGTERM) {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 143) << status;
            // Nothing at all is left: no half-written file, no exchange folder.
            EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
        }
    }
}

}  // namespace
}  // namespace kvr
