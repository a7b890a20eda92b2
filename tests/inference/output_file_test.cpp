#include "output_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "support/file_size_limit.h"
#include "test_files.h"

namespace tolven {
namespace {

TEST(AppendFixed8Test, FixedPointWithEightDecimals) {
    struct Case {
        float value;
        std::string text;
    };
    const Case cases[] = {
        {1.0f, "1.00000000"},
        {0.0f, "0.00000000"},
        {-0.000000004f, "-0.00000000"},
        {-0.0f, "-0.00000000"},
        {0.000000006f, "0.00000001"},
        {0.125f, "0.12500000"},
        {-2.5f, "-2.50000000"},
        {0.1f, "0.10000000"},              // 0.100000001490116...
        {1.0f / 3.0f, "0.33333334"},       // 0.333333343267440...
        {123456.789f, "123456.78906250"},  // nearest float, exactly
        {1e20f, "100000002004087734272.00000000"},
        {INFINITY, "inf"},
    };
    for (const Case& test : cases) {
        std::string text = "x";
        AppendFixed8(text, test.value);
        EXPECT_EQ(text, "x" + test.text);
    }
}

TEST(WriteOutputFileTest, OneLinePerRowInOrder) {
    testing::TempFolder folder;
    const std::string path = folder.File("out.txt");
    testing::WriteFile(path, std::string(100'000, '#'));  // a longer file is replaced whole
    EXPECT_EQ(
        WriteOutputFile(path, std::vector<float>{0.125f, 0.875f, 0.0f, -1.0f, 2.0f, 1e-9f}, 2), "");
    EXPECT_EQ(testing::ReadFile(path),
              "0.12500000,0.87500000,0.00000000\n-1.00000000,2.00000000,0.00000000\n");
}

TEST(WriteOutputFileTest, ManyRowsMatchPrintf) {
    constexpr std::size_t kRows = 20'000;  // several buffers' worth
    std::vector<float> outputs(kRows * kOutputsPerRow);
    std::string expected;
    char line[128];
    for (std::size_t r = 0; r < kRows; ++r) {
        for (std::size_t k = 0; k < kOutputsPerRow; ++k) {
            outputs[r * kOutputsPerRow + k] = std::sin(static_cast<float>(r * 3 + k)) * 1000.0f;
        }
        const float* v = &outputs[r * kOutputsPerRow];
        std::snprintf(line, sizeof line, "%.8f,%.8f,%.8f\n", v[0], v[1], v[2]);
        expected += line;
    }
    testing::TempFolder folder;
    const std::string path = folder.File("out.txt");
    ASSERT_EQ(WriteOutputFile(path, outputs, kRows), "");
    EXPECT_EQ(testing::ReadFile(path), expected);
}

TEST(WriteOutputFileTest, ReportsFilesThatCannotBeWritten) {
    testing::TempFolder folder;
    const std::string inMissingFolder = folder.File("absent/out.txt");
    const std::vector<float> outputs(3, 1.0f);
    EXPECT_EQ(WriteOutputFile(inMissingFolder, outputs, 1),
              "cannot open output file: " + inMissingFolder);
    EXPECT_FALSE(std::filesystem::exists(inMissingFolder));
    // A device on which every write fails, as on a full disk: a private copy of /dev/full.
    const std::string full = folder.File("full");
    if (::mknod(full.c_str(), S_IFCHR | 0666, ::makedev(1, 7)) == 0) {
        EXPECT_EQ(WriteOutputFile(full, outputs, 1),
                  "cannot write output file: " + full + " (No space left on device)");
    }
}

// A disk that fills up part-way keeps the old output whole, and no temporary file appears.
TEST(WriteOutputFileTest, AFullDiskKeepsTheOldOutput) {
    testing::TempFolder folder;
    const std::string path = folder.File("NN_output.txt");
    testing::WriteFile(path, "old\n");
    const std::vector<float> outputs(30'000, 0.5f);
    std::string message;
    {
        const kvr::testing::FileSizeLimit limit(100'000);
        message = WriteOutputFile(path, outputs, 10'000);
    }
    EXPECT_EQ(message, "cannot write output file: " + path + " (File too large)");
    EXPECT_EQ(testing::ReadFile(path), "old\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()),
                            std::filesystem::directory_iterator()),
              1);
}

}  // namespace
}  // namespace tolven
