// The alignment viewer's Qt side: symbols coloured by their column, names escaped, the buttons;
// a double-click or Enter over the matrix view reaches the core as a cell to open.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>

#include "platform/qt/alignment_window.h"
#include "platform/qt/picture_view.h"
#include "platform/qt/qt_main_window.h"

namespace kvr {
namespace {

AlignmentView SmallView() {
    AlignmentView view;
    view.title = "a<1> / b - alignment";
    view.heading = "1: >a<1>\n2: >b\nidentity: 0.5 (50.00 %)\n";
    //                0123456
    view.blocks = {{"a<1> 1 AC-T 3", "       |. |", "b    1 AGGT 4", 7}};
    view.text = view.heading + "\nplain";
    return view;
}

TEST(AlignmentWindow, ColoursDifferentSymbolsAndGaps) {
    const AlignmentBlock block = SmallView().blocks[0];
    EXPECT_EQ(RowRuns(block.first, block.match, block.rowStart),
              (std::vector<SymbolRun>{
                  {0, 7, 'n'}, {7, 1, '|'}, {8, 1, '.'}, {9, 1, ' '}, {10, 1, '|'}, {11, 2, 'n'}}));
    EXPECT_EQ(RowRuns(block.second, block.match, block.rowStart),
              (std::vector<SymbolRun>{
                  {0, 7, 'n'}, {7, 1, '|'}, {8, 1, '.'}, {9, 1, ' '}, {10, 1, '|'}, {11, 2, 'n'}}));
    // A row shorter than its prefix is all name.
    EXPECT_EQ(RowRuns("ab", "   |", 3), (std::vector<SymbolRun>{{0, 2, 'n'}}));
}

TEST(AlignmentWindow, CopiesItsTextAndSavesThroughTheCore) {
    int saves = 0;
    AlignmentView view = SmallView();
    view.save = [&saves] { ++saves; };
    QWidget* window = ShowAlignmentWindow(nullptr, view);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("a<1> / b - alignment"));
    for (QPushButton* button : window->findChildren<QPushButton*>()) {
        if (button->text() == QStringLiteral("&Copy")) button->click();
        if (button->text() == QStringLiteral("&Save as FASTA...")) button->click();
    }
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), view.text);
    EXPECT_EQ(saves, 1);
    const auto* rows = window->findChild<AlignmentRows*>();
    ASSERT_NE(rows, nullptr);
    EXPECT_EQ(rows->LineCount(), 3);
    EXPECT_EQ(rows->LineText(0), "a<1> 1 AC-T 3");
    EXPECT_EQ(rows->LineText(2), "b    1 AGGT 4");
    delete window;
}

// A whole genome's alignment (60 kb: 1,000 blocks, 4,000 lines) opens with only the lines in
// sight drawn, and scrolling draws the lines that come into sight.
TEST(AlignmentWindow, DrawsOnlyTheLinesInSight) {
    AlignmentView view = SmallView();
    const AlignmentBlock block = view.blocks[0];
    view.blocks.assign(1000, block);
    view.blocks.back().first = "last 1 ACGT 4";
    QWidget* window = ShowAlignmentWindow(nullptr, view);
    auto* rows = window->findChild<AlignmentRows*>();
    ASSERT_NE(rows, nullptr);
    EXPECT_EQ(rows->LineCount(), 3999);
    QImage image(rows->viewport()->size(), QImage::Format_RGB32);
    rows->viewport()->render(&image);
    EXPECT_GT(rows->LinesDrawn(), 0);
    EXPECT_LT(rows->LinesDrawn(), 100);
    rows->verticalScrollBar()->setValue(rows->verticalScrollBar()->maximum());
    rows->viewport()->render(&image);
    EXPECT_GT(rows->LinesDrawn(), 0);
    EXPECT_EQ(rows->LineText(rows->LineCount() - 3), "last 1 ACGT 4");
    delete window;
}

// Records the cells the window asks to open.
class OpenedCells : public WindowEvents {
  public:
    void OnClick(Control) override {}
    void OnValueChanged(Control, int) override {}
    void OnFilesDropped(Control, const std::vector<std::string>&) override {}
    void OnResized() override {}
    void OnPictureResized(Control) override {}
    void OnMouseDown(Control, bool) override {}
    void OnPointerMoved(double, double) override {}
    void OnCellOpened(double x, double y) override { opened.emplace_back(x, y); }
    bool OnCloseRequested() override { return true; }
    void OnFormClosed(Control) override {}
    void OnOpenRecent(const std::string&) override {}
    std::vector<std::pair<double, double>> opened;
};

TEST(AlignmentWindow, ADoubleClickOrEnterOverTheMatrixOpensACell) {
    QtMainWindow window;
    OpenedCells events;
    window.SetEvents(&events);
    window.show();
    auto* view = static_cast<PictureView*>(window.WidgetOf(Control::ZoomingPicture));
    view->resize(200, 200);
    QImage canvas(200, 200, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    view->setImage(canvas);

    const QPointF at(30, 40);
    QMouseEvent twice(QEvent::MouseButtonDblClick, at, view->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view, &twice);
    ASSERT_EQ(events.opened.size(), 1u);

    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);  // the pointer is not over the view yet
    EXPECT_EQ(events.opened.size(), 1u);
    QMouseEvent move(QEvent::MouseMove, at, view->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(view, &move);
    QApplication::sendEvent(&window, &enter);
    ASSERT_EQ(events.opened.size(), 2u);
    EXPECT_EQ(events.opened[0], events.opened[1]);
}

}  // namespace
}  // namespace kvr
