// tavo-convert --to FORMAT [KLC options] INPUT OUTPUT
// tavo-convert --install NAME [--description TEXT] INPUT | --uninstall NAME | --list-installed
//
// Loads a .ukb layout exactly as the editor's load does, on top of the default layout, and
// writes it in one of the editor's formats, byte for byte as the editor writes it.
// Exit codes: 0 success, 1 a file error (the editor's message), 2 a usage error.

#include "fileerror.h"
#include "keytable.h"
#include "klcfile.h"
#include "layoutxml.h"
#include "ukbfile.h"
#include "xkbinstall.h"
#include "xkbsymbols.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>

#include <cerrno>
#include <cstdio>

namespace {

constexpr int ExitFileError = 1;
constexpr int ExitUsage = 2;

const QString StandardStream = QStringLiteral("-");

void PrintError(const QString &text)
{
    std::fprintf(stderr, "tavo-convert: %s\n", qPrintable(text));
}

int UsageError(const QString &reason)
{
    PrintError(reason);
    std::fprintf(stderr, "Try 'tavo-convert --help' for more information.\n");
    return ExitUsage;
}

UkbContent ReadInput(const QString &input)
{
    if (input != StandardStream)
        return ReadUkbFile(input);
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly))
        throw CannotOpenFile(input);
    return ReadUkb(in);
}

void WriteStandardOutput(const QByteArray &bytes)
{
    QFile out;
    errno = 0;
    if (!out.open(stdout, QIODevice::WriteOnly | QIODevice::Unbuffered)
        || out.write(bytes) != bytes.size())
        throw FileError(IoErrorMessage(errno != 0 ? errno : EIO));
}

struct Format {
    const char *name;
    QByteArray (*bytes)(KeyTableArray &, const KlcProperties &);
    void (*save)(KeyTableArray &, const KlcProperties &, const QString &);
};

const Format Formats[] = {
    {"ukb",
     [](KeyTableArray &t, const KlcProperties &) { return UkbFileBytes(t); },
     [](KeyTableArray &t, const KlcProperties &, const QString &path) { SaveUkbFile(t, path); }},
    {"klc",
     [](KeyTableArray &t, const KlcProperties &p) { return KlcFileBytes(t, p); },
     [](KeyTableArray &t, const KlcProperties &p, const QString &path) { SaveKlcFile(t, p, path); }},
    {"layout",
     [](KeyTableArray &t, const KlcProperties &) { return LayoutFileBytes(t, LayoutDialect::Classic); },
     [](KeyTableArray &t, const KlcProperties &, const QString &path) { SaveLayoutClassic(t, path); }},
    {"layout-new",
     [](KeyTableArray &t, const KlcProperties &) {
         SetKeyTypes(t);
         return LayoutFileBytes(t, LayoutDialect::New);
     },
     [](KeyTableArray &t, const KlcProperties &, const QString &path) { SaveLayoutNew(t, path); }},
    {"xkb",
     [](KeyTableArray &t, const KlcProperties &) {
         const QByteArray text = XkbSymbolsText(t, DefaultXkbLayoutName);
         VerifyXkbSymbols(t, DefaultXkbLayoutName, text);
         return text;
     },
     [](KeyTableArray &t, const KlcProperties &, const QString &path) { SaveXkbFile(t, path); }},
};

const Format *FindFormat(const QString &name)
{
    for (const Format &format : Formats) {
        if (name == QLatin1StringView(format.name))
            return &format;
    }
    return nullptr;
}

// --install, --uninstall and --list-installed: the editor's install for this user.
struct UserLayoutCommand {
    enum Kind { Install, Uninstall, List } kind;
    QString name;
    QString description;
    QStringList inputs;
};

