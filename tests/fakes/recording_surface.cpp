#include "fakes/recording_surface.h"

namespace kvr {

void RecordingSurface::Resize(int width, int height) {
    width_ = width;
    height_ = height;
    ops.push_back({DrawOp::Kind::Resize, 0, 0, width, height, kWhite, {}});
}

void RecordingSurface::Clear() {
    ops.push_back({DrawOp::Kind::Clear, 0, 0, 0, 0, kWhite, {}});
}

void RecordingSurface::FillRect(int x1, int y1, int x2, int y2, Rgb fill) {
    ops.push_back({DrawOp::Kind::FillRect, x1, y1, x2, y2, fill, {}});
}

void RecordingSurface::Box(int x1, int y1, int x2, int y2, Rgb fill) {
    ops.push_back({DrawOp::Kind::Box, x1, y1, x2, y2, fill, {}});
}

void RecordingSurface::Line(int x1, int y1, int x2, int y2, Rgb colour) {
    ops.push_back({DrawOp::Kind::Line, x1, y1, x2, y2, colour, {}});
}

void RecordingSurface::Text(int x, int y, std::string_view text) {
    ops.push_back({DrawOp::Kind::Text, x, y, 0, 0, kBlack, std::string(text)});
}

void RecordingSurface::RotatedText(int x, int y, std::string_view text) {
    ops.push_back({DrawOp::Kind::RotatedText, x, y, 0, 0, kBlack, std::string(text)});
}

std::vector<DrawOp> RecordingSurface::OpsOf(DrawOp::Kind kind) const {
    std::vector<DrawOp> found;
    for (const DrawOp& op : ops)
        if (op.kind == kind) found.push_back(op);
    return found;
}

TextExtent RecordingSurface::MeasureText(std::string_view text, TextTurn turn) const {
    return ArialExtent(text, turn == TextTurn::Upright ? uprightCell_ : turnedCell_);
}

std::vector<RecordingSurface::PlacedText> RecordingSurface::Texts() const {
    std::vector<PlacedText> texts;
    for (const DrawOp& op : ops) {
        if (op.kind != DrawOp::Kind::Text && op.kind != DrawOp::Kind::RotatedText) continue;
        const TextTurn turn = op.kind == DrawOp::Kind::Text ? TextTurn::Upright : TextTurn::Rotated;
        texts.push_back({op.text, TextBox(op.x1, op.y1, MeasureText(op.text, turn), turn)});
    }
    return texts;
}

}  // namespace kvr
