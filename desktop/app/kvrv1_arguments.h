// KVRv1's own command line, read by QCommandLineParser: the help and the version, --no-splash and
// the file to open. Qt's own options (-platform, -style, ...) are QApplication's.
#pragma once

#include <QStringList>
#include <optional>
#include <string>

namespace kvr {

struct Kvrv1Arguments {
    enum class Answer { Help, Version };
    std::optional<Answer> answer;  // the first asked for: answered, nothing else is done
    bool splash = true;
    std::optional<QString> file;  // the last named
    // The first argument that names none of the options, as typed ("--verison", "-no-splash"): a
    // mistyped option is refused, not opened as a file. A file whose name starts with "-" is
    // given as ./NAME, or after "--".
    QString unknownOption;
};

// arguments[0] is the program.
Kvrv1Arguments ReadKvrv1Arguments(const QStringList& arguments);

}  // namespace kvr
