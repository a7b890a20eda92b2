// A drawing surface that records every operation, for tests of the drawing code.
#pragma once

#include <string>
#include <vector>

#include "platform/drawing_surface.h"

namespace kvr {

struct DrawOp {
    enum class Kind { Resize, Clear, FillRect, Box, Line, Text, RotatedText };
    Kind kind;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    Rgb colour{};
    std::string text;
};

// Texts are measured as Arial of the given cell heights: by default the screen canvas font in
// twips; RecordingSurface(16, 16) models the EMF fonts.
class RecordingSurface : public DrawingSurface {
  public:
    RecordingSurface() = default;
    RecordingSurface(double uprightCell, double turnedCell)
        : uprightCell_(uprightCell), turnedCell_(turnedCell) {}

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

    std::vector<DrawOp> ops;
    std::vector<DrawOp> OpsOf(DrawOp::Kind kind) const;

    // Every text drawn, upright or turned, with the box it covers.
    struct PlacedText {
        std::string text;
        SurfaceBox box;
    };
    std::vector<PlacedText> Texts() const;

  private:
    double uprightCell_ = kCanvasUprightCell;
    double turnedCell_ = kCanvasTurnedCell;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace kvr
