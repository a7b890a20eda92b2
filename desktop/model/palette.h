// The colour of an identity: the two 64-colour tables (full colour and three colour mode) and
// the rule that turns an identity into a table index under the current mode and cut-offs.
#pragma once

#include <string_view>

#include "model/run_state.h"

namespace kvr {

inline constexpr int kPaletteSize = 64;

// "rainbow" or "viridis": the palette's name as kvr's --palette takes it; -1 for another name.
int PaletteKindNamed(std::string_view name);

// The 64 colours of a colour mode. Full colour: the fixed rainbow, dark blue (0) to dark red (63),
// or viridis, dark purple (0) to yellow (63), by the palette kind. Three colour: pale to pure blue
// (0-19), olive to green (20-41), pink to dark red (42-63); the cut-offs act only in
// CellColourIndex. Derived, never stored: a change of mode or palette needs no rebuilding.
const PaletteTable& PaletteOf(int colourMode, int paletteKind);

// The table of the state's ColourMode and paletteKind.
const PaletteTable& PaletteOf(const RunState& state);

// Index 0..63 of one identity (a fraction) under the current mode, minIdentity and cut-offs.
// Identities not above the minimum get 0.
int CellColourIndex(const RunState& state, float identity);

// The three colour band rule for a percentage P: blue up to cutoff2, green up to cutoff1, red
// above; rounded half to even, a negative index becoming 0. The colour keys use it directly.
int ThreeColourBandIndex(const RunState& state, float percent);

}  // namespace kvr
