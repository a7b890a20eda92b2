#include "platform/qt/vector_file_surface.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QPainter>
#include <QSvgRenderer>
#include <tuple>

#include "io/file_io.h"
#include "platform/qt/canvas_text.h"
#include "platform/qt/offscreen_gui.h"
#include "support/temp_folder.h"

namespace kvr {
namespace {

int Occurrences(const std::string& text, const std::string& what) {
    int count = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
    return count;
}

TEST(VectorFileSurface, RectanglesOfOneColourAreOnePathThatCoversThemAll) {
    EnsureGuiApplication();
    testing::TempFolder folder;
    const std::string path = folder.File("cells.svg");
    const Rgb red{200, 0, 0};
    // Three abutting cells of a row and one of the next row, as FillRect corners.
    const std::vector<SurfaceBox> cells = {
        {0, 0, 285, 285}, {300, 0, 585, 285}, {600, 0, 885, 285}, {0, 300, 285, 585}};
    ASSERT_TRUE(WriteVectorFile(PictureFormat::Svg, path, [&](DrawingSurface& s) {
        s.Resize(900, 600);
        s.FillRects(cells, red);
    }));
    const std::string svg = ReadWholeFile(path).value_or("");
    EXPECT_EQ(Occurrences(svg, "<path"), 1) << svg;
    EXPECT_EQ(Occurrences(svg, "fill=\"#c80000\""), 1) << svg;

    // Drawn back, the path covers each cell (a cell reaches a pixel, 15 units, past its corner)
    // and nothing of the rest.
    QSvgRenderer renderer(QString::fromStdString(path));
    QImage image(90, 60, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    for (const auto& [x, y, inside] :
         {std::tuple{5, 5, true}, {55, 5, true}, {85, 25, true}, {5, 55, true}, {55, 55, false}})
        EXPECT_EQ(image.pixel(x, y) == qRgb(200, 0, 0), inside) << x << "," << y;
}

}  // namespace
}  // namespace kvr
