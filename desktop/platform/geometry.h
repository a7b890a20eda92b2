// Positions and sizes in twips, shared by the window's controls, the pictures' layout and the
// settings that remember the window.
#pragma once

namespace kvr {

// Position and size of a control in twips; left and top relative to its container.
struct Rect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
    double Right() const { return left + width; }
    double Bottom() const { return top + height; }
    bool operator==(const Rect&) const = default;
};

struct Size {
    double width = 0;
    double height = 0;
    bool operator==(const Size&) const = default;
};

}  // namespace kvr
