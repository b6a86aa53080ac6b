// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editorwindow.h"
#include "fakedialogs.h"
#include "goldenfile.h"
#include "keyboardtest.h"
#include "testhelpers.h"
#include "testlayouts.h"
#include "testregistry.h"

#include <QScopeGuard>
#include <QTemporaryDir>

#include <memory>

class TestXkbExport : public QObject
{
    Q_OBJECT

    std::unique_ptr<TForm1> form;
    std::unique_ptr<FakeDialogs> dialogs;

    void saveAsXkb() { TriggerMenuItem(form.get(), "saveasxkb1"); }

private Q_SLOTS:
    void init()
    {
        dialogs = std::make_unique<FakeDialogs>();
        form = std::make_unique<TForm1>();
        KeyTable = RussianLayout();
    }
    void cleanup()
    {
        form.reset();
        dialogs.reset();
    }

    void savesAndTellsHowToUseIt()
    {
        // The message names the folder of the default configuration.
        const QByteArray configHome = qgetenv("XDG_CONFIG_HOME");
        qunsetenv("XDG_CONFIG_HOME");
        const auto restore = qScopeGuard([&] {
            if (!configHome.isNull())
                qputenv("XDG_CONFIG_HOME", configHome);
        });
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("russian.xkb"));
        dialogs->filePaths = {path};
        saveAsXkb();

        QCOMPARE(dialogs->fileDialogs.size(), 1);
        const FileDialogSettings &asked = dialogs->fileDialogs[0];
        QCOMPARE(asked.mode, FileDialogSettings::Mode::Save);
        QCOMPARE(asked.defaultSuffix, u"xkb");
        QCOMPARE(asked.filter, u"XKB symbols (*)");
        QCOMPARE(asked.title, u"XKB");
        TAVO_COMPARE_GOLDEN(ReadAll(path), QStringLiteral("russian.xkb"));
        QCOMPARE(dialogs->messages,
                 QStringList{QStringLiteral("save (") + path + QStringLiteral(")!\nTo type with it, copy it to "
                             "~/.config/xkb/symbols/russian and choose the layout russian.")});
        QVERIFY(dialogs->errors.isEmpty());
        QVERIFY(!form->isLayoutModified());
    }

    void dialogOffersTheLastFile()
    {
        QTemporaryDir dir;
        const QString first = dir.filePath(QStringLiteral("first.xkb"));
        dialogs->filePaths = {first, QString()};
        saveAsXkb();
        saveAsXkb();
        QCOMPARE(dialogs->fileDialogs.size(), 2);
        QCOMPARE(dialogs->fileDialogs[1].fileName, first);
    }

    void cancelDoesNothing()
    {
        QTemporaryDir dir;
        dialogs->filePaths = {QString()};
        saveAsXkb();
        QCOMPARE(dialogs->fileDialogs.size(), 1);
        QVERIFY(dialogs->messages.isEmpty());
        QVERIFY(dialogs->errors.isEmpty());
        QVERIFY(Entries(dir.path()).isEmpty());
    }

    void badLayoutNameIsRefused()
    {
        QTemporaryDir dir;
        dialogs->filePaths = {dir.filePath(QStringLiteral("My Layout.xkb"))};
        saveAsXkb();
        QCOMPARE(dialogs->errors,
                 QStringList{"Invalid XKB layout name \"My Layout\" (the file name without its suffix): use "
                             "only lower-case letters a-z, digits, \"-\" and \"_\""});
        QVERIFY(dialogs->messages.isEmpty());
        QVERIFY(Entries(dir.path()).isEmpty());
    }
};

TAVO_TEST(TestXkbExport)
#include "tst_xkbexport.moc"
