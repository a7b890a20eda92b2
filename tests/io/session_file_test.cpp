// The session layout, byte for byte, and the reader's refusal of every kind of damaged file.
#include "io/session_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "io/fasta.h"
#include "io/file_io.h"
#include "io/number_text.h"
#include "support/analysis_state.h"
#include "support/temp_folder.h"

namespace kvr {
namespace {

using testing::MakeAnalysis;

std::string ThreeSequenceSession() {
    return "[[[>a\r\nACGT\r\n>b\r\nACGA\r\n>c\r\nTCGA]]]\r\n0.75\r\n0.5\r\n0.75\r\n";
}

RunState ThreeSequences() {
    RunState state = MakeAnalysis(
        3, [](int i, int j) { return i == 0 && j == 2 ? 0.5f : 0.75f; },
        [](int i) { return std::string(">") + char('a' + i); });
    state.SequenceList[0].residues = "ACGT";
    state.SequenceList[1].residues = "ACGA";
    state.SequenceList[2].residues = "TCGA";
    return state;
}

TEST(SessionFile, WritesTheLayoutByteForByte) {
    const RunState state = ThreeSequences();
    EXPECT_EQ(FormatSession(state.SequenceList, state.IdentityMatrix, 3), ThreeSequenceSession());
    // The lower triangle row by row: (1,0), (2,0), (2,1), (3,0), ...
    const RunState four =
        MakeAnalysis(4, [](int i, int j) { return (i + 1) / 10.0f + j / 100.0f; });
    const std::string text = FormatSession(four.SequenceList, four.IdentityMatrix, 4);
    EXPECT_NE(text.find("]]]\r\n0.11\r\n0.12\r\n0.22\r\n0.13\r\n0.23\r\n0.33\r\n"),
              std::string::npos)
        << text;
}

TEST(SessionFile, ReadsWhatItWrites) {
    const SessionContent content = ParseSession(ThreeSequenceSession());
    ASSERT_EQ(content.fault, SessionFault::None) << content.detail;
    const RunState state = ThreeSequences();
    EXPECT_EQ(content.records, state.SequenceList);
    EXPECT_EQ(content.identity, state.IdentityMatrix);
    EXPECT_EQ(content.maxNameLen, 2);
}

// Every name the loader accepts comes back from a session: brackets and ">" inside names too.
TEST(SessionFile, EveryNameTheLoaderAcceptsRoundTrips) {
    const std::string fasta =
        CleanFastaText(">x]]]y\nACGT\n>[[[b\nACGA\n>c>d e\nTTGA\n>]]]\nAC]]]\n>z]]]\nGGGA\n");
    RecordTable records(6);
    int maxNameLen = 0;
    ASSERT_TRUE(ParseFastaRecords(fasta, records, 0, maxNameLen));
    const int n = static_cast<int>(records.size());
    IdentityTable identity(n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) identity(i, j) = i == j ? 1.0f : 0.25f + 0.125f * (i + j) / 8;
    const SessionContent content = ParseSession(FormatSession(records, identity, n));
    ASSERT_EQ(content.fault, SessionFault::None) << content.detail;
    EXPECT_EQ(content.records, records);
    EXPECT_EQ(content.identity, identity);
    EXPECT_EQ(content.maxNameLen, maxNameLen);
}

TEST(SessionFile, AcceptsLineFeedsAlone) {
    std::string text = ThreeSequenceSession();
    std::erase(text, '\r');
    const SessionContent content = ParseSession(text);
    ASSERT_EQ(content.fault, SessionFault::None) << content.detail;
    EXPECT_EQ(content.records, ThreeSequences().SequenceList);
}

TEST(SessionFile, RoundTripOfRealDataKeepsSevenSignificantDigits) {
    RunState loaded;
    testing::TempFolder folder;
    const auto fasta = ReadWholeFile(testing::DataFile("rrna5s_48.fasta"));
    ASSERT_TRUE(fasta);
    const std::string cleaned = CleanFastaText(*fasta);
    RecordTable records(48);
    int maxNameLen = 0;
    ASSERT_TRUE(ParseFastaRecords(cleaned, records, 0, maxNameLen));
    std::mt19937 random(7);
    std::uniform_real_distribution<float> identity(0.0f, 1.0f);
    RunState state = MakeAnalysis(48, [&](int, int) { return identity(random); });
    state.SequenceList = records;

    const SessionContent content =
        ParseSession(FormatSession(state.SequenceList, state.IdentityMatrix, 48));
    ASSERT_EQ(content.fault, SessionFault::None) << content.detail;
    EXPECT_EQ(content.records, records);
    EXPECT_EQ(content.maxNameLen, maxNameLen);
    for (int i = 0; i < 48; ++i)
        for (int j = 0; j < 48; ++j) {
            EXPECT_EQ(content.identity(i, j), content.identity(j, i));
            EXPECT_EQ(PlainSingle(content.identity(i, j)), PlainSingle(state.IdentityMatrix(i, j)));
        }
}

TEST(SessionFile, RefusesEveryDamagedFile) {
    const std::string good = ThreeSequenceSession();
    const auto without = [&good](const std::string& part) {
        std::string text = good;
        text.erase(text.find(part), part.size());
        return text;
    };
    const auto replaced = [&good](const std::string& part, const std::string& by) {
        std::string text = good;
        text.replace(text.find(part), part.size(), by);
        return text;
    };
    const struct {
        const char* what;
        std::string text;
        SessionFault fault;
    } cases[] = {
        {"no opening brackets", without("[[["), SessionFault::NoBrackets},
        {"no closing brackets", without("]]]"), SessionFault::NoBrackets},
        {"a plain FASTA file", ">a\r\nACGT\r\n>b\r\nACGA\r\n", SessionFault::NoBrackets},
        {"no name line", "[[[ACGT]]]\r\n", SessionFault::NoSequence},
        {"an identity line missing", without("0.5\r\n"), SessionFault::Corrupted},
        {"truncated in the identities", good.substr(0, good.size() - 4), SessionFault::Corrupted},
        {"truncated in the sequences", good.substr(0, 20) + "]]]", SessionFault::Corrupted},
        {"an identity that is not a number", replaced("0.5\r\n", "x\r\n"), SessionFault::Corrupted},
        {"a number followed by text", replaced("0.5\r\n", "0.5x\r\n"), SessionFault::Corrupted},
        {"a comma as decimal mark", replaced("0.5\r\n", "0,5\r\n"), SessionFault::Corrupted},
        {"an identity above 1", replaced("0.5\r\n", "1.5\r\n"), SessionFault::Corrupted},
        {"a percentage", replaced("0.5\r\n", "50\r\n"), SessionFault::Corrupted},
        {"a negative identity", replaced("0.5\r\n", "-0.5\r\n"), SessionFault::Corrupted},
        {"not a number at all", replaced("0.5\r\n", "nan\r\n"), SessionFault::Corrupted},
        {"an empty identity line", replaced("0.5\r\n", "\r\n"), SessionFault::Corrupted},
        {"an extra identity", good + "0.5\r\n", SessionFault::Corrupted},
        {"a sequence split over two lines", replaced(">b\r\nACGA", ">b\r\nAC\r\nGA"),
         SessionFault::Corrupted},
        {"brackets in the wrong order", "]]]>a\r\nA\r\n[[[\r\n", SessionFault::Corrupted},
    };
    for (const auto& c : cases) {
        const SessionContent content = ParseSession(c.text);
        EXPECT_EQ(content.fault, c.fault) << c.what;
        if (c.fault == SessionFault::Corrupted) {
            EXPECT_FALSE(content.detail.empty()) << c.what;
        }
    }
    // Trailing empty lines are no damage.
    EXPECT_EQ(ParseSession(good + "\r\n").fault, SessionFault::None);
}

// A record with every kind of value the escapes must carry: tabs, line ends, backslashes, and
// brackets that would close the sequences again.
Provenance AwkwardRecord() {
    Provenance record;
    record.Set("program", "kvr 1.0.0");
    record.Set("aligner", "muscle");
    record.Set("aligner-version", "muscle 5.2.linux64 [-]");
    record.Set("aligner-command", "muscle\t-align {in} \\ -output {out}\r\nmore");
    record.Set("input", "in]]]put]]].fasta");
    record.tree = "(('a]]]',b):0.1,c:0.2);";
    return record;
}

TEST(SessionFile, KeepsHowTheIdentitiesWereMadeAfterThemWhereTheOriginalReaderStops) {
    const RunState state = ThreeSequences();
    const Provenance record = AwkwardRecord();
    const std::string text = FormatSession(state.SequenceList, state.IdentityMatrix, 3, record);
    // Up to the last identity the layout of old, byte for byte; then only "#" lines, none of
    // which the original reader, which reads 2n + n(n-1)/2 lines, ever reaches.
    ASSERT_TRUE(text.starts_with(ThreeSequenceSession())) << text;
    const std::string tail = text.substr(ThreeSequenceSession().size());
    EXPECT_EQ(tail,
              "#kvr-provenance\t1\r\n"
              "#program\tkvr 1.0.0\r\n"
              "#aligner\tmuscle\r\n"
              "#aligner-version\tmuscle 5.2.linux64 [-]\r\n"
              "#aligner-command\tmuscle\\t-align {in} \\\\ -output {out}\\r\\nmore\r\n"
              "#input\tin]\\]\\]put]\\]\\].fasta\r\n"
              "#tree\t(('a]\\]\\]',b):0.1,c:0.2);\r\n");
    EXPECT_EQ(text.rfind("]]]"), ThreeSequenceSession().find("]]]"));

    const SessionContent content = ParseSession(text);
    ASSERT_EQ(content.fault, SessionFault::None) << content.detail;
    EXPECT_EQ(content.records, state.SequenceList);
    EXPECT_EQ(content.identity, state.IdentityMatrix);
    EXPECT_EQ(content.provenance, record);
    // Written again, the same bytes: kvr show passes a session on unchanged.
    EXPECT_EQ(FormatSession(content.records, content.identity, 3, content.provenance), text);

    // A session of old has no record; a session of one sequence has no identity before it.
    EXPECT_FALSE(ParseSession(ThreeSequenceSession()).provenance.Known());
    const std::string one = FormatSession(state.SequenceList, state.IdentityMatrix, 1, record);
    EXPECT_TRUE(one.starts_with("[[[>a\r\nACGT]]]\r\n#kvr-provenance\t1\r\n")) << one;
    EXPECT_EQ(ParseSession(one).provenance, record);
}

TEST(SessionFile, ReadsOnlyASoundRecordAfterTheIdentities) {
    const std::string good = ThreeSequenceSession();
    const std::string header = "#kvr-provenance\t1\r\n";
    const struct {
        const char* what;
        std::string tail;
        std::string detail;  // "" when the session is read
    } cases[] = {
        {"a record", header + "#aligner\tbuiltin\r\n", ""},
        {"empty lines around it", "\r\n" + header + "\r\n#aligner\tbuiltin\r\n\r\n", ""},
        {"a later version with a key of its own", "#kvr-provenance\t2\r\n#colour\tred\r\n", ""},
        {"a record line before the first", "#aligner\tbuiltin\r\n" + header,
         "line 10: '#aligner\tbuiltin' comes before \"#kvr-provenance\""},
        {"no version", "#kvr-provenance\tx\r\n", "comes before"},
        {"a line without its tab", header + "#aligner\r\n", "is not a \"#key<TAB>value\" line"},
        {"a key given twice", header + "#aligner\ta\r\n#aligner\tb\r\n",
         "line 12: \"#aligner\" is given twice"},
        {"a second record", header + header, "is given twice"},
        {"an escape that stands for nothing", header + "#aligner\tmus\\cle\r\n",
         "holds a backslash that stands for nothing"},
        {"an identity after the record", header + "0.5\r\n", "line 11: more lines than identities"},
        {"a record cut short", header + "#aligner\tbuil", "line 11: the file is cut short"},
    };
    for (const auto& c : cases) {
        const SessionContent content = ParseSession(good + c.tail);
        if (c.detail.empty()) {
            EXPECT_EQ(content.fault, SessionFault::None) << c.what << ": " << content.detail;
            EXPECT_TRUE(content.provenance.Known()) << c.what;
        } else {
            EXPECT_EQ(content.fault, SessionFault::Corrupted) << c.what;
            EXPECT_NE(content.detail.find(c.detail), std::string::npos)
                << c.what << ": " << content.detail;
        }
    }
    EXPECT_EQ(
        ParseSession(good + "#kvr-provenance\t2\r\n#colour\tred\r\n").provenance.Get("colour"),
        "red");
}

TEST(SessionFile, ASessionTooShortForItsIdentitiesIsRefusedBeforeTheTableIsMade) {
    // 200,000 names would make a table of 160 GB; the file holds a few identities only.
    std::string text = "[[[";
    for (int k = 0; k < 200000; ++k) text += ">s\r\nA\r\n";
    text.replace(text.size() - 2, 2, "]]]\r\n");
    text += "0.5\r\n0.5\r\n";
    const SessionContent content = ParseSession(text);
    EXPECT_EQ(content.fault, SessionFault::Corrupted);
    EXPECT_EQ(content.detail, "the file is too short for the identities of 200000 sequences");
}

// A large session is read once from start to end: what has been read is given back, in order,
// and the table read is the one a reader that keeps everything gets.
TEST(SessionFile, GivesBackWhatItHasReadOfALargeSession) {
    const int n = 2100;  // about 24 MB of text
    std::mt19937 random(5);
    RecordTable records;
    for (int k = 0; k < n; ++k) records.push_back({">s" + std::to_string(k), "ACGT"});
    IdentityTable identity(n, 1.0f);
    for (int a = 0; a < n; ++a)
        for (int b = 0; b < a; ++b) identity(a, b) = static_cast<float>(random() % 1000001) / 1e6f;
    const std::string text = FormatSession(records, identity, n);

    std::vector<std::size_t> released;
    const SessionContent read =
        ParseSession(text, {}, [&released](std::size_t bytes) { released.push_back(bytes); });
    ASSERT_EQ(read.fault, SessionFault::None) << read.detail;
    EXPECT_EQ(read.identity, ParseSession(text).identity);
    EXPECT_EQ(read.records, records);
    ASSERT_FALSE(released.empty());
    EXPECT_TRUE(std::is_sorted(released.begin(), released.end()));
    EXPECT_LT(released.back(), text.size());
    EXPECT_EQ(text[released.front() - 1], '\n');  // whole lines only
}

TEST(SessionFile, ExponentFormIdentitiesReadBack) {
    RunState state = MakeAnalysis(2, [](int, int) { return 8.333334E-08f; });
    const SessionContent content =
        ParseSession(FormatSession(state.SequenceList, state.IdentityMatrix, 2));
    ASSERT_EQ(content.fault, SessionFault::None);
    EXPECT_NE(FormatSession(state.SequenceList, state.IdentityMatrix, 2).find("8.333334E-08"),
              std::string::npos);
    EXPECT_EQ(content.identity(1, 0), 8.333334E-08f);
}

}  // namespace
}  // namespace kvr
