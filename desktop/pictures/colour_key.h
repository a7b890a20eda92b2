// The colour key beside every matrix picture: 22 boxes from 100 % down to the minimum identity,
// every other one labelled. The screen and file layouts place them; this says what they hold.
#pragma once

#include <array>
#include <string>

#include "model/run_state.h"

namespace kvr {

inline constexpr const char* kKeyTitle = "Pairwise identity (%)";
// Under the key of a matrix whose rows are too low to carry readable names.
inline constexpr const char* kNamesLeftOut = "Names left out: too small to read";

struct KeyBox {
    int number = 0;        // 1 (top) to 22 (bottom); odd boxes carry a tick and a label
    int paletteIndex = 0;  // 63, 60, ..., 0
    float value = 0;       // percentage the box stands for: 100, 100 - s, ...
    Rgb colour;
    // The label of an odd box: the value as a whole number after a blank (" 100"), or with as
    // many decimals as it takes to differ from the other labels when the range is narrow.
    std::string label;

    bool Labelled() const { return number % 2 == 1; }
};

inline constexpr int kKeyBoxCount = 22;

// The key boxes under the current mode: full colour shows Palette[63], [60], ...; three colour
// mode colours each box by the band rule applied to its value. The values step down by
// (100 - 100 m2) / 21, m2 being the minimum identity rounded to two decimals.
std::array<KeyBox, kKeyBoxCount> ColourKeyBoxes(const RunState& state);

}  // namespace kvr
