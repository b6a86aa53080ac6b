// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "composition.h"
#include "testregistry.h"

#include <QTest>

class TestComposition : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void combiningMarksOf_data()
    {
        QTest::addColumn<QString>("accent");
        QTest::addColumn<QString>("marks");
        QTest::newRow("acute accent: space and mark") << QStringLiteral("\u00B4") << QStringLiteral("\u0301");
        QTest::newRow("dialytika tonos: two marks") << QStringLiteral("\u0385") << QStringLiteral("\u0308\u0301");
        QTest::newRow("circumflex by its name") << QStringLiteral("^") << QStringLiteral("\u0302");
        QTest::newRow("modifier letter caron by its name") << QStringLiteral("\u02C7") << QStringLiteral("\u030C");
        QTest::newRow("a combining mark is itself") << QStringLiteral("\u0303") << QStringLiteral("\u0303");
        QTest::newRow("letter, though U+0363 is named like it") << QStringLiteral("a") << QString();
        QTest::newRow("apostrophe") << QStringLiteral("'") << QString();
        QTest::newRow("two characters") << QStringLiteral("\u00B4\u00B4") << QString();
    }
    void combiningMarksOf()
    {
        QFETCH(QString, accent);
        QFETCH(QString, marks);
        QCOMPARE(CombiningMarksOf(accent), marks);
    }

    void composedCharacter_data()
    {
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("marks");
        QTest::addColumn<QString>("composed");
        QTest::newRow("e acute") << QStringLiteral("e") << QStringLiteral("\u0301") << QStringLiteral("\u00E9");
        QTest::newRow("two marks") << QStringLiteral("\u03B9") << QStringLiteral("\u0308\u0301") << QStringLiteral("\u0390");
        QTest::newRow("precomposed base") << QStringLiteral("\u00EA") << QStringLiteral("\u0301") << QStringLiteral("\u1EBF");
        QTest::newRow("beyond U+FFFF") << QStringLiteral("\U00011099") << QStringLiteral("\U000110BA") << QStringLiteral("\U0001109A");
        QTest::newRow("j acute is two characters") << QStringLiteral("j") << QStringLiteral("\u0301") << QString();
        QTest::newRow("base of two characters") << QStringLiteral("ee") << QStringLiteral("\u0301") << QString();
    }
    void composedCharacter()
    {
        QFETCH(QString, base);
        QFETCH(QString, marks);
        QFETCH(QString, composed);
        QCOMPARE(ComposedCharacter(base, marks), composed);
    }
};

TAVO_TEST(TestComposition)
#include "tst_composition.moc"
