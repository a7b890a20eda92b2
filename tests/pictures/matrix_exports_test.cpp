#include "ui/matrix_exports.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "model/palette.h"
#include "pictures/matrix_picture.h"
#include "support/display_fixture.h"

namespace kvr {
namespace {

using testing::ReadEmf;
using testing::TempFolder;

class MatrixExportsTest : public testing::DisplayTest {
  protected:
    TempFolder chosen;
    void SetUp() override {
        Load(7);
        state.choices.lastFolder = program.Path();
    }
};

TEST_F(MatrixExportsTest, EmfGetsItsSuffixOnce) {
    for (const std::string typed : {"figure", "figure.EMF"}) {
        window.dialogAnswers.push_back(chosen.File(typed));
        form.OnClick(Control::mnuEMF);
        const auto picture = ReadEmf(chosen.File("figure_mat.emf"));
        ASSERT_TRUE(picture.has_value()) << typed;
        std::filesystem::remove(chosen.File("figure_mat.emf"));
        EXPECT_EQ(picture->Count(testing::kEmrRectangle), 7u * 8 / 2 + 22);
    }
    EXPECT_EQ(window.dialogFolders, (std::vector<std::string>{program.Path(), chosen.Path()}));
    EXPECT_EQ(state.choices.lastFolder, chosen.Path());
    EXPECT_EQ(Status(), (std::vector<std::string>{"Saving the matrix ...", "Done",
                                                  "Saving the matrix ...", "Done"}));
}

TEST_F(MatrixExportsTest, CancelledDialogChangesNothing) {
    form.OnClick(Control::mnuEMF);
    form.OnClick(Control::mnuBMP);
    EXPECT_EQ(window.dialogFolders.size(), 2u);
    EXPECT_EQ(state.choices.lastFolder, program.Path());
    EXPECT_TRUE(Status().empty());
    EXPECT_TRUE(window.savedBitmaps.empty());
    EXPECT_TRUE(window.messages.empty());
}

TEST_F(MatrixExportsTest, BitmapIsTheViewUnderTheTypedName) {
    window.dialogAnswers.push_back(chosen.File("run1"));
    form.OnClick(Control::mnuBMP);
    EXPECT_EQ(window.savedBitmaps,
              (std::vector<std::string>{"canvas:" + chosen.File("run1_mat.bmp")}));
    EXPECT_EQ(Status().back(), "Done");
}

TEST_F(MatrixExportsTest, UnwritableFileIsReportedWithTheReason) {
    window.dialogAnswers.push_back("/nonexistent-folder/figure");
    form.OnClick(Control::mnuEMF);
    EXPECT_EQ(window.messages, (std::vector<std::string>{
                                   "/nonexistent-folder/figure_mat.emf could not be written (No "
                                   "such file or directory). Please check the folder and the "
                                   "free space, and try again."}));
    EXPECT_EQ(Status().back(), "Failed");
    EXPECT_FALSE(window.busy);
}

TEST_F(MatrixExportsTest, ClipboardTakesTheCanvasOrTheWorkFolderPicture) {
    form.OnClick(Control::mnuCopyMatBMP);
    EXPECT_EQ(window.clipboard, "bitmap:InnerPicture");

    form.OnClick(Control::mnuCopyMatEMF);
    EXPECT_EQ(window.messages.size(), 1u) << "no work-folder picture yet";

    WriteMatrixPicture(state, Work());
    form.OnClick(Control::mnuCopyMatEMF);
    EXPECT_EQ(window.clipboard, "metafile:" + MatrixFile());
    EXPECT_EQ(window.messages.size(), 1u);
}

}  // namespace
}  // namespace kvr
