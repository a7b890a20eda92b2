// A drawing surface that records into an enhanced metafile (EMF) through the GDI calls of libEMF.
// Coordinates are pixels of the reference device; the picture's frame is in 0.01 mm.
#pragma once

#include <cstdint>
#include <string>

#include "platform/drawing_surface.h"

namespace kvr {

class EmfSurface : public DrawingSurface {
  public:
    // Opens a metafile at path with the given frame (hundredths of a millimetre), and selects an
    // "Arial" font of height 16 and a solid black pen of the thinnest width. Text is drawn on a
    // transparent background. IsOpen() tells whether the file could be created.
    EmfSurface(const std::string& path, int frameWidth, int frameHeight);
    ~EmfSurface() override;
    EmfSurface(const EmfSurface&) = delete;
    EmfSurface& operator=(const EmfSurface&) = delete;

    bool IsOpen() const { return dc_ != 0; }
    // Releases the pen and fonts and finishes the file on disk. Further drawing is ignored. False,
    // with errno telling why, when the file could not be finished (a full disk: libEMF throws
    // from its close, which this turns into the answer).
    bool Close();

    // Width and height are the frame in device pixels. Resize changes what they report and, like
    // Clear, paints the picture white (a metafile cannot forget what it has recorded).
    void Resize(int width, int height) override;
    void Clear() override;
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    // A Rectangle record without outline; both corners included, as on screen.
    void FillRect(int x1, int y1, int x2, int y2, Rgb fill) override;
    // A Rectangle record outlined by the pen, filled with a solid brush made for this box and
    // released after it.
    void Box(int x1, int y1, int x2, int y2, Rgb fill) override;
    // MoveToEx and LineTo with the black pen (a pen of another colour is made for the line).
    void Line(int x1, int y1, int x2, int y2, Rgb colour) override;
    // TextOutA at the top-left point, in the upright font or the font with escapement 900.
    void Text(int x, int y, std::string_view text) override;
    void RotatedText(int x, int y, std::string_view text) override;
    // Arial's widths at kTextCell.
    TextExtent MeasureText(std::string_view text, TextTurn turn) const override;

    static constexpr int kFontHeight = 16;  // cell height of both fonts, device units
    // The room a text is given: Arial with 16 units as its em rather than its cell, as some
    // converters draw it, so that the picture holds its texts in every reader.
    static constexpr double kTextCell = kFontHeight * kArialCellPerEm;

    // The reference device: 1024 x 768 pixels on 320 x 240 mm, so 32 pixels per centimetre.
    static int FrameToPixels(int hundredthsOfMillimetre);
    // The frame, in hundredths of a millimetre, that holds a drawing of this many pixels.
    static int PixelsToFrame(int pixels);

  private:
    using Handle = std::uint32_t;  // libEMF's handles are 32-bit numbers
    void SelectFont(Handle font);
    void FilledRectangle(int left, int top, int right, int bottom, Rgb fill, bool outlined);

    Handle dc_ = 0;
    Handle pen_ = 0;
    Handle uprightFont_ = 0;
    Handle rotatedFont_ = 0;
    Handle selectedFont_ = 0;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace kvr
