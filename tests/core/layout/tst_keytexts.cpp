// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "keytexts.h"
#include "testregistry.h"

#include <QTest>

class TestKeyTexts : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void trim_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("trimmed");
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("blanks only") << QStringLiteral("   ") << QString();
        QTest::newRow("controls around") << QStringLiteral("\t\r\n a \x01") << QStringLiteral("a");
        QTest::newRow("inner blank kept") << QStringLiteral(" a b ") << QStringLiteral("a b");
        // Only units up to U+0020 go; other Unicode blanks are characters of a key.
        QTest::newRow("no-break space kept") << QStringLiteral("\u00A0") << QStringLiteral("\u00A0");
        QTest::newRow("line separator kept") << QStringLiteral(" \u2028 ") << QStringLiteral("\u2028");
    }

    void trim()
    {
        QFETCH(QString, text);
        QFETCH(QString, trimmed);
        QCOMPARE(TrimKeyText(text), trimmed);
        QCOMPARE(TrimKeyText(QStringView(text)), trimmed);
    }

    void pick_data()
    {
        QTest::addColumn<QString>("cellText");
        QTest::addColumn<QString>("character");
        QTest::addColumn<QString>("code");
        QTest::newRow("blank clears") << QStringLiteral(" ") << QString() << QString();
        QTest::newRow("empty clears") << QString() << QString() << QString();
        QTest::newRow("control unit clears") << QString(QChar(0x1F)) << QString() << QString();
        QTest::newRow("two characters clear") << QStringLiteral("ab") << QString() << QString();
        QTest::newRow("letter") << QStringLiteral("a") << QStringLiteral("a") << QStringLiteral("0061");
        QTest::newRow("ampersand doubles") << QStringLiteral("&") << QStringLiteral("&&") << QStringLiteral("0026");
        QTest::newRow("hex in upper case") << QStringLiteral("\u00E9") << QStringLiteral("\u00E9") << QStringLiteral("00E9");
        QTest::newRow("Cyrillic code, not the byte") << QStringLiteral("\u0410") << QStringLiteral("\u0410") << QStringLiteral("0410");
        QTest::newRow("no-break space is a character") << QStringLiteral("\u00A0") << QStringLiteral("\u00A0") << QStringLiteral("00A0");
        QTest::newRow("lone surrogate") << QString(QChar(0xD83D)) << QString(QChar(0xD83D)) << QStringLiteral("D83D");
        QTest::newRow("last unit") << QString(QChar(0xFFFF)) << QString(QChar(0xFFFF)) << QStringLiteral("FFFF");
        QTest::newRow("beyond U+FFFF") << QStringLiteral("\U00010450") << QStringLiteral("\U00010450") << QStringLiteral("10450");
        QTest::newRow("pair the wrong way round") << (QString(QChar(0xDC50)) + QChar(0xD801)) << QString() << QString();
        // The text is kept as it is; the code is that of its first unit.
        QTest::newRow("blank before a letter") << QStringLiteral(" x") << QStringLiteral(" x") << QStringLiteral("0020");
    }
    void pick()
    {
        QFETCH(QString, cellText);
        QFETCH(QString, character);
        QFETCH(QString, code);
        QCOMPARE(PickCharacter(cellText), (CharacterPick{character, code}));
    }

    void codeValue_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("value");  // -1 for none
        QTest::newRow("four digits") << QStringLiteral(" 044f ") << 0x44F;
        QTest::newRow("five digits") << QStringLiteral("1F600") << 0x1F600;
        QTest::newRow("six digits, the last code point") << QStringLiteral("10FFFF") << 0x10FFFF;
        QTest::newRow("five digits below U+10000") << QStringLiteral("0FFFF") << -1;
        QTest::newRow("past U+10FFFF") << QStringLiteral("110000") << -1;
        QTest::newRow("three digits") << QStringLiteral("41F") << -1;
        QTest::newRow("seven digits") << QStringLiteral("0010450") << -1;
    }

    void codeValue()
    {
        QFETCH(QString, code);
        QFETCH(int, value);
        const std::optional<char32_t> read = KeyCodeValue(code);
        QCOMPARE(read ? int(*read) : -1, value);
    }
};

TAVO_TEST(TestKeyTexts)
#include "tst_keytexts.moc"
