// What every Qt drawing surface does with text the same way: the decoding of names, the turned
// font made from the canvas font, and the measures taken on a 96 dpi screen.
#pragma once

#include <QFont>
#include <QImage>
#include <QString>
#include <string_view>

#include "platform/drawing_surface.h"

namespace kvr {

// The pictures' fonts at 8.25 pt: Liberation Sans on the canvas, Liberation Sans Narrow in the
// window and its key panel (metric twins of Arial and Arial Narrow).
QFont CanvasFont(const char* family = "Liberation Sans");

// Names come from the user's files: UTF-8 when they are valid UTF-8, else one byte a character.
QString CanvasText(std::string_view text);

// The canvas font and its turned form, measured on a 96 dpi screen, in twips: so that the image,
// SVG and PDF surfaces lay a picture out alike.
class CanvasFonts {
  public:
    explicit CanvasFonts(QFont font);

    const QFont& Upright() const { return upright_; }
    // The font a 90-degree escapement makes from the canvas font: the same face with a cell
    // height (ascent + descent) of round-half-even(1.3 x point size) pixels.
    const QFont& Turned() const { return turned_; }
    double Ascent(TextTurn turn) const;  // twips
    TextExtent Measure(std::string_view text, TextTurn turn) const;

  private:
    QImage screen_;  // the 96 dpi reference the measures are taken on
    QFont upright_;
    QFont turned_;
};

}  // namespace kvr
