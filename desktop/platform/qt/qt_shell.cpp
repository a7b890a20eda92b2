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
    std::vector<std::unique_ptr<QSocketNotifier>> notifiers;
    for (int fd : descriptors) {
        notifiers.push_back(std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read));
        QObject::connect(notifiers.back().get(), &QSocketNotifier::activated, &loop,
                         &QEventLoop::quit);
    }
    QTimer timer;
    if (deadline) {
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(*deadline - ShellClock::now());
        timer.setSingleShot(true);
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        timer.start(std::max<std::chrono::milliseconds>(left, std::chrono::milliseconds(0)));
    }
    loop.exec();
}

}  // namespace kvr
