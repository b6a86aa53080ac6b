// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
// tavo-convert --to FORMAT [KLC options] INPUT OUTPUT
// tavo-convert --install NAME [--description TEXT] [--short-description TEXT] [--languages CODES]
//              [--load-at-x11-login] INPUT | --uninstall NAME | --list-installed
//
// Loads a .ukb layout exactly as the editor's load does, on top of the default layout, and
// writes it in one of the editor's formats, byte for byte as the editor writes it. INPUT
// may also be a KLC file (told by its content) or xkb:LAYOUT / xkb:LAYOUT(VARIANT), a
// layout of the XKB database, imported as the editor imports them; what an import cannot
// carry is listed on standard error. A KLC input's name, description, company, copyright
// and locale go into a KLC output where no option gives them.

#include "atomicfile.h"
#include "descriptordevice.h"
#include "fileformats.h"
#include "keyboardpicture.h"
#include "keytable.h"
#include "klcfile.h"
#include "klcimport.h"
#include "layoutimport.h"
#include "operationerror.h"
#include "tavoversion.h"
#include "xkbimport.h"
#include "xkbinstall.h"
#include "xkbregistry.h"
#include "xkbsymbols.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <unistd.h>

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

// Which of the standard streams the process was started without.
struct ClosedStreams {
    bool input = false;
    bool output = false;
};

// A standard stream that was closed at start gets /dev/null in its place, so that no file
// opened later takes its number: reading "-" would read that file, writing "-" would
// write into it, and an error message would land in it.
ClosedStreams ReserveStandardStreams()
{
    ClosedStreams closed;
    for (int descriptor : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (::fcntl(descriptor, F_GETFD) != -1 || errno != EBADF)
            continue;
        if (descriptor == STDIN_FILENO)
            closed.input = true;
        else if (descriptor == STDOUT_FILENO)
            closed.output = true;
        const int null = ::open("/dev/null", descriptor == STDIN_FILENO ? O_RDONLY : O_WRONLY);
        if (null >= 0 && null != descriptor) {
            ::dup2(null, descriptor);
            ::close(null);
        }
    }
    return closed;
}

const QString XkbInputPrefix = QStringLiteral("xkb:");

// Why the input cannot be read as named: an xkb: name that is not a layout name; empty
// when it can. Checked before anything is opened.
QString InputNameProblem(const QString &input)
{
    if (input.startsWith(XkbInputPrefix) && !ParseXkbLayoutName(input.mid(XkbInputPrefix.size()))) {
        return QStringLiteral("xkb: must be followed by a layout name of at most %1 letters a-z and A-Z, digits, "
                              "'-' and '_', with a variant of the same kind in brackets: xkb:de(neo)")
            .arg(MaxXkbNameLength);
    }
    return {};
}

// The name of the input in messages.
QString InputName(const QString &input)
{
    return input == StandardStream ? QStringLiteral("- (standard input)") : input;
}

// The first maxSize bytes of the input (all of it when it is shorter), read once, so that
// standard input and a FIFO are read like a file. A read error is an error, never the end.
QByteArray ReadInputBytes(const QString &input, qint64 maxSize, const ClosedStreams &closed)
{
    std::unique_ptr<QIODevice> device;
    if (input == StandardStream) {
        if (closed.input)
            throw OperationError(QStringLiteral("Cannot read standard input: it is closed"));
        device = std::make_unique<DescriptorDevice>(STDIN_FILENO, QIODevice::ReadOnly);
    } else {
        auto file = std::make_unique<QFile>(input);
        if (!file->open(QIODevice::ReadOnly | QIODevice::Unbuffered))
            throw CannotOpenFile(input);
        device = std::move(file);
    }
    QByteArray bytes;
    while (bytes.size() < maxSize) {
        const qsizetype start = bytes.size();
        bytes.resize(qMin<qint64>(maxSize, start + 65536));
        const qint64 got = device->read(bytes.data() + start, bytes.size() - start);
        if (got < 0)
            throw CannotOpenFile(InputName(input));
        bytes.resize(start + got);
        if (got == 0)
            break;
    }
    return bytes;
}

void PrintReport(const ImportReport &report)
{
    for (const QString &line : report.lines())
        std::fprintf(stderr, "tavo-convert: not carried: %s\n", qPrintable(line));
}

