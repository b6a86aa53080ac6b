// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the built tavo-convert's --install, --uninstall and --list-installed.
#include "convertrun.h"
#include "goldenfile.h"
#include "testhelpers.h"
#include "testlayouts.h"
#include "testregistry.h"
#include "xkbinstall.h"
#include "xkbsymbols.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QThread>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

class TestConvertInstall : public QObject
{
    Q_OBJECT

    std::optional<QTemporaryDir> m_config;

    static QString input() { return GoldenFilePath(QStringLiteral("russian.ukb")); }

private Q_SLOTS:
    void init()
    {
        m_config.emplace();
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config->path()));
    }
    void cleanup() { m_config.reset(); }

    void installListUninstall()
    {
        Run run = Convert({QStringLiteral("--install"), QStringLiteral("tavotry"), QStringLiteral("--description"),
                           QStringLiteral("Try \u0419"), input()});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(ReadAll(XkbUserDirectory() + QStringLiteral("/symbols/tavotry")),
                 XkbSymbolsText(RussianLayout(), QStringLiteral("tavotry")));
        run = Convert({QStringLiteral("--install"), QStringLiteral("plain"), input()});
        QCOMPARE(run.exitCode, 0);

        run = Convert({QStringLiteral("--list-installed")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QStringLiteral("plain\tplain\ntavotry\tTry \u0419\n").toUtf8());

        QCOMPARE(Convert({QStringLiteral("--uninstall"), QStringLiteral("plain")}).exitCode, 0);
        QCOMPARE(Convert({QStringLiteral("--uninstall"), QStringLiteral("tavotry")}).exitCode, 0);
        QVERIFY(Entries(m_config->path()).isEmpty());
        QCOMPARE(Convert({QStringLiteral("--list-installed")}).out, QByteArray());
    }

    // Installs and uninstalls queue on the folder's lock; a kill at any moment leaves a
    // folder the next run completes. bench/installkills.sh runs the long version.
    void concurrentInstallsAndKills()
    {
        QList<QProcess *> processes;
        const auto start = [&](const QStringList &arguments) {
            auto *process = new QProcess(this);
            process->start(QStringLiteral(TAVO_CONVERT), arguments);
            processes.append(process);
            return process;
        };
        for (int i = 0; i < 20; ++i)
            start({QStringLiteral("--install"), QStringLiteral("par%1").arg(i), input()});
        for (QProcess *process : std::as_const(processes)) {
            QVERIFY(process->waitForFinished(60000));
            QCOMPARE(process->exitCode(), 0);
        }
        qDeleteAll(processes);
        processes.clear();
        const QByteArray listed = Convert({QStringLiteral("--list-installed")}).out;
        QCOMPARE(listed.count('\n'), 20);
        QVERIFY(QFile::exists(XkbUserDirectory() + QStringLiteral("/symbols/par19")));

        QRandomGenerator random(7);
        for (int i = 0; i < 20; ++i) {
            QProcess *process = start({i % 2 ? QStringLiteral("--uninstall") : QStringLiteral("--install"),
                                       QStringLiteral("par%1").arg(i / 2), input()});
            QThread::msleep(random.bounded(5, 60));
            process->kill();
            process->waitForFinished();
        }
        qDeleteAll(processes);
        const Run list = Convert({QStringLiteral("--list-installed")});
        QCOMPARE(list.exitCode, 0);
        for (const QByteArray &line : list.out.split('\n')) {
            if (!line.isEmpty())
                QVERIFY(QFile::exists(XkbUserDirectory() + QStringLiteral("/symbols/") + QString::fromUtf8(line.split('\t').first())));
        }
        for (int i = 0; i < 20; ++i) {
            QCOMPARE(Convert({QStringLiteral("--install"), QStringLiteral("par%1").arg(i), input()}).exitCode, 0);
            QCOMPARE(Convert({QStringLiteral("--uninstall"), QStringLiteral("par%1").arg(i)}).exitCode, 0);
        }
        QCOMPARE(Convert({QStringLiteral("--list-installed")}).out, QByteArray());
    }

    void failures_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("error");
        QTest::newRow("system name") << QStringList{"--install", "ru", "IN"} << 1
                                     << "tavo-convert: The system already has an XKB layout \"ru\"";
        QTest::newRow("not installed") << QStringList{"--uninstall", "tavotry"} << 1
                                       << "tavo-convert: No layout \"tavotry\" is installed for this user through Tavo.";
        QTest::newRow("xkb: name outside the data") << QStringList{"--to", "ukb", "xkb:../../../../../etc/shadow", "out.ukb"}
                                                    << 2 << "tavo-convert: xkb: must be followed by a layout name";
        QTest::newRow("invalid name") << QStringList{"--install", "Bad Name", "IN"} << 2
                                      << "tavo-convert: invalid layout name 'Bad Name'";
        QTest::newRow("no input") << QStringList{"--install", "tavotry"} << 2 << "tavo-convert: INPUT is required";
        QTest::newRow("with --to") << QStringList{"--install", "tavotry", "--to", "xkb", "IN"} << 2
                                   << "tavo-convert: --to, --install, --uninstall and --list-installed exclude each other";
        QTest::newRow("missing input file") << QStringList{"--install", "tavotry", "missing.ukb"} << 1
                                            << "tavo-convert: Cannot open file missing.ukb";
    }

    void failures()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, error);
        arguments.replaceInStrings(QStringLiteral("IN"), input());
        const Run run = Convert(arguments);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(QString::fromUtf8(run.err).startsWith(error), run.err.constData());
        QVERIFY(Entries(m_config->path()).isEmpty());
    }
};

TAVO_TEST(TestConvertInstall)
#include "tst_convertinstall.moc"
