// The drawing seam: the few operations the matrix and plot pictures are drawn with, so that one
// piece of drawing code serves the screen canvas, the EMF file and the recording test surface.
#pragma once

#include <cstdint>
#include <string_view>

namespace kvr {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    bool operator==(const Rgb&) const = default;
};

inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kWhite{255, 255, 255};

// Coordinates are the surface's own units (twips on screen canvases, device units in EMF files),
// origin top-left, y downwards. Each surface has one font, chosen when it is made.
class DrawingSurface {
public:
    virtual ~DrawingSurface() = default;

    virtual void Resize(int width, int height) = 0;  // and clear to white
    virtual void Clear() = 0;                         // white
    virtual int Width() const = 0;
    virtual int Height() const = 0;

    // Axis-aligned rectangle between two opposite corners, filled, no outline.
    virtual void FillRect(int x1, int y1, int x2, int y2, Rgb fill) = 0;
    // Filled rectangle outlined by the black pen (the metafile's Rectangle record).
    virtual void Box(int x1, int y1, int x2, int y2, Rgb fill) = 0;
    virtual void Line(int x1, int y1, int x2, int y2, Rgb colour) = 0;
    // Black text with its top-left corner at (x, y).
    virtual void Text(int x, int y, std::string_view text) = 0;
    // Black text turned 90 degrees counter-clockwise, reading upwards from (x, y).
    virtual void RotatedText(int x, int y, std::string_view text) = 0;
};

}  // namespace kvr