int RunUserLayoutCommand(const UserLayoutCommand &command)
{
    if (command.kind != UserLayoutCommand::Install && !command.inputs.isEmpty())
        return UsageError(QStringLiteral("too many arguments"));
    if (command.kind == UserLayoutCommand::Install && command.inputs.size() != 1)
        return UsageError(command.inputs.isEmpty() ? QStringLiteral("INPUT is required")
                                                   : QStringLiteral("too many arguments"));
    if (command.kind != UserLayoutCommand::List && !IsValidXkbLayoutName(command.name))
        return UsageError(QStringLiteral("invalid layout name '%1': use only a-z, 0-9, '-' and '_'").arg(command.name));
    try {
        switch (command.kind) {
        case UserLayoutCommand::Install: {
            const UkbContent content = ReadInput(command.inputs.at(0));
            KeyTableArray table;
            LoadDefaults(table);
            ApplyUkb(table, content);
            InstallXkbLayout(table, command.name, command.description);
            break;
        }
        case UserLayoutCommand::Uninstall:
            UninstallXkbLayout(command.name);
            break;
        case UserLayoutCommand::List: {
            QByteArray lines;
            for (const XkbInstalledLayout &layout : InstalledXkbLayouts())
                lines += (layout.name + u'\t' + layout.description + u'\n').toUtf8();
            WriteStandardOutput(lines);
            break;
        }
        }
    } catch (const FileError &error) {
        PrintError(WithFullStop(error.message()));
        return ExitFileError;
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tavo-convert"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.2"));

    const KlcProperties defaults;
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Converts a Tavo layout (.ukb) into one of Tavo's file formats.\n"
        "INPUT and OUTPUT may be - for standard input and standard output."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version(QStringLiteral("version"),
                                     QStringLiteral("Show the version and exit."));
    const QCommandLineOption to(QStringLiteral("to"),
                                QStringLiteral("Output format: ukb, klc, layout (classic), layout-new or xkb."),
                                QStringLiteral("FORMAT"));
    const auto klcOption = [&](const char *name, const char *what, const QString &value) {
        return QCommandLineOption(QString::fromLatin1(name),
                                  QStringLiteral("KLC %1 (default \"%2\").").arg(QString::fromLatin1(what), value),
                                  QStringLiteral("TEXT"), value);
    };
    const QCommandLineOption name = klcOption("name", "layout name, exactly 8 characters", defaults.name);
    const QCommandLineOption description = klcOption("description", "description", defaults.description);
    const QCommandLineOption company = klcOption("company", "company", defaults.company);
    const QCommandLineOption copyright = klcOption("copyright", "copyright", defaults.copyright);
    const QCommandLineOption localeId = klcOption("locale-id", "locale identifier", defaults.localeId);
    const QCommandLineOption install(QStringLiteral("install"),
                                     QStringLiteral("Install INPUT for this user as the XKB layout NAME, "
                                                    "described by --description (default NAME)."),
                                     QStringLiteral("NAME"));
    const QCommandLineOption uninstall(QStringLiteral("uninstall"),
                                       QStringLiteral("Remove the layout NAME that Tavo installed for this user."),
                                       QStringLiteral("NAME"));
    const QCommandLineOption listInstalled(QStringLiteral("list-installed"),
                                           QStringLiteral("List the layouts Tavo installed for this user: "
                                                          "name, TAB, description."));
    parser.addOptions({help, version, to, name, description, company, copyright, localeId});
    parser.addOptions({install, uninstall, listInstalled});
    parser.addPositionalArgument(QStringLiteral("INPUT"), QStringLiteral("The .ukb layout to read, or -."));
    parser.addPositionalArgument(QStringLiteral("OUTPUT"), QStringLiteral("The file to write, or -."));

    // parse(), not process(): process() exits with 1 on a usage error, where 2 is due.
    if (!parser.parse(QCoreApplication::arguments()))
        return UsageError(parser.errorText());
    if (parser.isSet(help)) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("tavo-convert 1.2\n");
        return 0;
    }
    const int userCommands = int(parser.isSet(install)) + int(parser.isSet(uninstall)) + int(parser.isSet(listInstalled));
    if (userCommands > 0) {
        if (userCommands > 1 || parser.isSet(to))
            return UsageError(QStringLiteral("--to, --install, --uninstall and --list-installed exclude each other"));
        UserLayoutCommand command;
        command.kind = parser.isSet(install) ? UserLayoutCommand::Install
            : parser.isSet(uninstall)        ? UserLayoutCommand::Uninstall
                                             : UserLayoutCommand::List;
        command.name = parser.isSet(install) ? parser.value(install) : parser.value(uninstall);
        command.description = parser.isSet(description) ? parser.value(description) : command.name;
        command.inputs = parser.positionalArguments();
        return RunUserLayoutCommand(command);
    }
    if (!parser.isSet(to))
        return UsageError(QStringLiteral("missing --to FORMAT"));
    const Format *format = FindFormat(parser.value(to));
    if (!format)
        return UsageError(QStringLiteral("unknown format '%1'").arg(parser.value(to)));
    const QStringList paths = parser.positionalArguments();
    if (paths.size() != 2)
        return UsageError(paths.size() < 2 ? QStringLiteral("INPUT and OUTPUT are required")
                                           : QStringLiteral("too many arguments"));
    KlcProperties properties;
    properties.name = parser.value(name);
    properties.description = parser.value(description);
    properties.company = parser.value(company);
    properties.copyright = parser.value(copyright);
    properties.localeId = parser.value(localeId);
    if (!IsValidKlcName(properties.name))
        return UsageError(QStringLiteral("--name must be exactly 8 characters, not '%1'").arg(properties.name));

    try {
        const UkbContent content = ReadInput(paths.at(0));
        KeyTableArray table;
        LoadDefaults(table);
        ApplyUkb(table, content);
        if (paths.at(1) == StandardStream)
            WriteStandardOutput(format->bytes(table, properties));
        else
            format->save(table, properties, paths.at(1));
    } catch (const FileError &error) {
        PrintError(WithFullStop(error.message()));
        return ExitFileError;
    }
    return 0;
}
