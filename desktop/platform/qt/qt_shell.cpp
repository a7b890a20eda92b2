#include "platform/qt/qt_shell.h"

#include <QEventLoop>
#include <QProcess>

namespace kvr {

ShellOutcome QtShell::Run(const std::string& commandLine, const std::string& folder) {
    ShellOutcome outcome;
    QProcess process;
    process.setProgram(QStringLiteral("/bin/sh"));
    process.setArguments({QStringLiteral("-c"), QString::fromStdString(commandLine)});
    process.setWorkingDirectory(QString::fromStdString(folder));
    // The aligners' console output is not read; it must not fill a pipe and block them.
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());

    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) loop.quit();
    });
    process.start();
    if (process.state() == QProcess::NotRunning && process.error() == QProcess::FailedToStart) {
        outcome.message = "cannot start /bin/sh: " + process.errorString().toStdString();
        return outcome;
    }
    outcome.processId = static_cast<int>(process.processId());
    if (process.state() != QProcess::NotRunning) loop.exec();
    if (process.error() == QProcess::FailedToStart) {
        outcome.processId = 0;
        outcome.message = "cannot start /bin/sh: " + process.errorString().toStdString();
        return outcome;
    }
    outcome.status = ShellOutcome::Status::Ended;
    outcome.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : 128 + 9;
    return outcome;
}

}  // namespace kvr
