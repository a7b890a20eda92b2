// A drawing surface on a QImage: coordinates in twips, 15 twips to the pixel, one font.
#pragma once

#include <QFont>
#include <QImage>

#include "platform/drawing_surface.h"

namespace kvr {

class QImageSurface : public DrawingSurface {
public:
    static constexpr int kTwipsPerPixel = 15;

    explicit QImageSurface(QFont font);

    void Resize(int width, int height) override;
    void Clear() override;
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    void FillRect(int x1, int y1, int x2, int y2, Rgb fill) override;
    void Box(int x1, int y1, int x2, int y2, Rgb fill) override;
    void Line(int x1, int y1, int x2, int y2, Rgb colour) override;
    void Text(int x, int y, std::string_view text) override;
    void RotatedText(int x, int y, std::string_view text) override;

    // Fills the whole image with a colour (the blank view uses the button face).
    void Fill(QColor colour);
    const QImage& Image() const { return image_; }

private:
    QImage image_;
    QFont font_;
    int width_ = 0;   // twips
    int height_ = 0;  // twips
};

}  // namespace kvr
