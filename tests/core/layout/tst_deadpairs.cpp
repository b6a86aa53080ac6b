// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "deadpairs.h"
#include "testregistry.h"

#include <QTest>

class TestDeadPairs : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void typedCharacters()
    {
        KeyTableArray table;
        ClearKeyTable(table);
        table[0].norm_char = QStringLiteral("e");
        table[0].shift_char = QStringLiteral("&&");  // the ampersand, as shown
        table[1].norm_char = QStringLiteral("e");    // once only
        table[1].ctrl_char = QStringLiteral("ab");   // not one character
        table[IsoKey - 1].norm_char = QStringLiteral("\U0001D400");
        QCOMPARE(TypedCharacters(table), QStringList({u"&"_qs, u"e"_qs, u"\U0001D400"_qs}));
    }

    void addUnicodeDeadPairs_data()
    {
        QTest::addColumn<QString>("accent");
        QTest::addColumn<QString>("added");  // "base result" pairs after the one there was
        QTest::newRow("acute") << QStringLiteral("\u00B4") << QStringLiteral("E\u00C9");
        QTest::newRow("circumflex") << QStringLiteral("^") << QStringLiteral("E\u00CA j\u0135");
        QTest::newRow("accent without a mark") << QStringLiteral("'") << QString();
    }
    void addUnicodeDeadPairs()
    {
        QFETCH(QString, accent);
        QFETCH(QString, added);
        // The pair for "e" stays; "1" composes with nothing.
        DeadKey dead{QStringLiteral("dead_acute"), {{u"e"_qs, u"x"_qs}}};
        const int count = AddUnicodeDeadPairs(dead, accent, {u"1"_qs, u"E"_qs, u"e"_qs, u"j"_qs});
        QStringList pairs;
        for (const DeadPair &pair : std::as_const(dead.pairs).mid(1))
            pairs.append(pair.base + pair.result);
        QCOMPARE(pairs.join(u' '), added);
        QCOMPARE(count, pairs.size());
        QCOMPARE(dead.pairs.front().result, u"x");
    }
};

TAVO_TEST(TestDeadPairs)
#include "tst_deadpairs.moc"
