#include "matrix/matrix_picture.h"

#include <algorithm>
#include <cmath>

#include "matrix/colour_key.h"
#include "matrix/palette.h"
#include "platform/emf/emf_surface.h"
#include "state/file_io.h"
#include "state/number_text.h"
#include "state/program_folder.h"
#include "state/text.h"

namespace kvr {

namespace {

constexpr int kCellWidth = 22;
constexpr int kCellHeight = 20;
constexpr int kMargin = 10;
constexpr int kKeyAllowance = 98;  // 97.5 rounded half to even
constexpr int kKeyOffset = 416;
constexpr double kKeyBoxWidth = 38.5;   // 22 x 1.75
constexpr int kKeyBoxHeight = 15;       // 20 x 0.75
constexpr double kFramePerUnit = 35.4;  // hundredths of a millimetre per unit

int RoundHalfEven(double value) {
    return static_cast<int>(std::nearbyint(value));
}

int NameSpace(int maxNameLen) {
    return RoundHalfEven(maxNameLen * 85 / 10.0);
}  // L

}  // namespace

PictureFrame MatrixPictureFrame(int n, int maxNameLen) {
    const int L = NameSpace(maxNameLen);
    int height = RoundHalfEven((kCellHeight * n + L + kMargin) * kFramePerUnit);
    if (n < 5)
        height *= 3;
    else if (n < 10)
        height *= 2;
    else if (n < 25)
        height = RoundHalfEven(height * 1.5);
    int width = RoundHalfEven(
        (kCellWidth * n + L + kMargin + kMargin + kKeyAllowance + 3 * kMargin) * kFramePerUnit);
    if (n < 5) width = RoundHalfEven(width * 1.2);
    return {width, height};
}

void DrawMatrixPicture(const RunState& state, DrawingSurface& picture) {
    const int n = state.seqCount;
    const int L = NameSpace(state.maxNameLen);
    const int left = L + kMargin;  // left edge of the triangle

    for (int i = 0; i < n; ++i) {
        const std::string name = ReplaceAll(state.SequenceList[i].name, ">", "");
        picture.Text(0, kCellHeight * i, name);
        picture.RotatedText(kCellWidth * i + left, kCellHeight * n + kMargin + L, name);
    }

    for (int i = 0; i < n; ++i) {
        const int x = kCellWidth * i + left;
        for (int j = i; j < n; ++j) {
            const int y = kCellHeight * j;
            picture.Box(x, y, x + kCellWidth, y + kCellHeight,
                        state.Palette[CellColourIndex(state, state.IdentityMatrix(i, j))]);
        }
    }

    const int right = kCellWidth * n + left;
    const int titleY = RoundHalfEven((kCellHeight * n + L + kMargin - kKeyOffset) / 2.0);
    picture.Text(right, std::max(titleY, 0), kKeyTitle);

    const int x1 = right + 3 * kMargin;
    const int x2 = RoundHalfEven(x1 + kKeyBoxWidth);
    int y = std::max(RoundHalfEven((kCellHeight * n + L + 50 - kKeyOffset) / 2.0), 20);
    for (const KeyBox& box : ColourKeyBoxes(state)) {
        picture.Box(x1, y, x2, y + kKeyBoxHeight, box.colour);
        if (box.Labelled()) {
            const int tickY = RoundHalfEven(y + kKeyBoxHeight / 2.0);
            picture.Line(x2 - 1, tickY, x2 + 15, tickY, kBlack);
            picture.Text(x2 + 14, y, PrintedWhole(box.value));
        }
        y += kKeyBoxHeight;
    }
}

bool WriteMatrixPictureFile(const RunState& state, const std::string& path) {
    const PictureFrame frame = MatrixPictureFrame(state.seqCount, state.maxNameLen);
    EmfSurface picture(path, frame.width, frame.height);
    if (!picture.IsOpen()) return false;
    DrawMatrixPicture(state, picture);
    picture.Close();
    return true;
}

std::string MatrixPicturePath(const std::string& workFolder) {
    return JoinPath(workFolder, kMatrixPictureName);
}

void WriteMatrixPicture(const RunState& state, const std::string& workFolder) {
    const std::string path = MatrixPicturePath(workFolder);
    DeleteFileQuietly(path);
    WriteMatrixPictureFile(state, path);
}

}  // namespace kvr
