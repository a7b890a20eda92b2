// The library against kvr itself: the same table, order and session bytes for the same input, the
// pair aligner against MUSCLE's counted pair, and every refusal with its status and message.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "kvr/kvr.h"
#include "support/run_program.h"
#include "support/temp_folder.h"

namespace kvr::api {
namespace {

using kvr::testing::DataFile;
using kvr::testing::RunProgram;
using kvr::testing::TempFolder;

std::string TableOf(const Analysis& analysis) {
    std::ostringstream out;
    const Result written = WriteTable(out, analysis);
    EXPECT_TRUE(written.Ok()) << written.message;
    return out.str();
}

std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

Analysis RunOrFail(const std::string& path, const RunOptions& options = {}) {
    Analysis analysis;
    const Result result = RunFile(path, options, analysis);
    EXPECT_TRUE(result.Ok()) << StatusName(result.status) << ": " << result.message;
    return analysis;
}

// A session's text or a record without its date, the one field two runs never share.
std::string WithoutDate(const std::string& session) {
    const std::size_t at = session.find("#date\t");
    if (at == std::string::npos) return session;
    return session.substr(0, at) + session.substr(session.find('\n', at) + 1);
}
Provenance WithoutDate(Provenance record) {
    std::erase_if(record.entries, [](const auto& entry) { return entry.first == "date"; });
    return record;
}

// The display order kvr run prints: the input number of each row, from 1.
std::vector<int> PrintedOrder(const std::string& out) {
    std::vector<int> order;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) order.push_back(std::stoi(line) - 1);
    return order;
}

TEST(ApiRun, GivesTheTableOfKvrRunByteForByte) {
    const Analysis analysis = RunOrFail(DataFile("rrna5s_48.fasta"));
    const auto kvr =
        RunProgram("kvr", {"run", DataFile("rrna5s_48.fasta"), "--table", "-", "--quiet"});
    ASSERT_EQ(kvr.status, 0) << kvr.err;
    EXPECT_EQ(TableOf(analysis), kvr.out);

    ASSERT_EQ(analysis.Size(), 48u);
    EXPECT_EQ(analysis.identity.size(), 48u * 48u);
    EXPECT_EQ(analysis.counts.size(), 48u * 47u / 2);
    for (std::size_t i = 0; i < 48; ++i) {
        EXPECT_EQ(analysis.order[i], static_cast<int>(i));
        EXPECT_EQ(analysis.Identity(i, i), 1.0f);
        for (std::size_t j = 0; j < i; ++j)
            EXPECT_EQ(analysis.Identity(i, j), analysis.Identity(j, i));
    }
    EXPECT_EQ(analysis.names[0], "Saccharomyces");
    EXPECT_TRUE(analysis.warnings.empty());

    // A compressed copy is the same input.
    const Analysis packed = RunOrFail(DataFile("compressed/rrna5s_48.fasta.gz"));
    EXPECT_EQ(packed.identity, analysis.identity);
    EXPECT_EQ(packed.names, analysis.names);
}

TEST(ApiRun, OrdersByTheTreeAsKvrRunDoes) {
    RunOptions options;
    options.tree = true;
    options.threads = 2;
    const Analysis tree = RunOrFail(DataFile("rrna5s_48.fasta"), options);
    const auto kvr = RunProgram("kvr", {"run", DataFile("rrna5s_48.fasta"), "--tree", "--quiet"});
    ASSERT_EQ(kvr.status, 0) << kvr.err;
    EXPECT_EQ(tree.order, PrintedOrder(kvr.out));
    std::vector<int> inputOrder(48);
    for (int k = 0; k < 48; ++k) inputOrder[k] = k;
    EXPECT_NE(tree.order, inputOrder);
    // The identities stay in input order, whatever the display order.
    EXPECT_EQ(tree.identity, RunOrFail(DataFile("rrna5s_48.fasta")).identity);
}

TEST(ApiRun, RecordsInMemoryAreAnalysedAsTheirFile) {
    const Analysis file = RunOrFail(DataFile("rrna5s_48.fasta"));
    std::vector<Sequence> records;
    for (std::size_t i = 0; i < file.Size(); ++i)
        records.push_back({file.names[i], file.residues[i]});
    Analysis memory;
    const Result result = RunRecords(records, {}, memory);
    ASSERT_TRUE(result.Ok()) << result.message;
    EXPECT_EQ(memory.identity, file.identity);
    EXPECT_EQ(memory.names, file.names);
    EXPECT_EQ(memory.counts, file.counts);

    // Residues over several lines and with gaps are cleaned as a file's are.
    Analysis split;
    ASSERT_TRUE(
        RunRecords({{"a", "ACGT-ACGT\nACGTAA"}, {"b", "acgtacgtacgtaa"}, {"c", "ACCTACGTAGGT"}}, {},
                   split)
            .Ok());
    EXPECT_EQ(split.residues[0], "ACGTACGTACGTAA");
}

TEST(ApiRun, ProgressSeesEveryStepAndCancels) {
    std::vector<std::string> steps;
    bool fractionsInRange = true;
    RunOptions options;
    options.progress = [&](std::string_view step, double fraction) {
        if (steps.empty() || steps.back() != step) steps.emplace_back(step);
        fractionsInRange = fractionsInRange && fraction >= 0 && fraction <= 1;
        return true;
    };
    RunOrFail(DataFile("rrna5s_48.fasta"), options);
    EXPECT_TRUE(fractionsInRange);
    const auto seen = [&](std::string_view start) {
        return std::any_of(steps.begin(), steps.end(),
                           [&](const std::string& s) { return s.starts_with(start); });
    };
    EXPECT_TRUE(seen("Aligning")) << ::testing::PrintToString(steps);
    EXPECT_TRUE(seen("Creating bins"));
    EXPECT_EQ(steps.back(), "Done");

    // One false at the first pair cancels the run, for the built-in aligner and an external one.
    for (const std::string aligner : {"builtin", "muscle"}) {
        bool answered = false;
        options.aligner = aligner;
        options.progress = [&](std::string_view step, double) {
            if (answered || !step.starts_with("Aligning")) return true;
            answered = true;
            return false;
        };
        Analysis analysis;
        const Result result = RunFile(DataFile("rrna5s_48.fasta"), options, analysis);
        EXPECT_EQ(result.status, Status::Cancelled) << aligner << ": " << result.message;
        EXPECT_EQ(analysis.Size(), 0u);
    }
}

TEST(ApiErrors, EachRefusalHasItsStatusAndKvrsMessage) {
    TempFolder temp;
    const std::string one = temp.Write("one.fasta", ">a\nACGT\n");
    const std::string binary = temp.Write("binary.fasta", std::string("\x7f"
                                                                      "ELF\0\0\1",
                                                                      7));
    struct Case {
        std::string what;
        Result result;
        Status status;
        std::string message;  // a part of it
    };
    const auto run = [](const std::string& path, const RunOptions& options = {}) {
        Analysis analysis;
        return RunFile(path, options, analysis);
    };
    const auto records = [](const std::vector<Sequence>& given) {
        Analysis analysis;
        return RunRecords(given, {}, analysis);
    };
    const auto pair = [](std::string_view a, std::string_view b, std::string aligner = "builtin") {
        AlignedPair out;
        PairOptions options;
        options.aligner = std::move(aligner);
        return AlignPair(a, b, options, out);
    };
    RunOptions blast;
    blast.aligner = "blast";
    RunOptions negative;
    negative.threads = -1;
    RunOptions many;
    many.threads = 100000;
    const Case cases[] = {
        {"missing file", run(temp.File("none.fasta")), Status::FileError,
         "the file does not exist"},
        {"folder", run(temp.Path()), Status::FileError, "Failed to read " + temp.Path()},
        {"binary", run(binary), Status::InvalidInput, "not a text file"},
        {"one record", run(one), Status::InvalidInput,
         "Only one record found, add more sequences and try again."},
        {"identical", records({{"a", "ACGT"}, {"b", "ACGT"}}), Status::InvalidInput,
         "All sequences are identical, the analysis cannot be performed."},
        {"line end in a name", records({{"a\nb", "ACGT"}, {"c", "AC"}}), Status::InvalidInput,
         "record 1: its name holds a line end"},
        {"> in residues", records({{"a", "AC"}, {"c", "A>C"}}), Status::InvalidInput,
         "record 2: its residues hold \">\""},
        {"unknown aligner", run(DataFile("rrna5s_48.fasta"), blast), Status::InvalidArgument,
         "blast"},
        {"negative threads", run(DataFile("rrna5s_48.fasta"), negative), Status::InvalidArgument,
         "threads"},
        {"too many threads", run(DataFile("rrna5s_48.fasta"), many), Status::InvalidArgument,
         "256"},
        {"empty sequence", pair("", "ACGT"), Status::InvalidInput,
         "the first sequence has no residues"},
        {"> in a sequence", pair("ACGT", "AC>GT"), Status::InvalidInput,
         "the second sequence holds \">\""},
        {"unknown pair aligner", pair("ACGT", "ACGA", "blast"), Status::InvalidArgument,
         "unknown aligner 'blast'"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.result.status, c.status) << c.what << ": " << c.result.message;
        EXPECT_NE(c.result.message.find(c.message), std::string::npos)
            << c.what << ": " << c.result.message;
    }

    // An aligner that is not installed is named before anything runs.
    ::setenv("KVR_MUSCLE", "/nonexistent/muscle -align {in} -output {out}", 1);
    RunOptions muscle;
    muscle.aligner = "muscle";
    const Result missing = run(DataFile("rrna5s_48.fasta"), muscle);
    const Result missingPair = pair("ACGT", "ACGA", "muscle");
    ::unsetenv("KVR_MUSCLE");
    EXPECT_EQ(missing.status, Status::ProgramMissing) << missing.message;
    EXPECT_NE(missing.message.find("/nonexistent/muscle"), std::string::npos) << missing.message;
    EXPECT_EQ(missingPair.status, Status::ProgramMissing) << missingPair.message;
}

TEST(ApiPair, GivesTheRunsIdentityAndMusclesCounts) {
    const Analysis analysis = RunOrFail(DataFile("rrna5s_48.fasta"));
    // Records 1 and 3, whose MUSCLE alignment was counted by hand (tests/data/README.md): 121
    // columns, 9 with a gap, 45 mismatches.
    for (const std::string aligner : {"builtin", "muscle"}) {
        PairOptions options;
        options.aligner = aligner;
        AlignedPair pair;
        const Result result = AlignPair(analysis.residues[0], analysis.residues[2], options, pair);
        ASSERT_TRUE(result.Ok()) << aligner << ": " << result.message;
        EXPECT_EQ(pair.counts, (Counts{121, 112, 67})) << aligner;
        EXPECT_EQ(pair.identity, analysis.Identity(0, 2)) << aligner;
        EXPECT_EQ(pair.counts.gapFree, analysis.PairCounts(0, 2).gapFree);
        EXPECT_EQ(pair.counts.matches, analysis.PairCounts(0, 2).matches);
        EXPECT_EQ(pair.first.size(), 121u);
        std::string first = pair.first;
        std::erase(first, '-');
        EXPECT_EQ(first, analysis.residues[0]) << aligner;
    }
}

// The record of a run: kvr run's for the same input and options, the date aside, in kvr's keys
// and order; a session keeps it.
TEST(ApiSession, RecordIsKvrRunsForTheSameInputAndOptions) {
    TempFolder temp;
    const std::string input = temp.Write("seqs.fasta", FileText(DataFile("rrna5s_48.fasta")));
    const struct {
        const char* name;
        RunOptions options;
        std::vector<std::string> kvrOptions;
    } cases[] = {
        {"defaults", {}, {}},
        {"tree and time limit",
         [] {
             RunOptions options;
             options.tree = true;
             options.pairTimeoutSeconds = 30;
             return options;
         }(),
         {"--tree", "--pair-timeout", "30"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Analysis analysis = RunOrFail(input, c.options);
        std::vector<std::string> arguments = {"run", input, "--session", temp.File("kvr.kvr"),
                                              "--quiet"};
        arguments.insert(arguments.end(), c.kvrOptions.begin(), c.kvrOptions.end());
        const auto kvr = RunProgram("kvr", arguments);
        ASSERT_EQ(kvr.status, 0) << kvr.err;
        Analysis made;
        ASSERT_TRUE(ReadSession(temp.File("kvr.kvr"), made).Ok());
        ASSERT_FALSE(made.provenance.entries.empty());
        EXPECT_EQ(WithoutDate(analysis.provenance), WithoutDate(made.provenance));
        EXPECT_EQ(analysis.provenance.tree, made.provenance.tree);
        EXPECT_EQ(analysis.provenance.tree.empty(), !c.options.tree);
        EXPECT_EQ(analysis.provenance.Get("input"), input);
        EXPECT_EQ(analysis.provenance.Get("input-sha256").size(), 64u);
        EXPECT_EQ(analysis.provenance.Get("aligner"), "builtin");
        EXPECT_TRUE(analysis.provenance.Get("date").ends_with("Z"));
    }

    // Records in memory come from no file: named as such, their checksum unknown.
    const Analysis file = RunOrFail(input);
    std::vector<Sequence> records;
    for (std::size_t i = 0; i < file.Size(); ++i)
        records.push_back({file.names[i], file.residues[i]});
    Analysis memory;
    ASSERT_TRUE(RunRecords(records, {}, memory).Ok());
    EXPECT_EQ(memory.provenance.Get("input"), "the records");
    EXPECT_EQ(memory.provenance.Get("input-sha256"), "unknown");
    EXPECT_EQ(memory.provenance.Get("ambiguous"), file.provenance.Get("ambiguous"));
}

TEST(ApiSession, WrittenAsKvrWritesItAndReadBack) {
    TempFolder temp;
    RunOptions options;
    options.tree = true;
    const Analysis tree = RunOrFail(DataFile("rrna5s_48.fasta"), options);
    ASSERT_TRUE(WriteSession(temp.File("api.kvr"), tree).Ok());
    const auto kvr = RunProgram("kvr", {"run", DataFile("rrna5s_48.fasta"), "--tree", "--session",
                                        temp.File("kvr.kvr"), "--quiet"});
    ASSERT_EQ(kvr.status, 0) << kvr.err;
    // The same session, record and tree included, but for the date of the run.
    EXPECT_EQ(WithoutDate(FileText(temp.File("api.kvr"))),
              WithoutDate(FileText(temp.File("kvr.kvr"))));

    // Read back, the session's order is the display order of the run; its identities are the
    // session's texts (seven digits), so the file written again is the same file.
    Analysis read;
    const Result result = ReadSession(temp.File("api.kvr"), read);
    ASSERT_TRUE(result.Ok()) << result.message;
    ASSERT_EQ(read.Size(), tree.Size());
    EXPECT_TRUE(read.counts.empty());
    for (std::size_t d = 0; d < read.Size(); ++d) {
        const auto i = static_cast<std::size_t>(tree.order[d]);
        EXPECT_EQ(read.order[d], static_cast<int>(d));
        EXPECT_EQ(read.cleanNames[d], tree.cleanNames[i]);
        EXPECT_EQ(read.residues[d], tree.residues[i]);
        for (std::size_t e = 0; e < read.Size(); ++e)
            ASSERT_NEAR(read.Identity(d, e),
                        tree.Identity(i, static_cast<std::size_t>(tree.order[e])), 1e-6);
    }
    EXPECT_EQ(read.provenance, tree.provenance);
    ASSERT_TRUE(WriteSession(temp.File("again.kvr"), read).Ok());
    EXPECT_EQ(FileText(temp.File("again.kvr")), FileText(temp.File("api.kvr")));

    Analysis none;
    EXPECT_EQ(ReadSession(temp.File("none.kvr"), none).status, Status::FileError);
    const Result junk = ReadSession(temp.Write("junk.kvr", ">a\r\nACGT\r\n"), none);
    EXPECT_EQ(junk.status, Status::InvalidInput);
    EXPECT_NE(junk.message.find("[[[ ]]]"), std::string::npos) << junk.message;
    EXPECT_EQ(WriteSession(temp.File("none/x.kvr"), tree).status, Status::FileError);
    Analysis broken = tree;
    broken.identity.pop_back();
    EXPECT_EQ(WriteSession(temp.File("broken.kvr"), broken).status, Status::InvalidArgument);
    broken = tree;
    broken.order[0] = broken.order[1];
    EXPECT_EQ(WriteSession(temp.File("broken.kvr"), broken).status, Status::InvalidArgument);
    EXPECT_FALSE(std::filesystem::exists(temp.File("broken.kvr")));
}

}  // namespace
}  // namespace kvr::api
