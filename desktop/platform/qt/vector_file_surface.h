// Drawing surfaces that write SVG and PDF files through QPainter: the screen layout in twips on a
// page of the canvas's size (1440 units to the inch), text kept as text in the canvas font and
// colours exactly as given.
#pragma once

#include <QBuffer>
#include <QFont>
#include <functional>
#include <memory>
#include <string>

#include "io/file_io.h"
#include "platform/drawing_surface.h"
#include "platform/qt/canvas_text.h"

class QPainter;
class QPaintDevice;

namespace kvr {

class VectorFileSurface : public DrawingSurface {
  public:
    // Nothing is written until Save; the page takes the size of the first Resize.
    VectorFileSurface(PictureFormat format, QFont font);
    ~VectorFileSurface() override;
    VectorFileSurface(const VectorFileSurface&) = delete;
    VectorFileSurface& operator=(const VectorFileSurface&) = delete;

    // Ends the page and writes the file; false when it could not be written.
    Result<void> Save(const std::string& path);

    // Resize starts the page afresh (what was drawn before is dropped).
    void Resize(int width, int height) override;
    void Clear() override;
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    // As on the screen canvas, both corners belong to the rectangle: it reaches one screen pixel
    // (15 twips) beyond the second corner.
    void FillRect(int x1, int y1, int x2, int y2, Rgb fill) override;
    // One filled path: a large matrix's cells of one colour are one element of the file.
    void FillRects(const std::vector<SurfaceBox>& corners, Rgb fill) override;
    void Box(int x1, int y1, int x2, int y2, Rgb fill) override;
    // One screen pixel wide, ends included.
    void Line(int x1, int y1, int x2, int y2, Rgb colour) override;
    void Text(int x, int y, std::string_view text) override;
    void RotatedText(int x, int y, std::string_view text) override;
    // Measured as on the 96 dpi screen canvas, so that all three lay a picture out alike.
    TextExtent MeasureText(std::string_view text, TextTurn turn) const override;

  private:
    void EndPage();

    PictureFormat format_;
    CanvasFonts fonts_;
    QBuffer buffer_;
    std::unique_ptr<QPaintDevice> device_;
    std::unique_ptr<QPainter> painter_;
    int width_ = 0;
    int height_ = 0;
};

// Draws a picture into a new SVG or PDF file at path in the screen canvas font (Liberation Sans
// 8.25 pt), through ReplaceFile. Needs a QGuiApplication.
Result<void> WriteVectorFile(PictureFormat format, const std::string& path,
                             const std::function<void(DrawingSurface&)>& draw);

}  // namespace kvr