// What INPUT holds: the layout, and a KLC file's header texts.
struct Input {
    LayoutImport imported;
    std::optional<KlcProperties> klc;
};

// The layout INPUT names, on top of the default layout: a .ukb or KLC file (told by its
// content), or a layout of the XKB database.
Input ImportInput(const QString &input, const ClosedStreams &closed)
{
    Input result;
    if (input.startsWith(XkbInputPrefix)) {
        result.imported = ImportXkbLayoutNamed(input.mid(XkbInputPrefix.size()));
    } else {
        const QByteArray bytes = ReadInputBytes(input, MaxLayoutInputSize(), closed);
        if (IsKlcBytes(bytes)) {
            KlcImport klc = ImportKlcBytes(bytes, InputName(input));
            result.klc = klc.properties;
            result.imported = std::move(klc);
        } else {
            result.imported = ImportLayoutBytes(bytes, InputName(input));
        }
    }
    PrintReport(result.imported.report);
    return result;
}

// The imported layout on top of the default one.
KeyTableArray TableOf(const LayoutImport &imported)
{
    KeyTableArray table;
    LoadDefaults(table);
    ApplyLayoutImport(table, imported.table);
    return table;
}

void WriteStandardOutput(const QByteArray &bytes, const ClosedStreams &closed)
{
    if (closed.output)
        throw OperationError(QStringLiteral("Cannot write standard output: it is closed"));
    DescriptorDevice out(STDOUT_FILENO, QIODevice::WriteOnly);
    if (out.write(bytes) != bytes.size())
        throw OperationError(IoErrorMessage(out.errorNumber() != 0 ? out.errorNumber() : EIO));
}

// Pictures need the GUI library's fonts, and only they: the application object is replaced
// by a GUI one for them, which never opens a window.
std::unique_ptr<QCoreApplication> StartGuiApplication(int &argc, char **argv)
{
    // The same rendering with or without a desktop session.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Notes of the platform's start-up (no XDG_RUNTIME_DIR on a headless machine, say)
    // mean nothing to the converter's user; errors still show.
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext &, const QString &message) {
            if (type == QtCriticalMsg || type == QtFatalMsg)
                std::fprintf(stderr, "%s\n", qPrintable(message));
        });
    auto app = std::make_unique<QGuiApplication>(argc, argv);
    qInstallMessageHandler(previous);
    return app;
}

// --install, --uninstall and --list-installed: the editor's install for this user.
struct UserLayoutCommand {
    enum Kind { Install, Uninstall, List } kind;
    QString name;
    XkbInstallOptions options;
    QStringList inputs;
};



