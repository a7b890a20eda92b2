// KVRv1's events: a handler that runs out of memory ends with a message, not the program.
#include "app/guarded_events.h"

#include <gtest/gtest.h>

#include "fakes/recording_window.h"

namespace kvr {
namespace {

class ThrowingHandlers : public WindowEvents {
  public:
    void OnClick(Control) override { throw std::bad_alloc(); }
    void OnValueChanged(Control, int) override { throw std::runtime_error("broken table"); }
    void OnFilesDropped(Control, const std::vector<std::string>&) override {}
    void OnResized() override { ++resized; }
    void OnPictureResized(Control) override {}
    void OnMouseDown(Control, bool) override {}
    void OnPointerMoved(double, double) override {}
    void OnCellOpened(double, double) override { throw std::bad_alloc(); }
    bool OnCloseRequested() override { throw std::bad_alloc(); }
    void OnFormClosed(Control form) override { closed.push_back(form); }
    void OnOpenRecent(const std::string&) override { throw std::bad_alloc(); }
    int resized = 0;
    std::vector<Control> closed;
};

TEST(GuardedEvents, AnExceptionBecomesAMessageInTheWindow) {
    RecordingWindow window;
    ThrowingHandlers handlers;
    GuardedEvents events(handlers, window);
    window.SetBusy(true);
    events.OnClick(Control::mnuOpenFile);
    EXPECT_FALSE(window.busy);
    EXPECT_EQ(window.Caption(Control::lblProgress), "Failed");
    events.OnValueChanged(Control::updCutoff1, 3);
    events.OnResized();
    EXPECT_EQ(handlers.resized, 1);
    events.OnFormClosed(Control::frmOptions);  // every event reaches the handlers
    EXPECT_EQ(handlers.closed, std::vector<Control>{Control::frmOptions});
    events.OnOpenRecent("/d/a.fasta");
    events.OnCellOpened(1, 1);
    EXPECT_TRUE(events.OnCloseRequested()) << "a failing question must not keep the window open";
    EXPECT_EQ(
        window.messages,
        (std::vector<std::string>{
            "The operation was stopped: there is not enough memory for it on this machine.",
            "The operation was stopped: an unexpected error occurred: broken table.",
            "The operation was stopped: there is not enough memory for it on this machine.",
            "The operation was stopped: there is not enough memory for it on this machine.",
            "The operation was stopped: there is not enough memory for it on this machine."}));
}

}  // namespace
}  // namespace kvr
