#include "platform/qt/offscreen_gui.h"

#include <QGuiApplication>

namespace kvr {

void EnsureGuiApplication() {
    if (QCoreApplication::instance() != nullptr) return;
    // Drawing into images needs no display; the offscreen platform works everywhere.
    static int argc = 3;
    static char name[] = "kvr";
    static char option[] = "-platform";
    static char platform[] = "offscreen";
    static char* argv[] = {name, option, platform, nullptr};
    static QGuiApplication* application = new QGuiApplication(argc, argv);
    (void)application;
}

}  // namespace kvr
