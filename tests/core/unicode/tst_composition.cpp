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
        QTest::newRow("acute accent decomposes to space and mark") << QStringLiteral("\u00B4") << QStringLiteral("\u0301");
        QTest::newRow("diaeresis") << QStringLiteral("\u00A8") << QStringLiteral("\u0308");
        QTest::newRow("cedilla") << QStringLiteral("\u00B8") << QStringLiteral("\u0327");
        QTest::newRow("dialytika tonos gives two marks") << QStringLiteral("\u0385") << QStringLiteral("\u0308\u0301");
        QTest::newRow("circumflex by its name") << QStringLiteral("^") << QStringLiteral("\u0302");
        QTest::newRow("grave by its name") << QStringLiteral("`") << QStringLiteral("\u0300");
        QTest::newRow("caron by its name") << QStringLiteral("\u02C7") << QStringLiteral("\u030C");
        QTest::newRow("modifier letter circumflex") << QStringLiteral("\u02C6") << QStringLiteral("\u0302");
        QTest::newRow("a combining mark is itself") << QStringLiteral("\u0303") << QStringLiteral("\u0303");
        QTest::newRow("letter has none") << QStringLiteral("a") << QString();
        QTest::newRow("apostrophe has none") << QStringLiteral("'") << QString();
        QTest::newRow("two characters have none") << QStringLiteral("\u00B4\u00B4") << QString();
        QTest::newRow("empty") << QString() << QString();
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
        QTest::newRow("capital") << QStringLiteral("E") << QStringLiteral("\u0301") << QStringLiteral("\u00C9");
        QTest::newRow("cyrillic short i") << QStringLiteral("\u0438") << QStringLiteral("\u0306") << QStringLiteral("\u0439");
        QTest::newRow("two marks") << QStringLiteral("\u03B9") << QStringLiteral("\u0308\u0301") << QStringLiteral("\u0390");
        QTest::newRow("precomposed base takes another mark") << QStringLiteral("\u00EA") << QStringLiteral("\u0301") << QStringLiteral("\u1EBF");
        QTest::newRow("beyond the basic plane") << QStringLiteral("\U00011099") << QStringLiteral("\U000110BA") << QStringLiteral("\U0001109A");
        QTest::newRow("j acute is two characters") << QStringLiteral("j") << QStringLiteral("\u0301") << QString();
        QTest::newRow("digit composes nothing") << QStringLiteral("1") << QStringLiteral("\u0301") << QString();
        QTest::newRow("no marks") << QStringLiteral("e") << QString() << QString();
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
