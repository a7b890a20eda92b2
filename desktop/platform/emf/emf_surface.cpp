#include "platform/emf/emf_surface.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <type_traits>

#include <libEMF/emf.h>
// The Windows headers define min and max as macros.
#undef min
#undef max

namespace kvr {

static_assert(sizeof(HDC) == sizeof(std::uint32_t) && std::is_unsigned_v<HDC>,
              "libEMF handles are 32-bit numbers");

namespace {

constexpr int kRotatedEscapement = 900;  // tenths of a degree: reading upwards

COLORREF ToColorRef(Rgb c) {
    return RGB(c.r, c.g, c.b);
}

HPEN MakePen(Rgb colour) {
    LOGPEN pen{};
    pen.lopnStyle = PS_SOLID;
    pen.lopnWidth.x = 0;  // the thinnest line the device draws
    pen.lopnColor = ToColorRef(colour);
    return CreatePenIndirect(&pen);
}

HFONT MakeArial(int escapement) {
    return CreateFontA(EmfSurface::kFontHeight, 0, escapement, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                       "Arial");
}

}  // namespace

int EmfSurface::FrameToPixels(int hundredthsOfMillimetre) {
    return static_cast<int>(std::lround(hundredthsOfMillimetre * 1024.0 / 32000.0));
}

int EmfSurface::PixelsToFrame(int pixels) {
    return static_cast<int>(std::ceil(pixels * 32000.0 / 1024.0));
}

EmfSurface::EmfSurface(const std::string& path, int frameWidth, int frameHeight)
    : width_(FrameToPixels(frameWidth)), height_(FrameToPixels(frameHeight)) {
    const RECT frame{0, 0, frameWidth, frameHeight};
    dc_ = CreateEnhMetaFileA(0, path.c_str(), &frame, nullptr);
    if (dc_ == 0) return;
    uprightFont_ = MakeArial(0);
    rotatedFont_ = MakeArial(kRotatedEscapement);
    pen_ = MakePen(kBlack);
    SelectFont(uprightFont_);
    SelectObject(dc_, pen_);
    SetBkMode(dc_, TRANSPARENT);
}

EmfSurface::~EmfSurface() {
    Close();
}

bool EmfSurface::Close() {
    if (dc_ == 0) return true;
    const Handle dc = dc_;
    dc_ = 0;  // never closed twice, even when the close below throws
    DeleteObject(pen_);
    DeleteObject(uprightFont_);
    DeleteObject(rotatedFont_);
    errno = 0;
    try {
        DeleteEnhMetaFile(CloseEnhMetaFile(dc));
    } catch (...) {
        if (errno == 0) errno = EIO;
        return false;
    }
    return true;
}

void EmfSurface::SelectFont(Handle font) {
    if (selectedFont_ == font) return;
    SelectObject(dc_, font);
    selectedFont_ = font;
}

void EmfSurface::Resize(int width, int height) {
    width_ = width;
    height_ = height;
    Clear();
}

void EmfSurface::Clear() {
    FillRect(0, 0, width_, height_, kWhite);
}

void EmfSurface::FilledRectangle(int left, int top, int right, int bottom, Rgb fill,
                                 bool outlined) {
    if (dc_ == 0) return;
    LOGBRUSH description{};
    description.lbStyle = BS_SOLID;
    description.lbColor = ToColorRef(fill);
    const HBRUSH brush = CreateBrushIndirect(&description);
    SelectObject(dc_, brush);
    if (!outlined) SelectObject(dc_, GetStockObject(NULL_PEN));
    Rectangle(dc_, left, top, right, bottom);
    if (!outlined) SelectObject(dc_, pen_);
    DeleteObject(brush);
}

void EmfSurface::FillRect(int x1, int y1, int x2, int y2, Rgb fill) {
    // Without a pen a Rectangle leaves out its right and bottom edges.
    FilledRectangle(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2) + 1, std::max(y1, y2) + 1,
                    fill, false);
}

void EmfSurface::Box(int x1, int y1, int x2, int y2, Rgb fill) {
    FilledRectangle(x1, y1, x2, y2, fill, true);
}

void EmfSurface::Line(int x1, int y1, int x2, int y2, Rgb colour) {
    if (dc_ == 0) return;
    const bool black = colour == kBlack;
    const HPEN pen = black ? pen_ : MakePen(colour);
    if (!black) SelectObject(dc_, pen);
    MoveToEx(dc_, x1, y1, nullptr);
    LineTo(dc_, x2, y2);
    if (!black) {
        SelectObject(dc_, pen_);
        DeleteObject(pen);
    }
}

void EmfSurface::Text(int x, int y, std::string_view text) {
    if (dc_ == 0) return;
    SelectFont(uprightFont_);
    TextOutA(dc_, x, y, text.data(), static_cast<int>(text.size()));
}

void EmfSurface::RotatedText(int x, int y, std::string_view text) {
    if (dc_ == 0) return;
    SelectFont(rotatedFont_);
    TextOutA(dc_, x, y, text.data(), static_cast<int>(text.size()));
}

TextExtent EmfSurface::MeasureText(std::string_view text, TextTurn /*turn*/) const {
    return ArialExtent(text, kTextCell);
}

}  // namespace kvr
