// The window seam: everything the core asks of the three forms (named controls, messages,
// dialogs, pictures, the clipboard). The Qt main window implements it; tests use a recording fake.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/alignment_view.h"
#include "platform/control.h"
#include "platform/drawing_surface.h"
#include "platform/geometry.h"

namespace kvr {

// Draws the part of a picture that lies in a region (twips) onto a surface with the picture's
// coordinates.
using RegionDrawing = std::function<void(DrawingSurface&, const SurfaceBox& region)>;

// What the window reports to the core: every user action arrives here, on the window thread.
class WindowEvents {
  public:
    virtual ~WindowEvents() = default;
    virtual void OnClick(Control c) = 0;                    // menus, buttons, option buttons
    virtual void OnValueChanged(Control c, int value) = 0;  // spin controls, scroll bars
    virtual void OnFilesDropped(Control target, const std::vector<std::string>& paths) = 0;
    virtual void OnResized() = 0;                        // the main window changed size
    virtual void OnPictureResized(Control picture) = 0;  // a picture changed size
    virtual void OnMouseDown(Control c, bool rightButton) = 0;
    // The pointer over the matrix view, at a point of the canvas it shows (twips); x < 0 when it
    // has left the view.
    virtual void OnPointerMoved(double x, double y) = 0;
    // Asked to open the cell at a point of the canvas the matrix view shows (twips): a double-click
    // on it, or Enter with the pointer over it.
    virtual void OnCellOpened(double x, double y) = 0;
    virtual bool OnCloseRequested() = 0;                     // false keeps the window open
    virtual void OnFormClosed(Control form) = 0;             // the user closed a second window
    virtual void OnOpenRecent(const std::string& path) = 0;  // a file of the Recent menu
};

class Window {
  public:
    virtual ~Window() = default;

    // Control state. Forms are controls too: the caption of a form is its title bar text.
    virtual void SetEnabled(Control c, bool enabled) = 0;
    virtual bool IsEnabled(Control c) const = 0;
    virtual void SetVisible(Control c, bool visible) = 0;
    virtual bool IsVisible(Control c) const = 0;
    virtual void SetCaption(Control c, std::string_view text) = 0;  // labels, buttons, text boxes
    virtual std::string Caption(Control c) const = 0;
    // Progress bar, spin controls, scroll bars. A changed value of a spin control or scroll bar is
    // reported through WindowEvents::OnValueChanged, whether the user or the code changed it.
    virtual void SetValue(Control c, int value) = 0;
    virtual int Value(Control c) const = 0;
    virtual void SetMaximum(Control c, int maximum) = 0;  // scroll bars, spin controls
    virtual int Maximum(Control c) const = 0;
    virtual void SetSmallChange(Control c, int step) = 0;  // scroll bars
    virtual void SetChecked(Control c, bool checked) = 0;  // check and option buttons
    virtual bool IsChecked(Control c) const = 0;
    virtual void SetToolTip(Control c, std::string_view text) = 0;
    virtual std::string ToolTip(Control c) const = 0;
    virtual void SetGeometry(Control c, const Rect& twips) = 0;
    virtual Rect Geometry(Control c) const = 0;
    // Accepting dropped files on the main window (frmMainForm) or the matrix view (ZoomingPicture).
    virtual void SetDropEnabled(Control target, bool enabled) = 0;
    virtual bool IsDropEnabled(Control target) const = 0;

    // A window of its own showing one pair's alignment, beside the main window; each call opens
    // another, which the user closes.
    virtual void ShowAlignment(const AlignmentView& view) = 0;

    // Forms shown next to the main window (frmOptions, frmIdentityPrct), not modal.
    virtual void ShowForm(Control form) = 0;
    virtual void CloseForm(Control form) = 0;
    virtual bool IsFormShown(Control form) const = 0;

    // Message boxes titled "KVRv1": information with OK, and a Yes/No question.
    virtual void ShowMessage(std::string_view text) = 0;
    virtual bool AskYesNo(std::string_view text) = 0;

