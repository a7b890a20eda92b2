#include "platform/qt/splash.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

#include "kvr_version.h"

namespace kvr {

Splash::Splash(std::function<void()> onDone)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint), onDone_(std::move(onDone)) {
    setWindowTitle(QStringLiteral("KVRv1"));
    setStyleSheet(QStringLiteral("background-color: rgb(32,48,96); color: white;"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(30, 24, 30, 24);
    const auto line = [&](const QString& text, int points, bool bold) {
        auto* label = new QLabel(text, this);
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPointSize(points);
        font.setBold(bold);
        label->setFont(font);
        label->setAlignment(Qt::AlignCenter);
        layout->addWidget(label);
    };
    line(QStringLiteral("Kavorin - version 1"), 20, true);
    line(QStringLiteral("KVRv1"), 14, false);
    line(QStringLiteral("Version ") + QString::fromLatin1(kVersion), 10, false);
    line(QStringLiteral("Pairwise identity of nucleotide sequences"), 10, false);
    line(QStringLiteral("Aligners: MUSCLE, ClustalW, MAFFT \u00b7 tree: PHYLIP neighbor"), 9,
         false);
    resize(460, 220);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    move((screen.width() - width()) / 2, (screen.height() - height()) / 2);

    timer_.setInterval(kTickMilliseconds);
    connect(&timer_, &QTimer::timeout, this, [this] {
        if (++ticks_ < kTicks) return;
        timer_.stop();
        close();
        onDone_();
    });
    timer_.start();
}

}  // namespace kvr
