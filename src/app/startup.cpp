// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup.h"

#include "editorwindow.h"
#include "operation.h"
#include "tavoversion.h"

#include <QCommandLineParser>
#include <QFileInfo>

#include <cstdio>
#include <cstring>

namespace {

constexpr int ExitUsage = 2;

} // namespace

EditorCommandLine ParseEditorCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Tavo, an editor of keyboard layouts.\n"
        "Opens FILE, a Tavo layout (.ukb), when it is given."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version(QStringLiteral("version"),
                                     QStringLiteral("Show the version and exit."));
    parser.addOptions({help, version});
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The .ukb layout to open."),
                                 QStringLiteral("[FILE]"));

    EditorCommandLine result;
    const auto usageError = [&](const QString &reason) {
        result.action = EditorCommandLine::Action::UsageError;
        result.text = reason;
        return result;
    };
    if (!parser.parse(arguments))
        return usageError(parser.errorText());
    if (parser.isSet(help)) {
        result.action = EditorCommandLine::Action::ShowHelp;
        result.text = parser.helpText();
        return result;
    }
    if (parser.isSet(version)) {
        result.action = EditorCommandLine::Action::ShowVersion;
        result.text = QStringLiteral("tavo " TAVO_VERSION_STRING "\n");
        return result;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1)
        return usageError(QStringLiteral("too many arguments: one FILE at most"));
    if (!files.isEmpty()) {
        if (files.first().isEmpty())
            return usageError(QStringLiteral("FILE is an empty name"));
        result.file = files.first();
    }
    return result;
}

bool AsksForTextOnly(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0)
            return false;
        for (const char *option : {"-h", "--help", "--version"}) {
            if (std::strcmp(argv[i], option) == 0)
                return true;
        }
    }
    return false;
}

int PrintCommandLineText(const EditorCommandLine &commandLine)
{
    switch (commandLine.action) {
    case EditorCommandLine::Action::ShowHelp:
    case EditorCommandLine::Action::ShowVersion:
        std::fputs(qPrintable(commandLine.text), stdout);
        return 0;
    case EditorCommandLine::Action::UsageError:
        std::fprintf(stderr, "tavo: %s\nTry 'tavo --help' for more information.\n",
                     qPrintable(commandLine.text));
        return ExitUsage;
    case EditorCommandLine::Action::Edit:
        break;
    }
    return 0;
}

std::unique_ptr<TForm1> StartEditor(const QString &file)
{
    auto form1 = std::make_unique<TForm1>();
    form1->show();
    if (!file.isEmpty()) {
        // The dialog gives absolute paths; so does the command line, for the error and for
        // the name the dialog offers next.
        const QString path = QFileInfo(file).absoluteFilePath();
        RunOperation(form1.get(), [&] { form1->LoadUkbFile(path); });
    }
    return form1;
}
