// The session line of the pairs aligned in a bounded band: after the record, where the original
// reader never looks; read back by this reader; passed over when a program that does not know it
// carried it through an append; refused when damaged.
#include <gtest/gtest.h>

#include <sstream>

#include "io/session_file.h"
#include "io/session_marks.h"
#include "support/analysis_state.h"

namespace kvr {
namespace {

using MarkList = std::vector<IndexPair>;

// Three sequences a, b, c with their identities; the session of old that they make.
RunState ThreeMarkedSequences() {
    return testing::MakeAnalysis(
        3, [](int, int) { return 0.5f; }, [](int i) { return std::string(">") + char('a' + i); });
}
const std::string kMarkedOldLayout =
    "[[[>a\r\nACGT\r\n>b\r\nACGT\r\n>c\r\nACGT]]]\r\n0.5\r\n0.5\r\n0.5\r\n";

TEST(SessionMarks, FollowTheRecordAndReadBack) {
    const RunState state = ThreeMarkedSequences();
    Provenance record;
    record.Set("aligner", "builtin");
    record.tree = "((a,b),c);";
    const MarkList bounded = {{0, 2}, {1, 2}};
    const std::string text =
        FormatSession(state.SequenceList, state.IdentityMatrix, 3, record, bounded);
    ASSERT_TRUE(text.starts_with(kMarkedOldLayout)) << text;
    EXPECT_EQ(text.substr(kMarkedOldLayout.size()),
              "#kvr-provenance\t1\r\n#aligner\tbuiltin\r\n#bounded-pairs\t3: 1-3 2-3\r\n"
              "#tree\t((a,b),c);\r\n");
    const SessionContent content = ParseSession(text);
    ASSERT_EQ(content.fault, SessionFault::None) << content.detail;
    EXPECT_EQ(content.boundedPairs, bounded);
    EXPECT_EQ(content.provenance, record);  // not one of the record's keys
    EXPECT_EQ(FormatSession(content.records, content.identity, 3, content.provenance,
                            content.boundedPairs),
              text);

    // Marks without a record still open the "#" lines; no marks and no record: the layout of old.
    EXPECT_EQ(FormatSession(state.SequenceList, state.IdentityMatrix, 3, {}, {{0, 1}}),
              kMarkedOldLayout + "#kvr-provenance\t1\r\n#bounded-pairs\t3: 1-2\r\n");
    EXPECT_EQ(ParseSession(kMarkedOldLayout).boundedPairs, MarkList{});
}

TEST(SessionMarks, AnAnalysisWritesThemInItsDisplayOrder) {
    RunState state = ThreeMarkedSequences();
    // Display rows 0, 1, 2 show input sequences 2, 0, 1.
    state.treeOrder = {2, 0, 1, 3};
    state.boundedPairs = {{0, 1}, {1, 2}};
    std::ostringstream text;
    WriteSessionText(text, state);
    EXPECT_TRUE(text.str().ends_with("\r\n#bounded-pairs\t3: 1-3 2-3\r\n")) << text.str();
    EXPECT_TRUE(IsBoundedPair(state, 2, 1));   // inputs 1 and 0
    EXPECT_TRUE(IsBoundedPair(state, 0, 2));   // inputs 2 and 1
    EXPECT_FALSE(IsBoundedPair(state, 0, 1));  // inputs 2 and 0
}

TEST(SessionMarks, OtherCountsArePassedOverAndDamageIsRefused) {
    const std::string header = kMarkedOldLayout + "#kvr-provenance\t1\r\n#bounded-pairs\t";
    const struct {
        const char* what;
        std::string value;
        MarkList read;  // when sound
        bool damaged;
    } cases[] = {
        {"two pairs", "3: 1-3 2-3", {{0, 2}, {1, 2}}, false},
        {"none", "3:", {}, false},
        {"out of order, twice", "3: 2-3 1-3 2-3", {{0, 2}, {1, 2}}, false},
        {"of four sequences: carried through an append", "4: 1-4 2-3", {}, false},
        {"a pair the wrong way round", "3: 3-1", {}, true},
        {"a sequence past the count", "3: 1-4", {}, true},
        {"a sequence 0", "3: 0-1", {}, true},
        {"no count", ": 1-2", {}, true},
        {"no space", "3:1-2", {}, true},
        {"a space at the end", "3: 1-2 ", {}, true},
        {"a half pair", "3: 1-", {}, true},
    };
    for (const auto& c : cases) {
        const SessionContent content = ParseSession(header + c.value + "\r\n");
        if (c.damaged) {
            EXPECT_EQ(content.fault, SessionFault::Corrupted) << c.what;
            EXPECT_NE(content.detail.find("is not a list of pairs of sequences"), std::string::npos)
                << c.what << ": " << content.detail;
            continue;
        }
        ASSERT_EQ(content.fault, SessionFault::None) << c.what << ": " << content.detail;
        EXPECT_EQ(content.boundedPairs, c.read) << c.what;
        EXPECT_EQ(content.provenance.Get("bounded-pairs"), "") << c.what;
    }
    const SessionContent twice = ParseSession(header + "3: 1-2\r\n#bounded-pairs\t3: 1-3\r\n");
    EXPECT_NE(twice.detail.find("\"#bounded-pairs\" is given twice"), std::string::npos)
        << twice.detail;
}

}  // namespace
}  // namespace kvr
