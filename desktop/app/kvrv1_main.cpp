// KVRv1: the desktop program. Usage: KVRv1 [--no-splash] [FILE]
#include <QApplication>
#include <QFileInfo>
#include <optional>

#include "app/guarded_events.h"
#include "platform/qt/qt_main_window.h"
#include "platform/qt/qt_shell.h"
#include "platform/qt/splash.h"
#include "shell/main_form.h"
#include "shell/open_handlers.h"
#include "state/file_io.h"
#include "state/program_folder.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KVRv1"));
    // Killed while saving, the window leaves the old file and no temporary one.
    kvr::RemoveTemporaryFileOnStopSignals();

    bool splash = true;
    std::optional<std::string> file;
    for (const QString& argument : QApplication::arguments().mid(1)) {
        if (argument == QStringLiteral("--no-splash"))
            splash = false;
        else
            file = QFileInfo(argument).absoluteFilePath().toStdString();
    }

    kvr::RunState state;
    kvr::QtMainWindow window;
    kvr::QtShell shell;
    kvr::MainForm form(state, window, shell, kvr::ProgramFolder());
    kvr::GuardedEvents events(form, window);
    window.SetEvents(&events);

    const auto start = [&] {
        events.Guard([&] { form.Load(); });
        window.show();
        // A file named on the command line opens as "&Open" opens a chosen file.
        if (file) events.Guard([&] { kvr::OpenPath(form, *file); });
    };
    std::unique_ptr<kvr::Splash> splashWindow;
    if (splash) {
        splashWindow = std::make_unique<kvr::Splash>(start);
        splashWindow->show();
    } else {
        start();
    }
    return app.exec();
}
