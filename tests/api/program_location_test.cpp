#include "api/program_location.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_folder.h"

namespace kvr::api {
namespace {

using kvr::testing::TempFolder;

// The program folder found from the library's file: a build folder's bin/, an installed
// PREFIX/bin through PREFIX/share/kvr, the nearest of several, and none.
TEST(ProgramLocation, FindsTheFolderFromTheLibrarysFile) {
    TempFolder temp;
    namespace fs = std::filesystem;
    const auto make = [&](const std::string& relative) {
        fs::create_directories(fs::path(temp.File(relative)).parent_path());
        temp.Write(relative, "#!/bin/sh\n");
    };
    make("build/bin/RunNeighbor.sh");
    make("prefix/share/kvr/RunNeighbor.sh");
    make("prefix/lib/python3.11/dist-packages/kvr/build/bin/RunNeighbor.sh");
    struct Case {
        std::string library;
        std::string folder;  // "" for none
    } cases[] = {
        {"build/python/kvr/_kvr.so", "build/bin"},
        {"build/desktop/api/libkvr.so", "build/bin"},
        {"build/bin/api_tests", "build/bin"},
        {"prefix/lib/python3.11/dist-packages/kvr/_kvr.so", "prefix/bin"},
        {"prefix/lib/x86_64-linux-gnu/libkvr.so.1", "prefix/bin"},
        // The nearest wins.
        {"prefix/lib/python3.11/dist-packages/kvr/build/x/_kvr.so",
         "prefix/lib/python3.11/dist-packages/kvr/build/bin"},
        {"elsewhere/a/b/libkvr.so", ""},
    };
    for (const Case& c : cases) {
        const std::string expected = c.folder.empty() ? "" : temp.File(c.folder);
        EXPECT_EQ(ProgramFolderNear(temp.File(c.library)), expected) << c.library;
    }
    EXPECT_EQ(ProgramFolderNear(""), "");
    EXPECT_EQ(ProgramFolderOf(Installation{"/given/bin"}), "/given/bin");
}

}  // namespace
}  // namespace kvr::api
