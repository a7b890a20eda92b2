// KVRv1: the desktop program. Usage: KVRv1 [--no-splash] [FILE] | --help | --version
#include <QApplication>
#include <QFileInfo>
#include <iostream>
#include <optional>
#include <string_view>

#include "app/guarded_events.h"
#include "kvr_version.h"
#include "platform/qt/qt_main_window.h"
#include "platform/qt/qt_shell.h"
#include "platform/qt/splash.h"
#include "shell/main_form.h"
#include "shell/open_handlers.h"
#include "state/file_io.h"
#include "state/program_folder.h"

namespace {

void PrintUsage(std::ostream& out) {
    out << "Usage: KVRv1 [--no-splash] [FILE]\n"
           "\n"
           "The desktop program of KVR: the pairwise identity of nucleotide sequences as a\n"
           "colour-coded matrix and a distribution plot. FILE, a FASTA file (plain or\n"
           "compressed) or a .kvr session, opens as the Open menu opens a chosen file; a\n"
           "file whose name starts with \"-\" is given as ./NAME.\n"
           "\n"
           "Options:\n"
           "  --no-splash    start without the splash window\n"
           "  -h, --help     print this help and exit\n"
           "  --version      print the version and exit\n"
           "\n"
           "Qt's own options (-platform, -style, ...) are understood too. kvr runs the same\n"
           "analysis without a window (kvr --help).\n";
}

// The help and the version are answered before Qt starts, so that they need no display and never
// open a window. Nothing to answer: nullopt.
std::optional<int> AnswerWithoutWindow(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "-h" || argument == "--help") {
            PrintUsage(std::cout);
            return 0;
        }
        if (argument == "--version") {
            std::cout << "KVRv1 " << kvr::kVersion << "\n";
            return 0;
        }
    }
    return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
    if (const std::optional<int> status = AnswerWithoutWindow(argc, argv)) return *status;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KVRv1"));
    // Killed while saving, the window leaves the old file and no temporary one.
    kvr::RemoveTemporaryFileOnStopSignals();

    bool splash = true;
    std::optional<std::string> file;
    for (const QString& argument : QApplication::arguments().mid(1)) {
        if (argument == QStringLiteral("--no-splash")) {
            splash = false;
        } else if (argument.startsWith(QStringLiteral("--"))) {
            // Qt has taken its own options by now: what is left is a mistyped one, not a file.
            std::cerr << "KVRv1: unknown option '" << argument.toStdString() << "'\n";
            PrintUsage(std::cerr);
            return 2;
        } else {
            file = QFileInfo(argument).absoluteFilePath().toStdString();
        }
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
