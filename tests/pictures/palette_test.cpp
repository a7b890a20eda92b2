#include "model/palette.h"

#include <gtest/gtest.h>

#include "pictures/colour_key.h"

namespace kvr {
namespace {

TEST(Palette, ViridisReplacesTheRainbowOfFullColourModeAndItsKey) {
    RunState state;
    state.minIdentity = 0.5;
    state.choices.paletteKind = kViridisPalette;
    // The published ends, #440154 and #FDE725, and step 31: the table's row 125.
    EXPECT_EQ(PaletteOf(state)[0], (Rgb{68, 1, 84}));
    EXPECT_EQ(PaletteOf(state)[63], (Rgb{253, 231, 37}));
    EXPECT_EQ(PaletteOf(state)[31], (Rgb{33, 142, 141}));
    // Lighter at every step, so that order reads without hue.
    const auto luma = [](Rgb c) { return 299 * c.r + 587 * c.g + 114 * c.b; };
    for (int k = 1; k < 64; ++k)
        EXPECT_GT(luma(PaletteOf(state)[k]), luma(PaletteOf(state)[k - 1])) << k;
    const auto key = ColourKeyBoxes(state);
    EXPECT_EQ(key.front().colour, PaletteOf(state)[63]);
    EXPECT_EQ(key.back().colour, PaletteOf(state)[0]);
    // Three colour mode keeps its bands; the rainbow comes back by name.
    state.choices.ColourMode = kThreeColour;
    EXPECT_EQ(PaletteOf(state)[63], (Rgb{171, 0, 0}));
    struct Name {
        const char* name;
        int kind;
    };
    for (const Name n : {Name{"rainbow", kRainbowPalette}, Name{"viridis", kViridisPalette},
                         Name{"VIRIDIS", -1}, Name{"", -1}})
        EXPECT_EQ(PaletteKindNamed(n.name), n.kind) << n.name;
    EXPECT_EQ(ChoicesOf(state).choices.paletteKind, kViridisPalette)
        << "the next analysis keeps it";
}

TEST(Palette, ThreeColourTableRunsOfEachBand) {
    RunState state;
    state.choices.ColourMode = kThreeColour;
    struct Entry {
        int index;
        Rgb colour;
    };
    const Entry entries[] = {
        {63, {171, 0, 0}},     {57, {243, 0, 0}},   {56, {255, 0, 0}},    {55, {255, 12, 12}},
        {42, {255, 168, 168}}, {41, {0, 180, 30}},  {31, {100, 190, 20}}, {20, {210, 201, 9}},
        {19, {0, 0, 255}},     {10, {0, 108, 255}}, {0, {0, 228, 255}},
    };
    for (const Entry& e : entries) EXPECT_EQ(PaletteOf(state)[e.index], e.colour) << e.index;
}

TEST(Palette, TheTableFollowsTheModeAndPalette) {
    RunState state;
    state.choices.ColourMode = kThreeColour;
    EXPECT_EQ(PaletteOf(state)[63], (Rgb{171, 0, 0}));
    state.choices.ColourMode = kFullColour;
    EXPECT_EQ(PaletteOf(state)[63], (Rgb{128, 0, 0}));
    EXPECT_EQ(PaletteOf(state)[20], (Rgb{0, 207, 255}));
}

struct IndexCase {
    int mode;
    double minIdentity;
    float cutoff1, cutoff2;
    float identity;
    int expected;
};

TEST(CellColourIndex, BothModesBandsAndMinimum) {
    const IndexCase cases[] = {
        // Full colour: (M - m) / (1 - m) x 63, half to even.
        {kFullColour, 0.5, 94, 78, 1.0f, 63},
        {kFullColour, 0.5, 94, 78, 0.75f, 32},  // 31.5 -> 32
        {kFullColour, 0.5, 94, 78, 0.5f, 0},    // the minimum's own cell
        {kFullColour, 0.5, 94, 78, 0.49f, 0},   // below the minimum
        {kFullColour, 1.0, 94, 78, 1.0f, 0},    // every identity equal
        {kFullColour, 0.6, 94, 78, 0.7f, 16},   // 15.75
        // Three colour: a cell on a cut-off belongs to the lower band.
        {kThreeColour, 0.5, 94, 78, 0.78f, 19},  // at cutoff2: pure blue
        {kThreeColour, 0.5, 94, 78, 0.94f, 41},  // at cutoff1: green
        {kThreeColour, 0.5, 94, 78, 0.79f, 21},  // 1/16 x 21 + 20 = 21.3
        {kThreeColour, 0.5, 94, 78, 0.95f, 46},  // 1/6 x 21 + 42 = 45.5 -> 46
        {kThreeColour, 0.5, 94, 78, 1.0f, 63},
        {kThreeColour, 0.5, 94, 78, 0.5f, 0},    // the minimum
        {kThreeColour, 0.5, 94, 78, 0.64f, 10},  // 14 / 28 x 19 = 9.5 -> 10
        {kThreeColour, 0.5, 90, 90, 0.90f, 19},  // equal cut-offs: no green band
        {kThreeColour, 0.5, 90, 90, 0.91f, 44},  // 1/10 x 21 + 42 = 44.1
        {kThreeColour, 1.0, 94, 78, 1.0f, 0},
        // Cut-off 2 on the minimum: no blue scale, the cut-off's own colour.
        {kThreeColour, 0.78, 94, 78, 0.78000003f, 19},  // P rounds onto 78
    };
    for (const IndexCase& c : cases) {
        RunState state;
        state.choices.ColourMode = c.mode;
        state.minIdentity = c.minIdentity;
        state.cutoff1 = c.cutoff1;
        state.cutoff2 = c.cutoff2;
        EXPECT_EQ(CellColourIndex(state, c.identity), c.expected)
            << "mode " << c.mode << " min " << c.minIdentity << " identity " << c.identity;
    }
}

TEST(ColourKey, LabelsStepFromHundredToTheRoundedMinimum) {
    RunState state;
    state.minIdentity = 0.58;  // step (100 - 58) / 21 = 2
    const auto boxes = ColourKeyBoxes(state);
    EXPECT_EQ(boxes[0].value, 100.0f);
    EXPECT_EQ(boxes[0].paletteIndex, 63);
    EXPECT_EQ(boxes[0].colour, (Rgb{128, 0, 0}));
    EXPECT_FLOAT_EQ(boxes[20].value, 60.0f);  // the last label
    EXPECT_TRUE(boxes[20].Labelled());
    EXPECT_FLOAT_EQ(boxes[21].value, 58.0f);  // the minimum, unlabelled
    EXPECT_FALSE(boxes[21].Labelled());
    EXPECT_EQ(boxes[21].paletteIndex, 0);
}

TEST(ColourKey, ThreeColourBoxesFollowTheBands) {
    RunState state;
    state.choices.ColourMode = kThreeColour;
    state.minIdentity = 0.58;
    state.cutoff1 = 94;
    state.cutoff2 = 78;
    const auto boxes = ColourKeyBoxes(state);
    EXPECT_EQ(boxes[0].colour, PaletteOf(state)[63]);
    EXPECT_EQ(boxes[3].colour, PaletteOf(state)[ThreeColourBandIndex(state, 94.0f)]);  // green top
    EXPECT_EQ(boxes[3].colour, PaletteOf(state)[41]);
    EXPECT_EQ(boxes[11].colour, PaletteOf(state)[19]);  // 78: blue
    EXPECT_EQ(boxes[21].colour, PaletteOf(state)[0]);   // the minimum
}

}  // namespace
}  // namespace kvr
