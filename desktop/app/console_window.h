// The window of kvr, which has none: the messages the window would show and its status texts go
// to a stream (standard error), and to a log file when one is kept. Progress is rate-limited: on a
// terminal it rewrites one line; elsewhere (a pipe, a file, the log) a new step is written at
// once and its progress a line every few seconds. Control states are kept so that handlers can
// read them back; there are no pictures, file dialogs or questions.
#pragma once

#include <array>
#include <chrono>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/window.h"

namespace kvr {

class ConsoleWindow : public Window {
  public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    // quiet keeps the status texts back from out; messages are always written. terminal: out is
    // shown on a terminal, where the progress line is rewritten in place. log: a log file that
    // gets every message and status text, quiet or not. clock: the time, for the rate limits.
    ConsoleWindow(std::ostream& out, std::string prefix, bool quiet, bool terminal,
                  std::ostream* log = nullptr, Clock clock = std::chrono::steady_clock::now);
    ~ConsoleWindow() override;  // ends a terminal's open status line
    ConsoleWindow(const ConsoleWindow&) = delete;
    ConsoleWindow& operator=(const ConsoleWindow&) = delete;

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
    void SetSmallChange(Control, int) override {}
    void SetChecked(Control c, bool checked) override { At(c).checked = checked; }
    bool IsChecked(Control c) const override { return At(c).checked; }
    void SetToolTip(Control, std::string_view) override {}
    std::string ToolTip(Control) const override { return {}; }
    void SetGeometry(Control c, const Rect& twips) override { At(c).geometry = twips; }
    Rect Geometry(Control c) const override { return At(c).geometry; }
    void SetDropEnabled(Control, bool) override {}
    bool IsDropEnabled(Control) const override { return false; }

    void ShowAlignment(const AlignmentView&) override {}  // kvr align writes alignments instead
    void ShowForm(Control form) override { At(form).shown = true; }
    void CloseForm(Control form) override { At(form).shown = false; }
    bool IsFormShown(Control form) const override { return At(form).shown; }

    void ShowMessage(std::string_view text) override;
    bool AskYesNo(std::string_view text) override;  // answers No: nobody is there to ask
    std::string OpenFileDialog(const std::string&) override { return {}; }
    std::string SaveFileDialog(const std::string&, std::string_view) override { return {}; }

    void SetBusy(bool) override {}
    void ProcessEvents() override {}
    Size ScreenSize() const override { return {}; }
    void SetMinimumSize(Control, Size) override {}
    void SetRecentFiles(const std::vector<std::string>&) override {}
    void PopUpMenu(Control) override {}
    void Quit() override {}

    DrawingSurface& Canvas(Control picture) override;
    void BlankPicture(Control) override {}
    void ShowCanvasInView(bool) override {}
    void SetCanvasDrawing(int, int, const RegionDrawing&) override {}  // nothing is shown
    bool SaveViewBitmap(const std::string& path) override;
    void CopyCanvasBitmap(Control) override;
    bool CopyMetafile(const std::string& emfPath) override;

    // Writes a status text still waiting for its turn.
    void Flush();

  private:
    struct ControlState {
        bool enabled = true;
        bool visible = true;
        bool checked = false;
        bool shown = false;
        std::string caption;
        int value = 0;
        int maximum = 0;
        Rect geometry;
    };
    ControlState& At(Control c) { return controls_[static_cast<std::size_t>(c)]; }
    const ControlState& At(Control c) const { return controls_[static_cast<std::size_t>(c)]; }
    // One stream the texts go to, with its own manner and pace.
    struct Sink {
        std::ostream* out;
        bool quiet;
        bool terminal;
        bool progressOpen = false;  // a progress line without its line end is on the terminal
        bool statusPending = false;
        std::string lastWritten{};
        std::string lastStep{};  // the last status written, its numbers left out
        std::chrono::steady_clock::time_point lastWrite{};
    };
    void Offer(Sink& sink);  // a new status text
    void Flush(Sink& sink);
    void WriteStatus(Sink& sink);
    void WriteLine(Sink& sink, std::string_view text);  // ends a progress line left open first
    void WriteLine(std::string_view text);              // to every sink
    void NoDisplay(std::string_view what);

    // A canvas that keeps its size and draws nothing.
    class NoSurface : public DrawingSurface {
      public:
        void Resize(int width, int height) override {
            width_ = width;
            height_ = height;
        }
        void Clear() override {}
        int Width() const override { return width_; }
        int Height() const override { return height_; }
        void FillRect(int, int, int, int, Rgb) override {}
        void Box(int, int, int, int, Rgb) override {}
        void Line(int, int, int, int, Rgb) override {}
        void Text(int, int, std::string_view) override {}
        void RotatedText(int, int, std::string_view) override {}

      private:
        int width_ = 0;
        int height_ = 0;
    };

    std::string prefix_;
    Clock clock_;
    std::vector<Sink> sinks_;
    std::array<ControlState, kControlCount> controls_;
    NoSurface canvas_;
};

}  // namespace kvr
