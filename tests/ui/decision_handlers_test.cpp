// The window's entries for a decision: the groups at the first cut-off (saved as kvr writes them,
// and listed), the tree, the record of how the identities were made (the window's runs keep their
// own), and an append that would mix aligners or ambiguity rules.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "io/checksum.h"
#include "io/file_io.h"
#include "kvr_version.h"
#include "support/window_fixture.h"

namespace kvr {
namespace {

using Rows = std::vector<std::vector<std::string>>;

// A session of three sequences whose record says MUSCLE made its identities and keeps the tree
// that ordered them (a and b alike, c apart).
constexpr const char* kMuscleSession =
    "[[[>a\r\nACGTACGTTAGCATCGATCG\r\n>b\r\nACGTACGTTAGCATCGATCC\r\n>c\r\nTTGACCGATCGAGGGCTAGC]]]"
    "\r\n"
    "0.95\r\n0.3\r\n0.35\r\n"
    "#kvr-provenance\t1\r\n#program\tkvr 1.0.0\r\n#command\trun\r\n#aligner\tmuscle\r\n"
    "#aligner-version\tmuscle 5.1\r\n#tree-order\tyes\r\n#input\tabc.fasta\r\n"
    "#tree\t((a:0.1,b:0.2):0.05,c:0.3);\r\n";

class DecisionHandlersTest : public testing::WindowTest {
  protected:
    std::string fileA = data.Write("a.fasta", testing::kFourSequences);
    std::string fileB = data.Write("b.fasta", testing::kThreeSequences);
    std::string session = data.Write("abc.kvr", kMuscleSession);

