// KVRv1: the desktop program. Usage: KVRv1 [--no-splash] [FILE] | --help | --version
#include <QApplication>
#include <QFileInfo>
#include <iostream>
#include <optional>
#include <string_view>

#include "app/guarded_events.h"
#include "app/kvrv1_arguments.h"
#include "io/file_io.h"
#include "io/program_folder.h"
#include "kvr_version.h"
#include "platform/qt/qt_main_window.h"
#include "platform/qt/qt_shell.h"
#include "platform/qt/splash.h"
#include "ui/main_form.h"
#include "ui/open_handlers.h"

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
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    const std::optional answer = kvr::ReadKvrv1Arguments(arguments).answer;
    if (!answer) return std::nullopt;
    if (*answer == kvr::Kvrv1Arguments::Answer::Help)
        PrintUsage(std::cout);
    else
        std::cout << "KVRv1 " << kvr::kVersion << "\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (const std::optional<int> status = AnswerWithoutWindow(argc, argv)) return *status;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KVRv1"));
    // Killed while saving, the window leaves the old file and no temporary one.
    kvr::RemoveTemporaryFileOnStopSignals();

    // Qt has taken its own options by now: an option left is a mistyped one, not a file.
    const kvr::Kvrv1Arguments arguments = kvr::ReadKvrv1Arguments(QApplication::arguments());
    if (!arguments.unknownOption.isEmpty()) {
        std::cerr << "KVRv1: unknown option '" << arguments.unknownOption.toStdString() << "'\n";
        PrintUsage(std::cerr);
        return 2;
    }
    const bool splash = arguments.splash;
    std::optional<std::string> file;
    if (arguments.file) file = QFileInfo(*arguments.file).absoluteFilePath().toStdString();

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
