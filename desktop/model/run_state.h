// The state of a run: the analysis (model/analysis.h) with what a run makes it from (the
// sequences and identities in input order), the user's choices and the files it came from. The
// window owns the instance on display and prepares the next analysis in another one, which
// replaces it whole once its run has finished; kvr and tests make their own. What the window
// shows of it and how is the window's own (ui/window_view.h).
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "model/aligner.h"
#include "model/analysis.h"
#include "model/file_stamp.h"
#include "platform/drawing_surface.h"

namespace kvr {

using PaletteTable = std::array<Rgb, 64>;

enum ColourModeKind : int { kFullColour = 0, kThreeColour = 1 };

// The 64 steps of full colour mode: the rainbow, or viridis, which readers with any common form
// of colour blindness see in order.
enum PaletteKind : int { kRainbowPalette = 0, kViridisPalette = 1 };

// The run that the options window starts for the sequences waiting in it.
enum class RunKind { Fresh, Rerun, Append };

// The largest matrix drawn on screen; larger ones are only written to files. The view draws what
// it shows as it shows it, so this is the view's own limit: cells of two pixels in widgets of at
// most 16,777,215 pixels.
inline constexpr int kMaxScreenSequences = 8'000'000;

// What the built-in aligner did in a run, for kvr's closing lines: the pairs it aligned, those of
// them computed in the widest band its memory budget allows (not exact), and those that MUSCLE's
// per-pair alphabet guess takes for protein.
struct BuiltinNotes {
    long long pairs = 0;
    long long bounded = 0;
    long long guessedProtein = 0;
};

// The pairs a run scored 0 because, skipping ambiguity codes, no column was left to compare: how
// many, and the first of them (input positions), for the warning.
struct UncomparedPairs {
    long long count = 0;
    int first = -1;
    int second = -1;
};

// What the user chose: every analysis starts from the last one's (ChoicesOf), and the settings
// file keeps them between sessions.
struct Choices {
    std::string lastFolder;              // the folder of the last file opened or saved
    std::optional<Aligner> AlignerKind;  // empty until the first run
    bool useTree = false;
    // The identity compares only the columns without an ambiguity code (--ambiguous skip).
    bool skipAmbiguous = false;
    float chosenCutoff1 = 94.0f;  // the cut-offs as the user set them
    float chosenCutoff2 = 78.0f;
    int ColourMode = kFullColour;
    int paletteKind = kRainbowPalette;  // full colour mode's steps
    bool showTree = true;  // the tree that ordered the analysis drawn beside the names (View menu)
    int splitMin = 0;      // the splitter's range
    int splitMax = 0;
};

struct RunState : Analysis {
    // What a run makes the analysis from.
    int appendCount = 0;
    RecordTable InputSequences;   // input order
    IdentityTable InputIdentity;  // input order
    // Keep InputCounts for the pairs this run aligns.
    bool keepPairCounts = false;
    BuiltinNotes builtinNotes;   // of the pairs this run aligns
    UncomparedPairs uncompared;  // of the pairs this run aligns

    Choices choices;
    // The cut-offs in effect: as chosen, raised to this analysis's smallest identity.
    float cutoff1 = 94.0f;
    float cutoff2 = 78.0f;

    // Files.
    // The folder of the last file a dialog chose for this analysis; "" at first, when its saves
    // start in its input file's folder.
    std::string saveFolder;
    std::string inputPath;
    // The files this analysis's sequences came from, the first opened first (an append adds one).
    std::vector<std::string> sourceFiles;
    // The stamp of each of them as it was read: a run's record names a file's checksum only while
    // the file is still the one read (none when it could not be reached).
    std::vector<std::optional<FileStamp>> sourceStamps;

    // Work fields of the engine and the exports.
    std::string runFolder;  // the exchange folder of the run in progress, "" when none
    std::vector<std::string> treeNames;
    // The tree program's tree ("outtree") that ordered this analysis, over treeNames; empty when
    // the order is not a tree's.
    std::string treeNewick;

    // A tree ordered the analysis and can be written: its run's, or the one its session keeps.
    bool KeepsTree() const { return !treeNewick.empty() || !provenance.tree.empty(); }
    // The matrix of this analysis can be drawn on screen.
    bool FitsOnScreen() const { return seqCount <= kMaxScreenSequences; }
};

// A state for the next analysis: the user's choices of this one (folders, aligner, tree, ambiguity
// rule, colour mode, cut-offs, splitter range), and no data.
RunState ChoicesOf(const RunState& state);

}  // namespace kvr
