#include <gtest/gtest.h>

#include "fakes/recording_window.h"
#include "io/fasta.h"
#include "support/temp_folder.h"
#include "ui/open_handlers.h"

namespace kvr {
namespace {

using testing::TempFolder;

class AppendFastaTest : public ::testing::Test {
  protected:
    RunState state;
    WindowView shown;
    RecordingWindow window;
    TempFolder folder;

    // An append as the window shows it: the loader's status and messages, then the window's part.
    LoadEnd Append(const std::string& path) {
        FastaReport report;
        const LoadEnd end = AppendFasta(state, window.progress, path, {nullptr, &report});
        ShowLoad(state, shown, window, end, report);
        return end;
    }

    void SetUp() override {
        // An analysis on display, in an order that differs from the input order.
        state.seqCount = 3;
        state.InputSequences = {{">a", "AAAA"}, {">b", "CCCC"}, {">c", "GGGG"}};
        state.SequenceList = {{">c", "GGGG"}, {">a", "AAAA"}, {">b", "CCCC"}};
        state.maxNameLen = 2;
    }
};

TEST_F(AppendFastaTest, DisplayOrderFirstThenNewRecords) {
    ASSERT_EQ(Append(folder.Write("new.fas", ">longer name\nTTTT\n>e\nACGT\n")), LoadEnd::Loaded);
    EXPECT_EQ(state.seqCount, 5);
    EXPECT_EQ(state.appendCount, 2);
    const RecordTable expected = {
        {">c", "GGGG"}, {">a", "AAAA"}, {">b", "CCCC"}, {">longer_name", "TTTT"}, {">e", "ACGT"}};
    EXPECT_EQ(state.InputSequences, expected);
    EXPECT_EQ(state.maxNameLen, 12);
    EXPECT_EQ(window.Caption(Control::frmMainForm), "Kavorin - version 1 | 5 sequences");
    EXPECT_EQ(window.Caption(Control::lblProgress), "5 sequences loaded");
    EXPECT_EQ(window.captionHistory[Control::lblProgress][2], "Appending sequences");
}

TEST_F(AppendFastaTest, OneRecordIsAccepted) {
    EXPECT_EQ(Append(folder.Write("one.fas", ">d\nGGGG\n")), LoadEnd::Loaded);
    EXPECT_EQ(state.seqCount, 4);
    EXPECT_TRUE(window.messages.empty());  // no identity check on appended records
}

TEST_F(AppendFastaTest, RefusalsKeepEverything) {
    const RecordTable input = state.InputSequences;
    const RecordTable display = state.SequenceList;
    EXPECT_EQ(Append(folder.Write("none.fas", "ACGT\n")), LoadEnd::Refused);
    EXPECT_EQ(window.messages.at(0),
              "No DNA sequence found, please load a FASTA file and try again.");
    EXPECT_EQ(window.Caption(Control::lblProgress), "Failed");
    EXPECT_FALSE(window.blanked.empty());

    const std::string bad = folder.Write("bad.fas", ">d\nACGT\n>e");
    EXPECT_EQ(Append(bad), LoadEnd::Refused);
    EXPECT_EQ(window.messages.at(1),
              "Failed to append " + bad + ". Please check the content of the file and try again.");
    EXPECT_EQ(state.seqCount, 3);
    EXPECT_EQ(state.InputSequences, input);
    EXPECT_EQ(state.SequenceList, display);
}

}  // namespace
}  // namespace kvr
