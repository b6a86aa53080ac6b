// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "keyhint.h"
#include "testregistry.h"

#include <QTest>

class TestKeyHint : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void example()
    {
        s_key key;
        key.vk_name = QStringLiteral("1");
        key.caps = QStringLiteral("0");
        key.shift_code = QStringLiteral("0021");
        key.shift_char = QStringLiteral("!");
        key.norm_code = QStringLiteral("0031");
        key.norm_char = QStringLiteral("1");
        const QString expected = QStringLiteral(
            "VK_1    \n\r"
            "\n\r"
            "Caps Lock (0)\n\r"
            " 0021     !              S \n\r"
            " 0031     1              N \n\r"
            "                       A-S \n\r"
            "                         A \n\r"
            "                       C-S \n\r"
            "                         C ");
        QCOMPARE(BuildKeyHint(key), expected);
    }

    void deadKeys()
    {
        s_key key;
        key.vk_name = QStringLiteral("OEM_6");
        key.shift_char = QStringLiteral("`");
        key.norm_char = QStringLiteral("^");
        DeadOf(key, ShiftState::Shift) = DeadKey{QStringLiteral("dead_grave"), {}};
        DeadKey circumflex;
        for (const QChar base : QStringLiteral("aeiouAEIOUw"))
            circumflex.pairs.append({QString(base), QString(base) + u'\u0302'});
        DeadOf(key, ShiftState::Norm) = circumflex;
        // Shift has no pairs, so no table; Norm's eleven take two lines.
        QCOMPARE(BuildKeyHint(key).split(QStringLiteral("\n\r")).mid(3),
                 QStringList({u"          `              S dead key"_qs, u"          ^              N dead key"_qs,
                              u"                       A-S "_qs, u"                         A "_qs,
                              u"                       C-S "_qs, u"                         C "_qs,
                              u"N:    a\u2192a\u0302  e\u2192e\u0302  i\u2192i\u0302  o\u2192o\u0302  u\u2192u\u0302  "
                              u"A\u2192A\u0302  E\u2192E\u0302  I\u2192I\u0302  O\u2192O\u0302  U\u2192U\u0302"_qs,
                              u"      w\u2192w\u0302"_qs}));
    }

    void lines_data()
    {
        QTest::addColumn<int>("line");  // 0-based
        QTest::addColumn<QString>("vkName");
        QTest::addColumn<QString>("caps");
        QTest::addColumn<QString>("normCode");
        QTest::addColumn<QString>("normChar");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty caps pads to one blank")
            << 2 << "Q" << "" << "" << "" << "Caps Lock ( )";
        QTest::newRow("long caps not cut")
            << 2 << "Q" << "10" << "" << "" << "Caps Lock (10)";
        QTest::newRow("short name padded to five")
            << 0 << "Q" << "" << "" << "" << "VK_Q    ";
        QTest::newRow("five-letter name, no blank")
            << 0 << "OEM_1" << "" << "" << "" << "VK_OEM_1";
        QTest::newRow("long name written whole")
            << 0 << "OEM_MINUS" << "" << "" << "" << "VK_OEM_MINUS";
        QTest::newRow("empty state keeps its tag")
            << 4 << "Q" << "" << "" << "" << "                         N ";
        QTest::newRow("long character pushes the tag")
            << 4 << "Q" << "" << "0041" << "abcdefg" << " 0041 abcdefg              N ";
        QTest::newRow("ampersand kept as stored")
            << 4 << "Q" << "" << "0026" << "&&" << " 0026    &&              N ";
    }

    void lines()
    {
        QFETCH(int, line);
        QFETCH(QString, vkName);
        QFETCH(QString, caps);
        QFETCH(QString, normCode);
        QFETCH(QString, normChar);
        QFETCH(QString, expected);
        s_key key;
        key.vk_name = vkName;
        key.caps = caps;
        key.norm_code = normCode;
        key.norm_char = normChar;
        const QStringList lines = BuildKeyHint(key).split(QStringLiteral("\n\r"));
        QCOMPARE(lines.size(), 9);
        QCOMPARE(lines.at(line), expected);
    }

    void stateLinesAreAtLeast27Wide()
    {
        const QStringList lines = BuildKeyHint(s_key{}).split(QStringLiteral("\n\r"));
        for (int i = 3; i < 9; ++i) {
            QCOMPARE(lines.at(i).size(), 27);
            QVERIFY(lines.at(i).endsWith(u' '));
        }
    }

    void noBreakAfterLastLine()
    {
        QVERIFY(!BuildKeyHint(s_key{}).endsWith(u'\r'));
    }
};

TAVO_TEST(TestKeyHint)
#include "tst_keyhint.moc"
