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

class RecordingSurface : public DrawingSurface {
public:
    void Resize(int width, int height) override;
    void Clear() override;
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    void FillRect(int x1, int y1, int x2, int y2, Rgb fill) override;
    void Box(int x1, int y1, int x2, int y2, Rgb fill) override;
    void Line(int x1, int y1, int x2, int y2, Rgb colour) override;
    void Text(int x, int y, std::string_view text) override;
    void RotatedText(int x, int y, std::string_view text) override;

    std::vector<DrawOp> ops;
    std::vector<DrawOp> OpsOf(DrawOp::Kind kind) const;

private:
    int width_ = 0;
    int height_ = 0;
};

}  // namespace kvr
