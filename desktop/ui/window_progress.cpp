#include "ui/window_progress.h"

#include <cmath>

#include "io/number_text.h"

namespace kvr {

void WindowProgress::Step(std::string_view name) {
    window_.SetCaption(Control::lblProgress, name);
}

void WindowProgress::Percent(int percent) {
    window_.SetValue(Control::ProgressBar1, percent);
}

// count: the pair under way, from 1; with a fraction, the part of the next done (the built-in
// aligner's progress within a long pair), which moves the bar but not the count shown.
void WindowProgress::Pair(int i, int j, double count, double total) {
    window_.SetCaption(Control::lblProgress, PairStep(i, j));
    const double percent = PairPercent(count, total);
    window_.SetValue(Control::ProgressBar1, static_cast<int>(std::nearbyint(percent)));
    window_.SetCaption(Control::lblPrgPercent, PrintedWhole(std::floor(percent)) + "%");
    window_.SetCaption(Control::lblFilePath,
                       "Pairwise identity calculation  for " + source_ +
                           "  Number of alignments: " + PrintedWhole(std::floor(count)) +
                           " out of " + PrintedWhole(total));
}

void WindowProgress::End(std::string_view name) {
    window_.SetCaption(Control::lblProgress, name);
    window_.SetValue(Control::ProgressBar1, 0);
    window_.SetCaption(Control::lblPrgPercent, "");
}

void WindowProgress::Message(std::string_view text) {
    window_.ShowMessage(text);
}

void WindowProgress::Breathe() {
    window_.ProcessEvents();
}

}  // namespace kvr
