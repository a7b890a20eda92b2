#include "platform/qt/qt_shell.h"

#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>
#include <memory>
#include <vector>

namespace kvr {

void QtShell::Sleep(const std::vector<int>& descriptors,
                    std::optional<ShellClock::time_point> deadline) {
    QEventLoop loop;
    bool woken = false;
    const auto wake = [&] {
        woken = true;
        loop.quit();
    };
    std::vector<std::unique_ptr<QSocketNotifier>> notifiers;
    for (int fd : descriptors) {
        notifiers.push_back(std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read));
        QObject::connect(notifiers.back().get(), &QSocketNotifier::activated, &loop, wake);
    }
    QTimer timer;
    if (deadline) {
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(*deadline - ShellClock::now());
        timer.setSingleShot(true);
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, &loop, wake);
        timer.start(std::max<std::chrono::milliseconds>(left, std::chrono::milliseconds(0)));
    }
    loop.exec();
    // Ended from outside: the application is quitting, so the run is cancelled (and its
    // processes ended) rather than waited for in a loop that no longer sleeps.
    if (!woken) Stop().Raise();
}

}  // namespace kvr
