// The matrix as a vector picture (EMF) in a compact layout of its own: 22 x 20 unit cells, the
// names in a 16-unit Arial, one colour key. Written to the work folder after every colouring and
// to files the user names; drawn for any number of sequences.
#pragma once

#include <string>

#include "io/file_io.h"
#include "io/tree_shape.h"
#include "model/group_frames.h"
#include "model/run_state.h"
#include "platform/drawing_surface.h"

namespace kvr {

inline constexpr const char* kMatrixPictureName = "Identity_mat.emf";

// The picture's frame in hundredths of a millimetre: the drawing's extent and a 10-unit margin,
// at the reference device's 32 units to the centimetre. The first form is for names that fit
// 8.5 units a character.
struct PictureFrame {
    int width;
    int height;
};
PictureFrame MatrixPictureFrame(int seqCount, int maxNameLen);
PictureFrame MatrixPictureFrame(const RunState& state, bool tree = false);

// The drawing proper, in device units, under the current ColourMode (Palette already built).
// Names of wide letters widen the name space so that they never run into the cells. The blocks
// of the groups to outline (AnalysisGroupBlocks) are framed over the cells; none by default. A
// tree, when given, is drawn left of the names, 150 units wide, its leaves at the rows.
void DrawMatrixPicture(const RunState& state, DrawingSurface& picture,
                       const std::vector<CellBlock>& outlined = {},
                       const TreeShape* tree = nullptr);

// Draws the picture into a new EMF file at path, through ReplaceFile.
Result<void> WriteMatrixPictureFile(const RunState& state, const std::string& path,
                                    const std::vector<CellBlock>& outlined = {},
                                    const TreeShape* tree = nullptr);

// The work folder's "Identity_mat.emf", for the EMF clipboard copy. Written with every colouring
// up to 500 sequences; for larger sets (seconds and gigabytes of EMF) the old file is removed
// and the copy writes it when it is asked for.
std::string MatrixPicturePath(const std::string& workFolder);
void WriteMatrixPicture(const RunState& state, const std::string& workFolder);
inline constexpr int kEagerMatrixPicture = 500;

}  // namespace kvr