int RunUserLayoutCommand(const UserLayoutCommand &command, const ClosedStreams &closed)
{
    if (command.kind != UserLayoutCommand::Install && !command.inputs.isEmpty())
        return UsageError(QStringLiteral("too many arguments"));
    if (command.kind == UserLayoutCommand::Install && command.inputs.size() != 1)
        return UsageError(command.inputs.isEmpty() ? QStringLiteral("INPUT is required")
                                                   : QStringLiteral("too many arguments"));
    if (command.kind != UserLayoutCommand::List && !IsValidXkbLayoutName(command.name)) {
        return UsageError(QStringLiteral("invalid layout name '%1': use only a-z, 0-9, '-' and '_', at most %2")
                              .arg(command.name.left(MaxXkbNameLength + 1))
                              .arg(MaxXkbNameLength));
    }
    if (command.kind == UserLayoutCommand::Install) {
        const QString problem = InputNameProblem(command.inputs.at(0));
        if (!problem.isEmpty())
            return UsageError(problem);
        for (const QString &language : command.options.languages) {
            if (!IsIso639Code(language))
                return UsageError(QStringLiteral("--languages: '%1' is not an ISO 639 code of two or three "
                                                 "lower-case letters").arg(language.left(16)));
        }
    }
    try {
        switch (command.kind) {
        case UserLayoutCommand::Install: {
            const QString &input = command.inputs.at(0);
            const LayoutImport imported = ImportInput(input, closed).imported;
            XkbInstallOptions options = command.options;
            if (options.languages.isEmpty() && input.startsWith(XkbInputPrefix)) {
                const XkbLayoutInfo info = *ParseXkbLayoutName(input.mid(XkbInputPrefix.size()));
                options.languages = XkbLayoutLanguages(XkbRegistryLayouts(XkbLayoutSource::SystemAndUser),
                                                       info.layout, info.variant);
            } else if (options.languages.isEmpty()) {
                options.languages = imported.languages;
            }
            InstallXkbLayout(TableOf(imported), command.name, options);
            break;
        }
        case UserLayoutCommand::Uninstall:
            UninstallXkbLayout(command.name);
            break;
        case UserLayoutCommand::List: {
            QByteArray lines;
            for (const XkbInstalledLayout &layout : InstalledXkbLayouts())
                lines += (layout.name + u'\t' + layout.description + u'\n').toUtf8();
            WriteStandardOutput(lines, closed);
            break;
        }
        }
    } catch (const OperationError &error) {
        PrintError(WithFullStop(error.message()));
        return ExitFileError;
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    // Before anything opens a file.
    const ClosedStreams closed = ReserveStandardStreams();
    InitFileWriting();
    auto app = std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tavo-convert"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TAVO_VERSION_STRING));

    const KlcProperties defaults;
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Converts a Tavo layout (.ukb) into one of Tavo's file formats.\n"
        "INPUT and OUTPUT may be - for standard input and standard output.\n"
        "INPUT may also be a KLC file, or xkb:LAYOUT or xkb:LAYOUT(VARIANT) for a layout of\n"
        "the system's XKB database (xkb:ru, xkb:de(neo)); what the import cannot carry is\n"
        "listed on standard error.\n"
        "Exit codes: 0 success; 1 the operation failed (a file that cannot be read or written,\n"
        "a layout that cannot be imported or installed), with the message on standard error;\n"
        "2 a usage error (an unknown option, a missing argument, an invalid name), before\n"
        "any file is opened."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version(QStringLiteral("version"),
                                     QStringLiteral("Show the version and exit."));
    const QCommandLineOption to(QStringLiteral("to"),
                                QStringLiteral("Output format: ukb, klc, layout (classic), layout-new, xkb, "
                                               "or a picture: svg, png or pdf."),
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
    const QCommandLineOption shortDescription(
        QStringLiteral("short-description"),
        QStringLiteral("With --install: the layout's short name on the desktop's indicator, up to %1 characters "
                       "(default: from the first language).").arg(MaxXkbShortDescriptionLength),
        QStringLiteral("TEXT"));
    const QCommandLineOption languages(
        QStringLiteral("languages"),
        QStringLiteral("With --install: the layout's languages, comma-separated ISO 639 codes such as rus,eng "
                       "(default: the KLC file's locale or the XKB layout's languages)."),
        QStringLiteral("CODES"));
    const QCommandLineOption loadAtX11Login(
        QStringLiteral("load-at-x11-login"),
        QStringLiteral("With --install: load the layout at every X11 login, beside the layouts you have "
                       "(an autostart entry, removed by --uninstall)."));
    const QCommandLineOption uninstall(QStringLiteral("uninstall"),
                                       QStringLiteral("Remove the layout NAME that Tavo installed for this user."),
                                       QStringLiteral("NAME"));
    const QCommandLineOption listInstalled(QStringLiteral("list-installed"),
                                           QStringLiteral("List the layouts Tavo installed for this user: "
                                                          "name, TAB, description."));
    parser.addOptions({help, version, to, name, description, company, copyright, localeId});
    parser.addOptions({install, uninstall, listInstalled, shortDescription, languages, loadAtX11Login});
    parser.addPositionalArgument(QStringLiteral("INPUT"), QStringLiteral("The .ukb or .klc layout to read, -, or xkb:LAYOUT(VARIANT)."));
    parser.addPositionalArgument(QStringLiteral("OUTPUT"), QStringLiteral("The file to write, or -."));

    // parse(), not process(): process() exits with 1 on a usage error, where 2 is due.
    if (!parser.parse(QCoreApplication::arguments()))
        return UsageError(parser.errorText());
    if (parser.isSet(help)) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("tavo-convert %s\n", TAVO_VERSION_STRING);
        return 0;
    }
    const int userCommands = int(parser.isSet(install)) + int(parser.isSet(uninstall)) + int(parser.isSet(listInstalled));
    for (const QCommandLineOption *installOnly : {&shortDescription, &languages, &loadAtX11Login}) {
        if (parser.isSet(*installOnly) && !parser.isSet(install))
            return UsageError(QStringLiteral("--%1 goes with --install only").arg(installOnly->names().constFirst()));
    }
    if (userCommands > 0) {
        if (userCommands > 1 || parser.isSet(to))
            return UsageError(QStringLiteral("--to, --install, --uninstall and --list-installed exclude each other"));
        UserLayoutCommand command;
        command.kind = parser.isSet(install) ? UserLayoutCommand::Install
            : parser.isSet(uninstall)        ? UserLayoutCommand::Uninstall
                                             : UserLayoutCommand::List;
        command.name = parser.isSet(install) ? parser.value(install) : parser.value(uninstall);
        command.options.description = parser.isSet(description) ? parser.value(description) : command.name;
        command.options.shortDescription = parser.value(shortDescription);
        command.options.languages = parser.value(languages).split(u',', Qt::SkipEmptyParts);
        command.options.loadAtX11Login = parser.isSet(loadAtX11Login);
        command.inputs = parser.positionalArguments();
        return RunUserLayoutCommand(command, closed);
    }
    if (!parser.isSet(to))
        return UsageError(QStringLiteral("missing --to FORMAT"));
    const FileFormat *format = FileFormatNamed(parser.value(to));
    if (!format)
        return UsageError(QStringLiteral("unknown format '%1'").arg(parser.value(to)));
    const QStringList paths = parser.positionalArguments();
    if (paths.size() != 2)
        return UsageError(paths.size() < 2 ? QStringLiteral("INPUT and OUTPUT are required")
                                           : QStringLiteral("too many arguments"));
    const QString inputProblem = InputNameProblem(paths.at(0));
    if (!inputProblem.isEmpty())
        return UsageError(inputProblem);
    ExportOptions options;
    KlcProperties &properties = options.klc;
    properties.name = parser.value(name);
    properties.description = parser.value(description);
    properties.company = parser.value(company);
    properties.copyright = parser.value(copyright);
    properties.localeId = parser.value(localeId);
    switch (CheckKlcName(properties.name)) {
    case KlcNameCheck::Valid:
        break;
    case KlcNameCheck::WrongLength:
        return UsageError(QStringLiteral("--name must be exactly 8 characters, not '%1'").arg(properties.name));
    case KlcNameCheck::NotAFileName:
        return UsageError(QStringLiteral("--name: ") + KlcNameNotAFileNameMessage);
    }
    for (const QCommandLineOption *option : {&description, &company, &copyright, &localeId}) {
        if (!IsValidKlcHeaderText(parser.value(*option)))
            return UsageError(QStringLiteral("--%1 must not contain line breaks, TABs or other control characters")
                                  .arg(option->names().constFirst()));
    }

    if (format->picture) {
        app.reset();
        app = StartGuiApplication(argc, argv);
    }

    try {
        const Input input = ImportInput(paths.at(0), closed);
        KeyTableArray table = TableOf(input.imported);
        // A KLC input's header texts stand where no option is given.
        if (input.klc) {
            const std::pair<const QCommandLineOption *, QString KlcProperties::*> texts[] = {
                {&name, &KlcProperties::name}, {&description, &KlcProperties::description},
                {&company, &KlcProperties::company}, {&copyright, &KlcProperties::copyright},
                {&localeId, &KlcProperties::localeId}};
            for (const auto &[option, text] : texts) {
                if (!parser.isSet(*option))
                    properties.*text = BlankKlcHeaderText((*input.klc).*text);
            }
        }
        // A picture is titled with the input's file name.
        options.title = PictureTitle(paths.at(0) == StandardStream ? QString() : paths.at(0));
        if (paths.at(1) == StandardStream)
            WriteStandardOutput(format->bytes(table, options), closed);
        else
            format->save(table, options, paths.at(1));
        if (format->losses) {
            for (const QString &loss : format->losses(table))
                std::fprintf(stderr, "tavo-convert: not carried: %s\n", qPrintable(loss));
        }
    } catch (const OperationError &error) {
        PrintError(WithFullStop(error.message()));
        return ExitFileError;
    }
    return 0;
}
