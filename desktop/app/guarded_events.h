// The window's events with every exception caught where the handler was called: a handler that
// runs out of memory (a file far too large) ends with a message in the window instead of ending
// the program, and no exception ever travels through the toolkit's event loop.
#pragma once

#include <exception>
#include <new>
#include <string>

#include "platform/window.h"

namespace kvr {

class GuardedEvents : public WindowEvents {
  public:
    GuardedEvents(WindowEvents& handlers, Window& window) : handlers_(handlers), window_(window) {}

    void OnClick(Control c) override {
        Guard([&] { handlers_.OnClick(c); });
    }
    void OnValueChanged(Control c, int value) override {
        Guard([&] { handlers_.OnValueChanged(c, value); });
    }
    void OnFilesDropped(Control target, const std::vector<std::string>& paths) override {
        Guard([&] { handlers_.OnFilesDropped(target, paths); });
    }
    void OnResized() override {
        Guard([&] { handlers_.OnResized(); });
    }
    void OnPictureResized(Control picture) override {
        Guard([&] { handlers_.OnPictureResized(picture); });
    }
    void OnPointerMoved(double x, double y) override {
        Guard([&] { handlers_.OnPointerMoved(x, y); });
    }
    void OnMouseDown(Control c, bool rightButton) override {
        Guard([&] { handlers_.OnMouseDown(c, rightButton); });
    }
    void OnCellOpened(double x, double y) override {
        Guard([&] { handlers_.OnCellOpened(x, y); });
    }
    void OnOpenRecent(const std::string& path) override {
        Guard([&] { handlers_.OnOpenRecent(path); });
    }
    void OnFormClosed(Control form) override {
        Guard([&] { handlers_.OnFormClosed(form); });
    }
    bool OnCloseRequested() override {
        bool close = true;
        Guard([&] { close = handlers_.OnCloseRequested(); });
        return close;
    }

    // Runs work with the same protection (start-up, a file named on the command line).
    template <typename Work>
    void Guard(Work&& work) {
        try {
            work();
        } catch (const std::bad_alloc&) {
            Report("there is not enough memory for it on this machine");
        } catch (const std::exception& error) {
            Report(std::string("an unexpected error occurred: ") + error.what());
        }
    }

  private:
    void Report(const std::string& why) {
        window_.SetBusy(false);
        window_.SetCaption(Control::lblProgress, "Failed");
        window_.SetValue(Control::ProgressBar1, 0);
        window_.ShowMessage("The operation was stopped: " + why + ".");
    }

    WindowEvents& handlers_;
    Window& window_;
};

}  // namespace kvr
