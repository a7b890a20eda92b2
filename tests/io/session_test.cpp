// Saving and opening sessions through the main form: texts, progress, control states, the
// large sessions drawn as small ones, and a refused file that leaves the analysis on display as it
// was.
#include "ui/session.h"
#include "io/session_reading.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "io/file_io.h"
#include "io/number_text.h"
#include "io/session_file.h"
#include "support/display_fixture.h"
#include "support/file_size_limit.h"

namespace kvr {
namespace {

using testing::Gradient;
using testing::MakeAnalysis;
using testing::TempFolder;

class SessionTest : public testing::DisplayTest {
  protected:
    TempFolder files;
    std::string SaveSession(const RunState& analysis, const std::string& name) {
        return files.Write(
            name, FormatSession(analysis.SequenceList, analysis.IdentityMatrix, analysis.seqCount));
    }
    void Open(const std::string& path) {
        window.dialogAnswers.push_back(path);
        form.OnClick(Control::mnuOpenFile);
    }
};

TEST_F(SessionTest, SaveAddsTheExtensionOnceAndRemembersTheFolder) {
    Load(5);
    state.choices.lastFolder = program.Path();
    window.dialogAnswers.push_back(files.File("run1.kvr"));
    form.OnClick(Control::mnuSaveSession);
    const auto written = ReadWholeFile(files.File("run1.kvr"));  // the extension once
    ASSERT_TRUE(written);
    EXPECT_EQ(*written, FormatSession(state.SequenceList, state.IdentityMatrix, 5));
    EXPECT_EQ(Status(), (std::vector<std::string>{"Saving KVR file...", "Done"}));
    EXPECT_EQ(state.choices.lastFolder, files.Path());
    EXPECT_FALSE(window.busy);

    // A cancelled dialog writes nothing and keeps the folder.
    state.choices.lastFolder = program.Path();
    form.OnClick(Control::mnuSaveSession);
    EXPECT_EQ(state.choices.lastFolder, program.Path());
    EXPECT_EQ(Status().size(), 2u);
}

TEST_F(SessionTest, OpeningShowsTheMatrixWithEveryText) {
    const RunState saved = MakeAnalysis(6, Gradient(6, 0.8f));
    const std::string path = SaveSession(saved, "six.kvr");
    Open(path);
    EXPECT_EQ(state.SequenceList, saved.SequenceList);
    for (int i = 0; i < 6; ++i)
        for (int j = 0; j < 6; ++j)
            EXPECT_EQ(PlainSingle(state.IdentityMatrix(i, j)),
                      PlainSingle(saved.IdentityMatrix(i, j)));
    EXPECT_EQ(state.seqCount, 6);
    EXPECT_TRUE(shown.ShowsAnalysis());
    EXPECT_NEAR(state.minIdentity, 0.8, 1e-6);
    EXPECT_EQ(window.Caption(Control::frmMainForm), "Kavorin - version 1 | 6 sequences");
    EXPECT_EQ(window.Caption(Control::lblFilePath), "KVR file - " + path);
    const auto& status = Status();
    for (const char* text : {"Reading KVR file ...", "Loading sequences", "Sequences loaded",
                             "Loading identity scores", "Identity scores loaded", "Displaying..."})
        EXPECT_NE(std::find(status.begin(), status.end(), text), status.end()) << text;
    EXPECT_EQ(status.back(), "Done");
    for (Control c :
         {Control::cmdPlot, Control::mnuSave, Control::mnuSaveSimScore, Control::mnuSaveSession,
          Control::mnuSaveMatrix, Control::mnuCopyMat, Control::cmdColourScheme, Control::mnuRerun,
          Control::mnuAppend, Control::mnuOpenFile})
        EXPECT_TRUE(window.IsEnabled(c)) << ControlName(c);
    EXPECT_FALSE(window.IsEnabled(Control::mnuSavePlot));
    EXPECT_FALSE(window.IsEnabled(Control::mnuCopyPlot));
    EXPECT_TRUE(window.messages.empty());
    EXPECT_TRUE(ReadWholeFile(MatrixFile()));
    EXPECT_TRUE(ReadWholeFile(PlotFile()));
    EXPECT_EQ(window.Value(Control::ProgressBar1), 0);
    EXPECT_FALSE(window.busy);
}

TEST_F(SessionTest, LargeSessionsAreDrawnAsSmallOnesAre) {
    for (const int n : {500, 501, 700}) {
        for (const int mode : {kFullColour, kThreeColour}) {
            const std::string path = SaveSession(MakeAnalysis(n, Gradient(n, 0.7f)), "big.kvr");
            window.messages.clear();
            window.innerCanvas.ops.clear();
            state.choices.ColourMode = mode;
            Open(path);
            ASSERT_EQ(state.seqCount, n);
            EXPECT_TRUE(shown.ShowsAnalysis());
            EXPECT_TRUE(window.messages.empty()) << n;
            EXPECT_EQ(shown.view, AnalysisView::Matrix) << n;
            EXPECT_FALSE(window.innerCanvas.ops.empty()) << n;
            // Larger than the viewport: the key is pinned in its corner, in sight.
            EXPECT_TRUE(window.IsVisible(Control::keyPicture)) << n;
            EXPECT_GT(window.keyPanel.width, 0) << n;
            for (Control c :
                 {Control::cmdZoomIn, Control::cmdZoomOut, Control::cmdColourScheme,
                  Control::cmdPlot, Control::mnuCopyMat, Control::mnuBMP, Control::mnuSaveMatrix})
                EXPECT_TRUE(window.IsEnabled(c)) << n << " " << ControlName(c);
            EXPECT_EQ(window.IsEnabled(Control::updCutoff1), mode == kThreeColour) << n;
            EXPECT_FALSE(window.IsEnabled(Control::cmdDrawMat)) << n;
        }
    }
}

TEST_F(SessionTest, ARefusedFileChangesNothing) {
    const RunState saved = MakeAnalysis(5, Gradient(5, 0.75f));
    Open(SaveSession(saved, "good.kvr"));
    ASSERT_TRUE(shown.ShowsAnalysis());
    const RunState onDisplay = state;
    const std::string caption = window.Caption(Control::frmMainForm);

    std::string truncated = FormatSession(saved.SequenceList, saved.IdentityMatrix, 5);
    truncated.resize(truncated.size() - 10);
    std::string notANumber = FormatSession(saved.SequenceList, saved.IdentityMatrix, 5);
    notANumber.replace(notANumber.rfind("\r\n", notANumber.size() - 3) + 2, 3, "abc");
    const struct {
        const char* name;
        std::string text;
        std::string message;  // "PATH" stands for the path
    } cases[] = {
        {"plain.kvr", ">a\r\nACGT\r\n>b\r\nAGGT\r\n",
         "The KVR file loaded is corrupted, the alignment should be enclosed in three pairs of "
         "square brackets [[[ ]]]"},
        {"empty.kvr", "[[[]]]\r\n",
         "The KVR file loaded may be corrupted, the was no DNA sequence in FASTA format found."},
        // The usual text, then where and what the reader found.
        {"short.kvr", truncated,
         "Failed to read PATH. The file might be corrupted, please try another. (line 19: the "
         "file is cut short)"},
        {"letters.kvr", notANumber,
         "Failed to read PATH. The file might be corrupted, please try another. (line 20: "
         "'abc375' is not an identity from 0 to 1)"},
        {"binary.kvr", std::string("[[[>a\r\nAC\0T]]]\r\n", 16),
         "Failed to read PATH: it is not a text file (it holds NUL bytes or mostly bytes that are "
         "not text)."},
        {"folder.kvr", "", "Failed to read PATH: it is a folder."},
    };
    for (const auto& c : cases) {
        const std::string path = files.File(c.name);
        if (c.text.empty())
            std::filesystem::create_directory(path);
        else
            files.Write(c.name, c.text);
        window.messages.clear();
        Open(path);
        std::string message = c.message;
        if (const auto p = message.find("PATH"); p != std::string::npos)
            message.replace(p, 4, path);
        EXPECT_EQ(window.messages, std::vector<std::string>{message}) << c.name;
        EXPECT_EQ(state.SequenceList, onDisplay.SequenceList) << c.name;
        EXPECT_EQ(state.IdentityMatrix, onDisplay.IdentityMatrix) << c.name;
        EXPECT_EQ(state.seqCount, 5) << c.name;
        EXPECT_TRUE(shown.ShowsAnalysis()) << c.name;
        EXPECT_EQ(window.Caption(Control::frmMainForm), caption) << c.name;
        EXPECT_EQ(window.Caption(Control::lblProgress), "Failed") << c.name;
        for (Control c2 : {Control::mnuRerun, Control::mnuSave, Control::mnuAppend,
                           Control::cmdPlot, Control::mnuOpenFile})
            EXPECT_TRUE(window.IsEnabled(c2)) << c.name << " " << ControlName(c2);
        EXPECT_FALSE(window.busy);
    }
}

TEST_F(SessionTest, LastRunIsReplacedWholeOrNotAtAll) {
    Load(4);
    window.captionHistory.clear();
    ASSERT_TRUE(WriteLastRun(state, window, Work()));
    const std::string path = JoinPath(Work(), kLastRunName);
    EXPECT_EQ(ReadWholeFile(path), FormatSession(state.SequenceList, state.IdentityMatrix, 4));
    EXPECT_EQ(Status(), (std::vector<std::string>{"Saving identity scores ...", "Done"}));

    // A write that fails part-way (a full disk) keeps the previous file and says why.
    const std::string previous = *ReadWholeFile(path);
    Load(40);
    {
        testing::FileSizeLimit limit(previous.size());
        EXPECT_FALSE(WriteLastRun(state, window, Work()));
    }
    EXPECT_EQ(ReadWholeFile(path), previous);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Work()),
                            std::filesystem::directory_iterator()),
              1);  // no temporary file left
    ASSERT_EQ(window.messages.size(), 1u);
    EXPECT_NE(window.messages[0].find(path), std::string::npos);
    EXPECT_NE(window.messages[0].find("File too large"), std::string::npos);
    EXPECT_EQ(window.Caption(Control::lblProgress), "Failed");
}

}  // namespace
}  // namespace kvr
