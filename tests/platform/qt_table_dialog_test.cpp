// The Groups and Properties entries of the Qt window: each opens a table of the analysis on
// display, which the user reads and closes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QHeaderView>
#include <QTableWidget>
#include <QTimer>

#include "fakes/fake_shell.h"
#include "io/program_folder.h"
#include "platform/qt/qt_main_window.h"
#include "support/temp_folder.h"
#include "ui/main_form.h"

namespace kvr {
namespace {

using testing::TempFolder;

// What a table dialog showed: its title, headings and cells.
struct ShownTable {
    std::string title;
    std::vector<std::string> headings;
    std::vector<std::vector<std::string>> rows;
};

// Triggers the entry and reads the modal dialog it opens, then closes it.
ShownTable Open(QAction* entry) {
    ShownTable shown;
    QTimer::singleShot(50, [&shown] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;
        shown.title = dialog->windowTitle().toStdString();
        if (auto* table = dialog->findChild<QTableWidget*>()) {
            for (int c = 0; c < table->columnCount(); ++c)
                shown.headings.push_back(table->horizontalHeaderItem(c)->text().toStdString());
            for (int r = 0; r < table->rowCount(); ++r) {
                shown.rows.emplace_back();
                for (int c = 0; c < table->columnCount(); ++c)
                    shown.rows.back().push_back(table->item(r, c)->text().toStdString());
            }
        }
        dialog->reject();
    });
    entry->trigger();
    return shown;
}

class QtTableDialogTest : public ::testing::Test {
  protected:
    TempFolder program;
    TempFolder data;
    std::string before = CurrentDirectory();
    RunState state;
    QtMainWindow window;
    FakeShell shell;
    MainForm form{state, window, shell, program.Path()};

    void SetUp() override {
        window.SetEvents(&form);
        form.Load();
    }
    void TearDown() override { ASSERT_EQ(::chdir(before.c_str()), 0); }
};

TEST_F(QtTableDialogTest, GroupsAndPropertiesOfTheSessionOnDisplay) {
    const std::string session =
        data.Write("abc.kvr",
                   "[[[>a\r\nACGTACGTTAGCATCGATCG\r\n>b\r\nACGTACGTTAGCATCGATCC\r\n>c\r\n"
                   "TTGACCGATCGAGGGCTAGC]]]\r\n0.95\r\n0.3\r\n0.35\r\n"
                   "#kvr-provenance\t1\r\n#aligner\tmuscle\r\n");
    QAction* groups = window.ActionOf(Control::mnuGroups);
    QAction* properties = window.ActionOf(Control::mnuProperties);
    ASSERT_NE(groups, nullptr);
    ASSERT_NE(properties, nullptr);
    EXPECT_FALSE(groups->isEnabled());  // nothing on display yet

    form.OnFilesDropped(Control::frmMainForm, {session});
    ASSERT_EQ(form.shown.windowState, WindowState::Analysis);
    ASSERT_TRUE(groups->isEnabled());

    const ShownTable listed = Open(groups);
    EXPECT_EQ(listed.title, "Groups at 94 % (complete linkage): 2 groups");
    EXPECT_EQ(listed.headings,
              (std::vector<std::string>{"group", "size", "representative", "members"}));
    EXPECT_EQ(listed.rows, (std::vector<std::vector<std::string>>{{"1", "2", "a", "a, b"},
                                                                  {"2", "1", "c", "c"}}));

    const ShownTable record = Open(properties);
    EXPECT_EQ(record.title, "Properties");
    ASSERT_GE(record.rows.size(), 5u);
    EXPECT_EQ(record.rows[0], (std::vector<std::string>{"sequences", "3"}));
    const auto aligner = std::find(record.rows.begin(), record.rows.end(),
                                   std::vector<std::string>{"aligner", "muscle"});
    EXPECT_NE(aligner, record.rows.end());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "the dialog was closed";
}

}  // namespace
}  // namespace kvr
