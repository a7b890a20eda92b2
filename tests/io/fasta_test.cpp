#include "io/fasta.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <fstream>
#include <iterator>

#include "fakes/recording_window.h"
#include "support/compressed_data.h"
#include "support/temp_folder.h"
#include "ui/open_handlers.h"

namespace kvr {
namespace {

using testing::DataFile;
using testing::TempFolder;

class LoadFastaTest : public ::testing::Test {
  protected:
    RunState state;
    WindowView shown;
    RecordingWindow window;
    TempFolder folder;

    // A load as the window shows it: the loader's status and messages, then the window's part.
    LoadEnd Open(const std::string& path, FastaReport* report = nullptr) {
        FastaReport own;
        FastaReport& kept = report != nullptr ? *report : own;
        const LoadEnd end = LoadFasta(state, window.progress, path, {nullptr, &kept});
        ShowLoad(state, shown, window, end, kept);
        return end;
    }
    LoadEnd Append(const std::string& path, FastaReport* report = nullptr) {
        FastaReport own;
        FastaReport& kept = report != nullptr ? *report : own;
        const LoadEnd end = AppendFasta(state, window.progress, path, {nullptr, &kept});
        ShowLoad(state, shown, window, end, kept);
        return end;
    }

    LoadEnd Load(const std::string& content) { return Open(folder.Write("in.fas", content)); }

    void ExpectAnalysisControlsDisabled() {
        for (Control c :
             {Control::VScroll1,        Control::HScroll1,        Control::cmdDrawMat,
              Control::cmdPlot,         Control::cmdZoomIn,       Control::cmdZoomOut,
              Control::cmdColourScheme, Control::mnuSaveSimScore, Control::mnuSaveMatrix,
              Control::mnuSavePlot,     Control::mnuCopyMat,      Control::mnuCopyPlot,
              Control::mnuSaveSession,  Control::mnuSave,         Control::mnuAppend,
              Control::mnuRerun,        Control::lblCutoff1,      Control::updCutoff1,
              Control::lblCutoff1dsply, Control::lblCutoff2,      Control::lblCutoff2dsply})
            EXPECT_FALSE(window.IsEnabled(c)) << ControlName(c);
        EXPECT_FALSE(window.IsVisible(Control::keyPicture));
    }

