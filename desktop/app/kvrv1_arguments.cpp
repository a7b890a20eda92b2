#include "app/kvrv1_arguments.h"

#include <QCommandLineParser>

namespace kvr {

namespace {

const QCommandLineOption kHelp(QStringList{QStringLiteral("h"), QStringLiteral("help")});
const QCommandLineOption kVersion(QStringLiteral("version"));
const QCommandLineOption kNoSplash(QStringLiteral("no-splash"));

// The argument the parser refused, as typed: one that names no option, or gives one a value.
QString FirstUnknownOption(const QStringList& arguments) {
    for (qsizetype k = 1; k < arguments.size(); ++k) {
        const QString& argument = arguments[k];
        if (argument == QStringLiteral("--")) break;  // files only from here on
        if (!argument.startsWith(QLatin1Char('-')) || argument.size() == 1) continue;
        const QString name = argument.mid(argument.startsWith(QStringLiteral("--")) ? 2 : 1);
        bool known = false;
        for (const QCommandLineOption* option : {&kHelp, &kVersion, &kNoSplash})
            known = known || option->names().contains(name);
        if (!known) return argument;
    }
    return {};
}

}  // namespace

Kvrv1Arguments ReadKvrv1Arguments(const QStringList& arguments) {
    QCommandLineParser parser;
    // "-no-splash" is the option, not the files "-n", "-o", ...
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions({kHelp, kVersion, kNoSplash});
    Kvrv1Arguments read;
    if (!parser.parse(arguments)) read.unknownOption = FirstUnknownOption(arguments);
    for (const QString& name : parser.optionNames()) {
        if (kHelp.names().contains(name)) read.answer = Kvrv1Arguments::Answer::Help;
        if (name == kVersion.names().front()) read.answer = Kvrv1Arguments::Answer::Version;
        if (read.answer) break;
    }
    read.splash = !parser.isSet(kNoSplash);
    if (const QStringList files = parser.positionalArguments(); !files.isEmpty())
        read.file = files.back();
    return read;
}

}  // namespace kvr