    // File dialogs opening in startFolder with an empty name; they return the chosen path, or ""
    // when cancelled. A completed dialog makes the chosen file's folder the current directory.
    virtual std::string OpenFileDialog(const std::string& startFolder) = 0;
    // start: a folder, or a folder and the name offered in it; filter: the file kinds offered,
    // "SVG pictures (*.svg);;All files (*)".
    virtual std::string SaveFileDialog(const std::string& start, std::string_view filter) = 0;

    virtual void SetBusy(bool busy) = 0;  // hourglass pointer
    virtual void ProcessEvents() = 0;     // let pending window events run
    virtual Size ScreenSize() const = 0;  // twips
    // The files the Recent menu offers, the last opened first.
    virtual void SetRecentFiles(const std::vector<std::string>& paths) = 0;
    // The least outer size the user can make a form (twips).
    virtual void SetMinimumSize(Control form, Size twips) = 0;
    virtual void PopUpMenu(Control menu) = 0;  // at the pointer; returns when it has closed
    virtual void Quit() = 0;                   // end the program at once

    // Pictures. InnerPicture is the drawing canvas (every picture control names it); ZoomingPicture
    // shows its image, 1:1 or stretched over its own geometry.
    virtual DrawingSurface& Canvas(Control picture) = 0;
    virtual void BlankPicture(Control picture) = 0;   // fill with the button-face colour
    virtual void ShowCanvasInView(bool stretch) = 0;  // InnerPicture -> ZoomingPicture
    // InnerPicture becomes a picture of width x height twips that a window may draw a region at a
    // time as its view shows it (and whole when it is copied or saved), so that a large matrix
    // needs no canvas of its full size. This default draws it whole on the canvas at once.
    virtual void SetCanvasDrawing(int width, int height, const RegionDrawing& draw) {
        DrawingSurface& canvas = Canvas(Control::InnerPicture);
        canvas.Resize(width, height);
        draw(canvas, SurfaceBox{0, 0, width, height});
    }
    // ZoomingPicture shows a picture of its own, width x height twips at one pixel a pixel, drawn a
    // region at a time as it comes into sight; InnerPicture keeps its picture for copies and
    // files. This default, for windows with no view of their own, puts it on the canvas.
    virtual void ShowDrawingInView(int width, int height, const RegionDrawing& draw) {
        SetCanvasDrawing(width, height, draw);
        ShowCanvasInView(false);
    }
    // A panel over the viewport (keyPicture), placed by SetGeometry in OuterPicture's twips and
    // shown by SetVisible, showing a picture of width x height twips. A window without one ignores
    // it.
    virtual void SetPanelDrawing(Control /*panel*/, int /*width*/, int /*height*/,
                                 const RegionDrawing& /*draw*/) {}
    // Boxes (twips of the picture ZoomingPicture shows) marked over it: the selected row and
    // column. None clears them.
    virtual void SetViewMarks(const std::vector<SurfaceBox>& /*boxes*/) {}
    // A question answered with a line of text ("" when cancelled), starting from initial.
    virtual std::string AskText(std::string_view /*question*/, const std::string& /*initial*/) {
        return {};
    }
    // A table to read and close (the groups of an analysis, its record): a dialog titled title
    // with the column headings and one line a row, modal. A window without one ignores it.
    virtual void ShowTable(std::string_view /*title*/, const std::vector<std::string>& /*columns*/,
                           const std::vector<std::vector<std::string>>& /*rows*/) {}
    virtual void CopyText(std::string_view /*text*/) {}  // clipboard: plain text
    // Saves the image shown in ZoomingPicture (at its present size) as a BMP file, or a PNG file
    // when the path ends in ".png".
    virtual bool SaveViewBitmap(const std::string& path) = 0;
    // Saves InnerPicture's picture, whole at its own size, the same way. A window without
    // pictures saves none.
    virtual bool SaveCanvasBitmap(const std::string& /*path*/) { return false; }
    virtual void CopyCanvasBitmap(Control picture) = 0;  // clipboard: full-size canvas image
    // Clipboard: the EMF data, with the canvas image for programs that cannot read EMF.
    virtual bool CopyMetafile(const std::string& emfPath) = 0;
};

}  // namespace kvr
