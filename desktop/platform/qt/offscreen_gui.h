// A Qt GUI application for drawing without a display: the screen pictures need Qt's fonts, which
// need a QGuiApplication, even when nothing is shown (kvr, tests, benchmarks).
#pragma once

namespace kvr {

// Makes a QGuiApplication on the "offscreen" platform unless one already exists. It lives until
// the program ends.
void EnsureGuiApplication();

}  // namespace kvr
