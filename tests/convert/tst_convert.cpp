// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the built tavo-convert and compares its output with the golden files and the core
// writers' bytes.
#include "convertrun.h"
#include "fileformats.h"
#include "goldenfile.h"
#include "keytable.h"
#include "klcfile.h"
#include "klcimport.h"
#include "tavoversion.h"
#include "testhelpers.h"
#include "testlayouts.h"
#include "testregistry.h"
#include "ukbfile.h"
#include "xkbimport.h"
#include "xkbsymbols.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <unistd.h>

class TestConvert : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString input;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        input = dir.filePath(QStringLiteral("sample.ukb"));
        QVERIFY(WriteAll(input, ReadAll(GoldenFilePath(QStringLiteral("edge.ukb")))));
    }

    void formats_data()
    {
        QTest::addColumn<QString>("format");
        for (const FileFormat &format : FileFormats()) {
            if (!format.picture)
                QTest::newRow(qPrintable(format.name.toString())) << format.name.toString();
        }
    }

    // The converter writes what the editor writes: the golden files of the edge sample.
    void formats()
    {
        QFETCH(QString, format);
        // The XKB layout is named after the file.
        const QString output = dir.filePath(QStringLiteral("edge.") + FileFormatNamed(format)->suffix.toString());
        const Run run = Convert({QStringLiteral("--to"), format, input, output});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.isEmpty());
        QVERIFY(run.err.isEmpty());
        TAVO_COMPARE_GOLDEN(ReadAll(output), QStringLiteral("edge.") + format);

        // The same through standard input and output, where an XKB layout has no file to be named after.
        const Run piped = Convert({QStringLiteral("--to"), format, QStringLiteral("-"), QStringLiteral("-")}, ReadAll(input));
        QCOMPARE(piped.exitCode, 0);
        QCOMPARE(piped.out, format == u"xkb" ? XkbSymbolsText(EdgeLayout(), DefaultXkbLayoutName) : ReadAll(output));
    }

    void klcOptions()
    {
        KlcProperties properties;
        properties.name = QStringLiteral("ruphonet");
        properties.description = QStringLiteral("Russian \"phonetic\"");
        properties.company = QStringLiteral("\u041E\u041E\u041E");
        properties.copyright = QStringLiteral("(C) 2026");
        properties.localeId = QStringLiteral("00000422");
        const Run run = Convert({QStringLiteral("--to"), QStringLiteral("klc"),
                                 QStringLiteral("--name"), properties.name,
                                 QStringLiteral("--description"), properties.description,
                                 QStringLiteral("--company"), properties.company,
                                 QStringLiteral("--copyright"), properties.copyright,
                                 QStringLiteral("--locale-id"), properties.localeId,
                                 input, QStringLiteral("-")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, KlcFileBytes(EdgeLayout(), properties));
    }

    void emptyInputGivesTheDefaultLayout()
    {
        const Run run = Convert({QStringLiteral("--to"), QStringLiteral("ukb"), QStringLiteral("-"), QStringLiteral("-")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, UkbFileBytes(DefaultTable()));
        QCOMPARE(run.out.size(), 4812);
    }

    void klcInput_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("piped");
        QString text = KlcLines(RussianLayout(), KlcProperties()).join(QStringLiteral("\r\n"));
        text.replace(QStringLiteral("\t0439\t"), QStringLiteral("\t0439@\t"));  // a dead key without a table
        text.replace(QStringLiteral("\t0419\t"), QStringLiteral("\t%%\t"));     // a ligature without a row
        const QByteArray utf16 = QStringEncoder(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom).encode(text);
        const QByteArray utf8 = QStringEncoder(QStringConverter::Utf8).encode(text);
        QTest::newRow("UTF-16 file") << utf16 << false;
        QTest::newRow("UTF-8 file") << utf8 << false;
        QTest::newRow("UTF-16 on standard input") << utf16 << true;
    }

    void klcInput()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, piped);
        const QString klc = dir.filePath(QStringLiteral("in.klc"));
        QVERIFY(WriteAll(klc, bytes));
        const Run run = piped ? Convert({QStringLiteral("--to"), QStringLiteral("ukb"), QStringLiteral("-"), QStringLiteral("-")}, bytes)
                              : Convert({QStringLiteral("--to"), QStringLiteral("ukb"), klc, QStringLiteral("-")});
        QCOMPARE(run.exitCode, 0);
        KeyTableArray table = DefaultTable();
        ApplyLayoutImport(table, ImportKlcFile(klc).table);
        QCOMPARE(KeyByNumber(table, 14).norm_char, QStringLiteral("\u0439"));
        QCOMPARE(run.out, UkbFileBytes(table));
        QCOMPARE(QString::fromUtf8(run.err),
                 QStringLiteral("tavo-convert: not carried: 1 ligature\n"
                                "tavo-convert: not carried: line 38: key 14 (scan code 10), Shift: a ligature (%%) "
                                "is not carried\n"));
        QVERIFY(DeadOf(KeyByNumber(table, 14), ShiftState::Norm).has_value());
    }

    void klcInputKeepsItsHeader_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("description");
        QTest::newRow("no option") << QStringList() << "Russian test";
        QTest::newRow("an option overrides") << QStringList{"--description", "Other"} << "Other";
    }

    void klcInputKeepsItsHeader()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, description);
        KlcProperties properties;
        properties.name = QStringLiteral("rutest");  // a name the dialog would refuse is kept too
        properties.description = QStringLiteral("Russian test");
        properties.company = QStringLiteral("Some company");
        properties.copyright = QStringLiteral("(c) 2024 someone");
        properties.localeId = QStringLiteral("00000422");
        const QString klc = dir.filePath(QStringLiteral("header.klc"));
        QVERIFY(WriteAll(klc, KlcFileBytes(RussianLayout(), properties)));
        const Run run = Convert(QStringList{"--to", "klc"} + options + QStringList{klc, "-"});
        QCOMPARE(run.exitCode, 0);
        properties.description = description;
        QCOMPARE(run.out, KlcFileBytes(RussianLayout(), properties));
    }

    void xkbInput_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("layout");
        QTest::addColumn<QString>("variant");
        QTest::newRow("layout") << "xkb:ru" << "ru" << "";
        QTest::newRow("layout and variant") << "xkb:de(neo)" << "de" << "neo";
    }

    void xkbInput()
    {
        QFETCH(QString, name);
        QFETCH(QString, layout);
        QFETCH(QString, variant);
        const Run run = Convert({QStringLiteral("--to"), QStringLiteral("ukb"), name, QStringLiteral("-")});
        QCOMPARE(run.exitCode, 0);
        const LayoutImport imported = ImportXkbLayout(layout, variant);
        KeyTableArray table = DefaultTable();
        ApplyLayoutImport(table, imported.table);
        QCOMPARE(run.out, UkbFileBytes(table));
        QString report;
        for (const QString &line : imported.report.lines())
            report += QStringLiteral("tavo-convert: not carried: ") + line + u'\n';
        QCOMPARE(QString::fromUtf8(run.err), report);
    }

    void xkbInputErrors_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("unknown layout") << "xkb:tavonosuch" << "tavo-convert: The XKB layout \"tavonosuch\" is not known"
                                        << 1;
        // A usage error, before anything is opened.
        QTest::newRow("bad name") << "xkb:de(neo" << "tavo-convert: xkb: must be followed by a layout name" << 2;
    }

    void xkbInputErrors()
    {
        QFETCH(QString, name);
        QFETCH(QString, message);
        QFETCH(int, exitCode);
        const QString output = dir.filePath(QStringLiteral("never.ukb"));
        const Run run = Convert({QStringLiteral("--to"), QStringLiteral("ukb"), name, output});
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(QString::fromUtf8(run.err).startsWith(message), run.err);
        QVERIFY(!QFile::exists(output));
    }

    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("reason");
        const QString in = QStringLiteral("in.ukb"), out = QStringLiteral("out");
        QTest::newRow("unknown option") << QStringList{"--to", "ukb", "--colour", in, out} << "colour";
        QTest::newRow("unknown format") << QStringList{"--to", "jpg", in, out} << "jpg";
        QTest::newRow("no format") << QStringList{in, out} << "--to";
        QTest::newRow("option without value") << QStringList{in, out, "--to"} << "to";
        QTest::newRow("no output") << QStringList{"--to", "ukb", in} << "OUTPUT";
        QTest::newRow("nothing") << QStringList{} << "--to";
        QTest::newRow("too many") << QStringList{"--to", "ukb", in, out, out} << "too many";
        QTest::newRow("short name") << QStringList{"--to", "klc", "--name", "abc", in, out} << "abc";
        QTest::newRow("long name") << QStringList{"--to", "klc", "--name", "abcdefghi", in, out} << "8";
        QTest::newRow("blank-padded name") << QStringList{"--to", "klc", "--name", " abcdefg", in, out} << "8";
        QTest::newRow("name is a path") << QStringList{"--to", "klc", "--name", "../../ab", in, out} << "--name";
        QTest::newRow("name with a line feed")
            << QStringList{"--to", "klc", "--name", "abcdefgh\n", in, out} << "--name";
        QTest::newRow("description with a line break")
            << QStringList{"--to", "klc", "--description", "a\r\nKEYNAME", in, out} << "--description";
        QTest::newRow("copyright with a tab") << QStringList{"--to", "klc", "--copyright", "a\tb", in, out}
                                              << "--copyright";
        QTest::newRow("install option without --install") << QStringList{"--to", "ukb", "--languages", "rus", in, out}
                                                          << "--languages goes with --install only";
    }

    void usageErrors()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, reason);
        QDir::setCurrent(dir.path());
        const Run run = Convert(arguments);
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.out.isEmpty());
        const QStringList lines = QString::fromUtf8(run.err).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QVERIFY2(lines.at(0).startsWith(u"tavo-convert: ") && lines.at(0).contains(reason), run.err);
        QVERIFY(lines.at(1).contains(QStringLiteral("--help")));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("out"))));
    }

    void fileErrors_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing input") << "ukb" << "missing.ukb" << "never.ukb"
                                       << "Cannot open file %1/missing.ukb.";
        QTest::newRow("input is a folder") << "klc" << "." << "never.klc" << "Cannot open file %1/.";
        QTest::newRow("ukb into a missing folder") << "ukb" << "sample.ukb" << "none/out.ukb"
                                                   << "Cannot create file %1/none/out.ukb.";
        QTest::newRow("klc into a missing folder") << "klc" << "sample.ukb" << "none/out.klc"
                                                   << "Cannot create file %1/none/out.klc.";
        QTest::newRow("layout into a missing folder") << "layout" << "sample.ukb" << "none/out.layout"
                                                      << "File not found.";
        QTest::newRow("layout-new under a file") << "layout-new" << "sample.ukb" << "sample.ukb/x"
                                                 << "Invalid filename.";
    }

    void fileErrors()
    {
        QFETCH(QString, format);
        QFETCH(QString, in);
        QFETCH(QString, out);
        QFETCH(QString, message);
        const Run run = Convert({QStringLiteral("--to"), format, dir.filePath(in), dir.filePath(out)});
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.out.isEmpty());
        QCOMPARE(QString::fromUtf8(run.err), QStringLiteral("tavo-convert: ") + message.arg(dir.path()) + QLatin1Char(0x0A));
        QVERIFY(!QFile::exists(dir.filePath(out)));
        QVERIFY(!QDir(dir.filePath(QStringLiteral("none"))).exists());
    }

    // A standard stream that cannot be used fails the run, and nothing is written.
    void standardStreamFaults_data()
    {
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        QTest::addColumn<int>("closed");
        QTest::addColumn<QString>("message");
        QTest::newRow("input from a folder") << "-" << "target.ukb" << -1
                                             << "Cannot open file - (standard input)";
        QTest::newRow("input closed") << "-" << "target.ukb" << 0
                                      << "Cannot read standard input: it is closed.";
        QTest::newRow("output closed") << "sample.ukb" << "-" << 1
                                       << "Cannot write standard output: it is closed.";
    }

    void standardStreamFaults()
    {
        QFETCH(QString, in);
        QFETCH(QString, out);
        QFETCH(int, closed);
        QFETCH(QString, message);
        const QString target = dir.filePath(QStringLiteral("target.ukb"));
        QVERIFY(WriteAll(target, "old"));
        const QString path = in == u"-" ? in : dir.filePath(in);
        RunOptions options;
        options.childSetup = [closed] { if (closed >= 0) ::close(closed); };
        options.inputFile = closed < 0 ? dir.path() : QString();
        const Run run = Convert({QStringLiteral("--to"), QStringLiteral("ukb"), path, out == u"-" ? out : target},
                                options);
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(QString::fromUtf8(run.err), QStringLiteral("tavo-convert: ") + message + u'\n');
        QVERIFY(run.out.isEmpty());
        QCOMPARE(ReadAll(target), QByteArray("old"));
    }

    // Under a file-size limit the save fails with its format's message; the signal that
    // the limit raises does not end the converter, and the old file stays.
    void fileSizeLimit_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("message");
        QTest::newRow("cannot create") << "ukb" << "Cannot create file %1.";
        QTest::newRow("system error") << "layout" << "Disk full.";
    }

    void fileSizeLimit()
    {
        QFETCH(QString, format);
        QFETCH(QString, message);
        const QString target = dir.filePath(QStringLiteral("limited.") + format);
        QVERIFY(WriteAll(target, "old"));
        RunOptions options;
        options.childSetup = [] {
            std::signal(SIGXFSZ, SIG_DFL);
            struct rlimit limit {};
            ::getrlimit(RLIMIT_FSIZE, &limit);
            limit.rlim_cur = 1000;
            ::setrlimit(RLIMIT_FSIZE, &limit);
        };
        const Run run = Convert({QStringLiteral("--to"), format, input, target}, options);
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(QString::fromUtf8(run.err), QStringLiteral("tavo-convert: ") + message.replace(QStringLiteral("%1"), target) + u'\n');
        QCOMPARE(ReadAll(target), QByteArray("old"));
        QCOMPARE(QDir(dir.path()).entryList({QFileInfo(target).fileName() + u'*'}, QDir::AllEntries | QDir::Hidden),
                 QStringList{QFileInfo(target).fileName()});
    }

    void helpAndVersion()
    {
        const Run help = Convert({QStringLiteral("--help")});
        QCOMPARE(help.exitCode, 0);
        for (const char *option : {"--to", "--name", "--description", "--company", "--copyright",
                                   "--locale-id", "--help", "--version", "INPUT", "OUTPUT"})
            QVERIFY2(help.out.contains(option), option);
        const Run version = Convert({QStringLiteral("--version")});
        QCOMPARE(version.exitCode, 0);
        QCOMPARE(version.out, QByteArray("tavo-convert " TAVO_VERSION_STRING "\n"));
    }
};

TAVO_TEST(TestConvert)
#include "tst_convert.moc"
