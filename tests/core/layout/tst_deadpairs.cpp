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
        table[0].shift_char = QStringLiteral("E");
        table[1].norm_char = QStringLiteral("e");         // once only
        table[1].altgr_char = QStringLiteral("&&");       // the ampersand, as shown
        table[1].ctrl_char = QStringLiteral("ab");        // not one character
        table[IsoKey - 1].norm_char = QStringLiteral("\U0001D400");
        QCOMPARE(TypedCharacters(table),
                 QStringList({QStringLiteral("&"), QStringLiteral("E"), QStringLiteral("e"),
                              QStringLiteral("\U0001D400")}));
    }

    void addUnicodeDeadPairs_data()
    {
        QTest::addColumn<QString>("accent");
        QTest::addColumn<QString>("added");  // "base result" pairs after those there were
        QTest::newRow("acute") << QStringLiteral("\u00B4") << QStringLiteral("E\u00C9 o\u00F3");
        QTest::newRow("circumflex") << QStringLiteral("^") << QStringLiteral("E\u00CA j\u0135 o\u00F4");
        QTest::newRow("accent without a mark") << QStringLiteral("'") << QString();
    }
    void addUnicodeDeadPairs()
    {
        QFETCH(QString, accent);
        QFETCH(QString, added);
        // "e" has a pair already, which stays; "1" composes with no accent, "j" with some.
        DeadKey dead{QStringLiteral("dead_acute"), {{QStringLiteral("e"), QStringLiteral("x")}}};
        const QStringList bases = {QStringLiteral("1"), QStringLiteral("E"), QStringLiteral("e"),
                                   QStringLiteral("j"), QStringLiteral("o")};
        const int count = AddUnicodeDeadPairs(dead, accent, bases);
        QStringList pairs;
        for (const DeadPair &pair : std::as_const(dead.pairs).mid(1))
            pairs.append(pair.base + pair.result);
        QCOMPARE(pairs.join(u' '), added);
        QCOMPARE(count, pairs.size());
        QCOMPARE(dead.pairs.front(), (DeadPair{QStringLiteral("e"), QStringLiteral("x")}));
    }
};

TAVO_TEST(TestDeadPairs)
#include "tst_deadpairs.moc"
