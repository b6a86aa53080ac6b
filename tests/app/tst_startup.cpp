// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Starting the editor from the command line: `tavo FILE` loads FILE as the menu's load does.
#include "chartablewindow.h"
#include "editorwindow.h"
#include "fakedialogs.h"
#include "goldenfile.h"
#include "keyboardtest.h"
#include "keyhint.h"
#include "startup.h"
#include "tavoversion.h"
#include "testhelpers.h"
#include "testregistry.h"
#include "ukbfile.h"

#include <QDir>
#include <QIcon>
#include <QImage>
#include <QTemporaryDir>

#include <memory>

namespace {

const QString DataDir = QStringLiteral(TAVO_TEST_DATA "/ukb/");

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeDialogs> dialogs;
    std::unique_ptr<QTemporaryDir> dir;
    QString startDir;
    QTemporaryDir iconTheme;

    // The name the load's dialog offers next, read by opening it and cancelling.
    static QString offeredName(TForm1 *form, FakeDialogs &dialogs)
    {
        dialogs.fileDialogs.clear();
        dialogs.filePaths = {QString()};
        TriggerMenuItem(form, "loadukb1");
        return dialogs.fileDialogs.isEmpty() ? QStringLiteral("<no dialog>") : dialogs.fileDialogs[0].fileName;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        startDir = QDir::currentPath();
        // An icon theme that holds the application's icon, as an install provides it.
        QVERIFY(iconTheme.isValid());
        QVERIFY(QDir(iconTheme.path()).mkpath(QStringLiteral("hicolor/16x16/apps")));
        QVERIFY(WriteAll(iconTheme.filePath(QStringLiteral("hicolor/index.theme")),
                         "[Icon Theme]\nName=hicolor\nDirectories=16x16/apps\n\n[16x16/apps]\nSize=16\nType=Fixed\n"));
        QImage icon(16, 16, QImage::Format_ARGB32);
        icon.fill(Qt::darkBlue);
        QVERIFY(icon.save(iconTheme.filePath(QStringLiteral("hicolor/16x16/apps/" TAVO_APPLICATION_ID ".png"))));
        QIcon::setThemeSearchPaths({iconTheme.path()});
        QIcon::setThemeName(QStringLiteral("hicolor"));
    }
    void init()
    {
        dialogs = std::make_unique<FakeDialogs>();
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir::setCurrent(dir->path()));
    }
    void cleanup()
    {
        QVERIFY(QDir::setCurrent(startDir));
        dir.reset();
        dialogs.reset();
    }

    void startsWithoutAFile()
    {
        const std::unique_ptr<TForm1> form = StartEditor(QString());
        QVERIFY(form->isVisible());
        // The character table is made at the first key edit, not before.
        QVERIFY(!form->findChild<TForm2 *>());
        // The icon theme is read once the window is on screen.
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QCoreApplication::processEvents();
        QCOMPARE(form->windowIcon().name(), u"" TAVO_APPLICATION_ID);
        KeyTableArray defaults;
        LoadDefaults(defaults);
        QVERIFY(KeyTable == defaults);
        QVERIFY(dialogs->errors.isEmpty());
        QVERIFY(offeredName(form.get(), *dialogs).isEmpty());
    }

    void startsWithTheFileLoaded_data()
    {
        QTest::addColumn<bool>("relative");
        QTest::newRow("absolute path") << false;
        QTest::newRow("name in the current folder") << true;
    }

    void startsWithTheFileLoaded()
    {
        QFETCH(bool, relative);
        const QString file = dir->filePath(QStringLiteral("sample.ukb"));
        QVERIFY(QFile::copy(DataDir + "sample-utf8.ukb", file));

        const std::unique_ptr<TForm1> form = StartEditor(relative ? QStringLiteral("sample.ukb") : file);
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QVERIFY(dialogs->errors.isEmpty());
        QVERIFY(dialogs->fileDialogs.isEmpty());
        QCOMPARE(UkbFileBytes(KeyTable), ReadAll(GoldenFilePath(QStringLiteral("russian.ukb"))));
        QCOMPARE(KeyCellOf(form.get(), 14)->caption(), QStringLiteral("\u0419\n\r\u0439"));
        QCOMPARE(KeyCellOf(form.get(), 14)->hint(), BuildKeyHint(KeyByNumber(KeyTable, 14)));
        QVERIFY(!form->isLayoutModified());
        QCOMPARE(offeredName(form.get(), *dialogs), file);
    }

    void missingFileShowsTheLoadErrorOverTheWindow()
    {
        const QString file = dir->filePath(QStringLiteral("missing.ukb"));
        const std::unique_ptr<TForm1> form = StartEditor(QStringLiteral("missing.ukb"));

        const QStringList expected{QStringLiteral("Cannot open file %1.").arg(file)};
        QCOMPARE(dialogs->errors, expected);
        QVERIFY(form->isVisible());
        KeyTableArray defaults;
        LoadDefaults(defaults);
        QVERIFY(KeyTable == defaults);
        QCOMPARE(offeredName(form.get(), *dialogs), file);

        // The menu's load of the same file says the same.
        dialogs->errors.clear();
        dialogs->filePaths = {file};
        TriggerMenuItem(form.get(), "loadukb1");
        QCOMPARE(dialogs->errors, expected);
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("file");
        using A = EditorCommandLine::Action;
        QTest::newRow("nothing") << QStringList{} << int(A::Edit) << QString();
        QTest::newRow("a file") << QStringList{"my.ukb"} << int(A::Edit) << "my.ukb";
        QTest::newRow("a file named like an option, after --") << QStringList{"--", "-x.ukb"} << int(A::Edit) << "-x.ukb";
        QTest::newRow("--help") << QStringList{"--help"} << int(A::ShowHelp) << QString();
        QTest::newRow("-h with a file") << QStringList{"my.ukb", "-h"} << int(A::ShowHelp) << QString();
        QTest::newRow("--version") << QStringList{"--version"} << int(A::ShowVersion) << QString();
        QTest::newRow("two files") << QStringList{"a.ukb", "b.ukb"} << int(A::UsageError) << QString();
        QTest::newRow("an unknown option") << QStringList{"--install"} << int(A::UsageError) << QString();
        QTest::newRow("an empty name") << QStringList{""} << int(A::UsageError) << QString();
    }

    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, action);
        QFETCH(QString, file);
        const EditorCommandLine parsed = ParseEditorCommandLine(QStringList{"tavo"} + arguments);
        QCOMPARE(int(parsed.action), action);
        QCOMPARE(parsed.file, file);
        if (parsed.action != EditorCommandLine::Action::Edit)
            QVERIFY(!parsed.text.isEmpty());
        if (parsed.action == EditorCommandLine::Action::ShowVersion)
            QCOMPARE(parsed.text, u"tavo " TAVO_VERSION_STRING "\n");
    }

    void onlyHelpAndVersionSkipTheWindowSystem_data()
    {
        QTest::addColumn<QByteArrayList>("arguments");
        QTest::addColumn<bool>("textOnly");
        QTest::newRow("a file") << QByteArrayList{"my.ukb"} << false;
        QTest::newRow("--help") << QByteArrayList{"-platform", "xcb", "--help"} << true;
        QTest::newRow("-h") << QByteArrayList{"-h"} << true;
        QTest::newRow("--version") << QByteArrayList{"--version"} << true;
        QTest::newRow("a file called --help") << QByteArrayList{"--", "--help"} << false;
    }

    void onlyHelpAndVersionSkipTheWindowSystem()
    {
        QFETCH(QByteArrayList, arguments);
        QFETCH(bool, textOnly);
        arguments.prepend("tavo");
        std::vector<char *> argv;
        for (QByteArray &argument : arguments)
            argv.push_back(argument.data());
        QCOMPARE(AsksForTextOnly(int(argv.size()), argv.data()), textOnly);
    }
};

TAVO_TEST(TestStartup)
#include "tst_startup.moc"
