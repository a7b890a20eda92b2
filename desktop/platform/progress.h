// The core's one view of whoever asked for the work: the window, kvr, the C++ API and the Python
// module. It hears which step is under way, how far it is, the pair being aligned, and the
// messages the user must read; each front end shows them its own way (captions and message
// boxes, lines on standard error, the caller's callback). Stopping is asked through the Shell's
// StopRequest, which every wait and every pair polls.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace kvr {

class Progress {
  public:
    virtual ~Progress() = default;

    // A step begins: "Pairwise identity calculation", "Drawing tree", "Creating bins ...".
    virtual void Step(std::string_view name) = 0;
    // The step is this far, 0 to 100.
    virtual void Percent(int percent) = 0;
    // Aligning records i and j (input positions, from 0); count of total pairs are done, count
    // with the fraction of a long pair under way.
    virtual void Pair(int i, int j, double count, double total) = 0;
    // The work ended this way ("Completed", "Done", "Cancelled", "Failed"); the bar is back at 0.
    virtual void End(std::string_view name) = 0;
    // What the user must read: why the work failed, or a warning it went on after.
    virtual void Message(std::string_view text) = 0;
    // Lets the caller breathe between small pieces of work (the window runs its events).
    virtual void Breathe() {}
};

// The step of the pair under way as every front end names it: "Aligning 3 - 4" (from 1).
inline std::string PairStep(int i, int j) {
    return "Aligning " + std::to_string(i + 1) + " - " + std::to_string(j + 1);
}

// The percent of the pairs done, 0 to 100.
inline double PairPercent(double count, double total) {
    return std::min(100.0, 100.0 * count / total);
}

}  // namespace kvr
