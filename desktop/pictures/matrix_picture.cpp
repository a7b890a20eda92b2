#include "pictures/matrix_picture.h"

#include <algorithm>
#include <cmath>

#include "io/file_io.h"
#include "io/number_text.h"
#include "io/program_folder.h"
#include "io/text.h"
#include "model/palette.h"
#include "pictures/colour_key.h"
#include "pictures/group_outlines.h"
#include "pictures/row_tree.h"
#include "platform/emf/emf_surface.h"

namespace kvr {

namespace {

constexpr int kCellWidth = 22;
constexpr int kCellHeight = 20;
constexpr int kMargin = 10;
constexpr int kKeyOffset = 416;
constexpr int kOutlineBand = 3;        // device units, against the cells' one-unit outlines
constexpr double kKeyBoxWidth = 38.5;  // 22 x 1.75
constexpr int kTreeX = 2;              // the tree's root, clear of the frame's edge
constexpr int kTreeWidth = 150;
constexpr int kTreeRoom = kTreeX + kTreeWidth + kMargin;  // left of the names
constexpr int kKeyBoxHeight = 15;                         // 20 x 0.75
int RoundHalfEven(double value) {
    return static_cast<int>(std::nearbyint(value));
}

int NameSpace(int maxNameLen) {
    return RoundHalfEven(maxNameLen * 85 / 10.0);
}  // L

std::string DisplayName(const Record& record) {
    return ReplaceAll(record.name, ">", "");
}

TextExtent Measure(std::string_view text) {
    return ArialExtent(text, EmfSurface::kTextCell);
}

// L, widened where the names' letters need more than 8.5 units each: a turned name starts 10
// units below L and must end 4 units short of the cells.
int NameSpace(const RunState& state) {
    int L = NameSpace(state.maxNameLen);
    for (const Record& record : state.SequenceList)
        L = std::max(L, Measure(DisplayName(record)).along - 6);
    return L;
}

int TitleY(int n, int L) {
    return std::max(RoundHalfEven((kCellHeight * n + L + kMargin - kKeyOffset) / 2.0), 0);
}

int KeyTop(int n, int L) {
    return std::max(RoundHalfEven((kCellHeight * n + L + 50 - kKeyOffset) / 2.0), 20);
}

// The frame holds the drawing and a margin right of it and below it: the names under the
// triangle, the key beside it (its widest label is " 100") and the title.
PictureFrame FrameFor(int n, int L, int T = 0) {
    const int right = kCellWidth * n + T + L + kMargin;
    const int x2 = RoundHalfEven(right + 3 * kMargin + kKeyBoxWidth);
    const int width =
        std::max({right + Measure(kKeyTitle).along, x2 + 15, x2 + 14 + Measure(" 100").along}) +
        kMargin;
    const int height =
        std::max({kCellHeight * n + kMargin + L, TitleY(n, L) + Measure(kKeyTitle).across,
                  KeyTop(n, L) + kKeyBoxCount * kKeyBoxHeight}) +
        kMargin;
    return {EmfSurface::PixelsToFrame(width), EmfSurface::PixelsToFrame(height)};
}

}  // namespace

PictureFrame MatrixPictureFrame(int n, int maxNameLen) {
    return FrameFor(n, NameSpace(maxNameLen));
}

PictureFrame MatrixPictureFrame(const RunState& state, bool tree) {
    return FrameFor(state.seqCount, NameSpace(state), tree ? kTreeRoom : 0);
}

void DrawMatrixPicture(const RunState& state, DrawingSurface& picture,
                       const std::vector<CellBlock>& outlined, const TreeShape* tree) {
    const int n = state.seqCount;
    const int L = NameSpace(state);
    const int T = tree ? kTreeRoom : 0;
    const int left = T + L + kMargin;  // left edge of the triangle

    if (tree) DrawRowTree(picture, *tree, {kTreeX, kTreeWidth, 0, kCellHeight});
    for (int i = 0; i < n; ++i) {
        const std::string name = DisplayName(state.SequenceList[i]);
        picture.Text(T, kCellHeight * i, name);
        picture.RotatedText(kCellWidth * i + left, kCellHeight * n + kMargin + L, name);
    }

    for (int i = 0; i < n; ++i) {
        const int x = kCellWidth * i + left;
        for (int j = i; j < n; ++j) {
            const int y = kCellHeight * j;
            picture.Box(x, y, x + kCellWidth, y + kCellHeight,
                        PaletteOf(state)[CellColourIndex(state, state.IdentityMatrix(i, j))]);
        }
    }

    if (!outlined.empty())
        DrawGroupOutlines(picture, outlined, {left, kCellWidth, kCellHeight, 1, kOutlineBand},
                          {left, 0, left + kCellWidth * n, kCellHeight * n});

    const int right = kCellWidth * n + left;
    picture.Text(right, TitleY(n, L), kKeyTitle);

    const int x1 = right + 3 * kMargin;
    const int x2 = RoundHalfEven(x1 + kKeyBoxWidth);
    int y = KeyTop(n, L);
    for (const KeyBox& box : ColourKeyBoxes(state)) {
        picture.Box(x1, y, x2, y + kKeyBoxHeight, box.colour);
        if (box.Labelled()) {
            const int tickY = RoundHalfEven(y + kKeyBoxHeight / 2.0);
            picture.Line(x2 - 1, tickY, x2 + 15, tickY, kBlack);
            picture.Text(x2 + 14, y, box.label);
        }
        y += kKeyBoxHeight;
    }
}

Result<void> WriteMatrixPictureFile(const RunState& state, const std::string& path,
                                    const std::vector<CellBlock>& outlined, const TreeShape* tree) {
    const PictureFrame frame = MatrixPictureFrame(state, tree != nullptr);
    // Written beside the target and renamed over it when whole: a failed write keeps the old one.
    return ReplaceFile(path, [&](const std::string& temporary) {
        EmfSurface picture(temporary, frame.width, frame.height);
        if (!picture.IsOpen()) return false;
        DrawMatrixPicture(state, picture, outlined, tree);
        return picture.Close();
    });
}

std::string MatrixPicturePath(const std::string& workFolder) {
    return JoinPath(workFolder, kMatrixPictureName);
}

void WriteMatrixPicture(const RunState& state, const std::string& workFolder) {
    const std::string path = MatrixPicturePath(workFolder);
    if (state.seqCount > kEagerMatrixPicture) return DeleteFileQuietly(path);
    WriteMatrixPictureFile(state, path, {}, ShownTree(state).get());
}

}  // namespace kvr