    void ExpectFailureReset(LoadEnd end) {
        EXPECT_EQ(end, LoadEnd::Refused);
        EXPECT_EQ(window.Caption(Control::lblProgress), "Failed");
        EXPECT_EQ(window.Value(Control::ProgressBar1), 0);
        EXPECT_TRUE(window.IsEnabled(Control::mnuOpenFile));
        EXPECT_TRUE(window.IsDropEnabled(Control::frmMainForm));
        EXPECT_TRUE(window.IsDropEnabled(Control::ZoomingPicture));
        ExpectAnalysisControlsDisabled();
    }
};

TEST_F(LoadFastaTest, LoadsRealFileWithCaptionsAndAwaitingRunState) {
    window.SetEnabled(Control::mnuSave, true);
    ASSERT_EQ(Open(DataFile("rrna5s_48.fasta")), LoadEnd::Loaded);
    ASSERT_EQ(state.seqCount, 48);
    ASSERT_EQ(state.InputSequences.size(), 48u);
    EXPECT_EQ(state.InputSequences[0].name, ">Saccharomyces");
    EXPECT_EQ(state.InputSequences[1].name, ">Candida_albicans_1");
    EXPECT_EQ(state.InputSequences[0].residues,
              "GGUUGCGGCCAUAUCUACCAGAAAGCACCGUUCUCCGUCCGAUCAACUGUAGU"
              "UAAGCUGGUAAGAGCCUGACCGAGUAGUGUAGUGGGUGACCAUACGCGAAACUCAGGU"
              "GCUGCAAUCU");
    EXPECT_EQ(window.Caption(Control::frmMainForm), "Kavorin - version 1 | 48 sequences");
    EXPECT_EQ(window.Caption(Control::lblProgress), "48 sequences loaded");
    EXPECT_EQ(window.Value(Control::ProgressBar1), 0);
    const auto& statuses = window.captionHistory[Control::lblProgress];
    ASSERT_GE(statuses.size(), 4u);
    EXPECT_EQ(statuses[0], "please wait...");
    EXPECT_EQ(statuses[1], "");
    EXPECT_EQ(statuses[2], "Loading sequences");
    EXPECT_EQ(window.valueHistory[Control::ProgressBar1].end()[-2], 100);
    ExpectAnalysisControlsDisabled();
    size_t longest = 0;
    for (const Record& r : state.InputSequences) longest = std::max(longest, r.name.size());
    EXPECT_EQ(state.maxNameLen, static_cast<int>(longest));
}

TEST_F(LoadFastaTest, CrLfAndLfGiveIdenticalRecords) {
    const std::string lf =
        "; comment before the first record\n>s 1\nACGT\nAC\n>s:2\nAGGT\nTT\n>s3\nacgN?\n";
    std::string crlf;
    for (char c : lf) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    Load(lf);
    const RecordTable fromLf = state.InputSequences;
    Load(crlf);
    EXPECT_EQ(state.InputSequences, fromLf);
    ASSERT_EQ(fromLf.size(), 3u);
    EXPECT_EQ(fromLf[0], (Record{">s_1", "ACGTAC"}));
    EXPECT_EQ(fromLf[1], (Record{">s_2", "AGGTTT"}));
    EXPECT_EQ(fromLf[2], (Record{">s3", "acgN?"}));
}

TEST_F(LoadFastaTest, CleansNamesAndResidues) {
    ASSERT_EQ(Load("> AB-1 (x):y/z\\w\nAC-G T\tT\n>b\nA\bC\n"), LoadEnd::Loaded);
    EXPECT_EQ(state.InputSequences[0], (Record{">_AB1__x__y_z_w", "ACG TT"}));
    EXPECT_EQ(state.InputSequences[1], (Record{">b", "AC"}));
    EXPECT_EQ(state.maxNameLen, 15);
}

TEST_F(LoadFastaTest, KeepsEachNameAsTheFileGivesIt) {
    // CR LF, a tab, hyphens and the characters the cleaned name replaces; a name line holding a
    // further ">" gives two records whose names run to the line end, as their cleaned names do.
    ASSERT_EQ(Load("> AB-1 (x):y/z\\w\r\nAC\r\n>b\tc-d\r\nAG\r\n>e>f\nTT\n"), LoadEnd::Loaded);
    std::vector<std::string> given;
    for (const Record& record : state.InputSequences) given.push_back(record.givenName);
    EXPECT_EQ(given, (std::vector<std::string>{" AB-1 (x):y/z\\w", "b c-d", "e>f", "f"}));
}

TEST_F(LoadFastaTest, HeaderWithInnerGreaterThanStartsAnotherRecord) {
    const LoadEnd end = Load(">a>b\nACGT\n>c\nAGGT\n");
    ASSERT_EQ(state.seqCount, 3);
    EXPECT_EQ(end, LoadEnd::Loaded);
    // The first name line keeps its inner ">", and the record it starts repeats the residues.
    EXPECT_EQ(state.InputSequences[0], (Record{">a>b", "ACGT"}));
    EXPECT_EQ(state.InputSequences[1], (Record{">b", "ACGT"}));
    EXPECT_EQ(state.InputSequences[2], (Record{">c", "AGGT"}));
}

TEST_F(LoadFastaTest, MissingLastLineFeedLoads) {
    ASSERT_EQ(Load(">a\nACGT\n>b\nAGGT"), LoadEnd::Loaded);
    EXPECT_EQ(state.InputSequences[1], (Record{">b", "AGGT"}));
}

TEST_F(LoadFastaTest, IdenticalResiduesNeedOneOtherRecord) {
    EXPECT_EQ(Load(">a\nACGT\n>b\nACGT\n>c\nAGGT\n"), LoadEnd::Loaded);
    EXPECT_TRUE(window.messages.empty());

    EXPECT_EQ(Load(">a\nACGT\n>b\nACGT\n"), LoadEnd::Identical);
    EXPECT_EQ(window.messages.back(),
              "All sequences are identical, the analysis cannot be performed.");
    EXPECT_EQ(window.Caption(Control::lblProgress), "Failed");
    EXPECT_EQ(window.Caption(Control::frmMainForm), "Kavorin - version 1 | 2 sequences");
    EXPECT_EQ(state.seqCount, 2);
    ExpectAnalysisControlsDisabled();
}

TEST_F(LoadFastaTest, RefusalsKeepThePreviousTables) {
    Open(DataFile("rrna5s_48.fasta"));
    const RecordTable previous = state.InputSequences;
    struct Case {
        std::string content;
        std::string message;
        int seqCount;
    };
    const std::string unreadable = "Failed to read " + folder.File("in.fas") +
                                   ". Please check the content of the file and try again.";
    const Case cases[] = {
        {"", "No DNA sequence found, please  input a fasta file and try again.", 0},
        {"ACGT\nACGT\n", "No DNA sequence found, please  input a fasta file and try again.", 0},
        {">only\nACGT\n", "Only one record found, add more sequences and try again.", 1},
    };
    for (const Case& c : cases) {
        window.messages.clear();
        ExpectFailureReset(Load(c.content));
        ASSERT_EQ(window.messages.size(), 1u);
        EXPECT_EQ(window.messages[0], c.message);
        EXPECT_EQ(state.seqCount, c.seqCount);
        EXPECT_EQ(state.InputSequences, previous);
    }
    (void)unreadable;
}

TEST_F(LoadFastaTest, ReadFailuresShowThePath) {
    const std::string badFiles[] = {
        ">a\nACGT\n>b",            // last header without a line feed
        ">a\nACGT\n>b\n",          // header ends the file
        ">a\n>b\nACGT\n>c\nAG\n",  // record without residue lines
        // Residues empty once line ends, tabs and gaps are removed: an aligner cannot take them.
        ">a\n\n>b\nACGT\n",
        ">a\n   \n>b\nACGT\n",
        ">a\n--\t-\n>b\nACGT\n",
        ">a\nACGT\n>b\n - \n",
    };
    for (const std::string& content : badFiles) {
        window.messages.clear();
        ExpectFailureReset(Load(content));
        ASSERT_EQ(window.messages.size(), 1u) << content;
        EXPECT_EQ(window.messages[0], "Failed to read " + folder.File("in.fas") +
                                          ". Please check the content of the file and try again.");
    }
}

TEST_F(LoadFastaTest, FileProblemsAreSaidWithoutReadingOn) {
    ASSERT_EQ(::mkfifo(folder.File("fifo").c_str(), 0600), 0);
    // A device of the test's own (as /dev/zero), never a system path; only root may make one.
    const bool haveDevice =
        ::mknod(folder.File("zero").c_str(), S_IFCHR | 0600, ::makedev(1, 5)) == 0;
    folder.Write("binary.fas", std::string(">a\nAC\0GT\n>b\nAGGT\n", 17));
    folder.Write("noise.fas", ">a\n\x01\x02\x03\x04\x05\x06\x07\x0e\x0f\x10\n>b\nAC\n");
    folder.Write("cut.fas.gz", "\x1f\x8b\x08\x00garbage");
    folder.Write("broken.fas.gz",
                 std::string("\x1f\x8b\x08\x00\x00\x00\x00\x00\x00\x03\xff\xff", 12));
    const std::string check = " Please check the content of the file and try again.";
    struct Case {
        std::string path;
        std::string message;
    };
    const Case cases[] = {
        {folder.File("missing.fas"), ": the file does not exist."},
        {folder.Path(), ": it is a folder."},
        {folder.File("fifo"), ": it is not a regular file (a pipe, a device or a socket)."},
        {folder.File("zero"), ": it is not a regular file (a pipe, a device or a socket)."},
        {folder.File("binary.fas"),
         ": it is not a text file (it holds NUL bytes or mostly bytes that are not text)." + check},
        {folder.File("noise.fas"),
         ": it is not a text file (it holds NUL bytes or mostly bytes that are not text)." + check},
        {folder.File("cut.fas.gz"), ": the compressed data is cut short." + check},
        {folder.File("broken.fas.gz"), ": the compressed data is damaged." + check},
    };
    for (const Case& c : cases) {
        if (c.path == folder.File("zero") && !haveDevice) continue;
        window.messages.clear();
        ExpectFailureReset(Open(c.path));
        ASSERT_EQ(window.messages.size(), 1u) << c.path;
        EXPECT_EQ(window.messages[0], "Failed to read " + c.path + c.message);
        window.messages.clear();
        Append(c.path);
        ASSERT_EQ(window.messages.size(), 1u) << c.path;
        EXPECT_EQ(window.messages[0], "Failed to append " + c.path + c.message);
    }
}

TEST_F(LoadFastaTest, GzipCompressedFilesLoadLikeTheirText) {
    Open(DataFile("rrna5s_48.fasta"));
    const RecordTable plain = state.InputSequences;
    // Written by gzip -9n; the second file is two gzip members one after the other.
    ASSERT_EQ(Open(DataFile("compressed/rrna5s_48.fasta.gz")), LoadEnd::Loaded)
        << window.messages.back();
    EXPECT_EQ(state.InputSequences, plain);
    ASSERT_EQ(Open(DataFile("compressed/two_members.gz")), LoadEnd::Loaded);
    EXPECT_EQ(state.InputSequences, (RecordTable{{">a", "ACGT"}, {">b", "AGGT"}, {">c", "ACGA"}}));
}

TEST_F(LoadFastaTest, XzBzip2AndZstdFilesLoadLikeTheirText) {
    std::ifstream file(DataFile("rrna5s_48.fasta"), std::ios::binary);
    const std::string text(std::istreambuf_iterator<char>(file), {});
    Open(DataFile("rrna5s_48.fasta"));
    const RecordTable plain = state.InputSequences;
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"rrna5s_48.fasta.xz", testing::XzStream(text)},
        {"rrna5s_48.fasta.bz2", testing::Bzip2Stream(text)},
        {"rrna5s_48.fasta.zst", testing::ZstdFrame(text)},
        // The bytes tell the format, not the name.
        {"rrna5s_48.fasta", testing::ZstdFrame(text)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        state = RunState{};
        ASSERT_EQ(Open(folder.Write(c.name, c.bytes)), LoadEnd::Loaded) << window.messages.back();
        EXPECT_EQ(state.InputSequences, plain);
    }
}

TEST_F(LoadFastaTest, WarningsAreCountedInTheStatusAndListedWithLines) {
    struct Case {
        std::string content;
        std::string status;
        std::vector<std::pair<FastaWarningKind, std::size_t>> warnings;
    };
    const Case cases[] = {
        {">a\nACGT\n>b\nAGGT\n", "2 sequences loaded", {}},
        {"; note\n>a>b\nACGT\n>c\nAGGT\n",
         "3 sequences loaded - check the file: 1 name line holding a further \">\"",
         {{FastaWarningKind::FurtherRecordInName, 2}}},
        {">a\nACGT\n>b\nAGGT\n\n>a\nTTTT\n>a\nCC\n",
         "4 sequences loaded - check the file: 2 duplicate names",
         {{FastaWarningKind::DuplicateName, 6}, {FastaWarningKind::DuplicateName, 8}}},
        {">a,1\nACGT\n>b\nAGGT\n",
         "2 sequences loaded - check the file: 1 name with a comma",
         {{FastaWarningKind::CommaInName, 1}}},
        // Protein, and DNA with many ambiguity codes; lower case and N count as nucleotides.
        {">p\nMKVLEFIQP\n>d\nRYSWKMRYAC\n>n\nacgunnnNNT\n",
         "3 sequences loaded - check the file: 2 sequences that do not look like nucleotides",
         {{FastaWarningKind::NotNucleotide, 1}, {FastaWarningKind::NotNucleotide, 3}}},
    };
    for (const Case& c : cases) {
        FastaReport report;
        ASSERT_EQ(Open(folder.Write("in.fas", c.content), &report), LoadEnd::Loaded) << c.content;
        EXPECT_EQ(window.Caption(Control::lblProgress), c.status);
        std::vector<std::pair<FastaWarningKind, std::size_t>> found;
        for (const FastaWarning& w : report.warnings) found.emplace_back(w.kind, w.line);
        EXPECT_EQ(found, c.warnings) << c.content;
    }
}

TEST_F(LoadFastaTest, WarningTextsAreShortAndPrintable) {
    // 30 duplicates: 10 listed, all counted; a name with an escape byte is shown escaped and cut.
    std::string content = ">x\nAC\n";
    for (int i = 0; i < 30; ++i) content += ">x\nAC\n";
    content += ">\x1b[31m" + std::string(200, 'n') + ",\nACGT\n";
    FastaReport report;
    ASSERT_EQ(Open(folder.Write("in.fas", content), &report), LoadEnd::Loaded);
    EXPECT_EQ(report.counts[static_cast<std::size_t>(FastaWarningKind::DuplicateName)], 30u);
    EXPECT_EQ(report.warnings.size(), 11u);
    EXPECT_EQ(report.warnings.back().text,
              "the name >\\x1b[31m" + std::string(54, 'n') +
                  "... holds a comma: the fields of the score table cannot be told apart");
    // The status line's details list them with their lines, and say how many more.
    const std::string details = window.ToolTip(Control::lblProgress);
    EXPECT_EQ(details, report.Details());
    EXPECT_TRUE(details.starts_with("line 3: ")) << details;
    EXPECT_NE(details.find("\n20 more like the last"), std::string::npos) << details;
}

TEST_F(LoadFastaTest, AppendWarnsOfNamesAlreadyLoaded) {
    Load(">a\nACGT\n>b\nAGGT\n");
    state.SequenceList = state.InputSequences;
    FastaReport report;
    ASSERT_EQ(Append(folder.Write("more.fas", ">c\nAC\n>b\nTT\n"), &report), LoadEnd::Loaded);
    ASSERT_EQ(report.warnings.size(), 1u);
    EXPECT_EQ(report.warnings[0].line, 3u);
    EXPECT_EQ(report.warnings[0].text, "the name >b is also the name of a sequence already loaded");
}

TEST(EstimateLoadBytes, GrowsWithOverlappingNames) {
    // One name line of k ">" makes k records whose names overlap: about k * k / 2 bytes of names,
    // and each repeats the residues.
    const std::string marks = std::string(100000, '>') + "\nACGT\n";
    EXPECT_GT(EstimateLoadBytes(marks), 100000ull * 100001 / 2 + 100000ull * 4);
    EXPECT_LT(EstimateLoadBytes(marks), 100000ull * 100001 / 2 + 100000ull * 300);
    const std::string two = ">a\nAC\n>b\nAG\n";
    EXPECT_LT(EstimateLoadBytes(two), 1000u);
}

TEST_F(LoadFastaTest, ProgressRefreshesOnlyWhenThePercentageChanges) {
    std::string big;
    for (int i = 0; i < 400; ++i)
        big += ">s" + std::to_string(i) + "\nACGTACGTAC" + std::to_string(i) + "\n";
    ASSERT_EQ(Load(big), LoadEnd::Loaded);
    const auto& values = window.valueHistory[Control::ProgressBar1];
    EXPECT_LE(values.size(), 103u);
    for (size_t i = 1; i + 1 < values.size(); ++i) EXPECT_LT(values[i - 1], values[i]);
    EXPECT_GE(window.eventPumps, 400);  // above 150 records the window gets every record
}

}  // namespace
}  // namespace kvr
