#include "platform/qt/offscreen_gui.h"

#include <QGuiApplication>

namespace kvr {

namespace {

QtMessageHandler previousHandler = nullptr;

// Qt notes that XDG_RUNTIME_DIR is unset, which is usual without a desktop session and of no
// concern when drawing into images; everything else is passed on.
void QuietAboutRuntimeFolder(QtMsgType type, const QMessageLogContext& context,
                             const QString& message) {
    if (message.startsWith(QStringLiteral("QStandardPaths: "))) return;
    if (previousHandler != nullptr) previousHandler(type, context, message);
}

}  // namespace

void EnsureGuiApplication() {
    if (QCoreApplication::instance() != nullptr) return;
    previousHandler = qInstallMessageHandler(QuietAboutRuntimeFolder);
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
