#include "ui/layout.h"

#include <algorithm>
#include <cmath>

namespace kvr {

namespace {

// Sizes fixed in the window design, in twips.
constexpr double kButtonHeight = 290;
constexpr double kCutoffLabelWidth = 735, kCutoffLabelHeight = 255;
constexpr double kSpinWidth = 255, kSpinHeight = 285;
constexpr double kCutoffShowWidth = 375, kCutoffShowHeight = 285;
constexpr double kScrollThickness = 255;

// The buttons scale with the window, but never below the width of their longest caption.
constexpr double kMinButtonWidth = 1650;
constexpr double kLeastHeight = 560 * 15;

double ButtonWidth(double formWidth) {
    return std::max(formWidth * 0.0988, kMinButtonWidth);
}

// The right end of the button row and the cut-off controls for a window width.
double ControlRowRight(double fw) {
    const double buttonWidth = ButtonWidth(fw);
    const double schemeLeft = (fw - (6 * buttonWidth + 100)) / 2 + 4 * (buttonWidth + 25);
    const double label1 = schemeLeft + buttonWidth + 375;
    const double show1 = label1 + kCutoffLabelWidth + 25 + kSpinWidth - 5;
    const double label2 = show1 + kCutoffShowWidth + 250;
    return label2 + kCutoffLabelWidth + 25 + kSpinWidth - 5 + kCutoffShowWidth;
}

void Place(Window& window, Control c, double left, double top, double width, double height) {
    window.SetGeometry(c, Rect{left, top, width, height});
}

}  // namespace

void LayOutMainWindow(Window& window, bool atStartUp) {
    const Rect form = window.Geometry(Control::frmMainForm);
    const double fw = form.width;
    const double fh = form.height;

    const double buttonWidth = ButtonWidth(fw);
    const double outerTop = kButtonHeight + 25;
    const Rect outer{50, outerTop, std::abs(fw - 750), std::abs(fh - 2500)};
    window.SetGeometry(Control::OuterPicture, outer);

    const double vScrollTop = atStartUp ? fh * 0.035 : outer.top;
    const Rect vScroll{outer.Right() + 50, vScrollTop, kScrollThickness, outer.height};
    const Rect hScroll{outer.left, outer.Bottom() + 50, outer.width, kScrollThickness};
    window.SetGeometry(Control::VScroll1, vScroll);
    window.SetGeometry(Control::HScroll1, hScroll);

    const Rect frame{outer.left, hScroll.Bottom() + 50, vScroll.width + outer.width + 50,
                     fh * 0.05};
    window.SetGeometry(Control::Frame2, frame);

    // Button row, centred on a block of six button widths plus 100.
    const double drawLeft = (fw - (6 * buttonWidth + 100)) / 2;
    const double plotLeft = drawLeft + buttonWidth + 25;
    const double zoomInLeft = plotLeft + buttonWidth + 25;
    const double zoomOutLeft = zoomInLeft + buttonWidth + 25;
    const double schemeLeft = zoomOutLeft + buttonWidth + 25;
    Place(window, Control::cmdDrawMat, drawLeft, 0, buttonWidth, kButtonHeight);
    Place(window, Control::cmdPlot, plotLeft, 0, buttonWidth, kButtonHeight);
    Place(window, Control::cmdZoomIn, zoomInLeft, 0, buttonWidth, kButtonHeight);
    Place(window, Control::cmdZoomOut, zoomOutLeft, 0, buttonWidth, kButtonHeight);
    Place(window, Control::cmdColourScheme, schemeLeft, 0, buttonWidth, kButtonHeight);

    // Cut-off controls to the right of the buttons.
    const double label1 = schemeLeft + buttonWidth + 375;
    const double spin1 = label1 + kCutoffLabelWidth + 25;
    const double show1 = spin1 + kSpinWidth - 5;
    const double label2 = show1 + kCutoffShowWidth + 250;
    const double spin2 = label2 + kCutoffLabelWidth + 25;
    const double show2 = spin2 + kSpinWidth - 5;
    Place(window, Control::lblCutoff1, label1, 0, kCutoffLabelWidth, kCutoffLabelHeight);
    Place(window, Control::updCutoff1, spin1, 0, kSpinWidth, kSpinHeight);
    Place(window, Control::lblCutoff1dsply, show1, 0, kCutoffShowWidth, kCutoffShowHeight);
    Place(window, Control::lblCutoff2, label2, 0, kCutoffLabelWidth, kCutoffLabelHeight);
    Place(window, Control::UpdCutoff2, spin2, 0, kSpinWidth, kSpinHeight);
    Place(window, Control::lblCutoff2dsply, show2, 0, kCutoffShowWidth, kCutoffShowHeight);

    // Inside the status frame (positions relative to it).
    const double rowTop = frame.height * 0.39024;
    const double barHeight = frame.height * 0.38;
    Place(window, Control::ProgressBar1, fw * 0.106 + 500, rowTop, frame.width * 0.78, barHeight);
    // The labels' widths are not part of the rule: the status text gets the room left of the bar,
    // the path label the width of the status frame.
    const double progressLeft = fw * 0.00903;
    Place(window, Control::lblProgress, progressLeft, rowTop,
          std::max(0.0, fw * 0.106 + 500 - progressLeft - 50), barHeight);
    Place(window, Control::lblPrgPercent, fw * 0.9026 + 250, rowTop, 700, barHeight);
    // The run's Cancel button, shown only while a run works, over the right end of the bar.
    const double barRight = fw * 0.106 + 500 + frame.width * 0.78;
    Place(window, Control::cmdCancel, barRight - 1100, rowTop - 30, 1100, barHeight + 60);
    const Rect path = window.Geometry(Control::lblFilePath);
    Place(window, Control::lblFilePath, outer.left, frame.Bottom() + 25, frame.width,
          path.height > 0 ? path.height : 255);
}

Size MinimumMainWindowSize() {
    double width = 6000;
    while (ControlRowRight(width) + 150 > width) width += 15;
    return {width, kLeastHeight};
}

}  // namespace kvr
