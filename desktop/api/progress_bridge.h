// The library's one bridge to the pipeline, which still reports through the Window seam and
// waits through the Shell seam: the status caption and the progress bar become calls of the
// caller's progress callback (whose false raises the stop request), and the messages a window
// would show become the result's text. It stays until the core takes a progress interface.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "kvr/kvr.h"
#include "platform/posix_shell.h"
#include "platform/window.h"

namespace kvr::api {

// A POSIX shell whose waits wake every few hundredths of a second to call the progress callback,
// so that a long external aligner can be cancelled by it.
class ProgressShell : public PosixShell {
  public:
    explicit ProgressShell(const Progress& progress) : progress_(progress) {}
    // The step and fraction last reported, shown again while a wait goes on.
    void Report(std::string_view step, double fraction);
    void Tick() { Report(step_, fraction_); }

  protected:
    void Sleep(const std::vector<int>& descriptors,
               std::optional<ShellClock::time_point> deadline) override;

  private:
    const Progress& progress_;
    std::string step_;
    double fraction_ = 0;
    bool cancelled_ = false;  // the callback returned false
};

class ProgressWindow : public Window {
  public:
    explicit ProgressWindow(ProgressShell& shell) : shell_(shell) {}

    // The messages shown, in order.
    const std::vector<std::string>& Messages() const { return messages_; }
    // They, one a line.
    std::string MessageText() const;

    void SetCaption(Control c, std::string_view text) override;
    std::string Caption(Control c) const override;
    void SetValue(Control c, int value) override;
    int Value(Control c) const override;
    void ShowMessage(std::string_view text) override { messages_.emplace_back(text); }
    bool AskYesNo(std::string_view text) override;  // nobody to ask: No
    void ProcessEvents() override { shell_.Tick(); }

    // Nothing else of a window exists here.
    void SetEnabled(Control, bool) override {}
    bool IsEnabled(Control) const override { return true; }
    void SetVisible(Control, bool) override {}
    bool IsVisible(Control) const override { return false; }
    void SetMaximum(Control, int) override {}
    int Maximum(Control) const override { return 0; }
    void SetSmallChange(Control, int) override {}
    void SetChecked(Control, bool) override {}
    bool IsChecked(Control) const override { return false; }
    void SetToolTip(Control, std::string_view) override {}
    std::string ToolTip(Control) const override { return {}; }
    void SetGeometry(Control, const Rect&) override {}
    Rect Geometry(Control) const override { return {}; }
    void SetDropEnabled(Control, bool) override {}
    bool IsDropEnabled(Control) const override { return false; }
    void ShowAlignment(const AlignmentView&) override {}
    void ShowForm(Control) override {}
    void CloseForm(Control) override {}
    bool IsFormShown(Control) const override { return false; }
    std::string OpenFileDialog(const std::string&) override { return {}; }
    std::string SaveFileDialog(const std::string&, std::string_view) override { return {}; }
    void SetBusy(bool) override {}
    Size ScreenSize() const override { return {}; }
    void SetRecentFiles(const std::vector<std::string>&) override {}
    void SetMinimumSize(Control, Size) override {}
    void PopUpMenu(Control) override {}
    void Quit() override {}
    DrawingSurface& Canvas(Control) override { return canvas_; }
    void BlankPicture(Control) override {}
    void ShowCanvasInView(bool) override {}
    void SetCanvasDrawing(int, int, const RegionDrawing&) override {}
    bool SaveViewBitmap(const std::string&) override { return false; }
    void CopyCanvasBitmap(Control) override {}
    bool CopyMetafile(const std::string&) override { return false; }

  private:
    class NoSurface : public DrawingSurface {
      public:
        void Resize(int, int) override {}
        void Clear() override {}
        int Width() const override { return 0; }
        int Height() const override { return 0; }
        void FillRect(int, int, int, int, Rgb) override {}
        void Box(int, int, int, int, Rgb) override {}
        void Line(int, int, int, int, Rgb) override {}
        void Text(int, int, std::string_view) override {}
        void RotatedText(int, int, std::string_view) override {}
    };

    ProgressShell& shell_;
    std::string step_;  // lblProgress
    int percent_ = 0;   // ProgressBar1
    std::vector<std::string> messages_;
    NoSurface canvas_;
};

}  // namespace kvr::api
