// The drawing seam: the few operations the matrix and plot pictures are drawn with, so that one
// piece of drawing code serves the screen canvas, the EMF file, the SVG and PDF files and the
// recording test surface.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kvr {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    bool operator==(const Rgb&) const = default;
};

inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kWhite{255, 255, 255};

// A rectangle on a surface: left and top inside, right and bottom just outside.
struct SurfaceBox {
    int left = 0, top = 0, right = 0, bottom = 0;

    bool Overlaps(const SurfaceBox& o) const {
        return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
    }
    bool InsideOf(int width, int height) const {
        return left >= 0 && top >= 0 && right <= width && bottom <= height;
    }
    bool operator==(const SurfaceBox&) const = default;
};

enum class TextTurn { Upright, Rotated };

// The room a line of text takes: along the text and across it (the font's cell height).
struct TextExtent {
    int along = 0;
    int across = 0;
};

// Where a text drawn at (x, y) lies: upright text below and right of its top-left corner; turned
// text upwards from its start point and one line height to the right of it.
inline SurfaceBox TextBox(int x, int y, TextExtent extent, TextTurn turn) {
    if (turn == TextTurn::Upright) return {x, y, x + extent.along, y + extent.across};
    return {x, y - extent.along, x + extent.across, y};
}

// Advance widths of Arial for the characters 32 to 126, in 1/2048 of the em; Liberation Sans has
// the same widths. The cell (ascent + descent) is 2288/2048 of the em.
inline constexpr std::array<std::uint16_t, 95> kArialAdvances = {
    569,  569,  727,  1139, 1139, 1821, 1366, 391,  682,  682,  797,  1196, 569,  682,  569,  569,
    1139, 1139, 1139, 1139, 1139, 1139, 1139, 1139, 1139, 1139, 569,  569,  1196, 1196, 1196, 1139,
    2079, 1366, 1366, 1479, 1479, 1366, 1251, 1593, 1479, 569,  1024, 1366, 1139, 1706, 1479, 1593,
    1366, 1593, 1479, 1366, 1251, 1479, 1366, 1933, 1366, 1366, 1251, 569,  569,  569,  961,  1139,
    682,  1139, 1139, 1024, 1139, 1139, 569,  1139, 1139, 455,  455,  1024, 455,  1706, 1139, 1139,
    1139, 1139, 682,  1024, 569,  1139, 1024, 1479, 1024, 1024, 1024, 684,  532,  684,  1196};
inline constexpr double kArialCellPerEm = 2288.0 / 2048.0;

// The extent of text in Arial of the given cell height, in the same units. Bytes outside ASCII
// count as a wide letter, so that the room is never underestimated.
inline TextExtent ArialExtent(std::string_view text, double cellHeight) {
    long units = 0;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        units += byte >= 32 && byte < 127 ? kArialAdvances[byte - 32] : 1933;
    }
    const double em = cellHeight / kArialCellPerEm;
    return {static_cast<int>(std::ceil(units * em / 2048.0)),
            static_cast<int>(std::ceil(cellHeight))};
}

// The screen canvas font, Liberation Sans 8.25 pt at 96 dpi, in twips: an 11-pixel em upright;
// turned, a cell of round-half-even(1.3 x 8.25) = 11 pixels.
inline constexpr double kCanvasUprightCell = 165 * kArialCellPerEm;
inline constexpr double kCanvasTurnedCell = 165;

// Coordinates are the surface's own units (twips on screen canvases, SVG and PDF pages, device
// units in EMF files), origin top-left, y downwards. Each surface has one font, chosen when it is
// made.
class DrawingSurface {
  public:
    virtual ~DrawingSurface() = default;

    virtual void Resize(int width, int height) = 0;  // and clear to white
    virtual void Clear() = 0;                        // white
    virtual int Width() const = 0;
    virtual int Height() const = 0;

    // Axis-aligned rectangle between two opposite corners, filled, no outline.
    virtual void FillRect(int x1, int y1, int x2, int y2, Rgb fill) = 0;
    // Rectangles of one colour, each given as FillRect's two corners. The caller keeps them clear
    // of whatever else it fills in the same pass, so that a file may hold them as one shape.
    virtual void FillRects(const std::vector<SurfaceBox>& corners, Rgb fill) {
        for (const SurfaceBox& b : corners) FillRect(b.left, b.top, b.right, b.bottom, fill);
    }
    // Filled rectangle outlined by the black pen (the metafile's Rectangle record).
    virtual void Box(int x1, int y1, int x2, int y2, Rgb fill) = 0;
    virtual void Line(int x1, int y1, int x2, int y2, Rgb colour) = 0;
    // Black text with its top-left corner at (x, y).
    virtual void Text(int x, int y, std::string_view text) = 0;
    // Black text turned 90 degrees counter-clockwise, reading upwards from (x, y).
    virtual void RotatedText(int x, int y, std::string_view text) = 0;

    // The room a text takes in the surface's font, so that the pictures can keep labels apart
    // and inside. By default that of the screen canvas font in twips.
    virtual TextExtent MeasureText(std::string_view text, TextTurn turn) const {
        return ArialExtent(text,
                           turn == TextTurn::Upright ? kCanvasUprightCell : kCanvasTurnedCell);
    }
};

// The vector formats a platform may write besides EMF.
enum class PictureFormat { Svg, Pdf };

// Offered beside its Window by a platform that writes SVG and PDF files (the Qt window does): the
// picture handlers ask the window for it.
class VectorPictureWriter {
  public:
    virtual ~VectorPictureWriter() = default;
    // Draws a picture with draw into a new file at path; false when it could not be written.
    virtual bool WriteVectorPicture(PictureFormat format, const std::string& path,
                                    const std::function<void(DrawingSurface&)>& draw) = 0;
};

}  // namespace kvr
