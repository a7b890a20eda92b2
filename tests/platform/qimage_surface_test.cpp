#include "platform/qt/qimage_surface.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <algorithm>
#include <utility>

#include "platform/qt/offscreen_gui.h"

namespace kvr {
namespace {

class QImageSurfaceTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { EnsureGuiApplication(); }
    static QFont CanvasFont() {
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPointSizeF(8.25);
        return font;
    }
    // The box of non-white pixels, or an empty rectangle when there are none.
    static QRect InkBox(const QImage& image) {
        QRect box;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) != qRgb(255, 255, 255)) box |= QRect(x, y, 1, 1);
        return box;
    }
};

TEST_F(QImageSurfaceTest, TwipsMapToPixelsAtFifteen) {
    QImageSurface surface(CanvasFont());
    surface.Resize(3500, 3101);
    EXPECT_EQ(surface.Width(), 3500);
    EXPECT_EQ(surface.Height(), 3101);
    EXPECT_EQ(surface.Image().width(), 233);   // 3500 / 15 = 233.3
    EXPECT_EQ(surface.Image().height(), 207);  // 3101 / 15 = 206.7
    EXPECT_EQ(InkBox(surface.Image()), QRect()) << "a resized canvas is white";
}

TEST_F(QImageSurfaceTest, FilledRectanglesIncludeBothCorners) {
    QImageSurface surface(CanvasFont());
    surface.Resize(1500, 1500);
    surface.FillRect(150, 300, 450, 600, Rgb{0, 0, 143});
    const QImage image = surface.Image();
    EXPECT_EQ(InkBox(image), QRect(QPoint(10, 20), QPoint(30, 40)));
    EXPECT_EQ(image.pixel(10, 20), qRgb(0, 0, 143));
    EXPECT_EQ(image.pixel(30, 40), qRgb(0, 0, 143));
}

TEST_F(QImageSurfaceTest, BoxesHaveBlackEdges) {
    QImageSurface surface(CanvasFont());
    surface.Resize(1500, 1500);
    surface.Box(150, 150, 450, 450, Rgb{255, 0, 0});
    const QImage image = surface.Image();
    EXPECT_EQ(image.pixel(10, 10), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(30, 20), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(20, 20), qRgb(255, 0, 0));
}

TEST_F(QImageSurfaceTest, UprightTextHangsBelowItsPoint) {
    QImageSurface surface(CanvasFont());
    surface.Resize(6000, 1500);
    surface.Text(300, 300, "Pairwise identity (%)");
    const QRect ink = InkBox(surface.Image());
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_GE(ink.left(), 20);
    EXPECT_LE(ink.left(), 22);
    EXPECT_GE(ink.top(), 20);
    EXPECT_LE(ink.bottom(), 20 + 14) << "an 8.25 pt line is about 13 pixels";
    EXPECT_GT(ink.width(), 80) << "a 21-character text at 11 pixels";
    EXPECT_LT(ink.width(), 130);
}

TEST_F(QImageSurfaceTest, TurnedTextRunsUpwardsToTheRightOfItsPoint) {
    QImageSurface surface(CanvasFont());
    surface.Resize(1500, 3000);
    surface.RotatedText(300, 2700, "Proportion");  // pixel (20, 180)
    const QRect ink = InkBox(surface.Image());
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_GE(ink.left(), 20);
    EXPECT_LE(ink.right(), 20 + 12) << "one line of the 11-pixel cell font";
    EXPECT_LE(ink.bottom(), 180);
    EXPECT_GT(ink.height(), 40) << "the text runs upwards";
}

TEST_F(QImageSurfaceTest, ImageTakenEarlierDoesNotChangeWithLaterDrawing) {
    QImageSurface surface(CanvasFont());
    surface.Resize(1500, 1500);
    surface.FillRect(0, 0, 150, 150, kBlack);
    const QImage before = surface.Image();
    surface.FillRect(600, 600, 900, 900, kBlack);
    EXPECT_EQ(before.pixel(50, 50), qRgb(255, 255, 255));
    EXPECT_EQ(surface.Image().pixel(50, 50), qRgb(0, 0, 0));
}

TEST_F(QImageSurfaceTest, LinesTakeTheirOwnColourWhateverWasDrawnBefore) {
    QImageSurface surface(CanvasFont());
    surface.Resize(3000, 3000);
    const Rgb red{255, 0, 0}, blue{0, 0, 255};
    surface.Line(150, 150, 1500, 150, red);
    surface.Line(150, 300, 1500, 300, red);
    surface.Text(150, 1500, "Ay");
    surface.Line(150, 450, 1500, 450, red);  // after text, whose pen is black
    surface.Line(150, 600, 1500, 600, blue);
    (void)surface.Image();  // a new painter from here
    surface.Line(150, 750, 1500, 750, blue);
    const QImage image = surface.Image();
    for (const auto& [y, colour] : {std::pair{10, qRgb(255, 0, 0)},
                                    {20, qRgb(255, 0, 0)},
                                    {30, qRgb(255, 0, 0)},
                                    {40, qRgb(0, 0, 255)},
                                    {50, qRgb(0, 0, 255)}}) {
        EXPECT_EQ(image.pixel(50, y), colour) << y;
        EXPECT_EQ(image.pixel(50, y + 1), qRgb(255, 255, 255)) << "one pixel thick: " << y;
    }
}

TEST_F(QImageSurfaceTest, ALargeCanvasIsWhiteAndCopiesStayAsTaken) {
    // 2,400 x 2,000 pixels: the size of canvas that is given its own huge-page memory.
    QImageSurface surface(CanvasFont());
    surface.Resize(36000, 30000);
    const QImage blank = surface.Image();
    ASSERT_EQ(blank.size(), QSize(2400, 2000));
    for (int y = 0; y < blank.height(); y += 97) {
        const auto* line = reinterpret_cast<const QRgb*>(blank.constScanLine(y));
        ASSERT_EQ(std::count(line, line + blank.width(), qRgb(255, 255, 255)), blank.width()) << y;
    }
    surface.FillRect(0, 0, 36000, 30000, kBlack);
    EXPECT_EQ(surface.Image().pixel(2399, 1999), qRgb(0, 0, 0));
    EXPECT_EQ(blank.pixel(2399, 1999), qRgb(255, 255, 255));
    surface.Resize(1500, 1500);  // the large memory is given back while a copy still uses it
    EXPECT_EQ(blank.pixel(1200, 1000), qRgb(255, 255, 255));
}

}  // namespace
}  // namespace kvr
