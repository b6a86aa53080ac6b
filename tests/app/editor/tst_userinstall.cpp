// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editorwindow.h"
#include "fakedialogs.h"
#include "keyboardtest.h"
#include "testhelpers.h"
#include "testlayouts.h"
#include "testregistry.h"
#include "xkbinstall.h"
#include "xkbsymbols.h"

#include <QTemporaryDir>

#include <memory>
#include <optional>

class TestUserInstall : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeDialogs> dialogs;
    std::unique_ptr<TForm1> editor;
    std::optional<QTemporaryDir> config;
    std::optional<QTemporaryDir> bin;  // a fake gsettings
    QByteArray savedPath = qgetenv("PATH");

    void setSession(const char *desktop, const char *type)
    {
        qputenv("XDG_CURRENT_DESKTOP", desktop);
        qputenv("XDG_SESSION_TYPE", type);
    }
    QByteArray gsettingsLog() const { return ReadAll(bin->filePath(QStringLiteral("log"))); }

private Q_SLOTS:
    void init()
    {
        config.emplace();
        bin.emplace();
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config->path()));
        // gsettings that records its calls and holds one input source.
        const QString script = bin->filePath(QStringLiteral("gsettings"));
        QVERIFY(WriteAll(script, "#!/bin/sh\necho \"$@\" >> '" + QFile::encodeName(bin->filePath(QStringLiteral("log")))
                                     + "'\n[ \"$1\" = get ] && echo \"[('xkb', 'us')]\"\nexit 0\n"));
        QVERIFY(QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        qputenv("PATH", QFile::encodeName(bin->path()) + ':' + savedPath);
        dialogs = std::make_unique<FakeDialogs>();
        editor = std::make_unique<TForm1>();
        KeyTable = RussianLayout();
    }
    void cleanup()
    {
        editor.reset();
        dialogs.reset();
        config.reset();
        bin.reset();
        qputenv("PATH", savedPath);
    }

    void installAsksAgainForARefusedName()
    {
        setSession("KDE", "x11");
        dialogs->textAnswers = {QStringLiteral("ru"), QStringLiteral("tavotry"), QStringLiteral("Try it"), QString(),
                                 QString()};
        TriggerMenuItem(editor.get(), "installforuser1");

        QCOMPARE(dialogs->textQuestions.size(), 5);
        QCOMPARE(dialogs->messages.size(), 2);
        QVERIFY2(dialogs->messages[0].startsWith(u"The system already has an XKB layout \"ru\""),
                 qPrintable(dialogs->messages[0]));
        QVERIFY(dialogs->messages[1].contains(u"KDE's X11 session does not read that folder"));
        QVERIFY(dialogs->messages[1].contains(u"setxkbmap -I"));
        // Whether to load it at X11 logins, answered No.
        QCOMPARE(dialogs->yesNoQuestions.size(), 1);
        QVERIFY(!QFile::exists(XkbAutostartPath(QStringLiteral("tavotry"))));
        QCOMPARE(InstalledXkbLayouts(), (QList<XkbInstalledLayout>{{QStringLiteral("tavotry"), QStringLiteral("Try it"), {}, {}}}));
        QCOMPARE(ReadAll(XkbUserDirectory() + QStringLiteral("/symbols/tavotry")), XkbSymbolsText(KeyTable, QStringLiteral("tavotry")));
        QVERIFY(dialogs->errors.isEmpty());
    }

    void gnomeAddsTheInputSourceWhenTheUserAgrees_data()
    {
        QTest::addColumn<bool>("agree");
        QTest::addColumn<QByteArray>("log");
        QTest::newRow("yes") << true
                             << QByteArray("get org.gnome.desktop.input-sources sources\n"
                                           "set org.gnome.desktop.input-sources sources [('xkb', 'us'), ('xkb', 'tavotry')]\n");
        QTest::newRow("no") << false << QByteArray();
    }

    void gnomeAddsTheInputSourceWhenTheUserAgrees()
    {
        QFETCH(bool, agree);
        QFETCH(QByteArray, log);
        setSession("GNOME", "wayland");
        dialogs->textAnswers = {QStringLiteral("tavotry"), QStringLiteral("Try it"), QStringLiteral("rus"), QString()};
        dialogs->yesNoAnswers = {agree};
        TriggerMenuItem(editor.get(), "installforuser1");
        QCOMPARE(dialogs->yesNoQuestions.size(), 1);
        QVERIFY(dialogs->yesNoQuestions[0].endsWith(u"Add it to GNOME's input sources now? Then switch to it with "
                                                     u"Super+Space or the keyboard menu in the top bar."));
        QVERIFY(dialogs->messages.isEmpty());
        QVERIFY(dialogs->yesNoQuestions[0].contains(u"after your next login"));
        QCOMPARE(InstalledXkbLayouts().value(0).languages, QStringList{QStringLiteral("rus")});
        QCOMPARE(gsettingsLog(), log);
        QVERIFY(dialogs->errors.isEmpty());
    }

    void cancelInstallsNothing()
    {
        dialogs->textAnswers = {QStringLiteral("tavotry"), std::nullopt};
        TriggerMenuItem(editor.get(), "installforuser1");
        QVERIFY(Entries(config->path()).isEmpty());
        QVERIFY(dialogs->messages.isEmpty());
    }

    void installOffersTheImportedLanguages()
    {
        dialogs->xkbLayoutChoices = {XkbLayoutInfo{QStringLiteral("ua"), QString(), QString(), {}}};
        TriggerMenuItem(editor.get(), "importsystemlayout1");
        dialogs->textAnswers = {QStringLiteral("tavotry"), QStringLiteral("Try it"), std::nullopt};
        TriggerMenuItem(editor.get(), "installforuser1");
        QCOMPARE(dialogs->textInitials.value(2), u"ukr");
    }

    void uninstallOffersTavosLayouts()
    {
        InstallXkbLayout(KeyTable, QStringLiteral("first"), QStringLiteral("First"));
        InstallXkbLayout(KeyTable, QStringLiteral("second"), QStringLiteral("Second"));
        dialogs->itemAnswers = {QStringLiteral("first - First")};
        dialogs->yesNoAnswers = {true};
        TriggerMenuItem(editor.get(), "uninstall1");
        QCOMPARE(dialogs->itemChoices, (QList<QStringList>{{QStringLiteral("second - Second"), QStringLiteral("first - First")}}));
        QCOMPARE(dialogs->yesNoQuestions, QStringList{QStringLiteral("Remove the layout \"first - First\" from this user's layouts?")});
        QCOMPARE(dialogs->titles.constLast(), u"Uninstall - Tavo");
        QCOMPARE(InstalledXkbLayouts(), (QList<XkbInstalledLayout>{{QStringLiteral("second"), QStringLiteral("Second"), {}, {}}}));
        QVERIFY(!QFile::exists(XkbUserDirectory() + QStringLiteral("/symbols/first")));
        QCOMPARE(dialogs->messages.size(), 1);
        QVERIFY(dialogs->messages[0].startsWith(u"The layout \"first\" is uninstalled for this user."));
    }

    // No (Escape) removes nothing.
    void uninstallAsksFirst()
    {
        InstallXkbLayout(KeyTable, QStringLiteral("first"), QStringLiteral("First"));
        dialogs->itemAnswers = {QStringLiteral("first - First")};
        dialogs->yesNoAnswers = {false};
        TriggerMenuItem(editor.get(), "uninstall1");
        QCOMPARE(InstalledXkbLayouts().size(), 1);
        QVERIFY(dialogs->messages.isEmpty());
    }

    void uninstallWithNothingInstalledSaysSo()
    {
        TriggerMenuItem(editor.get(), "uninstall1");
        QVERIFY(dialogs->itemChoices.isEmpty());
        QCOMPARE(dialogs->messages, QStringList{QStringLiteral("No layout is installed for this user through Tavo.")});
    }
};

TAVO_TEST(TestUserInstall)
#include "tst_userinstall.moc"
