// The short help page that F1 opens: what the program measures, how identity is defined, how to
// use the window, with the pictures it makes.
#pragma once

class QWidget;

namespace kvr {

// Shows the help page (one page, kept while the program runs), over parent.
void ShowHelp(QWidget* parent);

}  // namespace kvr