    // Saves through the menu entry, the dialog answered with name in the data folder.
    std::string SaveWith(Control entry, const std::string& name) {
        window.dialogAnswers.push_back(data.File(name));
        form.OnClick(entry);
        return ReadWholeFile(data.File(name)).value_or("(not written)");
    }
    const RecordingWindow::Table& ShownTable(Control entry) {
        const std::size_t tables = window.tables.size();
        form.OnClick(entry);
        EXPECT_EQ(window.tables.size(), tables + 1) << ControlName(entry);
        return window.tables.back();
    }
    std::string Property(const std::string& key) {
        for (const auto& row : ShownTable(Control::mnuProperties).rows)
            if (row.front() == key) return row.back();
        return "(none)";
    }
};

TEST_F(DecisionHandlersTest, EntriesFollowWhatIsOnDisplay) {
    const std::vector<Control> analysisEntries = {Control::mnuSaveGroups, Control::mnuGroups,
                                                  Control::mnuProperties};
    for (Control c : analysisEntries) EXPECT_FALSE(window.IsEnabled(c)) << ControlName(c);
    EXPECT_FALSE(window.IsEnabled(Control::mnuSaveTree));

    Open(fileA);
    Run();  // without the tree
    for (Control c : analysisEntries) EXPECT_TRUE(window.IsEnabled(c)) << ControlName(c);
    EXPECT_FALSE(window.IsEnabled(Control::mnuSaveTree)) << "no tree was made";

    Open(session);  // keeps the tree of the run that made it
    EXPECT_TRUE(window.IsEnabled(Control::mnuSaveTree));

    Open(fileB);  // its sequences await their run
    for (Control c : analysisEntries) EXPECT_FALSE(window.IsEnabled(c)) << ControlName(c);
    EXPECT_FALSE(window.IsEnabled(Control::mnuSaveTree));
}

TEST_F(DecisionHandlersTest, SavedGroupsAreKvrsTableAtTheFirstCutOff) {
    Open(fileA);
    Run();
    // a1 and a2 (and c1 and c2) differ at one column of 31: 96.77 %, above the first cut-off.
    EXPECT_EQ(SaveWith(Control::mnuSaveGroups, "a_groups.tsv"),
              "name\tgroup\tsize\trepresentative\n"
              "a1\t1\t2\ta1\nc1\t2\t2\tc1\na2\t1\t2\ta1\nc2\t2\t2\tc1\n");
    // The dialog opened beside the input with a name made from it.
    EXPECT_EQ(window.dialogFolders.back(), data.File("a_groups.tsv"));
    EXPECT_EQ(window.saveFilters.back(), "Tab-separated tables (*.tsv);;All files (*)");
    EXPECT_EQ(window.Caption(Control::lblProgress), "Done");

    // Above every pair's identity, each sequence is a group of its own.
    form.OnClick(Control::cmdColourScheme);  // three colour mode: the cut-offs can be set
    window.SetValue(Control::updCutoff1, 98);
    ASSERT_FLOAT_EQ(state.cutoff1, 98.0f);
    window.dialogAnswers.push_back(data.File("strict"));  // the entry's suffix is added
    form.OnClick(Control::mnuSaveGroups);
    EXPECT_EQ(ReadWholeFile(data.File("strict_groups.tsv")).value_or("(not written)"),
              "name\tgroup\tsize\trepresentative\n"
              "a1\t1\t1\ta1\nc1\t2\t1\tc1\na2\t3\t1\ta2\nc2\t4\t1\tc2\n");
}

TEST_F(DecisionHandlersTest, TheGroupsListIsOfTheAnalysisOnDisplay) {
    Open(fileA);
    Run();
    const RecordingWindow::Table& four = ShownTable(Control::mnuGroups);
    EXPECT_EQ(four.title, "Groups at 94 % (complete linkage): 2 groups");
    EXPECT_EQ(four.columns,
              (std::vector<std::string>{"group", "size", "representative", "members"}));
    EXPECT_EQ(four.rows, (Rows{{"1", "2", "a1", "a1, a2"}, {"2", "2", "c1", "c1, c2"}}));

    // The next analysis lists its own groups, at its own first cut-off.
    Open(fileB);
    Run();
    const RecordingWindow::Table& three = ShownTable(Control::mnuGroups);
    EXPECT_EQ(three.rows, (Rows{{"1", "2", "b1", "b1, b2"}, {"2", "1", "b3", "b3"}}));
}

TEST_F(DecisionHandlersTest, TheTreeIsSavedAsKvrWritesIt) {
    Open(session);
    EXPECT_EQ(SaveWith(Control::mnuSaveTree, "abc_tree.nwk"), "((a:0.1,b:0.2):0.05,c:0.3);\n");
    EXPECT_EQ(window.dialogFolders.back(), data.File("abc_tree.nwk"));
    EXPECT_EQ(window.saveFilters.back(), "Newick trees (*.nwk);;All files (*)");
}

TEST_F(DecisionHandlersTest, PropertiesShowTheRecordOfTheAnalysisOnDisplay) {
    Open(session);
    EXPECT_EQ(ShownTable(Control::mnuProperties).title, "Properties");
    EXPECT_EQ(Property("sequences"), "3");
    EXPECT_EQ(Property("provenance"), "recorded");
    EXPECT_EQ(Property("aligner"), "muscle");
    EXPECT_EQ(Property("aligner-version"), "muscle 5.1");
    EXPECT_EQ(Property("pair-timeout"), "unknown");  // the record does not say
    EXPECT_EQ(Property("tree"), "kept");

    // The window's own run shows its own record: nothing of the session's.
    Open(fileA);
    Run();
    EXPECT_EQ(Property("sequences"), "4");
    EXPECT_EQ(Property("provenance"), "recorded");
    EXPECT_EQ(Property("aligner"), "builtin");
    EXPECT_EQ(Property("input"), fileA);
    EXPECT_EQ(Property("tree"), "none");
}

// How each of the window's runs made its identities, as kvr records its own: shown, saved, and
// kept by a session opened and saved again.
TEST_F(DecisionHandlersTest, TheWindowsRunsKeepTheirRecord) {
    const std::string version(kVersion);
    const auto checksum = [](const std::string& path) { return Sha256Hex(*ReadWholeFile(path)); };
    Open(fileA);
    Run();
    EXPECT_EQ(Property("program"), "KVRv1 " + version);
    EXPECT_EQ(Property("command"), "run");
    EXPECT_EQ(Property("aligner-version"), "builtin (kvr " + version + ")");
    EXPECT_EQ(Property("aligner-command"), "builtin");
    EXPECT_EQ(Property("alphabet"), "set");
    EXPECT_EQ(Property("pair-memory"), "1024 MB");
    EXPECT_EQ(Property("ambiguous"), "count");
    EXPECT_EQ(Property("pair-timeout"), "none");
    EXPECT_EQ(Property("tree-order"), "no");
    EXPECT_EQ(Property("input-sha256"), checksum(fileA));
    EXPECT_TRUE(
        std::regex_match(Property("date"), std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ)")));

    // An append adds its step to the record; the aligner and rule are the same.
    Append(fileB);
    Run();
    EXPECT_EQ(Property("command"), "run, append");
    EXPECT_EQ(Property("input"), fileA + ", " + fileB);
    EXPECT_EQ(Property("input-sha256"), checksum(fileA) + ", " + checksum(fileB));
    EXPECT_EQ(Property("aligner"), "builtin");
    EXPECT_EQ(Property("program"), "KVRv1 " + version);

    // Saved, opened and saved again: the same bytes, the record whole.
    const std::string saved = SaveWith(Control::mnuSaveSession, "ab.kvr");
    EXPECT_NE(saved.find("\r\n#kvr-provenance\t1\r\n#program\tKVRv1 " + version +
                         "\r\n#command\trun, append\r\n"),
              std::string::npos)
        << saved;
    Open(data.File("ab.kvr"));
    EXPECT_EQ(Property("command"), "run, append");
    EXPECT_EQ(SaveWith(Control::mnuSaveSession, "again.kvr"), saved);

    // A session run again: a record of its own, from the session's sequences.
    window.yesNoAnswers.push_back(true);
    form.OnClick(Control::mnuRerun);
    form.OnClick(Control::CmdRun);
    ASSERT_EQ(shown.windowState, WindowState::Analysis);
    EXPECT_EQ(Property("command"), "rerun");
    EXPECT_EQ(Property("input"), data.File("ab.kvr"));
    EXPECT_EQ(Property("input-sha256"), checksum(data.File("ab.kvr")));
    const std::string rerun = SaveWith(Control::mnuSaveSession, "rerun.kvr");
    EXPECT_NE(rerun.find("\r\n#command\trerun\r\n"), std::string::npos) << rerun;

    // After an append in the window, a rerun names every file its sequences came from.
    Append(fileA);
    Run();
    window.yesNoAnswers.push_back(true);
    form.OnClick(Control::mnuRerun);
    form.OnClick(Control::CmdRun);
    EXPECT_EQ(Property("input"), data.File("ab.kvr") + " + " + fileA);
    EXPECT_EQ(Property("input-sha256"), checksum(data.File("ab.kvr")) + " + " + checksum(fileA));

    // A file changed between its reading and the run: its checksum would not be of what was run.
    Open(fileB);
    data.Write("b.fasta", std::string(testing::kThreeSequences) + ">b4\nGGCATTACGATCGATTTACG\n");
    Run();
    EXPECT_EQ(state.seqCount, 3);
    EXPECT_EQ(Property("input"), fileB);
    EXPECT_EQ(Property("input-sha256"), "unknown");
}

TEST_F(DecisionHandlersTest, AnAppendWithAnotherAlignerAsksFirst) {
    for (const bool yes : {false, true}) {
        Open(session);
        window.questions.clear();
        Append(fileB);
        window.yesNoAnswers = {yes};
        Run();  // the built-in aligner
        ASSERT_EQ(window.questions.size(), 1u);
        const std::string& question = window.questions.front();
        EXPECT_NE(question.find("muscle"), std::string::npos) << question;
        EXPECT_NE(question.find("builtin"), std::string::npos) << question;
        EXPECT_EQ(shown.windowState, WindowState::Analysis);
        EXPECT_FALSE(form.next.has_value());
        EXPECT_FALSE(window.IsFormShown(Control::frmOptions));
        // No: the session stays on display as it was, under its own title.
        EXPECT_EQ(state.seqCount, yes ? 6 : 3) << "answered " << yes;
        EXPECT_EQ(window.Caption(Control::frmMainForm),
                  yes ? "Kavorin - version 1 | 6 sequences | abc.kvr + b.fasta"
                      : "Kavorin - version 1 | 3 sequences");
    }
    // Sequences appended to the window's own run of the same aligner: no question.
    Open(fileA);
    Run();
    window.questions.clear();
    Append(fileB);
    Run();
    EXPECT_TRUE(window.questions.empty());
    EXPECT_EQ(state.seqCount, 7);
    // Nor to a session that keeps no record.
    Open(data.Write("old.kvr", "[[[>x\r\nACGTACGTAC\r\n>y\r\nACGTACGTAA]]]\r\n0.9\r\n"));
    Append(fileB);
    window.SetChecked(Control::chkAmbiguous, true);
    Run();
    EXPECT_TRUE(window.questions.empty());
    EXPECT_EQ(state.seqCount, 5);
    EXPECT_EQ(Property("ambiguous"), "mixed: unknown, skip");
}

TEST_F(DecisionHandlersTest, AnAppendOffersTheAlignerAndRuleOfTheIdentitiesOnDisplay) {
    // The last run: the built-in aligner, ambiguous bases skipped.
    Open(fileA);
    window.SetChecked(Control::chkAmbiguous, true);
    Run();
    ASSERT_EQ(Property("ambiguous"), "skip");
    // A session of MUSCLE's identities, ambiguous bases counted: its append offers both.
    Open(session);
    Append(fileB);
    ASSERT_TRUE(window.IsFormShown(Control::frmOptions));
    EXPECT_TRUE(window.IsChecked(Control::oMuscle));
    EXPECT_FALSE(window.IsChecked(Control::oBuiltin));
    EXPECT_FALSE(window.IsChecked(Control::chkAmbiguous));
    form.OnFormClosed(Control::frmOptions);
    // Any other run offers the last run's choices.
    Open(fileB);
    EXPECT_TRUE(window.IsChecked(Control::oBuiltin));
    EXPECT_TRUE(window.IsChecked(Control::chkAmbiguous));
}

TEST_F(DecisionHandlersTest, AnAppendWithAnotherAmbiguityRuleAsksFirst) {
    // The window's run skips ambiguous bases; the append would count them.
    Open(fileA);
    window.SetChecked(Control::chkAmbiguous, true);
    Run();
    ASSERT_EQ(Property("ambiguous"), "skip");
    for (const bool yes : {false, true}) {
        window.questions.clear();
        Append(fileB);
        window.SetChecked(Control::chkAmbiguous, false);
        window.yesNoAnswers = {yes};
        Run();
        ASSERT_EQ(window.questions.size(), 1u);
        EXPECT_EQ(window.questions.front(),
                  "The identities on display were made with the ambiguity rule skip, and this "
                  "append would compare its new pairs with count. Identities of two ambiguity "
                  "rules differ, so the analysis would mix them. Append with count all the "
                  "same?");
        EXPECT_EQ(state.seqCount, yes ? 7 : 4) << "answered " << yes;
        EXPECT_FALSE(form.next.has_value());
    }
    EXPECT_EQ(Property("ambiguous"), "mixed: skip, count");
    EXPECT_EQ(Property("command"), "run, append");

    // The session counted (its record is of a kvr that did not say its rule): an append that
    // skips asks about the aligner, then about the rule; No to the rule gives the append up.
    Open(session);
    window.questions.clear();
    Append(fileB);
    window.SetChecked(Control::chkAmbiguous, true);
    window.yesNoAnswers = {true, false};
    Run();
    ASSERT_EQ(window.questions.size(), 2u);
    EXPECT_NE(window.questions[0].find("aligner muscle"), std::string::npos);
    EXPECT_NE(window.questions[1].find("ambiguity rule count"), std::string::npos);
    EXPECT_EQ(state.seqCount, 3);
    EXPECT_EQ(Property("aligner"), "muscle");
}

}  // namespace
}  // namespace kvr
