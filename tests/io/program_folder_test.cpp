#include "io/program_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "support/environment.h"
#include "support/installed_prefix.h"
#include "support/temp_folder.h"

namespace kvr {
namespace {

namespace fs = std::filesystem;
using testing::FakeEnvironment;
using testing::InstalledPrefix;
using testing::TempFolder;

TEST(ProgramFolder, TellsABuildFolderFromAnInstalledProgram) {
    InstalledPrefix installed;
    TempFolder build;
    build.Write("RunNeighbor.sh", "#!/bin/sh\n");
    TempFolder bare;  // neither a tree script nor a share/kvr beside it
    // A whole program folder copied into a prefix that also holds share/kvr keeps its own files.
    InstalledPrefix copied;
    copied.Write("bin/RunNeighbor.sh", "#!/bin/sh\n");

    struct Case {
        const char* what;
        std::string programFolder;
        ProgramLayout layout;
        std::string dataFolder;
        std::string configFolder;
    };
    const Case cases[] = {
        {"build folder", build.Path(), ProgramLayout::ProgramFolder, build.Path(), build.Path()},
        {"bare folder", bare.Path(), ProgramLayout::ProgramFolder, bare.Path(), bare.Path()},
        {"copied program folder", copied.Bin(), ProgramLayout::ProgramFolder, copied.Bin(),
         copied.Bin()},
        {"installed", installed.Bin(), ProgramLayout::Installed, installed.Data(),
         installed.ConfigHome() + "/kvr"},
    };
    for (const Case& c : cases) {
        const ProgramFiles files = FilesOf(c.programFolder, installed.Environment());
        EXPECT_EQ(LayoutOf(c.programFolder), c.layout) << c.what;
        EXPECT_EQ(files.layout, c.layout) << c.what;
        EXPECT_EQ(files.dataFolder, c.dataFolder) << c.what;
        EXPECT_EQ(files.configFolder, c.configFolder) << c.what;
        EXPECT_EQ(files.userDataFolder, installed.DataHome() + "/kvr") << c.what;
    }
}

TEST(ProgramFolder, UserFoldersFollowTheXdgRules) {
    InstalledPrefix installed;
    struct Case {
        std::map<std::string, std::string> environment;
        std::string configFolder;
        std::string userDataFolder;
    };
    const std::string temp = fs::temp_directory_path() / "kvr";
    const Case cases[] = {
        {{{"XDG_CONFIG_HOME", "/c"}, {"XDG_DATA_HOME", "/d"}, {"HOME", "/h"}}, "/c/kvr", "/d/kvr"},
        {{{"HOME", "/h"}}, "/h/.config/kvr", "/h/.local/share/kvr"},
        // Empty and relative values are to be ignored.
        {{{"XDG_CONFIG_HOME", ""}, {"XDG_DATA_HOME", "data"}, {"HOME", "/h"}},
         "/h/.config/kvr",
         "/h/.local/share/kvr"},
        {{}, temp, temp},
    };
    for (const Case& c : cases) {
        const ProgramFiles files = FilesOf(installed.Bin(), FakeEnvironment(c.environment));
        EXPECT_EQ(files.configFolder, c.configFolder) << ::testing::PrintToString(c.environment);
        EXPECT_EQ(files.userDataFolder, c.userDataFolder)
            << ::testing::PrintToString(c.environment);
    }
}

TEST(ProgramFolder, AUserCopyReplacesAShippedFileOnlyWhenInstalled) {
    InstalledPrefix installed;
    const ProgramFiles files = FilesOf(installed.Bin(), installed.Environment());
    EXPECT_EQ(UserOrShippedFile(files, "aligners.conf"), installed.Data() + "/aligners.conf");
    installed.Write("config/kvr/aligners.conf", "mafft = linsi {in} > {out}\n");
    EXPECT_EQ(UserOrShippedFile(files, "aligners.conf"),
              installed.ConfigHome() + "/kvr/aligners.conf");

    TempFolder build;
    build.Write("RunNeighbor.sh", "#!/bin/sh\n");
    EXPECT_EQ(UserOrShippedFile(FilesOf(build.Path(), installed.Environment()), "RunNeighbor.sh"),
              build.File("RunNeighbor.sh"));
}

TEST(ProgramFolder, WorkFolderIsBesideABuildAndInTheUserDataFolderWhenInstalled) {
    InstalledPrefix installed;
    TempFolder build;
    build.Write("RunNeighbor.sh", "#!/bin/sh\n");

    EXPECT_EQ(WorkFolder(build.Path(), installed.Environment()), build.File("tmp"));
    EXPECT_TRUE(fs::is_directory(build.File("tmp")));

    EXPECT_EQ(WorkFolder(installed.Bin(), installed.Environment()),
              installed.DataHome() + "/kvr/tmp");
    EXPECT_TRUE(fs::is_directory(installed.DataHome() + "/kvr/tmp"));
    EXPECT_FALSE(fs::exists(installed.Bin() + "/tmp"))
        << "the installed program folder is read-only";
}

}  // namespace
}  // namespace kvr
