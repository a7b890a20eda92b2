#include "io/settings.h"

#include <gtest/gtest.h>

#include "io/file_io.h"
#include "io/program_folder.h"
#include "support/installed_prefix.h"
#include "support/temp_folder.h"

namespace kvr {
namespace {

using testing::InstalledPrefix;
using testing::ScopedEnvironment;
using testing::TempFolder;

TEST(Settings, ReadFallsBackToTheProgramFolder) {
    TempFolder program;
    TempFolder data;
    const std::string before = CurrentDirectory();
    struct Case {
        const char* content;  // nullptr: no file
        std::string expected;
    };
    const Case cases[] = {
        {nullptr, program.Path()},
        {"", program.Path()},
        {"\"\"\r\n", program.Path()},
    };
    for (const Case& c : cases) {
        DeleteFileQuietly(program.File("kvr.ini"));
        if (c.content) program.Write("kvr.ini", c.content);
        RunState state;
        ReadSettings(state, program.Path());
        EXPECT_EQ(state.choices.lastFolder, c.expected) << (c.content ? c.content : "(no file)");
    }

    // A stored folder that exists is used; with one that no longer exists the dialogs open in the
    // program folder, and the current directory stays where it was.
    program.Write("kvr.ini", "\"" + data.Path() + "\"\r\n");
    RunState state;
    ReadSettings(state, program.Path());
    EXPECT_EQ(state.choices.lastFolder, data.Path());

    program.Write("kvr.ini", "\"/no/such/folder, really\"\r\n");
    RunState missing;
    ReadSettings(missing, program.Path());
    EXPECT_EQ(missing.choices.lastFolder, program.Path());
    EXPECT_EQ(CurrentDirectory(), before);
}

TEST(Settings, WriteStoresOneQuotedLineAndReadsBack) {
    TempFolder program;
    TempFolder data;
    struct Case {
        std::string name;
        std::string stored;  // the folder as written between the outer quotes
    };
    const Case cases[] = {
        {"a, b", "a, b"},
        {"say \"hi\"", "say \"\"hi\"\""},
        {"\"", "\"\""},
        {" spaced ", " spaced "},
    };
    RunState state;
    for (const Case& c : cases) {
        const std::string folder = data.Path() + "/" + c.name;
        std::filesystem::create_directory(folder);
        state.choices.lastFolder = folder;
        ASSERT_TRUE(WriteSettings(state, program.Path()));
        EXPECT_EQ(*ReadWholeFile(program.File("kvr.ini")),
                  "\"" + data.Path() + "/" + c.stored + "\"\r\n");
        RunState reread;
        ReadSettings(reread, program.Path());
        EXPECT_EQ(reread.choices.lastFolder, folder);
    }

    state.choices.lastFolder.clear();
    ASSERT_TRUE(WriteSettings(state, program.Path()));
    EXPECT_EQ(*ReadWholeFile(program.File("kvr.ini")), "\"" + program.Path() + "\"\r\n");

    EXPECT_FALSE(WriteSettings(state, program.File("no-such-folder")));
}

// Installed, the program folder is read-only: the file lives in the user's configuration folder,
// which the first write makes.
TEST(Settings, InstalledProgramKeepsThemInTheUserConfigurationFolder) {
    InstalledPrefix installed;
    TempFolder data;
    const ScopedEnvironment config("XDG_CONFIG_HOME", installed.ConfigHome());
    const std::string file = installed.ConfigHome() + "/kvr/kvr.ini";

    RunState first;
    ReadSettings(first, installed.Bin());
    EXPECT_EQ(first.choices.lastFolder, installed.Bin());

    first.choices.lastFolder = data.Path();
    ASSERT_TRUE(WriteSettings(first, installed.Bin()));
    EXPECT_EQ(ReadWholeFile(file), "\"" + data.Path() + "\"\r\n");
    EXPECT_FALSE(std::filesystem::exists(installed.File("bin/kvr.ini")));

    RunState reread;
    ReadSettings(reread, installed.Bin());
    EXPECT_EQ(reread.choices.lastFolder, data.Path());
}

}  // namespace
}  // namespace kvr

namespace kvr {
namespace {

TEST(Settings, ChoicesFollowTheFolderLineAndReadBack) {
    testing::TempFolder program;
    RunState state;
    state.choices.lastFolder = program.Path();
    state.choices.AlignerKind = Aligner::Mafft;
    state.choices.useTree = true;
    state.choices.skipAmbiguous = true;
    WindowSettings window;
    window.geometry = Rect{150, 300, 15000, 12000};
    for (const char* path : {"/d/a.fasta", "/d/b.kvr", "/d/a.fasta"})
        RememberRecentFile(window, path);
    RememberRecentFile(window, "/d/line\nbreak.fasta");  // cannot be stored: left out
    ASSERT_TRUE(WriteSettings(state, program.Path(), window));
    const std::string text = *ReadWholeFile(program.File("kvr.ini"));
    EXPECT_EQ(SettingsFolder(text), program.Path());  // what an older program reads
    EXPECT_EQ(text.substr(text.find("\r\n") + 2),
              "aligner=mafft\r\ntree=1\r\nambiguous=skip\r\nwindow=150,300,15000,12000\r\n"
              "recent=/d/a.fasta\r\nrecent=/d/b.kvr\r\n");

    RunState read;
    WindowSettings readWindow;
    ReadSettings(read, program.Path(), &readWindow);
    EXPECT_EQ(read.choices.AlignerKind, Aligner::Mafft);
    EXPECT_TRUE(read.choices.useTree);
    EXPECT_TRUE(read.choices.skipAmbiguous);
    EXPECT_EQ(readWindow.geometry, window.geometry);
    EXPECT_EQ(readWindow.recentFiles, (std::vector<std::string>{"/d/a.fasta", "/d/b.kvr"}));

    // Unknown keys, broken values and an older file's lone folder line are passed over.
    program.Write("kvr.ini",
                  "\"" + program.Path() +
                      "\"\r\naligner=blast\r\ntree=yes\r\nambiguous=N\r\nwindow=1,2,x,4\r\n"
                      "future=1\r\n");
    RunState odd;
    WindowSettings oddWindow;
    ReadSettings(odd, program.Path(), &oddWindow);
    EXPECT_EQ(odd.choices.lastFolder, program.Path());
    EXPECT_FALSE(odd.choices.AlignerKind.has_value());
    EXPECT_FALSE(odd.choices.useTree);
    EXPECT_FALSE(odd.choices.skipAmbiguous);
    EXPECT_EQ(oddWindow.geometry.width, 0);
    for (int k = 0; k < 12; ++k) RememberRecentFile(oddWindow, "/f" + std::to_string(k));
    EXPECT_EQ(oddWindow.recentFiles.size(), kRecentFiles);
    EXPECT_EQ(oddWindow.recentFiles.front(), "/f11");
}

}  // namespace
}  // namespace kvr
