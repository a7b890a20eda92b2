// A window that keeps every control's state and every message in order, and answers questions
// and file dialogs from a script. Handler tests read like the behaviour they check.
#pragma once

#include <array>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "fakes/recording_surface.h"
#include "platform/window.h"
#include "ui/window_progress.h"

namespace kvr {

class RecordingWindow : public Window {
  public:
    RecordingWindow();

    void SetEnabled(Control c, bool enabled) override { At(c).enabled = enabled; }
    bool IsEnabled(Control c) const override { return At(c).enabled; }
    void SetVisible(Control c, bool visible) override { At(c).visible = visible; }
    bool IsVisible(Control c) const override { return At(c).visible; }
    void SetCaption(Control c, std::string_view text) override;
    std::string Caption(Control c) const override { return At(c).caption; }
    void SetValue(Control c, int value) override;
    int Value(Control c) const override { return At(c).value; }
    void SetMaximum(Control c, int maximum) override { At(c).maximum = maximum; }
    int Maximum(Control c) const override { return At(c).maximum; }
    void SetSmallChange(Control c, int step) override { At(c).smallChange = step; }
    void SetChecked(Control c, bool checked) override { At(c).checked = checked; }
    bool IsChecked(Control c) const override { return At(c).checked; }
    void SetToolTip(Control c, std::string_view text) override { At(c).toolTip = text; }
    std::string ToolTip(Control c) const override { return At(c).toolTip; }
    void SetGeometry(Control c, const Rect& twips) override { At(c).geometry = twips; }
    Rect Geometry(Control c) const override { return At(c).geometry; }
    void SetDropEnabled(Control target, bool enabled) override { At(target).dropEnabled = enabled; }
    bool IsDropEnabled(Control target) const override { return At(target).dropEnabled; }

    void ShowAlignment(const AlignmentView& view) override { alignments.push_back(view); }
    void ShowForm(Control form) override { At(form).shown = true; }
    void CloseForm(Control form) override { At(form).shown = false; }
    bool IsFormShown(Control form) const override { return At(form).shown; }

    void ShowMessage(std::string_view text) override { messages.emplace_back(text); }
    bool AskYesNo(std::string_view text) override;
    std::string OpenFileDialog(const std::string& startFolder) override;
    std::string SaveFileDialog(const std::string& startFolder, std::string_view filter) override;

    void SetBusy(bool on) override { busy = on; }
    void ProcessEvents() override;
    Size ScreenSize() const override { return screen; }
    void SetMinimumSize(Control, Size twips) override { minimumSize = twips; }
    void SetRecentFiles(const std::vector<std::string>& paths) override { recentFiles = paths; }
    void PopUpMenu(Control menu) override { popUps.push_back(menu); }
    void Quit() override { quitCalled = true; }

    DrawingSurface& Canvas(Control picture) override;
    void BlankPicture(Control picture) override { blanked.push_back(picture); }
    void ShowCanvasInView(bool stretch) override {
        viewShows.push_back(stretch);
        viewDrawing = {};  // the view shows the canvas now
    }
    void ShowDrawingInView(int width, int height, const RegionDrawing& draw) override {
        viewDrawing = {width, height, draw};
        ++viewDrawings;
    }
    void SetPanelDrawing(Control panel, int width, int height, const RegionDrawing& draw) override {
        (panel == Control::namesPicture ? namesPanel : keyPanel) = {width, height, draw};
    }
    void SetViewMarks(const std::vector<SurfaceBox>& boxes) override { viewMarks = boxes; }
    std::string AskText(std::string_view question, const std::string& initial) override;
    void ShowTable(std::string_view title, const std::vector<std::string>& columns,
                   const std::vector<std::vector<std::string>>& rows) override {
        tables.push_back({std::string(title), columns, rows});
    }
    void CopyText(std::string_view text) override { clipboard = "text:" + std::string(text); }
    bool SaveViewBitmap(const std::string& path) override;
    bool SaveCanvasBitmap(const std::string& path) override;
    void CopyCanvasBitmap(Control picture) override {
        clipboard = "bitmap:" + std::string(ControlName(picture));
    }
    bool CopyMetafile(const std::string& emfPath) override;

    // What happened, in order.
    std::vector<std::string> messages;  // information messages
    // What the core tells of its work, shown on this window as the program shows it.
    WindowProgress progress{*this};
    std::vector<std::string> questions;  // Yes/No questions asked
    std::map<Control, std::vector<std::string>> captionHistory;
    std::map<Control, std::vector<int>> valueHistory;
    std::vector<std::string> dialogFolders;  // start folder of each file dialog
    std::vector<std::string> saveFilters;    // the file kinds each save dialog offered
    std::vector<Control> popUps;
    std::vector<Control> blanked;
    std::vector<bool> viewShows;
    std::vector<std::string> savedBitmaps;
    std::vector<AlignmentView> alignments;  // the alignment viewers opened
    struct Table {
        std::string title;
        std::vector<std::string> columns;
        std::vector<std::vector<std::string>> rows;
    };
    std::vector<Table> tables;  // the tables shown
    std::string clipboard;
    int eventPumps = 0;
    bool busy = false;
    bool quitCalled = false;
    Size screen{1920 * 15.0, 1080 * 15.0};
    Size minimumSize;
    std::vector<std::string> recentFiles;
    RecordingSurface innerCanvas;
    // A picture a view or panel shows, drawn a region at a time.
    struct Drawing {
        int width = 0, height = 0;
        RegionDrawing draw;
        // What it draws in a region, as a recording.
        RecordingSurface Draw(const SurfaceBox& region) const;
    };
    Drawing viewDrawing;   // ZoomingPicture's own picture
    int viewDrawings = 0;  // how many times it was given one
    Drawing keyPanel;
    Drawing namesPanel;  // the frozen names
    std::vector<SurfaceBox> viewMarks;
    std::vector<std::string> textQuestions;  // AskText's questions, with their initial answer

    // When set, value changes of spin controls and scroll bars are reported here, as the real
    // window does (a change made by code runs the control's change handler too).
    WindowEvents* events = nullptr;

    // What the user does while a handler lets pending events run (a click during a long load,
    // Cancel during a run); not called again from inside itself.
    std::function<void()> duringEvents;

    // Scripted answers; an empty queue answers No and cancels dialogs.
    std::deque<bool> yesNoAnswers;
    std::deque<std::string> dialogAnswers;
    std::deque<std::string> textAnswers;  // AskText's; empty: cancelled

  private:
    struct ControlState {
        bool enabled = true;
        bool visible = true;
        bool checked = false;
        bool dropEnabled = true;
        bool shown = false;
        std::string caption;
        std::string toolTip;
        int value = 0;
        int maximum = 0;
        int smallChange = 0;
        Rect geometry;
    };
    ControlState& At(Control c) { return controls_[static_cast<std::size_t>(c)]; }
    const ControlState& At(Control c) const { return controls_[static_cast<std::size_t>(c)]; }
    std::string Answer(const std::string& startFolder);

    std::array<ControlState, kControlCount> controls_;
    bool inEvents_ = false;
};

}  // namespace kvr
