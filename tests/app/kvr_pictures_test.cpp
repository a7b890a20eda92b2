#include "app/kvr_pictures.h"

#include <gtest/gtest.h>

#include <sstream>

#include "platform/fakes/recording_window.h"
#include "support/analysis_state.h"
#include "state/file_io.h"
#include "support/temp_folder.h"

namespace kvr::cli {
namespace {

using kvr::testing::TempFolder;

struct Parsed {
    OptionUse use;
    PictureRequest pictures;
    RunOptions options;
    std::string problem;
};

Parsed Take(const std::string& option, const std::string& value) {
    Parsed parsed{};
    parsed.use = TakePictureOption(
        option,
        [&](std::string& out) {
            out = value;
            return true;
        },
        parsed.pictures, parsed.options, parsed.problem);
    return parsed;
}

TEST(KvrPictureOptions, FilesModeAndCutoffs) {
    EXPECT_EQ(Take("--matrix-emf", "m.emf").pictures.matrixEmf, "m.emf");
    EXPECT_EQ(Take("--plot-image", "p.png").pictures.plotImage, "p.png");
    EXPECT_EQ(Take("--mode", "three").options.colourMode, kThreeColour);
    EXPECT_EQ(Take("--mode", "full").options.colourMode, kFullColour);
    const Parsed cutoffs = Take("--cutoffs", "90,80");
    EXPECT_EQ(cutoffs.use, OptionUse::Taken);
    EXPECT_EQ(cutoffs.options.cutoff1, 90.0f);
    EXPECT_EQ(cutoffs.options.cutoff2, 80.0f);
    EXPECT_EQ(Take("--tree", "").use, OptionUse::NotMine);

    struct Bad {
        const char* option;
        const char* value;
        const char* problem;
    };
    for (const Bad& bad : {Bad{"--mode", "colour", "--mode needs full or three"},
                           Bad{"--cutoffs", "94",
                               "--cutoffs needs two whole percentages, the "
                               "upper first: 94,78"},
                           Bad{"--cutoffs", "94.5,78", nullptr}, Bad{"--cutoffs", "94,-7", nullptr},
                           Bad{"--plot-emf", "", "--plot-emf needs a file name"}}) {
        const Parsed parsed = Take(bad.option, bad.value);
        EXPECT_EQ(parsed.use, OptionUse::Problem) << bad.option << " " << bad.value;
        if (bad.problem != nullptr) {
            EXPECT_EQ(parsed.problem, bad.problem);
        }
    }

    RunOptions reversed;
    reversed.cutoff1 = 78;
    reversed.cutoff2 = 94;
    EXPECT_EQ(ValidateRunOptions(reversed).size(), 1u);
    EXPECT_TRUE(ValidateRunOptions(Take("--cutoffs", "80,80").options).empty());
}

TEST(KvrPictureOptions, ImagesNeedAKnownExtension) {
    PictureRequest pictures;
    pictures.matrixImage = "out/matrix.PNG";
    pictures.plotImage = "plot.jpg";
    const auto problems = CheckPictureRequest(pictures);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0],
              "cannot tell the image format of plot.jpg: the name must end in .png or .bmp");
}

TEST(KvrPictures, MatrixImageStopsAtTheScreenLimitAndUnwritableFilesAreReported) {
    TempFolder out;
    RunState state = kvr::testing::MakeAnalysis(501, kvr::testing::Gradient(501, 0.5f));
    PictureRequest pictures;
    pictures.matrixImage = out.File("m.png");
    pictures.plotEmf = "/nonexistent-folder/p.emf";
    RecordingWindow window;
    std::ostringstream err;
    EXPECT_FALSE(WritePictures(state, window, pictures, err));
    EXPECT_NE(err.str().find("at most 500 sequences"), std::string::npos);
    EXPECT_NE(err.str().find("cannot write the plot picture to /nonexistent-folder/p.emf"),
              std::string::npos);
    EXPECT_FALSE(ReadWholeFile(pictures.matrixImage).has_value());
}

}  // namespace
}  // namespace kvr::cli
