// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "codepage.h"
#include "testregistry.h"

#include <QTest>

class TestCodePage : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void toAnsi_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QString() << QByteArray();
        QTest::newRow("ascii") << QStringLiteral("Az &\"<") << QByteArray("Az &\"<");
        QTest::newRow("cyrillic") << QStringLiteral("\u0410\u044F\u0401\u0451") << QByteArray("\xC0\xFF\xA8\xB8");
        QTest::newRow("ukrainian i") << QStringLiteral("\u0456") << QByteArray("\xB3");
        QTest::newRow("control 1A passes") << QStringLiteral("\x1A") << QByteArray("\x1A");
        QTest::newRow("nul passes") << QString(QChar(0)) << QByteArray(1, '\0');
        // No look-alikes: what windows-1251 cannot hold is a question mark.
        QTest::newRow("latin e acute") << QStringLiteral("\u00E9") << QByteArray("?");
        QTest::newRow("C1 control of the undefined byte 98") << QStringLiteral("\u0098") << QByteArray("?");
        QTest::newRow("cjk") << QStringLiteral("\u4E2D") << QByteArray("?");
        QTest::newRow("mixed") << QStringLiteral("a\u4E2Db") << QByteArray("a?b");
        QTest::newRow("surrogate pair is one character") << QStringLiteral("\U0001F600") << QByteArray("?");
        QTest::newRow("lone high surrogate") << QString(QChar(0xD800)) << QByteArray("?");
        QTest::newRow("lone low surrogate then letter") << QString(QChar(0xDC00)) + u'x' << QByteArray("?x");
    }

    void toAnsi()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(ToAnsi(text), bytes);
    }

    void fromAnsi_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("ascii") << QByteArray("Key") << QStringLiteral("Key");
        QTest::newRow("cyrillic capital A") << QByteArray("\xC0") << QStringLiteral("\u0410");
        QTest::newRow("small ya") << QByteArray("\xFF") << QStringLiteral("\u044F");
        QTest::newRow("yo") << QByteArray("\xA8\xB8") << QStringLiteral("\u0401\u0451");
        QTest::newRow("euro sign") << QByteArray("\x88") << QStringLiteral("\u20AC");
    }

    void fromAnsi()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(FromAnsi(bytes), text);
    }

    void everyByteDecodesToOneCharacter()
    {
        for (int byte = 32; byte <= 255; ++byte) {
            const QChar c = AnsiByteToChar(uchar(byte));
            QVERIFY2(c != QChar(QChar::ReplacementCharacter), qPrintable(QString::number(byte)));
            // and back again, where the byte stands for a character; 98, which the code
            // page leaves undefined, decodes to a C1 control that no file may hold
            QCOMPARE(ToAnsi(QString(c)), byte == 0x98 ? QByteArray("?") : QByteArray(1, char(byte)));
        }
    }
};

TAVO_TEST(TestCodePage)
#include "tst_codepage.moc"
