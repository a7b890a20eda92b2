// A drawing surface on a QImage for the screen pictures: coordinates in twips, 15 twips to the
// pixel (a 96 dpi screen), one font for upright text and its 90-degree turned form.
#pragma once

#include <QFont>
#include <QImage>
#include <QTransform>
#include <memory>
#include <optional>

#include "platform/drawing_surface.h"
#include "platform/qt/canvas_text.h"

class QPainter;

namespace kvr {

class QImageSurface : public DrawingSurface {
  public:
    static constexpr int kTwipsPerPixel = 15;

    // The font as the canvas would have it (for the matrix canvas Liberation Sans 8.25 pt). Turned
    // text uses the same face with a cell height of 1.3 x the point size in pixels, as a font
    // with an escapement would be made from it.
    explicit QImageSurface(QFont font);
    ~QImageSurface() override;
    QImageSurface(const QImageSurface&) = delete;
    QImageSurface& operator=(const QImageSurface&) = delete;

    void Resize(int width, int height) override;
    void Clear() override;
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    void FillRect(int x1, int y1, int x2, int y2, Rgb fill) override;
    void Box(int x1, int y1, int x2, int y2, Rgb fill) override;
    void Line(int x1, int y1, int x2, int y2, Rgb colour) override;
    void Text(int x, int y, std::string_view text) override;
    void RotatedText(int x, int y, std::string_view text) override;
    TextExtent MeasureText(std::string_view text, TextTurn turn) const override;

    // A white image of the given pixels on which the drawing goes through transform (from the
    // canvas's pixels), so that a view draws the part of a canvas it shows, at its scale. Resize
    // returns to a whole canvas.
    void BeginArea(QSize pixels, const QTransform& transform);

    // Fills the whole image with a colour (the blank view uses the button face).
    void Fill(QColor colour);
    // The picture drawn so far, twips / 15 rounded pixels each way, at 96 dpi.
    const QImage& Image() const;

    static int ToPixels(int twips);

  private:
    QPainter& Painter();
    void EndPainting() const;

    QImage image_;
    CanvasFonts fonts_;
    double ascent_ = 0;                          // pixels, upright font
    double turnedAscent_ = 0;                    // pixels, turned font
    mutable std::unique_ptr<QPainter> painter_;  // kept open while drawing, for speed
    QTransform transform_;                       // canvas pixels to image pixels
    std::optional<Rgb> lineColour_;              // the painter's pen is a line pen of this colour
    int width_ = 0;                              // twips
    int height_ = 0;                             // twips
};

}  // namespace kvr
