// The one state of the desktop program: sequences in input and display order, the identity
// tables, the user's choices and the flags the window handlers leave for each other. The
// application owns one instance and passes it by reference; tests make their own.
#pragma once

#include <array>
#include <ostream>
#include <string>
#include <vector>

#include "platform/drawing_surface.h"
#include "state/identity_table.h"

namespace kvr {

// One FASTA record: the cleaned name line with its leading ">", and the residues on one line.
struct Record {
    std::string name;
    std::string residues;
    bool operator==(const Record&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Record& r) {
    return out << "{" << r.name << ", " << r.residues << "}";
}

using RecordTable = std::vector<Record>;
using PaletteTable = std::array<Rgb, 64>;

// Histogram by whole percent: rows 0 to 100, column 0 the count, column 1 the proportion.
using BinTable = std::vector<std::array<float, 2>>;

enum FileKind : int { kNothingLoaded = 0, kFastaLoaded = 1, kSessionOrAppended = 2 };
enum ColourModeKind : int { kFullColour = 0, kThreeColour = 1 };

struct RunState {
    // Sequence data.
    int seqCount = 0;
    int appendCount = 0;
    RecordTable InputSequences;    // input order
    RecordTable SequenceList;      // display order
    int maxNameLen = 0;            // longest name line, leading ">" included
    IdentityTable InputIdentity;   // input order
    IdentityTable IdentityMatrix;  // display order; symmetric, diagonal 1
    double minIdentity = 0.0;
    float maxIdentity = 0.0f;

    // User choices and display state.
    std::string AlignerKind;  // "muscle", "clustalw" or "mafft"; empty until the first run
    bool useTree = false;
    float cutoff1 = 94.0f;
    float cutoff2 = 78.0f;
    int ColourMode = kFullColour;
    PaletteTable Palette{};
    int zoomLevel = 0;
    int splitMin = 0;
    int splitMax = 0;

    // Files and flags.
    std::string lastFolder;
    std::string inputPath;
    int fileKind = kNothingLoaded;
    bool fromSession = false;
    bool appendMode = false;
    bool rerunMode = false;
    bool failFlag = false;
    bool matrixShown = false;
    // A run path is working: the window's handlers must not touch the tables it reads.
    bool runInProgress = false;

    // Work fields of the engine and the exports.
    std::string shellCommand;  // last external command line
    std::string runFolder;     // the exchange folder of the run in progress, "" when none
    int taskId = 0;            // process id of the last start
    int waitResult = 0;        // exit status of the last start
    std::vector<std::string> treeNames;
    std::vector<int> treeOrder;
    std::string orderLine;
    BinTable BinArray;  // empty until the first binning pass
    float maxProportion = 0.0f;
};

}  // namespace kvr
