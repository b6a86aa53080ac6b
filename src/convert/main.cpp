// tavo-convert --to FORMAT [KLC options] INPUT OUTPUT
//
// Loads a .ukb layout exactly as the editor's load does, on top of the default layout, and
// writes it in one of the editor's formats, byte for byte as the editor writes it. INPUT
// may also be a KLC file (told by its content) or xkb:LAYOUT / xkb:LAYOUT(VARIANT), a
// layout of the XKB database, imported as the editor imports them; what an import cannot
// carry is listed on standard error.
// Exit codes: 0 success, 1 a file error (the editor's message), 2 a usage error.

#include "fileerror.h"
#include "keytable.h"
#include "klcfile.h"
#include "klcimport.h"
#include "layoutxml.h"
#include "ukbfile.h"
#include "xkbimport.h"
#include "xkbsymbols.h"

#include <QBuffer>
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

const QString XkbInputPrefix = QStringLiteral("xkb:");

// The first bytes of the input, enough to tell a KLC file and to hold a whole one.
QByteArray InputHead(const QString &input, qint64 size)
{
    QFile in;
    const bool open = input == StandardStream ? in.open(stdin, QIODevice::ReadOnly)
                                              : (in.setFileName(input), in.open(QIODevice::ReadOnly));
    if (!open)
        throw CannotOpenFile(input);
    const QByteArray bytes = in.read(size);
    if (in.error() != QFileDevice::NoError)
        throw CannotOpenFile(input);
    return bytes;
}

void PrintReport(const QStringList &report)
{
    for (const QString &line : report)
        std::fprintf(stderr, "tavo-convert: not carried: %s\n", qPrintable(line));
}

// The layout INPUT names, on top of the default layout.
KeyTableArray LoadInput(const QString &input)
{
    KeyTableArray table;
    LoadDefaults(table);
    if (input.startsWith(XkbInputPrefix)) {
        const QString name = input.mid(XkbInputPrefix.size());
        const std::optional<XkbLayoutInfo> info = ParseXkbLayoutName(name);
        if (!info)
            throw FileError(QStringLiteral("\"%1\" is not the name of an XKB layout").arg(name));
        const LayoutImport imported = ImportXkbLayout(info->layout, info->variant);
        ApplyLayoutImport(table, imported.table);
        PrintReport(imported.report);
        return table;
    }
    // Standard input can be read only once: the head is all ReadUkb would ever take of it
    // (MaxUkbTextLength units, at most three bytes each).
    const bool fromStdin = input == StandardStream;
    const qint64 headSize = fromStdin ? 3 * MaxUkbTextLength + 8 : MaxKlcFileSize + 1;
    QByteArray head = InputHead(input, headSize);
    const QString text = DecodeKlcText(QByteArrayView(head).first(qMin<qsizetype>(head.size(), MaxKlcFileSize + 1)));
    if (IsKlcText(text)) {
        if (head.size() > MaxKlcFileSize)
            throw FileError(QStringLiteral("%1 is too large for a KLC file").arg(input));
        const KlcImport imported = ImportKlc(text, input);
        ApplyLayoutImport(table, imported.table);
        PrintReport(imported.report);
        return table;
    }
    if (fromStdin) {
        QBuffer buffer(&head);
        buffer.open(QIODevice::ReadOnly);
        ApplyUkb(table, ReadUkb(buffer));
    } else {
        ApplyUkb(table, ReadInput(input));
    }
    return table;
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
        "INPUT and OUTPUT may be - for standard input and standard output.\n"
        "INPUT may also be a KLC file, or xkb:LAYOUT or xkb:LAYOUT(VARIANT) for a layout of\n"
        "the system's XKB database (xkb:ru, xkb:de(neo)); what the import cannot carry is\n"
        "listed on standard error."));
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
    parser.addOptions({help, version, to, name, description, company, copyright, localeId});
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
        std::printf("tavo-convert 1.2\n");
        return 0;
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
        KeyTableArray table = LoadInput(paths.at(0));
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
