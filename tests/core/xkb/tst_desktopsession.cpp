// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktopsession.h"
#include "testregistry.h"

#include <QTest>

class TestDesktopSession : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void gnomeSources_data()
    {
        QTest::addColumn<QString>("sources");
        QTest::addColumn<QString>("with");
        QTest::newRow("appended") << "[('xkb', 'us'), ('ibus', 'anthy')]"
                                  << "[('xkb', 'us'), ('ibus', 'anthy'), ('xkb', 'tavotry')]";
        QTest::newRow("empty, typed") << "@a(ss) []" << "[('xkb', 'tavotry')]";
        QTest::newRow("already there") << "[('xkb', 'tavotry')]" << "[('xkb', 'tavotry')]";
        QTest::newRow("other layout with the name as variant")
            << "[('xkb', 'us+tavotry')]" << "[('xkb', 'us+tavotry'), ('xkb', 'tavotry')]";
        QTest::newRow("not a list") << "No such schema" << "";
    }

    void gnomeSources()
    {
        QFETCH(QString, sources);
        QFETCH(QString, with);
        QCOMPARE(GnomeInputSourcesWith(sources, QStringLiteral("tavotry")), with);
    }

    void session_data()
    {
        QTest::addColumn<QByteArray>("desktop");
        QTest::addColumn<QByteArray>("type");
        QTest::addColumn<int>("expectedDesktop");
        QTest::addColumn<bool>("wayland");
        QTest::newRow("ubuntu wayland") << QByteArray("ubuntu:GNOME") << QByteArray("wayland")
                                        << int(DesktopSession::Desktop::Gnome) << true;
        QTest::newRow("plasma x11") << QByteArray("KDE") << QByteArray("x11") << int(DesktopSession::Desktop::Kde) << false;
        QTest::newRow("sway") << QByteArray("sway") << QByteArray("wayland") << int(DesktopSession::Desktop::Other) << true;
    }

    void session()
    {
        QFETCH(QByteArray, desktop);
        QFETCH(QByteArray, type);
        QFETCH(int, expectedDesktop);
        QFETCH(bool, wayland);
        qputenv("XDG_CURRENT_DESKTOP", desktop);
        qputenv("XDG_SESSION_TYPE", type);
        const DesktopSession session = CurrentDesktopSession();
        QCOMPARE(int(session.desktop), expectedDesktop);
        QCOMPARE(session.wayland, wayland);
    }

    void switchSteps_data()
    {
        QTest::addColumn<int>("desktop");
        QTest::addColumn<bool>("wayland");
        QTest::addColumn<QString>("says");
        QTest::newRow("gnome wayland") << int(DesktopSession::Desktop::Gnome) << true << "Settings > Keyboard > Input Sources";
        QTest::newRow("kde wayland") << int(DesktopSession::Desktop::Kde) << true << "press Add and choose \"Try it\"";
        QTest::newRow("kde x11") << int(DesktopSession::Desktop::Kde) << false << "KDE's X11 session does not read that folder";
        QTest::newRow("other x11") << int(DesktopSession::Desktop::Other) << false << "An X11 session does not read that folder";
    }

    void switchSteps()
    {
        QFETCH(int, desktop);
        QFETCH(bool, wayland);
        QFETCH(QString, says);
        qputenv("XDG_CONFIG_HOME", "/home/me/my config");
        const DesktopSession session{DesktopSession::Desktop(desktop), wayland};
        const QString steps = XkbSwitchSteps(session, QStringLiteral("tavotry"), QStringLiteral("Try it"), false);
        QVERIFY2(steps.startsWith(u"The layout \"tavotry\" (Try it) is installed for this user in /home/me/my config/xkb."),
                 qPrintable(steps));
        QVERIFY2(steps.contains(says), qPrintable(steps));
        // On X11 the server must be given the folder, quoted for the shell, and the layout goes
        // after the ones the server has, without xkbcomp's warnings.
        QCOMPARE(steps.contains(u"    sh -c '"), !wayland);
        const QString script = XkbX11LoadScript(QStringLiteral("tavotry"));
        QVERIFY(script.contains(u"setxkbmap -I'/home/me/my config/xkb' -layout \"${l:+$l,}tavotry\""));
        QVERIFY(script.contains(u"| xkbcomp -w 0 -I'/home/me/my config/xkb' - \"$DISPLAY\""));
    }
};

TAVO_TEST(TestDesktopSession)
#include "tst_desktopsession.moc"
