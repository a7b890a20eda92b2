#include "pictures/colour_key.h"

#include "io/number_text.h"
#include "model/palette.h"

namespace kvr {

std::array<KeyBox, kKeyBoxCount> ColourKeyBoxes(const RunState& state) {
    const double m2 = NumberValue(FormatDecimals(state.minIdentity, 2));
    const double step = (100 - 100 * m2) / 21;
    std::array<KeyBox, kKeyBoxCount> boxes{};
    float value = 100;
    for (int c = 1; c <= kKeyBoxCount; ++c) {
        KeyBox& box = boxes[c - 1];
        box.number = c;
        box.paletteIndex = 63 - 3 * (c - 1);
        box.value = value;
        const int index = state.choices.ColourMode == kThreeColour
                              ? ThreeColourBandIndex(state, value)
                              : box.paletteIndex;
        box.colour = PaletteOf(state)[index];
        value = static_cast<float>(value - step);
    }
    for (int digits = 0; digits <= 3; ++digits) {
        bool distinct = true;
        for (int c = 0; c < kKeyBoxCount; c += 2) {
            const float v = boxes[c].value;
            boxes[c].label =
                digits == 0 ? PrintedWhole(v) : (v < 0 ? "" : " ") + FormatDecimals(v, digits);
            distinct = distinct && (c == 0 || boxes[c].label != boxes[c - 2].label);
        }
        if (distinct) break;
    }
    return boxes;
}

}  // namespace kvr
