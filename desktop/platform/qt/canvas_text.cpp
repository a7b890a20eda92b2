#include "platform/qt/canvas_text.h"

#include <QFontMetricsF>
#include <QStringDecoder>
#include <cmath>

namespace kvr {

namespace {

constexpr int kDotsPerMetre = 3780;  // 96 dpi: 8.25 pt is 11 pixels
constexpr int kTwipsPerPixel = 15;

QImage Screen() {
    QImage image(1, 1, QImage::Format_RGB32);
    image.setDotsPerMeterX(kDotsPerMetre);
    image.setDotsPerMeterY(kDotsPerMetre);
    return image;
}

QFont TurnedFont(const QFont& font, const QImage& device) {
    const double cellPx = std::nearbyint(1.3 * font.pointSizeF());
    const QFontMetricsF metrics(font, &device);
    QFont turned = font;
    turned.setPointSizeF(font.pointSizeF() * cellPx / (metrics.ascent() + metrics.descent()));
    return turned;
}

}  // namespace

QFont CanvasFont(const char* family) {
    QFont font(QString::fromLatin1(family));
    font.setPointSizeF(8.25);
    return font;
}

QString CanvasText(std::string_view text) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString decoded = utf8.decode(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
    if (utf8.hasError())
        decoded = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    // Control characters have no glyph, and XML (an SVG) cannot hold them at all: each is drawn
    // as the replacement character, as a text viewer shows a byte it cannot show.
    for (QChar& c : decoded)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f) c = QChar::ReplacementCharacter;
    return decoded;
}

CanvasFonts::CanvasFonts(QFont font)
    : screen_(Screen()), upright_(std::move(font)), turned_(TurnedFont(upright_, screen_)) {}

double CanvasFonts::Ascent(TextTurn turn) const {
    const QFontMetricsF metrics(turn == TextTurn::Upright ? upright_ : turned_, &screen_);
    return metrics.ascent() * kTwipsPerPixel;
}

TextExtent CanvasFonts::Measure(std::string_view text, TextTurn turn) const {
    const QFontMetricsF metrics(turn == TextTurn::Upright ? upright_ : turned_, &screen_);
    return {
        static_cast<int>(std::ceil(metrics.horizontalAdvance(CanvasText(text)) * kTwipsPerPixel)),
        static_cast<int>(std::ceil((metrics.ascent() + metrics.descent()) * kTwipsPerPixel))};
}

}  // namespace kvr
