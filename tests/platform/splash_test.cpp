#include "platform/qt/splash.h"

#include <gtest/gtest.h>

#include <QLabel>

#include "kvr_version.h"

namespace kvr {
namespace {

// The splash names the program and the version that was built.
TEST(Splash, ShowsTheTitleShortNameAndVersion) {
    Splash splash([] {});
    QStringList texts;
    for (const QLabel* label : splash.findChildren<QLabel*>()) texts << label->text();
    for (const QString& expected : {QStringLiteral("Kavorin - version 1"), QStringLiteral("KVRv1"),
                                    QStringLiteral("Version ") + QString::fromLatin1(kVersion)})
        EXPECT_TRUE(texts.contains(expected))
            << expected.toStdString() << " not in " << texts.join(" | ").toStdString();
}

}  // namespace
}  // namespace kvr
