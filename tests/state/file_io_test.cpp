// The one writer of every file: whole or not at all, the old file kept on failure, no temporary
// file left behind, the replaced file's mode kept.
#include "state/file_io.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "support/file_size_limit.h"
#include "support/temp_folder.h"

namespace kvr {
namespace {

using testing::TempFolder;

long FilesIn(const std::string& folder) {
    return std::distance(std::filesystem::directory_iterator(folder),
                         std::filesystem::directory_iterator());
}

TEST(ReplaceFile, WritesNewAndReplacesOldFiles) {
    TempFolder folder;
    const std::string path = folder.File("out.txt");
    ASSERT_TRUE(WriteWholeFile(path, "first\r\n"));
    EXPECT_EQ(ReadWholeFile(path), "first\r\n");
    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(WriteWholeFile(path, std::string(100000, 'x')));
    EXPECT_EQ(ReadWholeFile(path), std::string(100000, 'x'));
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(FilesIn(folder.Path()), 1);
}

TEST(ReplaceFile, AFailureLeavesTheOldFileAndNoTemporary) {
    TempFolder folder;
    const std::string path = folder.Write("keep.txt", "old\r\n");
    {
        testing::FileSizeLimit limit(10);  // the disk fills up part-way
        const WriteResult result = WriteWholeFile(path, std::string(1000, 'y'));
        EXPECT_FALSE(result);
        EXPECT_EQ(result.reason, "File too large");
    }
    EXPECT_EQ(ReadWholeFile(path), "old\r\n");
    EXPECT_EQ(FilesIn(folder.Path()), 1);

    // A writer that gives up, a missing folder, a folder in place of the file.
    EXPECT_FALSE(ReplaceFile(path, [](const std::string&) { return false; }));
    EXPECT_EQ(ReadWholeFile(path), "old\r\n");
    EXPECT_EQ(FilesIn(folder.Path()), 1);
    const WriteResult noFolder = WriteWholeFile(folder.File("none/x.txt"), "z");
    EXPECT_EQ(noFolder.reason, "No such file or directory");
    EXPECT_EQ(WriteWholeFile(folder.Path(), "z").reason, "it is a folder");
    EXPECT_NE(WriteFailureMessage("/a/b.txt", noFolder).find("/a/b.txt"), std::string::npos);
}

TEST(ReplaceFile, TheTemporaryKeepsTheExtensionForWritersThatChooseByIt) {
    TempFolder folder;
    std::string seen;
    ASSERT_TRUE(ReplaceFile(folder.File("picture.bmp"), [&seen](const std::string& temporary) {
        seen = temporary;
        return true;
    }));
    EXPECT_TRUE(seen.ends_with(".bmp")) << seen;
    EXPECT_EQ(std::filesystem::path(seen).parent_path(), folder.Path());
    EXPECT_TRUE(std::filesystem::exists(folder.File("picture.bmp")));
}

}  // namespace
}  // namespace kvr
