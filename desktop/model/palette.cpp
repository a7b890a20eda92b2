#include "model/palette.h"

#include <algorithm>
#include <cmath>

namespace kvr {

namespace {

// The rainbow of full colour mode, index 0 (lowest identity) to 63 (100 %). The steps are not all
// equal; these are the exact values.
constexpr PaletteTable kFullColourTable = {{
    {0, 0, 143},     {0, 0, 159},     {0, 0, 175},     {0, 0, 191},    {0, 0, 207},
    {0, 0, 223},     {0, 0, 239},     {0, 0, 255},     {0, 16, 255},   {0, 32, 255},
    {0, 48, 255},    {0, 64, 255},    {0, 80, 255},    {0, 96, 255},   {0, 111, 255},
    {0, 128, 255},   {0, 143, 255},   {0, 159, 255},   {0, 175, 255},  {0, 191, 255},
    {0, 207, 255},   {0, 223, 255},   {0, 239, 255},   {0, 255, 255},  {16, 255, 239},
    {32, 255, 223},  {48, 255, 207},  {64, 255, 191},  {80, 255, 175}, {96, 255, 159},
    {111, 255, 143}, {128, 255, 128}, {143, 255, 111}, {159, 255, 96}, {175, 255, 80},
    {191, 255, 64},  {207, 255, 48},  {223, 255, 32},  {239, 255, 16}, {255, 255, 0},
    {255, 239, 0},   {255, 223, 0},   {255, 207, 0},   {255, 191, 0},  {255, 175, 0},
    {255, 159, 0},   {255, 143, 0},   {255, 128, 0},   {255, 111, 0},  {255, 96, 0},
    {255, 80, 0},    {255, 64, 0},    {255, 48, 0},    {255, 32, 0},   {255, 16, 0},
    {255, 0, 0},     {239, 0, 0},     {223, 0, 0},     {207, 0, 0},    {191, 0, 0},
    {175, 0, 0},     {159, 0, 0},     {143, 0, 0},     {128, 0, 0},
}};

// Viridis (Stefan van der Walt, Nathaniel Smith and Eric Firing, matplotlib, 2015; released
// under CC0): its published 256-step table sampled at steps round(k x 255 / 63), each channel
// rounded to 0..255. Index 0 (lowest identity) dark purple to 63 (100 %) yellow.
constexpr PaletteTable kViridisTable = {{
    {68, 1, 84},    {70, 7, 90},    {71, 13, 96},   {71, 19, 101},  {72, 24, 106},  {72, 29, 111},
    {72, 35, 116},  {72, 40, 120},  {71, 45, 123},  {70, 50, 126},  {69, 55, 129},  {67, 61, 132},
    {66, 65, 134},  {64, 70, 136},  {62, 74, 137},  {60, 79, 138},  {58, 83, 139},  {56, 88, 140},
    {54, 92, 141},  {52, 96, 141},  {50, 100, 142}, {49, 104, 142}, {47, 108, 142}, {45, 112, 142},
    {44, 115, 142}, {42, 119, 142}, {41, 123, 142}, {39, 127, 142}, {38, 130, 142}, {36, 134, 142},
    {35, 138, 141}, {33, 142, 141}, {32, 146, 140}, {31, 150, 139}, {31, 154, 138}, {31, 158, 137},
    {31, 161, 135}, {33, 165, 133}, {35, 169, 131}, {38, 173, 129}, {42, 176, 127}, {47, 180, 124},
    {53, 183, 121}, {59, 187, 117}, {66, 190, 113}, {74, 193, 109}, {82, 197, 105}, {90, 200, 100},
    {99, 203, 95},  {108, 205, 90}, {117, 208, 84}, {127, 211, 78}, {137, 213, 72}, {149, 216, 64},
    {160, 218, 57}, {170, 220, 50}, {181, 222, 43}, {192, 223, 37}, {202, 225, 31}, {213, 226, 26},
    {223, 227, 24}, {234, 229, 26}, {244, 230, 30}, {253, 231, 37},
}};

// One run of the three colour table: from index `from` down to `to`, starting at (r, g, b) and
// adding the steps after each entry.
void FillRun(PaletteTable& table, int from, int to, float r, float g, float b, float dr, float dg,
             float db) {
    for (int k = from; k >= to; --k) {
        table[k] = Rgb{static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
                       static_cast<std::uint8_t>(b)};
        r += dr;
        g += dg;
        b += db;
    }
}

int RoundIndex(double value) {
    if (!(value > 0)) return 0;  // negative, or no number at all
    return static_cast<int>(std::min(std::nearbyint(value), double{kPaletteSize - 1}));
}

// The three bands: pale to pure blue (0-19), olive to green (20-41), pink to dark red (42-63).
PaletteTable MakeThreeColourTable() {
    PaletteTable table{};
    FillRun(table, 63, 57, 171, 0, 0, 12, 0, 0);    // dark red to bright red
    FillRun(table, 56, 42, 255, 0, 0, 0, 12, 12);   // pure red to pink
    FillRun(table, 41, 20, 0, 180, 30, 10, 1, -1);  // green to olive
    FillRun(table, 19, 0, 0, 0, 255, 0, 12, 0);     // pure blue to pale blue
    return table;
}

}  // namespace

int PaletteKindNamed(std::string_view name) {
    if (name == "rainbow") return kRainbowPalette;
    if (name == "viridis") return kViridisPalette;
    return -1;
}

const PaletteTable& PaletteOf(int colourMode, int paletteKind) {
    static const PaletteTable threeColour = MakeThreeColourTable();
    if (colourMode == kThreeColour) return threeColour;
    return paletteKind == kViridisPalette ? kViridisTable : kFullColourTable;
}

const PaletteTable& PaletteOf(const RunState& state) {
    return PaletteOf(state.choices.ColourMode, state.choices.paletteKind);
}

int ThreeColourBandIndex(const RunState& state, float percent) {
    const double p = percent;
    const double c1 = state.cutoff1;
    const double c2 = state.cutoff2;
    if (p <= c2) {
        const double lowest = 100.0 * state.minIdentity;
        // cutoff2 on the minimum itself leaves no room for a scale: the cut-off's own colour.
        if (c2 - lowest <= 0) return p < c2 ? 0 : 19;
        return RoundIndex((p - lowest) / (c2 - lowest) * 19);
    }
    if (p <= c1) return RoundIndex((p - c2) / (c1 - c2) * 21 + 20);
    return RoundIndex((p - c1) / (100 - c1) * 21 + 42);
}

int CellColourIndex(const RunState& state, float identity) {
    if (static_cast<float>(state.minIdentity) >= identity) return 0;
    if (state.choices.ColourMode == kThreeColour)
        return ThreeColourBandIndex(state, IdentityPercent(identity));
    const double m = state.minIdentity;
    return RoundIndex((identity - m) / (1 - m) * 63);
}

}  // namespace kvr
